// Printing on a PostScript printer: plain designs go out as drawing, designs that need a
// picture as PostScript images of the bands that hold ink, pixel for pixel the raster
// printer's page.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "OutputFixture.h"
#include "output/PrintRun.h"

namespace {

class PostScriptPrintTest : public OutputTest {
protected:
    void SetUp() override {
        OutputTest::SetUp();
        // Two 180 x 20 mm copies 212 mm apart, in cells from y = 10 and 252: the block is 190 x
        // 272 mm, three bands of 1479 rows (125.2 mm), the middle one white.
        Options(10, 5, 1, 1);
        design.AddRect(0, 0, 180, 20, RGB(200, 30, 60));
        design.x = design.y = 10;
        design.copies = 2;
        design.gap = 212;
        engine->Attach(&design);
        engine->UpdateLayout(1);
    }
    std::string PrintOn(const char* printer) {
        CDC& dc = Printer(printer);
        EXPECT_EQ(PrintPages(dc, *engine, printer, "ps", false), PrintRunResult::Printed);
        calls = SdGdiCallLog(dc.m_hDC);
        ReleasePrinter();
        auto jobs = SdSpooledJobs();
        return jobs.empty() ? std::string() : jobs.back().bytes;
    }
    int Count(const std::string& call) {
        int n = 0;
        for (const std::string& line : calls)
            if (line.rfind(call + "(", 0) == 0) ++n;
        return n;
    }
    std::vector<std::string> calls;
};

struct PsImage {
    double left, top;
    long w, h;
    std::string rgb;
};

std::vector<PsImage> Images(const std::string& job) {
    std::vector<PsImage> out;
    std::size_t at = 0;
    while ((at = job.find("colorimage\r\n", at)) != std::string::npos) {
        std::size_t lineStart = job.rfind("\r\n", at);
        std::size_t boxStart = job.rfind("gsave\r\n", at);
        PsImage img{};
        std::istringstream box(job.substr(boxStart + 7));
        double r, b;
        std::string word;
        box >> img.left >> img.top >> word >> r >> b;
        std::istringstream size(job.substr(lineStart + 2));
        size >> img.w >> img.h;
        std::size_t data = at + 12;
        img.rgb = job.substr(data, std::size_t(img.w * img.h * 3));
        out.push_back(img);
        at = data + img.rgb.size();
    }
    return out;
}

} // namespace

TEST_F(PostScriptPrintTest, APlainDesignIsDrawnWithItsMarks) {
    std::string job = PrintOn("PS");
    EXPECT_EQ(job.find("colorimage"), std::string::npos);
    EXPECT_TRUE(SdGdiPrintedPages().empty());
    // Each copy's fill, four crop marks a copy and three registration marks, as drawing.
    EXPECT_GE(Count("PolyPolygon") + Count("Polygon"), 2);
    EXPECT_EQ(Count("MoveToEx"), 2 * 4 + 3);
}

TEST_F(PostScriptPrintTest, ARasterDesignSendsOnlyInkedBandsEqualToTheRasterPage) {
    design.raster = true;
    std::string job = PrintOn("PS");
    auto images = Images(job);
    ASSERT_EQ(engine->GetPageCount(), 1);
    ASSERT_EQ(images.size(), 2u);
    PrintOn("Raster");
    auto pages = SdGdiPrintedPages();
    ASSERT_EQ(pages.size(), 1u);
    const SdGdiImage& page = pages[0].image;
    const double px = double(page.width) / 210.0;
    for (const PsImage& img : images) {
        long x0 = std::lround(img.left * px), y0 = std::lround(img.top * px);
        bool ink = false;
        int differ = 0;
        for (long y = 0; y < img.h; ++y) {
            for (long x = 0; x < img.w; ++x) {
                std::size_t i = std::size_t((y * img.w + x) * 3);
                COLORREF ps = RGB(BYTE(img.rgb[i]), BYTE(img.rgb[i + 1]), BYTE(img.rgb[i + 2]));
                if (ps != RGB(255, 255, 255)) ink = true;
                if (ps != page.at(int(x0 + x), int(y0 + y))) ++differ;
            }
        }
        EXPECT_TRUE(ink) << "a white band was sent at " << img.top;
        EXPECT_EQ(differ, 0) << "band at " << img.top;
    }
}
