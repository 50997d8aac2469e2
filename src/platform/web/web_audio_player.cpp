// The aliases kept on the page's side (page.js): each a decoded buffer, its
// source while it sounds, and where it stands.
#include "platform/web/web_audio_player.h"

#include <emscripten.h>

#include "platform/files.h"

EM_JS(int, page_audio_open, (const char* alias, const uint8_t* bytes, int length, int music), {
    return VolmarinPage.audio.open(UTF8ToString(alias), HEAPU8.slice(bytes, bytes + length),
                                   music != 0)
               ? 1
               : 0;
});
EM_JS(int, page_audio_do, (const char* what, const char* alias),
      { return VolmarinPage.audio[UTF8ToString(what)](UTF8ToString(alias)) ? 1 : 0; });

namespace {
// The largest sound file the game has is a few megabytes.
constexpr std::size_t largestsound = 64u << 20;
}  // namespace

bool WebAudioPlayer::open(const std::string& alias, const std::filesystem::path& file, bool music) {
    FileText sound = readtext(file, largestsound);
    if (sound.found != FileText::Found::read) return false;
    return page_audio_open(alias.c_str(), reinterpret_cast<const uint8_t*>(sound.text.data()),
                           static_cast<int>(sound.text.size()), music ? 1 : 0) != 0;
}

bool WebAudioPlayer::openwave(const std::string& alias, const std::filesystem::path& file) {
    return open(alias, file, false);
}

bool WebAudioPlayer::opensequence(const std::string& alias, const std::filesystem::path& file) {
    std::filesystem::path rendered = file;
    rendered.replace_extension(".ogg");
    return open(alias, rendered, true);
}

bool WebAudioPlayer::playfromstart(const std::string& alias) {
    return page_audio_do("playfromstart", alias.c_str()) != 0;
}

bool WebAudioPlayer::play(const std::string& alias) {
    return page_audio_do("play", alias.c_str()) != 0;
}

bool WebAudioPlayer::stop(const std::string& alias) {
    return page_audio_do("stop", alias.c_str()) != 0;
}

bool WebAudioPlayer::seektostart(const std::string& alias) {
    return page_audio_do("seektostart", alias.c_str()) != 0;
}

bool WebAudioPlayer::isplaying(const std::string& alias) {
    return page_audio_do("isplaying", alias.c_str()) != 0;
}

void WebAudioPlayer::close(const std::string& alias) {
    page_audio_do("close", alias.c_str());
}
