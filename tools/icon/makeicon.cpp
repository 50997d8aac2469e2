// Draws the desktop icon: the classic arrowhead ship, nose up, grey with its
// white outline on the black playfield, as the game itself builds and draws it.
//   volmarin-makeicon <folder>
// writes <folder>/hicolor/NxN/apps/volmarin.png for each icon size and
// <folder>/hicolor/scalable/apps/volmarin.svg.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/game.h"
#include "core/random.h"
#include "platform/headless/headless_platform.h"

namespace fs = std::filesystem;

namespace {

constexpr std::array sizes = {16, 32, 48, 64, 128, 256};
constexpr double margin = 0.08;  // of the icon's side, kept clear around the ship
constexpr int svgside = 256;

struct Point {
    double x;
    double y;
};

// The ship's outline in its own units, turned nose up (the game's y grows
// downwards), with its bounding box centred on the origin.
std::vector<Point> shipoutline() {
    HeadlessPlatform platform(fs::temp_directory_path());
    ScriptedRandom random;
    auto game = std::make_unique<Game>(platform, random);  // megabytes of fixed arrays
    game->initializeship(0, 0);
    const Body& ship = game->bodies[0];
    std::vector<Point> points;
    for (int j = 1; j <= ship.vertexcount; ++j) {
        double a = ship.angle[j] - quarterturn;
        points.push_back({ship.radius[j] * std::cos(a), ship.radius[j] * std::sin(a)});
    }
    auto [minx, maxx] = std::minmax_element(points.begin(), points.end(),
                                            [](Point p, Point q) { return p.x < q.x; });
    auto [miny, maxy] = std::minmax_element(points.begin(), points.end(),
                                            [](Point p, Point q) { return p.y < q.y; });
    Point middle{(minx->x + maxx->x) / 2, (miny->y + maxy->y) / 2};
    for (Point& p : points) p = {p.x - middle.x, p.y - middle.y};
    return points;
}

// Pixels per ship unit so that the ship fills the icon within its margin.
double fitscale(const std::vector<Point>& outline, double side) {
    double extent = 0;
    for (Point p : outline) extent = std::max({extent, std::abs(p.x), std::abs(p.y)});
    return side * (1 - 2 * margin) / (2 * extent);
}

bool writepng(const std::vector<Point>& outline, int side, const fs::path& file) {
    Surface image(side, side);
    image.setbackcolour(0);
    image.clear();
    double scale = fitscale(outline, side - 1);
    std::vector<PixelPoint> pixels;
    for (Point p : outline) {
        pixels.push_back(
            {cint(p.x * scale + (side - 1) / 2.0), cint(p.y * scale + (side - 1) / 2.0)});
    }
    image.setfillcolour(rgb(65, 65, 65));
    image.setlinecolour(rgb(255, 255, 255));
    image.setfillstyle(0);
    image.polygon(pixels.data(), static_cast<int>(pixels.size()));
    image.setfillstyle(1);
    image.polygon(pixels.data(), static_cast<int>(pixels.size()));
    return image.savepng(file.string());
}

bool writesvg(const std::vector<Point>& outline, const fs::path& file) {
    double scale = fitscale(outline, svgside);
    std::string points;
    char buffer[64];
    for (Point p : outline) {
        std::snprintf(buffer, sizeof buffer, "%s%.2f,%.2f", points.empty() ? "" : " ",
                      p.x * scale + svgside / 2.0, p.y * scale + svgside / 2.0);
        points += buffer;
    }
    std::ofstream out(file, std::ios::binary);
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << svgside << "\" height=\""
        << svgside << "\" viewBox=\"0 0 " << svgside << ' ' << svgside << "\">\n"
        << "  <rect width=\"" << svgside << "\" height=\"" << svgside << "\" fill=\"#000000\"/>\n"
        << "  <polygon points=\"" << points
        << "\" fill=\"#414141\" stroke=\"#ffffff\" stroke-width=\"2\" stroke-linejoin=\"round\"/>\n"
        << "</svg>\n";
    return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: volmarin-makeicon <folder>\n");
        return 2;
    }
    fs::path root = fs::path(argv[1]) / "hicolor";
    std::vector<Point> outline = shipoutline();
    std::error_code ec;
    for (int side : sizes) {
        std::string name = std::to_string(side) + "x" + std::to_string(side);
        fs::path folder = root / name / "apps";
        fs::create_directories(folder, ec);
        if (!writepng(outline, side, folder / "volmarin.png")) {
            std::fprintf(stderr, "volmarin-makeicon: cannot write the %s icon\n", name.c_str());
            return 1;
        }
    }
    fs::path scalable = root / "scalable" / "apps";
    fs::create_directories(scalable, ec);
    if (!writesvg(outline, scalable / "volmarin.svg")) {
        std::fprintf(stderr, "volmarin-makeicon: cannot write the scalable icon\n");
        return 1;
    }
    return 0;
}
