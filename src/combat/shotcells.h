// The shots of a frame sorted into square cells of the playfield, so that the
// rock pass tests a body only against the shots near it. Filled once before
// the rock pass, when every shot has moved; shots neither move nor join the
// list until the pass is over.
#pragma once

#include <array>
#include <cstdint>

struct ShotCells {
    static constexpr double cellsize = 32;         // playfield units
    static constexpr int columns = 64, rows = 24;  // 2048 x 768 units; beyond, the edge cells
    static constexpr int shotcapacity = 1000;      // as the shot list
    bool ready = false;  // true from the sorting to the end of the rock pass
    int16_t count = 0;   // the shot count when sorted
    double widest = 0;   // largest half step (|vx| + |vy|) / 2 of a sorted shot, units
    std::array<int16_t, columns * rows + 1> start{};  // first entry of each cell in index
    std::array<int16_t, shotcapacity> index{};        // shot numbers, ascending within a cell

    // The cell column or row of a coordinate; monotonic, so a range of
    // coordinates maps to a range of cells.
    static int column(double x) { return clampcell(x / cellsize, columns); }
    static int row(double y) { return clampcell(y / cellsize, rows); }

  private:
    static int clampcell(double v, int cells) {
        if (!(v >= 1)) return 0;  // below 1, and undefined
        if (v >= cells - 1) return cells - 1;
        return static_cast<int>(v);
    }
};
