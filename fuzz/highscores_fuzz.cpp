// Fuzzing the high-score file reader: any bytes must either be refused as
// unreadable or give a table that writes back to a file reading the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "screens/highscorefile.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::optional<highscorefile::Table> table = highscorefile::parse(text);
    if (!table) return 0;

    for (int k = 1; k <= 11; ++k) {
        require(table->names[k].size() <= highscorefile::longestname);
        require(table->names[k].find('\n') == std::string::npos);
    }
    highscorefile::checks(*table);

    // What the game would write for this table reads back unchanged, and fits
    // in what the game reads.
    std::string written = highscorefile::format(*table);
    require(written.size() <= highscorefile::maxbytes);
    std::optional<highscorefile::Table> again = highscorefile::parse(written);
    require(again.has_value());
    require(again->names == table->names);
    require(again->scores == table->scores);
    require(highscorefile::format(*again) == written);
    return 0;
}
