// The page of lettering filled through the drawing layer, recorded pixel for pixel in bands
// of 128 rows (tests/data/identity-page.txt: black pixels and a digest of the band's bytes).
// Faster ways to fill the same page must keep every pixel.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "IdentityFixture.h"
#include "LetteringPage.h"

namespace {

TEST(LetteringPage, FilledPageKeepsTheRecordedPixels) {
    std::vector<Path> lines = lettering::TextLines();
    ASSERT_EQ(lettering::Lines, int(lines.size())) << "fonts-dejavu-core is installed by the setup";
    lettering::Page page;
    ASSERT_NE(nullptr, page.bits);
    page.Clear();
    page.Draw(lines);

    pathtest::IdentityTable table(SD_TEST_DATA_DIR "/identity-page.txt");
    constexpr int Band = 128;
    long inkedPage = 0;
    for (int top = 0; top < lettering::PageH; top += Band) {
        pathtest::Identity id;
        long inked = 0;
        for (int y = top; y < std::min(top + Band, lettering::PageH); ++y) {
            const std::uint8_t* row = page.bits + std::size_t(y) * lettering::Page::Stride;
            id.Mix(row, std::size_t(lettering::PageW) * 3);
            for (int x = 0; x < lettering::PageW; ++x) inked += row[3 * x] == 0;
        }
        inkedPage += inked;
        id.code = int(inked);
        char name[32];
        std::snprintf(name, sizeof name, "page/rows%04d", top);
        table.Check(name, id);
    }
    // The letters cover a good part of the page; white and black only.
    EXPECT_GT(inkedPage, 1000000);
}

} // namespace
