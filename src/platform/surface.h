// The persistent window image: a 32-bit pixel buffer of the client size that
// every drawing call of the game writes into. Polygons and blackened rectangles
// are in pixels; text positions, text sizes and the playfield are in playfield
// units (600 high). The same image is shown by the SDL window and read by tests.
//
// Sections: window sizes, drawing state, polygons and rectangles, text, pixels.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A pixel point of the polygon buffer.
struct PixelPoint {
    int32_t x = 0;
    int32_t y = 0;
};

class FontCache;

class Surface {
  public:
    // Client size in pixels; the outer size includes window decorations and
    // equals the client size where the platform reports none.
    Surface(int clientwidth, int clientheight, int outerwidth, int outerheight);
    Surface(int clientwidth, int clientheight)
        : Surface(clientwidth, clientheight, clientwidth, clientheight) {}
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // --- window sizes
    int width() const { return width_; }    // client pixels
    int height() const { return height_; }  // client pixels
    int outerwidth() const { return outerwidth_; }
    int outerheight() const { return outerheight_; }
    double pixelscale() const { return height_ / 600.0; }  // pixels per playfield unit
    double scalewidth() const { return scalewidth_; }      // playfield width in units
    double scaleheight() const { return 600.0; }           // playfield height in units

    // --- drawing state (colours are red + 256 green + 65536 blue)
    void setbackcolour(int32_t colour) { backcolour_ = colour; }
    int32_t backcolour() const { return backcolour_; }
    void setlinecolour(int32_t colour) { linecolour_ = colour; }
    int32_t linecolour() const { return linecolour_; }
    void setfillcolour(int32_t colour) { fillcolour_ = colour; }
    int32_t fillcolour() const { return fillcolour_; }
    void setfillstyle(int style) { fillstyle_ = style; }  // 0 solid, 1 transparent
    int fillstyle() const { return fillstyle_; }
    void setfontface(std::string_view family);
    // The family actually used (the requested one, or the default face).
    std::string fontfamily() const;
    void setfontsize(double points);  // points at 96 dots per inch
    double fontsize() const { return fontsize_; }
    void setposition(double x, double y) {
        currentx_ = x;
        currenty_ = y;
    }
    double currentx() const { return currentx_; }
    double currenty() const { return currenty_; }

    // --- polygons and rectangles
    // Fills the whole image with the background colour.
    void clear();
    // Closed polygon through points[0..n-1]: even-odd fill in the fill colour
    // unless the fill style is transparent, then the 1-pixel outline in the line
    // colour. Two points make a line. Clipped to the image.
    void polygon(const PixelPoint* points, int n);
    // The pixel rectangle becomes black.
    void blacken(int x, int y, int width, int height);
    // Fills the rectangle between two corners given in playfield units.
    void fillrect(double x1, double y1, double x2, double y2, int32_t colour);

    // --- text (8-bit Windows-1252 text)
    // Prints at the text position in the current face, size and line colour,
    // on a transparent background.
    void print(std::string_view text);
    double textwidth(std::string_view text);   // playfield units
    double textheight(std::string_view text);  // playfield units

    // --- pixels
    // Shapes are kept and drawn together; when there are many, a second
    // thread draws them in bands of rows, starting on them while the game
    // goes on. Anything that reads the image first finishes them, so what is
    // read is always what drawing them one by one gives.
    void finish() const;
    // The kept shapes' area (in pixels of their bounding boxes) from which the
    // drawing is shared between two threads; 0 shares every time.
    void setsharedwork(uint64_t pixels) { sharedwork_ = pixels; }
    // The colour of a pixel, in the game's colour form; 0 outside the image.
    int32_t pixel(int x, int y) const;
    // Rows of 0xAARRGGBB words, for presenting.
    const uint32_t* data() const {
        finish();
        return pixels_.data();
    }
    int pitchbytes() const { return width_ * 4; }
    bool savepng(const std::string& path) const;
    // Pixels written by polygons, rectangles and clearing since the image was
    // made, counting a pixel again each time it is drawn over: the fill work.
    uint64_t pixelswritten() const {
        finish();
        return pixelswritten_;
    }
    // Times the drawing was shared with the second thread.
    uint64_t sharedfinishes() const { return sharedfinishes_; }

  private:
    struct Raster;
    struct Shape;
    struct Batch;
    struct Helper;
    // Keeps a shape for the next finish, or draws it at once where no second
    // thread is ever used.
    inline void keep(const Shape& shape, const PixelPoint* points);
    bool starthelper() const;
    void drawshapes(const Batch& batch, Raster& raster) const;

    int width_, height_, outerwidth_, outerheight_;
    double scalewidth_;
    mutable std::vector<uint32_t> pixels_;
    int32_t backcolour_ = 0, linecolour_ = 0, fillcolour_ = 0;
    int fillstyle_ = 0;
    double fontsize_ = 10;
    double currentx_ = 0, currenty_ = 0;
    // The shapes being kept, and the area of the boxes of all shapes kept
    // since the last finish and of the recent crowded finishes.
    mutable std::unique_ptr<Batch> recording_;
    mutable uint64_t keptwork_ = 0, recentwork_ = 0;
    mutable bool handedover_ = false;  // batches went to the second thread since the last finish
    uint64_t sharedwork_;
    mutable uint64_t pixelswritten_ = 0, sharedfinishes_ = 0;
    mutable std::unique_ptr<Raster> raster_;  // this thread's
    mutable std::unique_ptr<Helper> helper_;  // started when shapes are first shared
    mutable bool helperfailed_ = false;
    std::unique_ptr<FontCache> fonts_;
};

// Game colour (red + 256 green + 65536 blue) to and from 0xAARRGGBB.
inline uint32_t toargb(int32_t colour) {
    uint32_t c = static_cast<uint32_t>(colour) & 0xFFFFFFu;
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline int32_t fromargb(uint32_t argb) {
    return static_cast<int32_t>(((argb >> 16) & 0xFFu) | (argb & 0xFF00u) | ((argb & 0xFFu) << 16));
}
