// Text machinery of the drawing surface where there is no font library of the
// system (the page): face files registered by path, matched by the family name
// in their name table, rasterized with stb_truetype into the same 8-bit
// coverage glyphs the desktop's FontCache gives.
#include <strings.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "platform/cp1252.h"
#include "platform/files.h"
#include "platform/font.h"

#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#include <stb/stb_truetype.h>

namespace {
// A face file read whole, with the family its name table gives.
struct FaceFile {
    std::string path;
    std::string family;
    std::vector<unsigned char> data;
    stbtt_fontinfo info{};
};

// Every face file registered in this run, kept for the whole run: glyph
// caches point into their data.
std::vector<std::unique_ptr<FaceFile>>& registry() {
    static std::vector<std::unique_ptr<FaceFile>> faces;
    return faces;
}

// The family name (name id 1), from the Windows or the Macintosh entry.
std::string familyof(const stbtt_fontinfo& info) {
    int length = 0;
    if (const char* s =
            stbtt_GetFontNameString(&info, &length, STBTT_PLATFORM_ID_MICROSOFT,
                                    STBTT_MS_EID_UNICODE_BMP, STBTT_MS_LANG_ENGLISH, 1)) {
        std::string out;
        for (int i = 0; i + 1 < length; i += 2) {  // UTF-16 big-endian; ASCII is all we compare
            int c = (static_cast<unsigned char>(s[i]) << 8) | static_cast<unsigned char>(s[i + 1]);
            out += c < 0x80 ? static_cast<char>(c) : '?';
        }
        return out;
    }
    if (const char* s = stbtt_GetFontNameString(&info, &length, STBTT_PLATFORM_ID_MAC,
                                                STBTT_MAC_EID_ROMAN, STBTT_MAC_LANG_ENGLISH, 1)) {
        return std::string(s, static_cast<size_t>(length));
    }
    return {};
}

// True when the face draws a visible "A"; a face file cut short can carry its
// name and still draw nothing.
bool drawsA(const stbtt_fontinfo& info) {
    float scale = stbtt_ScaleForMappingEmToPixels(&info, 20);
    int w = 0, h = 0;
    unsigned char* bitmap =
        stbtt_GetCodepointBitmap(&info, scale, scale, 'A', &w, &h, nullptr, nullptr);
    bool visible =
        bitmap && std::any_of(bitmap, bitmap + w * h, [](unsigned char a) { return a != 0; });
    stbtt_FreeBitmap(bitmap, nullptr);
    return visible;
}

const FaceFile* findface(std::string_view family) {
    for (const auto& face : registry()) {
        if (face->family.size() == family.size() &&
            strncasecmp(face->family.c_str(), family.data(), family.size()) == 0)
            return face.get();
    }
    return nullptr;
}
}  // namespace

struct FontCache::Sized {
    const FaceFile* face = nullptr;
    float scale = 0;
    int ascent = 0, height = 0;
    std::array<std::unique_ptr<Glyph>, 256> glyphs;
};

bool registerfontfile(const std::string& path) {
    for (const auto& face : registry()) {
        if (face->path == path) return true;
    }
    // A face file is a few hundred kilobytes; nothing larger is ours.
    FileText text = readtext(path, 64u << 20);
    if (text.found != FileText::Found::read) return false;
    auto face = std::make_unique<FaceFile>();
    face->path = path;
    face->data.assign(text.text.begin(), text.text.end());
    int offset = stbtt_GetFontOffsetForIndex(face->data.data(), 0);
    if (offset < 0 || !stbtt_InitFont(&face->info, face->data.data(), offset)) return false;
    if (!drawsA(face->info)) return false;
    face->family = familyof(face->info);
    if (face->family.empty()) return false;
    registry().push_back(std::move(face));
    return true;
}

// Nothing is installed here: the program folder's face serves this run.
void installfont(const std::filesystem::path& programfolder, const std::string& filename) {
    std::error_code ec;
    std::filesystem::path source = programfolder / filename;
    if (std::filesystem::is_regular_file(source, ec)) registerfontfile(source.string());
}

FontCache::FontCache() {
    setface(default_font_family);
}

FontCache::~FontCache() = default;

void FontCache::setface(std::string_view family) {
    if (family == requested_ && !file_.empty()) return;
    requested_ = std::string(family);
    const FaceFile* face = findface(family);
    if (!face) face = findface(default_font_family);
    // With neither, any face that was registered.
    if (!face && !registry().empty()) face = registry().front().get();
    family_ = face ? face->family : std::string();
    file_ = face ? face->path : std::string();
    last_ = nullptr;
    lastsize_ = -1;
}

FontCache::Sized* FontCache::sized(double points) {
    int size = static_cast<int>(std::clamp(std::lround(points), 1L, 500L));
    if (last_ && size == lastsize_) return last_;
    const FaceFile* face = nullptr;
    for (const auto& f : registry()) {
        if (f->path == file_) face = f.get();
    }
    if (!face) return nullptr;
    auto& slot = fonts_[{file_, size}];
    if (!slot) {
        slot = std::make_unique<Sized>();
        slot->face = face;
        // Points at 96 dots per inch, as the desktop's text is sized.
        slot->scale = stbtt_ScaleForMappingEmToPixels(&face->info, size * 96.0f / 72.0f);
        int ascent = 0, descent = 0, gap = 0;
        stbtt_GetFontVMetrics(&face->info, &ascent, &descent, &gap);
        slot->ascent = static_cast<int>(std::ceil(ascent * slot->scale));
        slot->height = slot->ascent - static_cast<int>(std::floor(descent * slot->scale));
    }
    last_ = slot.get();
    lastsize_ = size;
    return last_;
}

const Glyph* FontCache::glyph(double points, unsigned char ch) {
    Sized* s = sized(points);
    if (!s) return nullptr;
    auto& g = s->glyphs[ch];
    if (g) return g.get();
    g = std::make_unique<Glyph>();
    const stbtt_fontinfo& info = s->face->info;
    int code = cp1252tounicode(ch);
    int advance = 0, bearing = 0;
    stbtt_GetCodepointHMetrics(&info, code, &advance, &bearing);
    g->advance = static_cast<int>(std::lround(advance * s->scale));
    if (code < 32) return g.get();
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    stbtt_GetCodepointBitmapBox(&info, code, s->scale, s->scale, &x0, &y0, &x1, &y1);
    // The glyph sits on the line's baseline; ink left of the pen is cut.
    int left = std::max(x0, 0);
    g->width = std::max(x1, g->advance);
    g->height = s->height;
    g->alpha.assign(static_cast<size_t>(g->width) * g->height, 0);
    int w = x1 - x0, h = y1 - y0;
    if (w <= 0 || h <= 0) return g.get();
    std::vector<unsigned char> ink(static_cast<size_t>(w) * h);
    stbtt_MakeCodepointBitmap(&info, ink.data(), w, h, w, s->scale, s->scale, code);
    for (int y = 0; y < h; ++y) {
        int row = s->ascent + y0 + y;
        if (row < 0 || row >= g->height) continue;
        for (int x = left - x0; x < w; ++x) {
            int column = x0 + x;
            if (column >= g->width) break;
            g->alpha[static_cast<size_t>(row) * g->width + column] =
                ink[static_cast<size_t>(y) * w + x];
        }
    }
    return g.get();
}

int FontCache::lineheight(double points) {
    Sized* s = sized(points);
    return s ? s->height : static_cast<int>(std::lround(points * 96.0 / 72.0));
}
