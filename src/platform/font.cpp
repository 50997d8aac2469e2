// Face lookup through fontconfig and glyph rendering through SDL_ttf. SDL_ttf
// needs no video initialisation, so the headless backend prints the same text.
#include "platform/font.h"

#include <SDL2/SDL_ttf.h>
#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <system_error>

#include "platform/cp1252.h"
#include "platform/files.h"
#include "platform/folders.h"

namespace {
// A fontconfig pattern for a family, with the configuration's substitutions
// and defaults applied, ready to match; null when fontconfig cannot start.
FcPattern* substitutedpattern(const std::string& pattern) {
    if (!FcInit()) return nullptr;
    FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str()));
    if (!pat) return nullptr;
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    return pat;
}

// Asks fontconfig for a family; gives the file and the family it really chose.
bool matchfamily(const std::string& pattern, std::string& family, std::string& file) {
    FcPattern* pat = substitutedpattern(pattern);
    if (!pat) return false;
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    FcPatternDestroy(pat);
    if (!match) return false;
    FcChar8* fam = nullptr;
    FcChar8* path = nullptr;
    bool ok = FcPatternGetString(match, FC_FAMILY, 0, &fam) == FcResultMatch &&
              FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch;
    if (ok) {
        family = reinterpret_cast<const char*>(fam);
        file = reinterpret_cast<const char*>(path);
    }
    FcPatternDestroy(match);
    return ok;
}

// True when a face file prints a visible "A". A face file cut short (a copy
// that ran out of disk) can still carry its name and pass fontconfig's scan
// while drawing nothing at all.
bool drawsA(const std::string& file) {
    if (!TTF_WasInit()) TTF_Init();
    TTF_Font* font = TTF_OpenFontDPI(file.c_str(), 20, 96, 96);
    if (!font) return false;
    bool visible = false;
    SDL_Surface* rendered = TTF_RenderGlyph32_Blended(font, 'A', SDL_Color{255, 255, 255, 255});
    if (rendered) {
        SDL_Surface* argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
        SDL_FreeSurface(rendered);
        if (argb) {
            for (int y = 0; y < argb->h && !visible; ++y) {
                const uint32_t* row = reinterpret_cast<const uint32_t*>(
                    static_cast<const uint8_t*>(argb->pixels) + y * argb->pitch);
                for (int x = 0; x < argb->w && !visible; ++x) visible = (row[x] >> 24) != 0;
            }
            SDL_FreeSurface(argb);
        }
    }
    TTF_CloseFont(font);
    return visible;
}

// Every file fontconfig knows for a family, best match first, that draws; the
// family it reports goes to `family`.
bool drawingfile(const std::string& pattern, const std::string& wanted, std::string& family,
                 std::string& file) {
    FcPattern* pat = substitutedpattern(pattern);
    if (!pat) return false;
    FcResult result;
    FcFontSet* set = FcFontSort(nullptr, pat, FcFalse, nullptr, &result);
    FcPatternDestroy(pat);
    if (!set) return false;
    bool found = false;
    for (int i = 0; i < set->nfont && !found; ++i) {
        FcChar8* fam = nullptr;
        FcChar8* path = nullptr;
        if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &path) != FcResultMatch) continue;
        for (int n = 0; FcPatternGetString(set->fonts[i], FC_FAMILY, n, &fam) == FcResultMatch;
             ++n) {
            const char* name = reinterpret_cast<const char*>(fam);
            if (strcasecmp(name, wanted.c_str()) != 0) continue;
            if (drawsA(reinterpret_cast<const char*>(path))) {
                family = name;
                file = reinterpret_cast<const char*>(path);
                found = true;
            }
            break;
        }
    }
    FcFontSetDestroy(set);
    return found;
}

// fontconfig's pattern syntax gives '-', ':' and ',' meanings of their own.
std::string escapefamily(std::string_view family) {
    std::string out;
    for (char c : family) {
        if (c == '-' || c == ':' || c == ',' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}
}  // namespace

struct FontCache::Sized {
    TTF_Font* font = nullptr;
    int height = 0;
    std::array<std::unique_ptr<Glyph>, 256> glyphs;
    ~Sized() {
        if (font) TTF_CloseFont(font);
    }
};

bool registerfontfile(const std::string& path) {
    if (!FcInit()) return false;
    return FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(path.c_str())) ==
           FcTrue;
}

void installfont(const std::filesystem::path& programfolder, const std::string& filename) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path source = programfolder / filename;
    bool havesource = fs::is_regular_file(source, ec);
    fs::path data = userdatafolder();
    fs::path folder = data.empty() ? fs::path() : data / "fonts";
    fs::path target = folder.empty() ? fs::path() : folder / filename;
    if (!folder.empty()) {
        // A copy cut short by a crash sits under a temporary name, where
        // fontconfig could still find it; one older than a minute is no one's
        // copy in progress.
        std::string prefix = filename + ".tmp";
        for (const auto& entry : fs::directory_iterator(folder, ec)) {
            std::error_code old;
            auto age = fs::file_time_type::clock::now() - fs::last_write_time(entry.path(), old);
            if (entry.path().filename().string().rfind(prefix, 0) == 0 && !old &&
                age > std::chrono::minutes(1)) {
                fs::remove(entry.path(), old);
            }
        }
    }
    if (havesource && !target.empty() && !fs::exists(fs::symlink_status(target, ec))) {
        // A face file is a few hundred kilobytes; nothing larger is ours.
        FileText face = readtext(source, 64u << 20);
        fs::create_directories(folder, ec);
        if (face.found == FileText::Found::read) replacefile(target, face.text);
    }
    if (!target.empty() && fs::is_regular_file(target, ec)) {
        registerfontfile(target.string());
    } else if (havesource) {
        registerfontfile(source.string());
    }
}

FontCache::FontCache() {
    if (!TTF_WasInit()) TTF_Init();
    setface(default_font_family);
}

FontCache::~FontCache() {
    fonts_.clear();
    // TTF stays initialised for other surfaces; the process ends soon after.
}

void FontCache::setface(std::string_view family) {
    if (family == requested_ && !file_.empty()) return;
    requested_ = std::string(family);
    std::string got, path;
    // The requested face, then the default one, each only from a file that
    // draws; fontconfig's own default is the last resort.
    if (drawingfile(escapefamily(family), requested_, got, path)) {
        family_ = got;
        file_ = path;
    } else if (drawingfile(default_font_family, default_font_family, got, path)) {
        family_ = got;
        file_ = path;
    } else if (matchfamily("sans-serif", got, path)) {
        family_ = got;  // fontconfig's own default
        file_ = path;
    } else {
        family_.clear();
        file_.clear();
    }
    last_ = nullptr;
    lastsize_ = -1;
}

FontCache::Sized* FontCache::sized(double points) {
    int size = static_cast<int>(std::clamp(std::lround(points), 1L, 500L));
    if (last_ && size == lastsize_) return last_;
    if (file_.empty()) return nullptr;
    auto& slot = fonts_[{file_, size}];
    if (!slot) {
        slot = std::make_unique<Sized>();
        slot->font = TTF_OpenFontDPI(file_.c_str(), size, 96, 96);
        if (slot->font) slot->height = TTF_FontHeight(slot->font);
    }
    if (!slot->font) return nullptr;
    last_ = slot.get();
    lastsize_ = size;
    return last_;
}

const Glyph* FontCache::glyph(double points, unsigned char ch) {
    Sized* s = sized(points);
    if (!s) return nullptr;
    auto& g = s->glyphs[ch];
    if (!g) {
        g = std::make_unique<Glyph>();
        uint32_t code = cp1252tounicode(ch);
        int minx, maxx, miny, maxy, advance;
        if (TTF_GlyphMetrics32(s->font, code, &minx, &maxx, &miny, &maxy, &advance) == 0)
            g->advance = advance;
        SDL_Surface* rendered =
            code >= 32 ? TTF_RenderGlyph32_Blended(s->font, code, SDL_Color{255, 255, 255, 255})
                       : nullptr;
        if (rendered) {
            SDL_Surface* argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
            SDL_FreeSurface(rendered);
            if (argb) {
                g->width = argb->w;
                g->height = argb->h;
                g->alpha.resize(static_cast<size_t>(g->width) * g->height);
                for (int y = 0; y < argb->h; ++y) {
                    const uint32_t* row = reinterpret_cast<const uint32_t*>(
                        static_cast<const uint8_t*>(argb->pixels) + y * argb->pitch);
                    for (int x = 0; x < argb->w; ++x)
                        g->alpha[static_cast<size_t>(y) * g->width + x] =
                            static_cast<uint8_t>(row[x] >> 24);
                }
                SDL_FreeSurface(argb);
            }
        }
    }
    return g.get();
}

int FontCache::lineheight(double points) {
    Sized* s = sized(points);
    return s ? s->height : static_cast<int>(std::lround(points * 96.0 / 72.0));
}
