// The software rasterizer: exact, deterministic polygons (even-odd fill, then a
// 1-pixel outline), blackened rectangles and text composited from cached glyphs.
// Drawing a polygon and drawing it again in black touches exactly the same
// pixels, which is how every moving thing of the game is erased.
#include "platform/surface.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/font.h"

namespace {
// Lines whose ends lie beyond this many pixels are clipped before stepping.
constexpr int32_t stepping_limit = 1 << 14;

// Liang-Barsky clip of a segment against a box; false when nothing is left.
bool clipsegment(double& x0, double& y0, double& x1, double& y1, double xmin, double ymin,
                 double xmax, double ymax) {
    double t0 = 0, t1 = 1;
    double dx = x1 - x0, dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - xmin, xmax - x0, y0 - ymin, ymax - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
        } else {
            double t = q[i] / p[i];
            if (p[i] < 0) {
                if (t > t1) return false;
                if (t > t0) t0 = t;
            } else {
                if (t < t0) return false;
                if (t < t1) t1 = t;
            }
        }
    }
    double nx0 = x0 + t0 * dx, ny0 = y0 + t0 * dy;
    x1 = x0 + t1 * dx;
    y1 = y0 + t1 * dy;
    x0 = nx0;
    y0 = ny0;
    return true;
}
}  // namespace

Surface::Surface(int clientwidth, int clientheight, int outerwidth, int outerheight)
    : width_(std::max(1, clientwidth)),
      height_(std::max(1, clientheight)),
      outerwidth_(std::max(1, outerwidth)),
      outerheight_(std::max(1, outerheight)),
      scalewidth_(600.0 * outerwidth_ / outerheight_),
      pixels_(static_cast<size_t>(width_) * height_, 0xFF000000u),
      fonts_(std::make_unique<FontCache>()) {
    crossings_.resize(2048);
    edges_.resize(2048);
    active_.resize(2048);
}

Surface::~Surface() = default;

void Surface::setfontface(std::string_view family) {
    fonts_->setface(family);
}
std::string Surface::fontfamily() const {
    return fonts_->family();
}
void Surface::setfontsize(double points) {
    fontsize_ = points;
}

void Surface::clear() {
    std::fill(pixels_.begin(), pixels_.end(), toargb(backcolour_));
    pixelswritten_ += pixels_.size();
}

void Surface::plot(int x, int y, uint32_t argb) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) {
        pixels_[static_cast<size_t>(y) * width_ + x] = argb;
        ++pixelswritten_;
    }
}

void Surface::span(int y, int x0, int x1, uint32_t argb) {
    if (y < 0 || y >= height_) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, width_ - 1);
    if (x0 > x1) return;
    fillrow(pixels_.data() + static_cast<size_t>(y) * width_ + x0, x1 - x0 + 1, argb);
}

namespace {
// Four pixels at a time; the last four of the span are written as one more
// (overlapping) group rather than pixel by pixel.
inline __attribute__((always_inline)) void fillpixels(uint32_t* p, int count, uint32_t argb) {
    if (count < 4) {
        for (int i = 0; i < count; ++i) p[i] = argb;
        return;
    }
    const uint32_t group[4] = {argb, argb, argb, argb};
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        std::memcpy(p + i, group, sizeof group);
        std::memcpy(p + i + 4, group, sizeof group);
    }
    if (i + 4 <= count) {
        std::memcpy(p + i, group, sizeof group);
        i += 4;
    }
    if (i < count) std::memcpy(p + count - 4, group, sizeof group);
}
}  // namespace

inline void Surface::fillrow(uint32_t* p, int count, uint32_t argb) {
    pixelswritten_ += static_cast<uint64_t>(count);
    fillpixels(p, count, argb);
}

// A line whose two ends are inside the image: every step is, so the pixels are
// written without testing each one. The steps are those of line().
void Surface::lineinside(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t argb) {
    const int64_t dx = std::abs(static_cast<int64_t>(x1) - x0),
                  dy = -std::abs(static_cast<int64_t>(y1) - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const ptrdiff_t rowstep = (y0 < y1 ? 1 : -1) * static_cast<ptrdiff_t>(width_);
    int64_t err = dx + dy;
    uint32_t* p = pixels_.data() + static_cast<size_t>(y0) * width_ + x0;
    int64_t steps = std::max(dx, -dy);
    pixelswritten_ += static_cast<uint64_t>(steps + 1);
    // A line at least as wide as high steps x on every pixel, one at least as
    // high as wide steps y on every pixel (the error term never leaves the
    // half-range that guarantees it), so only the other axis needs the test.
    if (dx >= -dy) {
        for (;;) {
            *p = argb;
            if (steps-- == 0) break;
            const bool ystep = 2 * err <= dx;
            err += dy + (ystep ? dx : 0);
            p += sx + (ystep ? rowstep : 0);
        }
    } else {
        for (;;) {
            *p = argb;
            if (steps-- == 0) break;
            const bool xstep = 2 * err >= dy;
            err += dx + (xstep ? dy : 0);
            p += rowstep + (xstep ? sx : 0);
        }
    }
}

void Surface::line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t argb) {
    if (std::abs(x0) > stepping_limit || std::abs(y0) > stepping_limit ||
        std::abs(x1) > stepping_limit || std::abs(y1) > stepping_limit) {
        double fx0 = x0, fy0 = y0, fx1 = x1, fy1 = y1;
        if (!clipsegment(fx0, fy0, fx1, fy1, -2, -2, width_ + 1, height_ + 1)) return;
        x0 = static_cast<int32_t>(std::lround(fx0));
        y0 = static_cast<int32_t>(std::lround(fy0));
        x1 = static_cast<int32_t>(std::lround(fx1));
        y1 = static_cast<int32_t>(std::lround(fy1));
    }
    // Wholly outside on one side: nothing to step.
    if ((x0 < 0 && x1 < 0) || (y0 < 0 && y1 < 0) || (x0 >= width_ && x1 >= width_) ||
        (y0 >= height_ && y1 >= height_))
        return;
    if (x0 >= 0 && x1 >= 0 && y0 >= 0 && y1 >= 0 && x0 < width_ && x1 < width_ && y0 < height_ &&
        y1 < height_) {
        lineinside(x0, y0, x1, y1, argb);
        return;
    }
    int64_t dx = std::abs(static_cast<int64_t>(x1) - x0),
            dy = -std::abs(static_cast<int64_t>(y1) - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int64_t err = dx + dy;
    int32_t x = x0, y = y0;
    for (;;) {
        plot(x, y, argb);
        if (x == x1 && y == y1) break;
        int64_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

namespace {
// ceil(t) for the crossings of a row, which lie within the 32-bit range of
// the polygon's points.
inline int64_t ceilofcrossing(double t) {
    int64_t i = static_cast<int64_t>(t);
    return i + (static_cast<double>(i) < t ? 1 : 0);
}

}  // namespace

void Surface::fill(const PixelPoint* points, int n, uint32_t argb) {
    // Pixel (x, y) is inside when its centre (x + 0.5, y + 0.5) is, by the
    // even-odd rule. An edge from a to b crosses the centre line of rows
    // min(a.y, b.y) to max(a.y, b.y) - 1; edges enter and leave an active list
    // as the rows go down, so a row only looks at the edges that cross it.
    if (edges_.size() < 2 * static_cast<size_t>(n)) {
        // Grows only for the largest polygon yet, never frame after frame.
        edges_.resize(2 * static_cast<size_t>(n));
        active_.resize(n);
        crossings_.resize(n);
    }
    if (n <= monotone_limit && fillmonotone(points, n, argb)) return;
    Edge* edges = edges_.data();
    int count = 0;
    for (int i = 0; i < n; ++i) {
        const PixelPoint& a = points[i];
        const PixelPoint& b = points[i + 1 == n ? 0 : i + 1];
        if (a.y == b.y) continue;
        int64_t top = std::min(a.y, b.y), bottom = static_cast<int64_t>(std::max(a.y, b.y)) - 1;
        if (bottom < 0 || top >= height_) continue;
        edges[count++] = {static_cast<double>(a.x), static_cast<double>(a.y),
                          (static_cast<double>(b.x) - a.x) / (static_cast<double>(b.y) - a.y), top,
                          bottom};
    }
    if (count == 0) return;
    // By first row; the order of edges that start together does not matter,
    // since a row's crossings are sorted.
    if (count > 16) {
        std::sort(edges, edges + count, [](const Edge& l, const Edge& r) { return l.top < r.top; });
    } else {
        for (int i = 1; i < count; ++i) {
            Edge e = edges[i];
            int j = i;
            for (; j > 0 && edges[j - 1].top > e.top; --j) edges[j] = edges[j - 1];
            edges[j] = e;
        }
    }
    // The active edges are kept in the order of their crossings: from one row
    // to the next that order changes only where edges start, end or cross, so
    // re-sorting it costs a pass over the list.
    const Edge** active = active_.data();
    double* crossings = crossings_.data();
    int activecount = 0, next = 0;
    int64_t y = std::max<int64_t>(edges[0].top, 0);
    while (y < height_ && (next < count || activecount > 0)) {
        if (activecount == 0 && edges[next].top > y) y = edges[next].top;
        if (y >= height_) break;
        while (next < count && edges[next].top <= y) active[activecount++] = &edges[next++];
        const double yc = static_cast<double>(y) + 0.5;
        int kept = 0;
        for (int k = 0; k < activecount; ++k) {
            const Edge* e = active[k];
            if (e->bottom < y) continue;
            active[kept] = e;
            crossings[kept] = e->ax + (yc - e->ay) * e->slope;
            ++kept;
        }
        activecount = kept;
        if (activecount == 2) {
            // A convex stretch: the same two edges down to the next row where
            // an edge starts or ends.
            int64_t stop = next < count ? std::min<int64_t>(edges[next].top, height_) : height_;
            stop = std::min({stop, active[0]->bottom + 1, active[1]->bottom + 1});
            fillbetween(*active[0], *active[1], y, stop, argb);
            y = stop;
            continue;
        }
        for (int i = 1; i < activecount; ++i) {
            const double v = crossings[i];
            const Edge* e = active[i];
            int j = i;
            for (; j > 0 && crossings[j - 1] > v; --j) {
                crossings[j] = crossings[j - 1];
                active[j] = active[j - 1];
            }
            crossings[j] = v;
            active[j] = e;
        }
        for (int k = 0; k + 1 < activecount; k += 2)
            fillcrossings(y, crossings[k], crossings[k + 1], argb);
        ++y;
    }
}

// An outline whose edges run down from one top vertex along two chains to one
// bottom vertex (every convex outline does) crosses each row exactly twice:
// once on each chain. Such an outline is filled chain against chain, with no
// sorting and no active list; false for any other outline, which the general
// fill then takes. Each chain edge is the very edge the general fill builds,
// so the crossings and pixels are the same.
bool Surface::fillmonotone(const PixelPoint* points, int n, uint32_t argb) {
    // The directions of the edges, up or down, must change exactly twice round
    // the outline; level edges cross no row and do not count.
    int changes = 0, first = 0, last = 0, firstdown = -1;
    for (int i = 0; i < n; ++i) {
        const int32_t ay = points[i].y, by = points[i + 1 == n ? 0 : i + 1].y;
        if (ay == by) continue;
        const int dir = by > ay ? 1 : -1;
        if (first == 0) {
            first = dir;
        } else if (dir != last) {
            if (++changes > 2) return false;
            if (dir == 1) firstdown = i;
        }
        last = dir;
    }
    // Round the corner from the last edge to the first.
    if (first != last) {
        ++changes;
        if (first == 1) firstdown = 0;
    }
    if (changes != 2 || firstdown < 0) return false;
    // From the top: the down chain in order, and the up chain, which is walked
    // backwards below.
    Edge* down = edges_.data();
    Edge* up = down + n;  // edges_ holds 2n entries at least
    int downs = 0, ups = 0;
    for (int m = 0, i = firstdown; m < n; ++m, i = i + 1 == n ? 0 : i + 1) {
        const PixelPoint& a = points[i];
        const PixelPoint& b = points[i + 1 == n ? 0 : i + 1];
        if (a.y == b.y) continue;
        Edge& e = b.y > a.y ? down[downs++] : up[ups++];
        e = {static_cast<double>(a.x), static_cast<double>(a.y),
             (static_cast<double>(b.x) - a.x) / (static_cast<double>(b.y) - a.y),
             std::min(a.y, b.y), static_cast<int64_t>(std::max(a.y, b.y)) - 1};
    }
    int d = 0, u = ups - 1;
    int64_t y = std::max<int64_t>(down[0].top, 0);
    const int64_t end = std::min<int64_t>(down[downs - 1].bottom + 1, height_);
    while (y < end) {
        while (down[d].bottom < y) ++d;
        while (up[u].bottom < y) --u;
        const int64_t stop = std::min({down[d].bottom + 1, up[u].bottom + 1, end});
        fillbetween(down[d], up[u], y, stop, argb);
        y = stop;
    }
    return true;
}

// Pixels whose centres lie between two crossings of row y.
inline void Surface::fillcrossings(int64_t y, double from, double to, uint32_t argb) {
    const int64_t left = ceilofcrossing(from - 0.5);
    const int64_t right = ceilofcrossing(to - 0.5) - 1;
    if (right < 0 || left >= width_ || left > right) return;
    const int64_t x0 = std::max<int64_t>(left, 0), x1 = std::min<int64_t>(right, width_ - 1);
    fillrow(pixels_.data() + static_cast<size_t>(y) * width_ + x0, static_cast<int>(x1 - x0 + 1),
            argb);
}

void Surface::fillbetween(const Edge& e0, const Edge& e1, int64_t y, int64_t stop, uint32_t argb) {
    for (; y < stop; ++y) {
        const double yc = static_cast<double>(y) + 0.5;
        double c0 = e0.ax + (yc - e0.ay) * e0.slope;
        double c1 = e1.ax + (yc - e1.ay) * e1.slope;
        if (c0 > c1) std::swap(c0, c1);
        fillcrossings(y, c0, c1, argb);
    }
}

void Surface::polygon(const PixelPoint* points, int n) {
    if (n <= 0) return;
    if (n >= 3 && fillstyle_ == 0) fill(points, n, toargb(fillcolour_));
    uint32_t outline = toargb(linecolour_);
    if (n == 1) {
        plot(points[0].x, points[0].y, outline);
        return;
    }
    int segments = n == 2 ? 1 : n;
    // An outline wholly inside the image needs no clipping on any of its lines.
    bool inside = true;
    for (int i = 0; i < n && inside; ++i) {
        inside =
            points[i].x >= 0 && points[i].y >= 0 && points[i].x < width_ && points[i].y < height_;
    }
    for (int i = 0; i < segments; ++i) {
        const PixelPoint& a = points[i];
        const PixelPoint& b = points[i + 1 == n ? 0 : i + 1];
        if (inside) {
            lineinside(a.x, a.y, b.x, b.y, outline);
        } else {
            line(a.x, a.y, b.x, b.y, outline);
        }
    }
}

void Surface::blacken(int x, int y, int w, int h) {
    int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
    int64_t x1 = std::min<int64_t>(static_cast<int64_t>(x) + w, width_);
    int64_t y1 = std::min<int64_t>(static_cast<int64_t>(y) + h, height_);
    for (int64_t row = y0; row < y1; ++row)
        span(static_cast<int>(row), static_cast<int>(x0), static_cast<int>(x1 - 1), 0xFF000000u);
}

void Surface::fillrect(double x1, double y1, double x2, double y2, int32_t colour) {
    double sx = width_ / scalewidth_, sy = pixelscale();
    long px0 = std::lround(std::min(x1, x2) * sx), px1 = std::lround(std::max(x1, x2) * sx);
    long py0 = std::lround(std::min(y1, y2) * sy), py1 = std::lround(std::max(y1, y2) * sy);
    px0 = std::clamp<long>(px0, -1, width_);
    px1 = std::clamp<long>(px1, -1, width_);
    py0 = std::clamp<long>(py0, -1, height_);
    py1 = std::clamp<long>(py1, -1, height_);
    for (long row = py0; row <= py1; ++row)
        span(static_cast<int>(row), static_cast<int>(px0), static_cast<int>(px1), toargb(colour));
}

void Surface::print(std::string_view text) {
    double sx = width_ / scalewidth_, sy = pixelscale();
    long penx = std::lround(currentx_ * sx);
    long top = std::lround(currenty_ * sy);
    uint32_t c = toargb(linecolour_);
    uint32_t cr = (c >> 16) & 0xFF, cg = (c >> 8) & 0xFF, cb = c & 0xFF;
    for (unsigned char ch : text) {
        const Glyph* g = fonts_->glyph(fontsize_, ch);
        if (!g) continue;
        for (int gy = 0; gy < g->height; ++gy) {
            long py = top + gy;
            if (py < 0 || py >= height_) continue;
            uint32_t* row = pixels_.data() + static_cast<size_t>(py) * width_;
            const uint8_t* alpha = g->alpha.data() + static_cast<size_t>(gy) * g->width;
            for (int gx = 0; gx < g->width; ++gx) {
                uint32_t a = alpha[gx];
                long px = penx + gx;
                if (a == 0 || px < 0 || px >= width_) continue;
                uint32_t d = row[px];
                uint32_t dr = (d >> 16) & 0xFF, dg = (d >> 8) & 0xFF, db = d & 0xFF;
                dr = (cr * a + dr * (255 - a) + 127) / 255;
                dg = (cg * a + dg * (255 - a) + 127) / 255;
                db = (cb * a + db * (255 - a) + 127) / 255;
                row[px] = 0xFF000000u | (dr << 16) | (dg << 8) | db;
            }
        }
        penx += g->advance;
    }
}

double Surface::textwidth(std::string_view text) {
    long total = 0;
    for (unsigned char ch : text) {
        if (const Glyph* g = fonts_->glyph(fontsize_, ch)) total += g->advance;
    }
    return total / (width_ / scalewidth_);
}

double Surface::textheight(std::string_view) {
    return fonts_->lineheight(fontsize_) / pixelscale();
}

int32_t Surface::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return fromargb(pixels_[static_cast<size_t>(y) * width_ + x]);
}
