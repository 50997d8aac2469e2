// The SDL backend on the machine: key codes and typed characters, sound that
// reaches the audio output (written to a file by SDL's disk driver), and the
// window on a private X server, read back pixel by pixel.
#include <SDL.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/media.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/sdl_mixer_player.h"
#include "platform/sdl/sdl_platform.h"
#include "support/gamefixture.h"
#include "xserver/xserver.h"

extern char** environ;

namespace {

// --- sound files written on the spot

void put16(std::string& out, uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}
void put32(std::string& out, uint32_t v) {
    put16(out, static_cast<uint16_t>(v & 0xFFFF));
    put16(out, static_cast<uint16_t>(v >> 16));
}

// A mono 16-bit wave file holding a 440 Hz tone; amplitude 1 is full scale.
void writetone(const std::filesystem::path& file, double seconds, double amplitude = 0.5) {
    const uint32_t rate = 22050;
    const auto count = static_cast<uint32_t>(rate * seconds);
    std::string out = "RIFF";
    put32(out, 36 + count * 2);
    out += "WAVEfmt ";
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 1);  // mono
    put32(out, rate);
    put32(out, rate * 2);
    put16(out, 2);
    put16(out, 16);
    out += "data";
    put32(out, count * 2);
    for (uint32_t i = 0; i < count; ++i) {
        double v = amplitude * std::sin(2 * 3.14159265358979 * 440 * i / rate);
        put16(out, static_cast<uint16_t>(static_cast<int16_t>(v * 32767)));
    }
    std::ofstream(file, std::ios::binary) << out;
}

// A one-track MIDI file: three notes on the piano, about half a second.
void writetune(const std::filesystem::path& file) {
    const unsigned char track[] = {
        0x00, 0x90, 60,   100,  0x30, 0x80, 60, 64,  // 96 ticks per beat at 120 bpm:
        0x00, 0x90, 64,   100,  0x30, 0x80, 64, 64,  // 0x30 ticks = 1/8 s
        0x00, 0x90, 67,   100,  0x60, 0x80, 67, 64,  //
        0x00, 0xFF, 0x2F, 0x00,                      // end of track
    };
    std::string out = "MThd";
    out += std::string("\0\0\0\6\0\0\0\1\0\x60", 10);
    out += "MTrk";
    out += std::string("\0\0\0", 3) + static_cast<char>(sizeof track);
    out.append(reinterpret_cast<const char*>(track), sizeof track);
    std::ofstream(file, std::ios::binary) << out;
}

// The loudest 16-bit sample of a raw output file, and how many sit at full scale.
int peak(const std::filesystem::path& file, size_t* atfullscale = nullptr) {
    std::ifstream in(file, std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int loudest = 0;
    if (atfullscale) *atfullscale = 0;
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        auto v = static_cast<int16_t>(static_cast<uint8_t>(data[i]) |
                                      (static_cast<uint8_t>(data[i + 1]) << 8));
        loudest = std::max(loudest, std::abs(static_cast<int>(v)));
        if (atfullscale && std::abs(static_cast<int>(v)) >= 32767) ++*atfullscale;
    }
    return loudest;
}

// SDL's disk driver as the audio device: what would reach the loudspeaker is
// written to a file, in 16-bit samples, as fast as it would be played.
class DiskAudio {
  public:
    explicit DiskAudio(const std::filesystem::path& output) {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    }
    ~DiskAudio() {
        SDL_Quit();
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
    }
};

// Asks for the alias's status every 10 ms until it reads `wanted`; false after `ms`.
bool waitstatus(MediaCommands& media, const std::string& wanted, int ms) {
    std::string status;
    for (int waited = 0; waited < ms; waited += 10) {
        media.send("status sound mode", &status);
        if (status == wanted) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// --- a private X server

// The whole screen of the X server as 0xRRGGBB words, read with xwd.
struct Screen {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

bool capture(const std::filesystem::path& folder, Screen& screen) {
    auto file = folder / "screen.xwd";
    std::string command = "xwd -root -silent > '" + file.string() + "'";
    if (std::system(command.c_str()) != 0) return false;
    std::ifstream in(file, std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto byte = [&](size_t i) { return i < data.size() ? uint32_t(uint8_t(data[i])) : 0u; };
    auto big = [&](size_t i, int n) {
        uint32_t v = 0;
        for (int k = 0; k < n; ++k) v = (v << 8) | byte(i + k);
        return v;
    };
    auto word = [&](size_t index) { return big(index * 4, 4); };
    // The file's header: 25 big-endian words, then the name, then the colours.
    uint32_t headersize = word(0), width = word(4), height = word(5), byteorder = word(7),
             bits = word(11), stride = word(12), visualclass = word(13),
             masks[3] = {word(14), word(15), word(16)}, colours = word(19);
    if ((bits != 24 && bits != 32) || width == 0 || height == 0) return false;
    const uint32_t bytes = bits / 8;
    size_t start = headersize + colours * 12;
    if (data.size() < start + static_cast<size_t>(stride) * height) return false;
    screen.width = static_cast<int>(width);
    screen.height = static_cast<int>(height);
    screen.pixels.resize(static_cast<size_t>(width) * height);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            size_t at = start + static_cast<size_t>(y) * stride + x * bytes;
            uint32_t v = 0;
            for (uint32_t k = 0; k < bytes; ++k) {
                v |= byteorder == 0 ? byte(at + k) << (8 * k)
                                    : byte(at + k) << (8 * (bytes - 1 - k));
            }
            uint32_t rgb = 0;
            for (int c = 0; c < 3; ++c) {
                uint32_t shift = masks[c] ? static_cast<uint32_t>(__builtin_ctz(masks[c])) : 0;
                uint32_t level = (v & masks[c]) >> shift;
                // DirectColor: each channel's value indexes the colour table.
                if (visualclass == 5 && level < colours) {
                    level = big(headersize + level * 12 + 4 + 2 * c, 2) >> 8;
                }
                rgb = (rgb << 8) | (level & 0xFF);
            }
            screen.pixels[static_cast<size_t>(y) * width + x] = rgb;
        }
    }
    return true;
}

// 0xRRGGBB of a pixel of the game's image.
uint32_t shown(const Surface& surface, int x, int y) {
    return toargb(surface.pixel(x, y)) & 0xFFFFFF;
}

// What the game hears from the window.
struct Recorder : EventHandler {
    std::vector<std::string> heard;
    void onkeydown(int code) override { heard.push_back("down " + std::to_string(code)); }
    void onkeyup(int code) override { heard.push_back("up " + std::to_string(code)); }
    void ontyped(int code) override { heard.push_back("typed " + std::to_string(code)); }
    void onunload() override { heard.push_back("unload"); }
};

void pushkey(Uint32 type, SDL_Keycode key, SDL_Scancode scancode, bool repeat = false) {
    SDL_Event e{};
    e.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat ? 1 : 0;
    e.key.keysym.sym = key;
    e.key.keysym.scancode = scancode;
    SDL_PushEvent(&e);
}

void pushtext(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    SDL_strlcpy(e.text.text, utf8, sizeof e.text.text);
    SDL_PushEvent(&e);
}

}  // namespace

TEST(SdlKeys, KeysBecomeVirtualKeyCodes) {
    struct Case {
        SDL_Keycode key;
        SDL_Scancode scancode;
        bool numlock;
        int code;
    } cases[] = {
        {SDLK_LEFT, SDL_SCANCODE_LEFT, true, 37},
        {SDLK_UP, SDL_SCANCODE_UP, true, 38},
        {SDLK_RIGHT, SDL_SCANCODE_RIGHT, true, 39},
        {SDLK_DOWN, SDL_SCANCODE_DOWN, true, 40},
        {SDLK_SPACE, SDL_SCANCODE_SPACE, true, 32},
        {SDLK_RETURN, SDL_SCANCODE_RETURN, true, 13},
        {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, true, 13},
        {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, true, 27},
        {SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, true, 8},
        {SDLK_TAB, SDL_SCANCODE_TAB, true, 9},
        {SDLK_LALT, SDL_SCANCODE_LALT, true, 18},
        {SDLK_RALT, SDL_SCANCODE_RALT, true, 18},
        {SDLK_LCTRL, SDL_SCANCODE_LCTRL, true, 17},
        {SDLK_RCTRL, SDL_SCANCODE_RCTRL, true, 17},
        {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, true, 16},
        {SDLK_a, SDL_SCANCODE_A, true, 65},
        {SDLK_z, SDL_SCANCODE_Z, true, 90},
        {SDLK_q, SDL_SCANCODE_A, true, 81},          // letters follow the layout (AZERTY)
        {0x43F, SDL_SCANCODE_G, true, 71},           // a letter with no Latin key: its place
        {SDLK_AMPERSAND, SDL_SCANCODE_1, true, 49},  // the digit row by position
        {SDLK_0, SDL_SCANCODE_0, true, 48},
        {SDLK_F1, SDL_SCANCODE_F1, true, 112},
        {SDLK_F12, SDL_SCANCODE_F12, true, 123},
        {SDLK_KP_0, SDL_SCANCODE_KP_0, true, 96},
        {SDLK_KP_7, SDL_SCANCODE_KP_7, true, 103},
        {SDLK_KP_8, SDL_SCANCODE_KP_8, false, 38},  // Num Lock off: the keypad arrows
        {SDLK_KP_4, SDL_SCANCODE_KP_4, false, 37},
        {SDLK_MINUS, SDL_SCANCODE_MINUS, true, 189},
        {SDLK_VOLUMEUP, SDL_SCANCODE_VOLUMEUP, true, 0},  // nothing for the game
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(SDL_GetScancodeName(c.scancode));
        EXPECT_EQ(virtualkey(c.key, c.scancode, c.numlock), c.code);
    }
}

TEST(SdlKeys, TypedTextBecomesWindows1252) {
    struct Case {
        const char* utf8;
        std::vector<int> codes;
    } cases[] = {
        {"a", {97}},
        {"Zz9 !~", {90, 122, 57, 32, 33, 126}},
        {"\xC3\xA9\xC3\x9F\xC3\xBF", {233, 223, 255}},          // é ß ÿ
        {"\xE2\x82\xAC\xE2\x80\x94\xC5\x92", {128, 151, 140}},  // € — Œ
        {"\xE4\xB8\xAD", {}},                                   // no code in the code page
        {"\xF0\x9F\x9A\x80x", {120}},                           // four-byte character dropped
        {"\xC3", {}},                                           // cut-off sequence
        {"\x80\x62", {98}},                                     // a stray continuation byte, then b
        {"\x7F\x01", {}},                                       // control characters
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(windows1252(c.utf8), c.codes);
    }
}

TEST(SdlWindow, TheImageIsFittedWithItsShapeKeptAndCentred) {
    struct Case {
        int width, height;
        SDL_Rect area;
    } cases[] = {
        {823, 709, {0, 0, 823, 709}},      // its own size
        {1024, 768, {66, 0, 891, 768}},    // wider than the image: bars left and right
        {823, 1000, {0, 145, 823, 709}},   // taller: bars above and below
        {1646, 1418, {0, 0, 1646, 1418}},  // twice the size
        {400, 709, {0, 182, 400, 345}},    // narrower than the image
        {1, 1, {0, 0, 1, 1}},              // never an empty picture
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        SDL_Rect a = SdlPlatform::fitted(823, 709, c.width, c.height);
        EXPECT_EQ(a.x, c.area.x);
        EXPECT_EQ(a.y, c.area.y);
        EXPECT_EQ(a.w, c.area.w);
        EXPECT_EQ(a.h, c.area.h);
    }
}

TEST(SdlAudio, EffectsAndMusicReachTheAudioOutput) {
    TempFolder folder;
    writetone(folder.path() / "fire.wav", 0.6);
    writetune(folder.path() / "tune.mid");
    std::string status;
    {
        DiskAudio disk(folder.path() / "effect.raw");
        auto player = std::make_unique<SdlMixerPlayer>();
        if (!player->audioopen()) GTEST_SKIP() << "SDL's disk audio driver could not be opened";
        MediaCommands media(std::move(player), folder.path());
        ASSERT_EQ(media.send("open .\\fire.wav type waveaudio alias sound", nullptr), 0);
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(media.send("play sound from 0", nullptr), 0);
        EXPECT_EQ(media.send("status sound mode", &status), 0);
        EXPECT_EQ(status, "playing");
        // Started again at 0.4 s, the 0.6 s tone still sounds at 0.8 s.
        std::this_thread::sleep_until(start + std::chrono::milliseconds(400));
        EXPECT_EQ(media.send("play sound from 0", nullptr), 0);
        std::this_thread::sleep_until(start + std::chrono::milliseconds(800));
        media.send("status sound mode", &status);
        if (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(950)) {
            EXPECT_EQ(status, "playing") << "playing from 0 did not restart the sound";
        }
        // A second alias of the same file sounds beside the first (the four guns).
        ASSERT_EQ(media.send("open .\\fire.wav type waveaudio alias gun", nullptr), 0);
        EXPECT_EQ(media.send("play gun from 0", nullptr), 0);
        media.send("status gun mode", &status);
        EXPECT_EQ(status, "playing");
        media.send("status sound mode", &status);
        EXPECT_EQ(status, "playing");
        media.send("close gun", nullptr);
        EXPECT_TRUE(waitstatus(media, "stopped", 2000)) << "the effect never ended";
    }
    EXPECT_GT(peak(folder.path() / "effect.raw"), 4000) << "the effect was silent";

    {
        DiskAudio disk(folder.path() / "music.raw");
        MediaCommands media(std::make_unique<SdlMixerPlayer>(), folder.path());
        ASSERT_EQ(media.send("open .\\tune.mid type sequencer alias sound", nullptr), 0)
            << "no MIDI player or SoundFont";
        EXPECT_EQ(media.send("play sound from 0", nullptr), 0);
        EXPECT_TRUE(waitstatus(media, "playing", 10));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        EXPECT_EQ(media.send("stop sound", nullptr), 0);
        EXPECT_TRUE(waitstatus(media, "stopped", 10));
        EXPECT_EQ(media.send("play sound", nullptr), 0);
        EXPECT_TRUE(waitstatus(media, "playing", 10));
        EXPECT_EQ(media.send("seek sound to start", nullptr), 0);
        EXPECT_TRUE(waitstatus(media, "stopped", 10));
    }
    EXPECT_GT(peak(folder.path() / "music.raw"), 500) << "the music was silent";
}

// Music loads behind the game's back when it is played: "open" returns at
// once, and the commands that follow it must act as if the piece were already
// there. Each piece holds a SoundFont's worth of memory, so only the piece
// holding the music stream is kept; a piece played again loads again.
TEST(SdlAudio, MusicPlayedBeforeItHasLoadedStillPlaysAndOnlyThePlayingPieceStays) {
    TempFolder folder;
    writetune(folder.path() / "menu.mid");
    writetune(folder.path() / "game.mid");
    std::filesystem::copy_file(folder.path() / "game.mid", folder.path() / "spare.mid");
    std::ofstream(folder.path() / "notmusic.mid") << "this is no MIDI file";
    std::string status;
    {
        DiskAudio disk(folder.path() / "music.raw");
        auto owned = std::make_unique<SdlMixerPlayer>();
        if (!owned->audioopen()) GTEST_SKIP() << "SDL's disk audio driver could not be opened";
        SdlMixerPlayer& player = *owned;
        MediaCommands media(std::move(owned), folder.path());
        EXPECT_NE(media.send("open .\\notmusic.mid type sequencer alias junk", nullptr), 0);
        // Three pieces load one after the other; the last is played at once,
        // long before its turn to load, and the second is stopped before it could start.
        ASSERT_EQ(media.send("open .\\menu.mid type sequencer alias menu", nullptr), 0);
        ASSERT_EQ(media.send("open .\\spare.mid type sequencer alias spare", nullptr), 0);
        ASSERT_EQ(media.send("open .\\game.mid type sequencer alias sound", nullptr), 0);
        EXPECT_EQ(player.piecesinmemory(), 0) << "opening a piece loaded it";
        EXPECT_EQ(media.send("play spare from 0", nullptr), 0);
        EXPECT_EQ(media.send("stop spare", nullptr), 0);
        media.send("status spare mode", &status);
        EXPECT_EQ(status, "stopped");
        EXPECT_EQ(media.send("play sound from 0", nullptr), 0);
        media.send("status sound mode", &status);
        EXPECT_EQ(status, "playing") << "a piece about to start reports itself playing";
        // Closing a piece that is still loading frees it without harm.
        EXPECT_EQ(media.send("close menu", nullptr), 0);
        player.waitforloading();
        media.send("status spare mode", &status);
        EXPECT_EQ(status, "stopped") << "the stopped piece started when it had loaded";
        EXPECT_TRUE(waitstatus(media, "playing", 10));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_EQ(player.piecesinmemory(), 1);
        for (const char* alias : {"spare", "sound"}) {
            SCOPED_TRACE(alias);
            EXPECT_EQ(media.send(std::string("play ") + alias + " from 0", nullptr), 0);
            player.waitforloading();
            EXPECT_EQ(player.piecesinmemory(), 1);
            media.send(std::string("status ") + alias + " mode", &status);
            EXPECT_EQ(status, "playing");
        }
        // Paused, the piece keeps its place and stays; played on, it goes on.
        EXPECT_EQ(media.send("stop sound", nullptr), 0);
        EXPECT_EQ(media.send("play sound", nullptr), 0);
        media.send("status sound mode", &status);
        EXPECT_EQ(status, "playing");
        EXPECT_EQ(player.piecesinmemory(), 1);
    }
    EXPECT_GT(peak(folder.path() / "music.raw"), 500) << "the music played at once was never heard";
}

// Loud moments: a dozen loud sounds at once must not be cut off at full
// scale, while one of them alone keeps its level.
TEST(SdlAudio, ManySoundsAtOnceDoNotClipAndOneAloneKeepsItsLevel) {
    TempFolder folder;
    writetone(folder.path() / "loud.wav", 0.5, 0.9);
    const int tonepeak = static_cast<int>(0.9 * 32767);
    for (int crowd : {1, 12}) {
        SCOPED_TRACE(std::to_string(crowd) + " sounds");
        auto output = folder.path() / (std::to_string(crowd) + ".raw");
        {
            DiskAudio disk(output);
            auto player = std::make_unique<SdlMixerPlayer>();
            if (!player->audioopen()) GTEST_SKIP() << "SDL's disk audio driver could not be opened";
            MediaCommands media(std::move(player), folder.path());
            for (int i = 0; i < crowd; ++i) {
                std::string alias = "s" + std::to_string(i);
                ASSERT_EQ(media.send("open .\\loud.wav type waveaudio alias " + alias, nullptr), 0);
            }
            for (int i = 0; i < crowd; ++i) {
                media.send("play s" + std::to_string(i) + " from 0", nullptr);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(700));
        }
        size_t clipped = 0;
        int loudest = peak(output, &clipped);
        auto samples = std::filesystem::file_size(output) / 2;
        EXPECT_GE(loudest, tonepeak * 95 / 100) << "the sound lost its level";
        EXPECT_LT(clipped, samples / 10000 + 1) << "of " << samples << " samples";
    }
}

TEST(SdlAudio, WithoutAnAudioDeviceEveryCommandFailsQuietly) {
    TempFolder folder;
    writetone(folder.path() / "fire.wav", 0.1);
    setenv("SDL_AUDIODRIVER", "nosuchdriver", 1);
    auto owned = std::make_unique<SdlMixerPlayer>();
    EXPECT_FALSE(owned->audioopen());
    MediaCommands media(std::move(owned), folder.path());
    EXPECT_NE(media.send("open .\\fire.wav type waveaudio alias fire1", nullptr), 0);
    EXPECT_NE(media.send("play \\fire.wav from 0", nullptr), 0);
    EXPECT_NE(media.send("status fire1 mode", nullptr), 0);
    unsetenv("SDL_AUDIODRIVER");
    SDL_Quit();
}

TEST(SdlWindow, TheWindowShowsTheImageAndResizingOnlyRescalesIt) {
    Xserver x;
    if (!x.problem().empty()) GTEST_SKIP() << x.problem() << "; no X server for the window";
    if (!onpath("xwd")) GTEST_SKIP() << "xwd is not installed; cannot read the screen";
    TempFolder folder;
    SdlPlatform platform(folder.path());
    Surface& image = platform.surface();
    ASSERT_EQ(image.width(), 823);
    ASSERT_EQ(image.height(), 709);
    // Without a window manager there are no borders: the outer size is the client size.
    EXPECT_EQ(image.outerwidth(), 823);
    EXPECT_EQ(image.outerheight(), 709);

    // A dark blue field, a red quadrilateral, a green triangle and a black hole.
    image.setbackcolour(0x402010);
    image.clear();
    image.setfillstyle(0);
    image.setlinecolour(0x0000FF);
    image.setfillcolour(0x0000FF);
    PixelPoint quad[] = {{20, 30}, {400, 30}, {380, 300}, {40, 280}};
    image.polygon(quad, 4);
    image.setlinecolour(0x00FF00);
    image.setfillcolour(0x00FF00);
    PixelPoint triangle[] = {{500, 100}, {800, 650}, {450, 700}};
    image.polygon(triangle, 3);
    image.blacken(100, 400, 200, 150);
    platform.doevents();

    int wx = 0, wy = 0;
    SDL_GetWindowPosition(platform.window(), &wx, &wy);
    Screen screen;
    int mismatches = 0, samples = 0;
    for (int attempt = 0; attempt < 20; ++attempt) {
        ASSERT_TRUE(capture(folder.path(), screen)) << "xwd failed";
        mismatches = samples = 0;
        for (int y = 0; y < 709; y += 7) {
            for (int x = 0; x < 823; x += 7) {
                ++samples;
                if (screen.at(wx + x, wy + y) != shown(image, x, y)) ++mismatches;
            }
        }
        if (mismatches == 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        platform.doevents();
    }
    EXPECT_EQ(mismatches, 0) << "of " << samples << " pixels, window at " << wx << "," << wy;

    // A larger window shows the same image scaled up between black bars; the
    // image keeps its size, and with it the playfield.
    image.setbackcolour(0xC0C0C0);
    image.clear();
    SDL_SetWindowPosition(platform.window(), 0, 0);
    SDL_SetWindowSize(platform.window(), 1024, 768);
    bool letterboxed = false;
    for (int attempt = 0; attempt < 20 && !letterboxed; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        platform.doevents();
        ASSERT_TRUE(capture(folder.path(), screen));
        // 1024 x 768 holds the image 768 / 709 times enlarged: 891 wide, from x = 66.
        letterboxed = screen.at(512, 384) == 0xC0C0C0 && screen.at(70, 384) == 0xC0C0C0 &&
                      screen.at(953, 384) == 0xC0C0C0 && screen.at(512, 1) == 0xC0C0C0 &&
                      screen.at(512, 766) == 0xC0C0C0 && screen.at(60, 384) == 0 &&
                      screen.at(962, 384) == 0;
    }
    EXPECT_TRUE(letterboxed);
    EXPECT_EQ(image.width(), 823);
    EXPECT_EQ(image.height(), 709);
    EXPECT_DOUBLE_EQ(image.scalewidth(), 600.0 * 823 / 709);

    // F11 switches full screen on and off and is the window's key, not the
    // game's. With no window manager to grant it, the picture must still fit
    // the window the server really shows: all of it, corners included.
    SDL_SetWindowSize(platform.window(), 823, 709);
    SDL_SetWindowPosition(platform.window(), 100, 30);
    image.setbackcolour(0x808080);
    image.clear();
    image.setfillstyle(0);
    image.setlinecolour(0x0000FF);
    image.setfillcolour(0x0000FF);
    PixelPoint frame[] = {{0, 0}, {822, 0}, {822, 708}, {0, 708}};
    image.setfillstyle(1);
    for (int inset = 0; inset < 6; ++inset) {
        PixelPoint ring[4];
        for (int i = 0; i < 4; ++i) {
            ring[i] = {frame[i].x + (i == 0 || i == 3 ? inset : -inset),
                       frame[i].y + (i < 2 ? inset : -inset)};
        }
        image.polygon(ring, 4);
    }
    Recorder recorder;
    platform.sethandler(&recorder);
    pushkey(SDL_KEYDOWN, SDLK_F11, SDL_SCANCODE_F11);
    pushkey(SDL_KEYDOWN, SDLK_F11, SDL_SCANCODE_F11, true);  // held: no second switch
    pushkey(SDL_KEYUP, SDLK_F11, SDL_SCANCODE_F11);
    platform.doevents();
    EXPECT_TRUE(platform.fullscreen());
    // The screen is 1024 x 768: the image 891 x 768 from x = 66, red frame all round.
    auto whole = [&](int left, int top, int width, int height) {
        return screen.at(left + 2, top + 2) == 0xFF0000 &&
               screen.at(left + width - 3, top + 2) == 0xFF0000 &&
               screen.at(left + 2, top + height - 3) == 0xFF0000 &&
               screen.at(left + width - 3, top + height - 3) == 0xFF0000 &&
               screen.at(left + width / 2, top + height / 2) == 0x808080;
    };
    bool fitted = false;
    for (int attempt = 0; attempt < 20 && !fitted; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        platform.doevents();
        ASSERT_TRUE(capture(folder.path(), screen));
        fitted = whole(66, 0, 891, 768) && screen.at(30, 384) == 0 && screen.at(1000, 384) == 0;
    }
    EXPECT_TRUE(fitted) << "full screen does not show the whole image letter-boxed";
    // A hardware renderer, where the machine has one, fits it the same way.
    if (platform.usehardware(true)) {
        fitted = false;
        for (int attempt = 0; attempt < 20 && !fitted; ++attempt) {
            platform.doevents();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            ASSERT_TRUE(capture(folder.path(), screen));
            fitted = whole(66, 0, 891, 768) && screen.at(30, 384) == 0;
        }
        EXPECT_TRUE(fitted) << "the hardware renderer does not show the whole image";
        EXPECT_TRUE(platform.usehardware(false));
    }

    pushkey(SDL_KEYDOWN, SDLK_F11, SDL_SCANCODE_F11);
    platform.doevents();
    EXPECT_FALSE(platform.fullscreen());
    bool back = false;
    for (int attempt = 0; attempt < 20 && !back; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        platform.doevents();
        ASSERT_TRUE(capture(folder.path(), screen));
        back = whole(100, 30, 823, 709) && screen.at(50, 384) == 0 && screen.at(960, 384) == 0;
    }
    EXPECT_TRUE(back) << "the window did not return to its place and size";
    EXPECT_TRUE(recorder.heard.empty());
}

TEST(SdlWindow, KeysReachTheGameAndClosingUnwinds) {
    Xserver x;
    if (!x.problem().empty()) GTEST_SKIP() << x.problem() << "; no X server for the window";
    TempFolder folder;
    SdlPlatform platform(folder.path());
    Recorder recorder;
    platform.sethandler(&recorder);

    pushkey(SDL_KEYDOWN, SDLK_LEFT, SDL_SCANCODE_LEFT);
    pushkey(SDL_KEYDOWN, SDLK_LEFT, SDL_SCANCODE_LEFT, true);  // held: repeated
    pushkey(SDL_KEYUP, SDLK_LEFT, SDL_SCANCODE_LEFT);
    pushkey(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A);
    pushtext("a");
    pushkey(SDL_KEYUP, SDLK_a, SDL_SCANCODE_A);
    pushtext("\xC3\xA9");  // é from a dead key or an input method
    pushkey(SDL_KEYDOWN, SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER);
    pushkey(SDL_KEYDOWN, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
    pushkey(SDL_KEYDOWN, SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE);
    // Shortcuts with Alt or Ctrl held type nothing.
    pushkey(SDL_KEYDOWN, SDLK_LALT, SDL_SCANCODE_LALT);
    pushkey(SDL_KEYDOWN, SDLK_x, SDL_SCANCODE_X);
    pushtext("x");
    pushkey(SDL_KEYDOWN, SDLK_RETURN, SDL_SCANCODE_RETURN);
    pushkey(SDL_KEYUP, SDLK_LALT, SDL_SCANCODE_LALT);
    pushkey(SDL_KEYDOWN, SDLK_RCTRL, SDL_SCANCODE_RCTRL);
    pushtext("c");
    pushkey(SDL_KEYUP, SDLK_RCTRL, SDL_SCANCODE_RCTRL);
    pushtext("b");
    platform.doevents();
    std::vector<std::string> expected = {
        "down 37", "down 37",  "up 37",   "down 65",  "typed 97", "up 65",    "typed 233",
        "down 13", "typed 13", "down 27", "typed 27", "down 8",   "typed 8",  "down 18",
        "down 88", "down 13",  "up 18",   "down 17",  "up 17",    "typed 98",
    };
    EXPECT_EQ(recorder.heard, expected);

    // Closing the window runs the unload handler, then unwinds the game.
    recorder.heard.clear();
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    EXPECT_THROW(platform.doevents(), WindowClosed);
    EXPECT_EQ(recorder.heard, std::vector<std::string>{"unload"});
    // So does the system asking the program to end.
    raise(SIGTERM);
    EXPECT_THROW(platform.doevents(), WindowClosed);
    EXPECT_EQ(recorder.heard, (std::vector<std::string>{"unload", "unload"}));
}

// On a bare X server the window covers the screen by itself in full screen. A
// hardware renderer may make SDL replace the window by a new one, which must
// cover the screen too, not come back where the window first stood.
TEST(SdlWindow, AReplacedWindowStillCoversABareScreen) {
    Xserver x;
    if (!x.problem().empty()) GTEST_SKIP() << x.problem() << "; no X server for the window";
    if (!onpath("xwd")) GTEST_SKIP() << "xwd is not installed; cannot read the screen";
    TempFolder folder;
    SdlPlatform platform(folder.path());
    Surface& image = platform.surface();
    image.setbackcolour(0x808080);
    image.clear();
    Recorder recorder;
    platform.sethandler(&recorder);
    pushkey(SDL_KEYDOWN, SDLK_F11, SDL_SCANCODE_F11);
    for (int n = 0; n < 10; ++n) {
        platform.doevents();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(platform.fullscreen());
    if (!platform.usehardware(true)) GTEST_SKIP() << "no hardware renderer";
    // The image fills 891 x 768 of the 1024 x 768 screen from x = 66.
    Screen screen;
    bool covers = false;
    for (int attempt = 0; attempt < 20 && !covers; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        platform.doevents();
        ASSERT_TRUE(capture(folder.path(), screen));
        covers = screen.at(68, 2) == 0x808080 && screen.at(954, 765) == 0x808080 &&
                 screen.at(30, 384) == 0 && screen.at(1000, 384) == 0;
    }
    EXPECT_TRUE(covers) << "the replaced window does not cover the screen";
}
