// A collection as the game keeps them: a fixed array whose elements 1 to count
// are in use. Element 0 is never a live entry of the list (of bodies it is the
// ship). Order is not kept: removing copies the last element into the gap.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

template <typename T, int16_t N>
class Pool {
  public:
    static constexpr int16_t capacity = N;

    // Elements in use, 1..count; the game's bodies.count is bodies.count, and so on.
    int16_t count = 0;

    // Raises the count and gives the new element's index. A full pool refuses:
    // it gives 0, writes nothing and leaves the count as it was.
    int16_t add() {
        if (count >= N) return 0;
        return ++count;
    }

    // Copies the last element over element k and lowers the count; an index
    // outside 1..count changes nothing.
    void remove(int k) {
        if (k < 1 || k > count) return;
        if (k != count) items_[k] = items_[count];
        --count;
    }

    bool full() const { return count >= N; }

    T& operator[](size_t i) { return items_[i]; }
    const T& operator[](size_t i) const { return items_[i]; }
    // The whole array, element 0 and the stale elements above count included.
    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    static constexpr size_t size() { return N + 1; }

  private:
    std::array<T, N + 1> items_{};
};
