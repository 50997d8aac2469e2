// Text machinery of the drawing surface: faces found by family name and cached
// as 8-bit coverage glyphs per size. On the desktop through fontconfig and
// SDL_ttf (font.cpp); in the page from registered face files (web/web_font.cpp).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The free face used whenever the requested family is not installed.
inline constexpr const char* default_font_family = "Play";

struct Glyph {
    int width = 0, height = 0, advance = 0;
    std::vector<uint8_t> alpha;  // width x height coverage, rows from the line's top
};

// Makes a font file available to this run without installing it.
bool registerfontfile(const std::string& path);

// Copies the program folder's font file into the player's fonts folder unless
// one of that name is there already (an existing copy is kept), then makes it
// available to this run. The copy appears whole or not at all; a failure only
// leaves the default face.
void installfont(const std::filesystem::path& programfolder, const std::string& filename);

class FontCache {
  public:
    FontCache();
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    void setface(std::string_view family);
    std::string family() const { return family_; }
    // The glyph of a Windows-1252 character at a size in points (96 dots per inch);
    // null when no face could be opened at all.
    const Glyph* glyph(double points, unsigned char ch);
    int lineheight(double points);  // pixels

  private:
    struct Sized;
    Sized* sized(double points);

    std::string requested_, family_, file_;
    std::map<std::pair<std::string, int>, std::unique_ptr<Sized>> fonts_;
    Sized* last_ = nullptr;
    int lastsize_ = -1;
};
