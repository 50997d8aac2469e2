// Choosing a face: one whose file draws nothing (a copy cut short) gives way
// to the next face, so the game never runs without text.
#include "platform/font.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/gamefixture.h"

namespace {
namespace fs = std::filesystem;

uint32_t bigendian(const std::string& data, std::size_t at) {
    return (uint32_t(uint8_t(data[at])) << 24) | (uint32_t(uint8_t(data[at + 1])) << 16) |
           (uint32_t(uint8_t(data[at + 2])) << 8) | uint32_t(uint8_t(data[at + 3]));
}

// A copy of a face under another family name of the same length (in the
// plain and the UTF-16 names), its outlines blanked when `drawsnothing`: what
// a copy cut short looks like to fontconfig, a name and no glyphs.
fs::path renamedface(const fs::path& face, const std::string& from, const std::string& to,
                     bool drawsnothing, const fs::path& folder) {
    std::ifstream in(face, std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto replaceall = [&](const std::string& a, const std::string& b) {
        for (std::size_t at = data.find(a); at != std::string::npos; at = data.find(a, at + 1)) {
            data.replace(at, a.size(), b);
        }
    };
    auto wide = [](const std::string& s) {
        std::string w;
        for (char c : s) w += std::string(1, '\0') + c;
        return w;
    };
    replaceall(from, to);
    replaceall(wide(from), wide(to));
    if (drawsnothing) {
        int tables = (uint8_t(data[4]) << 8) | uint8_t(data[5]);
        for (int i = 0; i < tables; ++i) {
            std::size_t record = 12 + 16 * i;
            if (data.compare(record, 4, "glyf") != 0) continue;
            uint32_t offset = bigendian(data, record + 8), length = bigendian(data, record + 12);
            std::memset(data.data() + offset, 0, length);
        }
    }
    fs::path out = folder / (to + ".ttf");
    std::ofstream(out, std::ios::binary) << data;
    return out;
}

int coverage(const Glyph* glyph) {
    int sum = 0;
    if (glyph) {
        for (uint8_t a : glyph->alpha) sum += a;
    }
    return sum;
}

}  // namespace

TEST(FontFaces, AFaceThatDrawsNothingGivesWayToTheNextFace) {
    fs::path play = "/usr/share/fonts/truetype/play/Play-Regular.ttf";
    if (!fs::exists(play)) GTEST_SKIP() << "the default face's file is not installed";
    TempFolder folder;
    ASSERT_TRUE(registerfontfile(renamedface(play, "Play", "Vmrw", false, folder.path()).string()));
    ASSERT_TRUE(registerfontfile(renamedface(play, "Play", "Vmrx", true, folder.path()).string()));

    FontCache fonts;
    // A whole face under its new name is taken as it is...
    fonts.setface("Vmrw");
    EXPECT_EQ(fonts.family(), "Vmrw");
    EXPECT_GT(coverage(fonts.glyph(20, 'A')), 0);
    // ...but one whose outlines are gone is not, and the text still shows.
    fonts.setface("Vmrx");
    EXPECT_NE(fonts.family(), "Vmrx");
    EXPECT_GT(coverage(fonts.glyph(20, 'A')), 0);
}
