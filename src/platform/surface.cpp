// The software rasterizer: exact, deterministic polygons (even-odd fill, then a
// 1-pixel outline), blackened rectangles and text composited from cached glyphs.
// Drawing a polygon and drawing it again in black touches exactly the same
// pixels, which is how every moving thing of the game is erased.
#include "platform/surface.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

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

// A line is stepped one pixel at a time along its longer (major) axis, moving
// one pixel along the other (minor) axis whenever the error term says so.
// Pixel k of the line, for k = 0 to the major length, then lies k along the
// major axis and floor((2 * minor * k + major) / (2 * major)) along the minor
// one. So a clipped line is stepped only where it is visible, and each pixel's
// minor offset is found without a branch: which pixels step the minor axis
// follows no pattern a processor could learn.
namespace {
// 2^40 / n rounded up, for n up to the length of the lines that use them.
constexpr int64_t reciprocal_limit = 1024;
constexpr std::array<uint64_t, reciprocal_limit + 1> reciprocals = [] {
    std::array<uint64_t, reciprocal_limit + 1> r{};
    for (uint64_t n = 1; n < r.size(); ++n) r[n] = ((uint64_t{1} << 40) + n - 1) / n;
    return r;
}();

struct LineSteps {
    bool xmajor;                     // whether x is the major axis
    int64_t major, minor;            // lengths along the two axes, major >= minor
    ptrdiff_t majorstep, minorstep;  // offsets in the image of a step along each
    ptrdiff_t origin;                // offset of pixel 0 (may lie outside the image)
    // The minor offset per pixel in fixed point, rounded up. Added up k times
    // to one half, its whole part is the minor offset of pixel k exactly: the
    // sum lies above the true value by less than k units (k / 2^40), and the
    // true value lies at least 1 / (2 * major) below the next whole number,
    // which is more while 2 * major * major < 2^40. Short lines take their
    // slope from a table of reciprocals, above the true slope by less than
    // minor units, which is as good while 2 * major^3 < 2^40: a division
    // would hold up the line's first pixel longer than drawing the line takes.
    static constexpr int fraction_bits = 40;
    static constexpr int64_t exact_major_limit = 1 << 19;
    uint64_t slope = 0;

    LineSteps(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int width) {
        const int64_t dx = std::abs(static_cast<int64_t>(x1) - x0),
                      dy = std::abs(static_cast<int64_t>(y1) - y0);
        const ptrdiff_t xstep = x0 < x1 ? 1 : -1, ystep = (y0 < y1 ? 1 : -1) * ptrdiff_t{width};
        xmajor = dx >= dy;
        major = xmajor ? dx : dy;
        minor = xmajor ? dy : dx;
        majorstep = xmajor ? xstep : ystep;
        minorstep = xmajor ? ystep : xstep;
        origin = static_cast<ptrdiff_t>(y0) * width + x0;
        if (major > 0 && major <= reciprocal_limit) {
            slope = static_cast<uint64_t>(minor) * reciprocals[static_cast<size_t>(major)];
        } else if (major > 0 && major < exact_major_limit) {
            const uint64_t scaled = static_cast<uint64_t>(minor) << fraction_bits;
            slope = (scaled + static_cast<uint64_t>(major) - 1) / static_cast<uint64_t>(major);
        }
    }
    // The first pixel whose minor offset is at least m.
    int64_t firstwithminor(int64_t m) const {
        if (m <= 0) return 0;
        if (minor == 0) return major + 1;
        return (major * (2 * m - 1) + 2 * minor - 1) / (2 * minor);
    }
};
}  // namespace

// One drawing thread's view of the image: the rows it may write, its scratch
// for the fills and its count of pixels written.
struct Surface::Raster {
    Raster(uint32_t* image, int w, int h) : pixels(image), width(w), height(h), bottom(h) {}

    uint32_t* pixels;
    int width, height;
    int top = 0, bottom;  // the rows written, [top, bottom)
    struct Edge {
        double ax, ay;        // the edge's first point
        double slope;         // x per row along the edge
        int64_t top, bottom;  // the rows whose centre line the edge crosses
    };
    uint64_t written = 0;

    // A kept shape, with its points (none for a rectangle).
    void draw(const Shape& shape, const PixelPoint* points);

  private:
    void polygon(const PixelPoint* points, int n, bool solid, uint32_t fillargb, uint32_t outline);
    // The pixels from (x0, y0) to (x1, y1), corners included, within the image.
    void rectangle(int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t argb);
    void plot(int64_t x, int64_t y, uint32_t argb) {
        if (x >= 0 && y >= top && x < width && y < bottom) {
            pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)] = argb;
            ++written;
        }
    }
    void fillrow(uint32_t* p, int count, uint32_t argb);
    void line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t argb);
    void lineinside(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t argb);
    void linestretch(const LineSteps& l, int64_t from, int64_t to, uint32_t argb);
    void fill(const PixelPoint* points, int n, uint32_t argb);
    static constexpr int monotone_limit = 64;    // larger outlines take the general fill
    std::array<Edge, 2 * monotone_limit> edges;  // the two chains of a convex fill
    bool fillmonotone(const PixelPoint* points, int n, uint32_t argb);
    // Kept so that drawing allocates nothing once the largest fill is known; a
    // bit per pixel of the rows of a general fill, clear between fills.
    std::vector<uint64_t> flags;
    void fillflags(const PixelPoint* points, int n, uint32_t argb);
    // The rows of a convex fill are worked out this many at a time before any
    // of them is written.
    static constexpr int64_t rows_ahead = 64;
    static void spansbetween(const Edge& e0, const Edge& e1, int64_t y, int64_t stop, double width,
                             int32_t* left, int32_t* right);
};

// A kept shape: a polygon whose points are in the point list, or a rectangle.
struct Surface::Shape {
    int32_t first = 0, n = 0;     // points; n = 0 for a rectangle
    int64_t top = 0, bottom = 0;  // the rows it can touch, both included
    int64_t left = 0, right = 0;  // a rectangle's columns, both included
    bool solid = false;
    uint32_t fill = 0, outline = 0;
};

namespace {
// Rows of a band: the two threads take bands as they come free, so the work
// is shared evenly however the shapes lie, and few shapes cross two bands.
// A shape crossing two is set up twice: bands of 128 rows drew the crowded
// frames more slowly, and bands of 240 or more the A-bomb's frame.
constexpr int band_rows = 192;
// Bands at most; in an image taller than that, the last band takes the rest.
constexpr int64_t most_bands = 32;
// The band holding a row of the image (the first for rows above it).
inline int64_t bandof(int64_t row) {
    return std::min(std::max<int64_t>(row, 0) / band_rows, most_bands - 1);
}
// Kept shapes beyond these are drawn at once, so the lists stay small however
// long nothing reads the image.
constexpr size_t most_kept_shapes = 8192, most_kept_points = 1 << 18;
// Shapes whose boxes cover less than this (a crowded level's frame covers
// about a third of it) are drawn by this thread alone: waking the second
// costs more than it saves.
constexpr uint64_t default_shared_work = 1000000;
#ifdef __EMSCRIPTEN__
constexpr bool two_threads = false;  // the page runs on one thread
#else
constexpr bool two_threads = true;
#endif
// Batches handed over and not yet drawn, at most; beyond, this thread draws.
// A crowded frame hands over about sixteen, and the game's thread is better
// kept at the game while the second thread catches up than drawing beside it.
constexpr size_t most_queued = 16;
// Pauses of the second thread awaiting the next batch awake: about 0.1 ms.
constexpr int spin_limit = 4000;
inline void pausebriefly() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}
}  // namespace

// Kept shapes in the order they were drawn, with their points and the area of
// their boxes; once handed over, also which of its bands are drawn.
struct Surface::Batch {
    std::vector<Shape> shapes;
    std::vector<PixelPoint> points;
    // The shapes each band holds, listed only in crowded frames, whose
    // batches are drawn band by band.
    bool banded = false;
    std::array<std::vector<uint32_t>, most_bands> inband;
    int64_t bandsheld = 0;  // bands holding any
    uint64_t work = 0;
    uint64_t number = 0;  // place among the batches handed over
    std::vector<char> banddone;
    int bandsdone = 0;

    void empty() {
        shapes.clear();
        points.clear();
        for (int64_t band = 0; band < bandsheld; ++band) inband[static_cast<size_t>(band)].clear();
        bandsheld = 0;
        work = 0;
    }
};

// The second drawing thread and the batches handed to it. It draws them band
// by band in the order they came, while the game goes on; a band of a batch
// waits for the same band of the batch before, so every pixel receives the
// shapes in the order they were drawn. A finish joins in until all are drawn.
struct Surface::Helper {
    explicit Helper(const Surface& s)
        : surface(s),
          bands(static_cast<int>(bandof(s.height_ - 1) + 1)),
          raster(s.pixels_.data(), s.width_, s.height_) {
        thread = std::thread([this] { run(); });
    }
    ~Helper() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stop = true;
        }
        work.notify_one();
        thread.join();
    }

    // Queues the batch and gives its keeper an empty one, drawing first while
    // too many are queued.
    void handover(std::unique_ptr<Batch>& batch, Raster& own) {
        std::unique_lock<std::mutex> lock(mutex);
        batch->number = handed++;
        batch->banddone.assign(static_cast<size_t>(bands), 0);
        batch->bandsdone = 0;
        queue.push_back(std::move(batch));
        work.notify_one();
        while (queue.size() >= most_queued) {
            if (!drawnext(own, lock)) progress.wait(lock);
        }
        if (spare.empty()) {
            batch = std::make_unique<Batch>();
        } else {
            batch = std::move(spare.back());
            spare.pop_back();
        }
        batch->empty();
    }

    // Draws with the other thread until every batch is drawn; gives the other
    // thread's count of pixels written since the last time.
    uint64_t drain(Raster& own) {
        std::unique_lock<std::mutex> lock(mutex);
        while (!queue.empty()) {
            if (!drawnext(own, lock)) progress.wait(lock);
        }
        const uint64_t written = raster.written;
        raster.written = 0;
        return written;
    }

  private:
    void run() {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            if (nextbatch >= queue.size() && !stop) {
                // The next batch of a crowded frame is usually close behind:
                // it is awaited awake for a moment before sleeping.
                const uint64_t seen = handed;
                lock.unlock();
                for (int i = 0; i < spin_limit && handed == seen; ++i) pausebriefly();
                lock.lock();
            }
            work.wait(lock, [&] { return stop || nextbatch < queue.size(); });
            if (stop) return;
            drawnext(raster, lock);
        }
    }

    // Takes the next band of the queued batches and draws it, unlocked; false
    // when every band is taken.
    bool drawnext(Raster& r, std::unique_lock<std::mutex>& lock) {
        if (nextbatch >= queue.size()) return false;
        Batch* batch = queue[nextbatch].get();
        const int band = nextband;
        if (++nextband == bands) {
            nextband = 0;
            ++nextbatch;
        }
        // The batch before is drawn in this band first (or wholly, and gone).
        progress.wait(lock, [&] {
            const uint64_t first = queue.front()->number;
            return batch->number == first ||
                   queue[static_cast<size_t>(batch->number - first - 1)]->banddone[band] != 0;
        });
        lock.unlock();
        r.top = band * band_rows;
        r.bottom = band + 1 == bands ? surface.height_ : r.top + band_rows;
        surface.drawshapes(*batch, r);
        r.top = 0;
        r.bottom = surface.height_;
        lock.lock();
        batch->banddone[static_cast<size_t>(band)] = 1;
        ++batch->bandsdone;
        // A batch is wholly drawn only after the one before it.
        while (!queue.empty() && queue.front()->bandsdone == bands) {
            spare.push_back(std::move(queue.front()));
            queue.pop_front();
            --nextbatch;
        }
        progress.notify_all();
        return true;
    }

    const Surface& surface;
    const int bands;
    Raster raster;
    std::mutex mutex;
    std::condition_variable work, progress;
    std::deque<std::unique_ptr<Batch>> queue;  // handed over, not wholly drawn
    std::vector<std::unique_ptr<Batch>> spare;
    size_t nextbatch = 0;  // the next band to take: of queue[nextbatch]
    int nextband = 0;
    std::atomic<uint64_t> handed{0};  // batches handed over; read unlocked while awaited awake
    bool stop = false;
    std::thread thread;
};

Surface::Surface(int clientwidth, int clientheight, int outerwidth, int outerheight)
    : width_(std::max(1, clientwidth)),
      height_(std::max(1, clientheight)),
      outerwidth_(std::max(1, outerwidth)),
      outerheight_(std::max(1, outerheight)),
      scalewidth_(600.0 * outerwidth_ / outerheight_),
      pixels_(static_cast<size_t>(width_) * height_, 0xFF000000u),
      recording_(std::make_unique<Batch>()),
      sharedwork_(default_shared_work),
      raster_(std::make_unique<Raster>(pixels_.data(), width_, height_)),
      fonts_(std::make_unique<FontCache>()) {}

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

// --- kept shapes

inline __attribute__((always_inline)) void Surface::keep(const Shape& shape,
                                                         const PixelPoint* points) {
    if (shape.bottom < 0 || shape.top >= height_) return;
    if (!two_threads) {
        raster_->draw(shape, points);
        pixelswritten_ += raster_->written;
        raster_->written = 0;
        return;
    }
    if (recording_->shapes.size() >= most_kept_shapes ||
        recording_->points.size() + static_cast<size_t>(shape.n) > most_kept_points)
        finish();
    Batch& batch = *recording_;
    const auto index = static_cast<uint32_t>(batch.shapes.size());
    Shape& kept = batch.shapes.emplace_back(shape);
    kept.first = static_cast<int32_t>(batch.points.size());
    if (index == 0) batch.banded = recentwork_ >= sharedwork_;
    if (batch.banded) {
        const int64_t lastband = std::min(bandof(shape.bottom), bandof(height_ - 1));
        for (int64_t band = bandof(shape.top); band <= lastband; ++band)
            batch.inband[static_cast<size_t>(band)].push_back(index);
        batch.bandsheld = std::max(batch.bandsheld, lastband + 1);
    }
    if (points != nullptr) batch.points.insert(batch.points.end(), points, points + shape.n);
    const int64_t rows =
        std::min<int64_t>(shape.bottom, height_ - 1) - std::max<int64_t>(shape.top, 0) + 1;
    const int64_t columns = std::clamp<int64_t>(shape.right, 0, width_ - 1) -
                            std::clamp<int64_t>(shape.left, 0, width_ - 1) + 1;
    const uint64_t work =
        static_cast<uint64_t>(std::max<int64_t>(rows, 0) * std::max<int64_t>(columns, 0));
    batch.work += work;
    keptwork_ += work;
    // After crowded finishes the second thread takes each eighth of such a
    // finish's work as it fills (from a quarter of the sharing point to four
    // times it), and the first batch after a finish at a thirty-second, so
    // that the second thread waits less at the start of a frame; otherwise
    // the first batch goes when the work is worth sharing.
    const uint64_t handoff =
        recentwork_ >= sharedwork_
            ? std::clamp(recentwork_ / (handedover_ ? 8 : 32), sharedwork_ / 4, sharedwork_ * 4)
            : sharedwork_;
    if (batch.work >= handoff && starthelper()) {
        helper_->handover(recording_, *raster_);
        handedover_ = true;
    }
}

bool Surface::starthelper() const {
    if (!helper_ && !helperfailed_) {
        try {
            helper_ = std::make_unique<Helper>(*this);
        } catch (const std::system_error&) {
            helperfailed_ = true;  // no second thread to be had: this one draws alone
        }
    }
    return helper_ != nullptr;
}

void Surface::drawshapes(const Batch& batch, Raster& r) const {
    const auto draw = [&](const Shape& s) {
        r.draw(s, s.n == 0 ? nullptr : &batch.points[static_cast<size_t>(s.first)]);
    };
    if (!batch.banded || (r.top == 0 && r.bottom == height_)) {
        for (const Shape& s : batch.shapes) {
            if (s.bottom >= r.top && s.top < r.bottom) draw(s);
        }
    } else {
        for (uint32_t k : batch.inband[static_cast<size_t>(bandof(r.top))]) draw(batch.shapes[k]);
    }
}

void Surface::finish() const {
    Batch& batch = *recording_;
    if (!handedover_) {
        if (batch.shapes.empty()) return;
        if (batch.work < sharedwork_ || !starthelper()) {
            drawshapes(batch, *raster_);
            batch.empty();
        }
    }
    if (handedover_ || !batch.shapes.empty()) {
        if (!batch.shapes.empty()) helper_->handover(recording_, *raster_);
        pixelswritten_ += helper_->drain(*raster_);
        ++sharedfinishes_;
        handedover_ = false;
    }
    pixelswritten_ += raster_->written;
    raster_->written = 0;
    recentwork_ = std::max(keptwork_, recentwork_ / 2);
    keptwork_ = 0;
}

// --- drawing

void Surface::clear() {
    Shape s;
    s.top = 0;
    s.bottom = height_ - 1;
    s.left = 0;
    s.right = width_ - 1;
    s.fill = toargb(backcolour_);
    keep(s, nullptr);
}

void Surface::polygon(const PixelPoint* points, int n) {
    if (n <= 0) return;
    Shape s;
    s.n = n;
    s.solid = n >= 3 && fillstyle_ == 0;
    s.fill = toargb(fillcolour_);
    s.outline = toargb(linecolour_);
    s.top = s.bottom = points[0].y;
    s.left = s.right = points[0].x;
    for (int i = 1; i < n; ++i) {
        s.top = std::min<int64_t>(s.top, points[i].y);
        s.bottom = std::max<int64_t>(s.bottom, points[i].y);
        s.left = std::min<int64_t>(s.left, points[i].x);
        s.right = std::max<int64_t>(s.right, points[i].x);
    }
    keep(s, points);
}

void Surface::blacken(int x, int y, int w, int h) {
    if (w <= 0 || h <= 0) return;
    Shape s;
    s.left = x;
    s.top = y;
    s.right = static_cast<int64_t>(x) + w - 1;
    s.bottom = static_cast<int64_t>(y) + h - 1;
    s.fill = 0xFF000000u;
    keep(s, nullptr);
}

void Surface::fillrect(double x1, double y1, double x2, double y2, int32_t colour) {
    double sx = width_ / scalewidth_, sy = pixelscale();
    long px0 = std::lround(std::min(x1, x2) * sx), px1 = std::lround(std::max(x1, x2) * sx);
    long py0 = std::lround(std::min(y1, y2) * sy), py1 = std::lround(std::max(y1, y2) * sy);
    Shape s;
    s.left = std::clamp<long>(px0, -1, width_);
    s.right = std::clamp<long>(px1, -1, width_);
    s.top = std::clamp<long>(py0, -1, height_);
    s.bottom = std::clamp<long>(py1, -1, height_);
    s.fill = toargb(colour);
    keep(s, nullptr);
}

// --- the raster

void Surface::Raster::draw(const Shape& shape, const PixelPoint* points) {
    if (shape.n == 0) {
        rectangle(shape.left, shape.top, shape.right, shape.bottom, shape.fill);
    } else {
        polygon(points, shape.n, shape.solid, shape.fill, shape.outline);
    }
}

void Surface::Raster::rectangle(int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t argb) {
    x0 = std::max<int64_t>(x0, 0);
    x1 = std::min<int64_t>(x1, width - 1);
    if (x0 > x1) return;
    const int64_t last = std::min<int64_t>(y1, bottom - 1);
    for (int64_t y = std::max<int64_t>(y0, top); y <= last; ++y) {
        fillrow(pixels + static_cast<size_t>(y) * width + x0, static_cast<int>(x1 - x0 + 1), argb);
    }
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
    if (count <= 32) {
        // Eight groups, those past the span's end moved back onto its last
        // four: quicker than the loop below for the short rows of small shapes.
        for (int i = 0; i < 8; ++i)
            std::memcpy(p + std::min(4 * i, count - 4), group, sizeof group);
        return;
    }
    uint32_t* const end = p + count;
    // The first and last four unaligned, the groups between them on 16-byte
    // boundaries, so that no store straddles two cache lines.
    std::memcpy(p, group, sizeof group);
    uint32_t* q =
        reinterpret_cast<uint32_t*>((reinterpret_cast<uintptr_t>(p) + 16) & ~uintptr_t{15});
    for (; q + 8 <= end; q += 8) {
        std::memcpy(q, group, sizeof group);
        std::memcpy(q + 4, group, sizeof group);
    }
    if (q + 4 <= end) std::memcpy(q, group, sizeof group);
    std::memcpy(end - 4, group, sizeof group);
}
}  // namespace

inline void Surface::Raster::fillrow(uint32_t* p, int count, uint32_t argb) {
    written += static_cast<uint64_t>(count);
    fillpixels(p, count, argb);
}

// Pixels `from` to `to` of the line, all of them inside the image and its rows written.
void Surface::Raster::linestretch(const LineSteps& l, int64_t from, int64_t to, uint32_t argb) {
    written += static_cast<uint64_t>(to - from + 1);
    ptrdiff_t at = l.origin + static_cast<ptrdiff_t>(from) * l.majorstep;
    if (l.major >= LineSteps::exact_major_limit) {
        // Far longer than any image's side: worked out pixel by pixel.
        for (int64_t k = from; k <= to; ++k, at += l.majorstep) {
            const int64_t m = (2 * l.minor * k + l.major) / (2 * l.major);
            pixels[at + static_cast<ptrdiff_t>(m) * l.minorstep] = argb;
        }
        return;
    }
    uint64_t sum =
        (uint64_t{1} << (LineSteps::fraction_bits - 1)) + static_cast<uint64_t>(from) * l.slope;
    for (int64_t k = from; k <= to; ++k, at += l.majorstep, sum += l.slope) {
        const auto m = static_cast<ptrdiff_t>(sum >> LineSteps::fraction_bits);
        pixels[at + m * l.minorstep] = argb;
    }
}

// A line whose two ends are inside the rows written: every pixel of it is.
void Surface::Raster::lineinside(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t argb) {
    const LineSteps l(x0, y0, x1, y1, width);
    linestretch(l, 0, l.major, argb);
}

void Surface::Raster::line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t argb) {
    if (std::abs(x0) > stepping_limit || std::abs(y0) > stepping_limit ||
        std::abs(x1) > stepping_limit || std::abs(y1) > stepping_limit) {
        double fx0 = x0, fy0 = y0, fx1 = x1, fy1 = y1;
        if (!clipsegment(fx0, fy0, fx1, fy1, -2, -2, width + 1, height + 1)) return;
        x0 = static_cast<int32_t>(std::lround(fx0));
        y0 = static_cast<int32_t>(std::lround(fy0));
        x1 = static_cast<int32_t>(std::lround(fx1));
        y1 = static_cast<int32_t>(std::lround(fy1));
    }
    // Wholly outside on one side: nothing to step.
    if ((x0 < 0 && x1 < 0) || (y0 < top && y1 < top) || (x0 >= width && x1 >= width) ||
        (y0 >= bottom && y1 >= bottom))
        return;
    const LineSteps l(x0, y0, x1, y1, width);
    // Both coordinates move one way only, so the pixels inside the columns and
    // the rows written are one stretch: the pixels whose major coordinate is
    // inside, and of those, the ones whose minor offset keeps the other inside.
    const bool xmajor = l.xmajor;
    const int64_t major0 = xmajor ? x0 : y0, minor0 = xmajor ? y0 : x0;
    const int64_t majorend = xmajor ? x1 : y1, minorend = xmajor ? y1 : x1;
    const int64_t majorlow = xmajor ? 0 : top, majorhigh = xmajor ? width - 1 : bottom - 1;
    const int64_t minorlow = xmajor ? top : 0, minorhigh = xmajor ? bottom - 1 : width - 1;
    // Offsets from the start along an axis that keep its coordinate within [low, high].
    const auto offsets = [](int64_t start, int64_t end, int64_t low, int64_t high) {
        return end >= start ? std::pair{low - start, high - start}
                            : std::pair{start - high, start - low};
    };
    const auto [kfrom, kto] = offsets(major0, majorend, majorlow, majorhigh);
    const auto [mfrom, mto] = offsets(minor0, minorend, minorlow, minorhigh);
    int64_t from = std::max(kfrom, int64_t{0}), to = std::min(kto, l.major);
    if (mfrom > 0) from = std::max(from, l.firstwithminor(mfrom));
    if (mto < l.minor) to = std::min(to, l.firstwithminor(mto + 1) - 1);
    if (from <= to) linestretch(l, from, to, argb);
}

namespace {
// Two rows' values at once, in the types the processor works on two at a time.
using Doubles2 = double __attribute__((vector_size(16)));
using Masks2 = int64_t __attribute__((vector_size(16)));
using Ints2 = int32_t __attribute__((vector_size(8)));
inline Doubles2 both(double v) {
    return Doubles2{v, v};
}
// where ? a : b, lane by lane.
inline Doubles2 pick(Masks2 where, Doubles2 a, Doubles2 b) {
    return reinterpret_cast<Doubles2>((reinterpret_cast<Masks2>(a) & where) |
                                      (reinterpret_cast<Masks2>(b) & ~where));
}
// ceil(v) for values within the 32-bit range.
inline Ints2 ceilof(Doubles2 v) {
    const Ints2 whole = __builtin_convertvector(v, Ints2);
    return whole - __builtin_convertvector(__builtin_convertvector(whole, Doubles2) < v, Ints2);
}
}  // namespace

void Surface::Raster::fill(const PixelPoint* points, int n, uint32_t argb) {
    // Pixel (x, y) is inside when its centre (x + 0.5, y + 0.5) is, by the
    // even-odd rule. An edge from a to b crosses the centre line of rows
    // min(a.y, b.y) to max(a.y, b.y) - 1.
    if (n <= monotone_limit && fillmonotone(points, n, argb)) return;
    fillflags(points, n, argb);
}

// An outline whose edges run down from one top vertex along two chains to one
// bottom vertex (every convex outline does) crosses each row exactly twice:
// once on each chain. Such an outline is filled chain against chain, a span a
// row; false for any other outline, which the general fill then takes. Each
// chain edge is the very edge the general fill builds, so the crossings and
// pixels are the same. Its start is kept on a cache line's boundary: how its
// span-writing loop falls across those boundaries changed the crowded frames
// by as much as 5% as unrelated code moved it.
__attribute__((aligned(64))) bool Surface::Raster::fillmonotone(const PixelPoint* points, int n,
                                                                uint32_t argb) {
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
    Edge* down = edges.data();
    Edge* up = down + n;  // edges holds 2n entries
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
    // The spans of each run of rows_ahead rows are worked out, chain edge
    // against chain edge, and then written together: a small outline's rows
    // are written in one loop however many edges they lie between.
    int32_t lefts[rows_ahead + 1], rights[rows_ahead + 1];
    int d = 0, u = ups - 1;
    int64_t y = std::max<int64_t>(down[0].top, top);
    const int64_t end = std::min<int64_t>(down[downs - 1].bottom + 1, bottom);
    const double w = width;
    while (y < end) {
        const int64_t first = y, last = std::min(end, first + rows_ahead);
        while (y < last) {
            while (down[d].bottom < y) ++d;
            while (up[u].bottom < y) --u;
            const int64_t stop = std::min({down[d].bottom + 1, up[u].bottom + 1, last});
            spansbetween(down[d], up[u], y, stop, w, lefts + (y - first), rights + (y - first));
            y = stop;
        }
        uint32_t* row = pixels + static_cast<size_t>(first) * width;
        for (int64_t r = 0; r < last - first; ++r, row += width) {
            const int32_t l = lefts[r], h = rights[r];
            if (l <= h) fillrow(row + l, h - l + 1, argb);
        }
    }
    return true;
}

// An outline crossing rows many times (jagged or crossing itself): each edge
// marks, in a bit per pixel, the first pixel of each of its rows whose centre
// lies right of its crossing. A row's pixels are then inside where an odd
// number of marks lie at or left of them, which is the even-odd rule: the
// crossings of a row sorted and taken in pairs, without sorting anything.
void Surface::Raster::fillflags(const PixelPoint* points, int n, uint32_t argb) {
    int64_t ymin = points[0].y, ymax = points[0].y, xmin = points[0].x, xmax = points[0].x;
    for (int i = 1; i < n; ++i) {
        ymin = std::min<int64_t>(ymin, points[i].y);
        ymax = std::max<int64_t>(ymax, points[i].y);
        xmin = std::min<int64_t>(xmin, points[i].x);
        xmax = std::max<int64_t>(xmax, points[i].x);
    }
    // The rows whose centre lines the outline crosses, and the columns a mark
    // can fall on: marks left of the image go on its first column, marks
    // right of it are left out.
    const int64_t first = std::max<int64_t>(ymin, top), last = std::min<int64_t>(ymax, bottom) - 1;
    if (first > last) return;
    const int64_t leftmost = std::clamp<int64_t>(xmin, 0, width - 1);
    const int64_t rightmost = std::clamp<int64_t>(xmax + 1, 0, width - 1);
    const int64_t word0 = leftmost >> 6;
    const size_t words = static_cast<size_t>((rightmost >> 6) - word0 + 1);
    const size_t rows = static_cast<size_t>(last - first + 1);
    // All clear between fills: the scan below clears every word it reads.
    if (flags.size() < rows * words) flags.resize(rows * words);
    uint64_t* marks = flags.data();
    for (int i = 0; i < n; ++i) {
        const PixelPoint& a = points[i];
        const PixelPoint& b = points[i + 1 == n ? 0 : i + 1];
        if (a.y == b.y) continue;
        const int64_t from = std::max<int64_t>(std::min(a.y, b.y), first);
        const int64_t to = std::min<int64_t>(static_cast<int64_t>(std::max(a.y, b.y)) - 1, last);
        // The edge exactly as the convex fill builds it, crossing by crossing.
        const double ax = a.x, ay = a.y;
        const double slope = (static_cast<double>(b.x) - a.x) / (static_cast<double>(b.y) - a.y);
        uint64_t* row = marks + static_cast<size_t>(from - first) * words;
        // Two rows at a time. Each row's centre less ay is a whole number and
        // a half, worked out exactly either way. A crossing left of the image
        // is clamped to its first column before rounding up, which rounds the
        // same as clamping after; a crossing lies between its edge's ends, so
        // within the 32-bit range, and those right of the image are left out.
        const Doubles2 y0 = both(static_cast<double>(from) + 0.5 - ay) + Doubles2{0, 1};
        const int rows = static_cast<int>(to - from + 1);
        for (int r = 0; r < rows; r += 2) {
            const Doubles2 c = both(ax) + (y0 + both(r)) * both(slope) - both(0.5);
            const Ints2 x = ceilof(pick(c < both(0), both(0), c));
            for (int l = 0; l < 2 && r + l < rows; ++l, row += words) {
                const auto at = static_cast<uint32_t>(x[l]);
                if (at < static_cast<uint32_t>(width))
                    row[(at >> 6) - word0] ^= uint64_t{1} << (at & 63);
            }
        }
    }
    uint64_t* row = marks;
    for (int64_t y = first; y <= last; ++y, row += words) {
        uint64_t inside = 0;   // all ones while the row is inside at a word's start
        int64_t runfrom = -1;  // a run of inside pixels going on from an earlier word
        for (size_t k = 0; k < words; ++k) {
            uint64_t v = row[k];
            // No mark: the word is wholly outside, or wholly inside a run
            // going on from an earlier word.
            if (v == 0) continue;
            row[k] = 0;
            // Each bit becomes the parity of the marks at or below it.
            v ^= v << 1;
            v ^= v << 2;
            v ^= v << 4;
            v ^= v << 8;
            v ^= v << 16;
            v ^= v << 32;
            v ^= inside;
            inside = (v >> 63) != 0 ? ~uint64_t{0} : 0;
            const int64_t base = (word0 + static_cast<int64_t>(k)) << 6;
            // Runs of ones, each filled once it ends.
            int at = 0;
            while (at < 64) {
                if (runfrom < 0) {
                    const uint64_t rest = v >> at;
                    if (rest == 0) break;
                    at += std::countr_zero(rest);
                    runfrom = base + at;
                }
                const uint64_t rest = ~v >> at;
                if (rest == 0) break;  // the run goes on into the next word
                at += std::countr_zero(rest);
                fillrow(pixels + static_cast<size_t>(y) * width + runfrom,
                        static_cast<int>(base + at - runfrom), argb);
                runfrom = -1;
            }
        }
        // Only a mark left out right of the image leaves a row inside at its
        // end: the run stops at the image's edge.
        if (runfrom >= 0) {
            const int64_t end =
                std::min<int64_t>((word0 + static_cast<int64_t>(words)) << 6, width);
            fillrow(pixels + static_cast<size_t>(y) * width + runfrom,
                    static_cast<int>(end - runfrom), argb);
        }
    }
}

// The spans of rows y to stop - 1 between two edges, clamped to the image's
// columns.
inline void Surface::Raster::spansbetween(const Edge& e0, const Edge& e1, int64_t y, int64_t stop,
                                          double width, int32_t* left, int32_t* right) {
    // Two rows at a time, the same arithmetic in each lane; the row after
    // the last may be worked out too, into the slot after the last.
    const double y0 = static_cast<double>(y) + 0.5;
    const int rows = static_cast<int>(stop - y);
    const Doubles2 zero = both(0), half = both(0.5), w = both(width);
    for (int r = 0; r < rows; r += 2) {
        const Doubles2 yc = {y0 + r, y0 + (r + 1)};
        const Doubles2 c0 = both(e0.ax) + (yc - both(e0.ay)) * both(e0.slope);
        const Doubles2 c1 = both(e1.ax) + (yc - both(e1.ay)) * both(e1.slope);
        const Masks2 ordered = c0 < c1;
        Doubles2 lo = pick(ordered, c0, c1) - half, hi = pick(ordered, c1, c0) - half;
        // Clamping before rounding up gives the rounded value clamped, as the
        // bounds are whole numbers.
        lo = pick(lo < zero, zero, lo);
        lo = pick(w < lo, w, lo);
        hi = pick(hi < zero, zero, hi);
        hi = pick(w < hi, w, hi);
        const Ints2 l = ceilof(lo), h = ceilof(hi) - 1;
        std::memcpy(left + r, &l, sizeof l);
        std::memcpy(right + r, &h, sizeof h);
    }
}

void Surface::Raster::polygon(const PixelPoint* points, int n, bool solid, uint32_t fillargb,
                              uint32_t outline) {
    if (solid) fill(points, n, fillargb);
    if (n == 1) {
        plot(points[0].x, points[0].y, outline);
        return;
    }
    int segments = n == 2 ? 1 : n;
    // An outline wholly inside the rows written needs no clipping on any of its lines.
    bool inside = true;
    for (int i = 0; i < n && inside; ++i) {
        inside =
            points[i].x >= 0 && points[i].y >= top && points[i].x < width && points[i].y < bottom;
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

void Surface::print(std::string_view text) {
    finish();  // text is blended with what lies beneath it
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
    finish();
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return fromargb(pixels_[static_cast<size_t>(y) * width_ + x]);
}
