// Print runs on the fake printers: tiles, refusals and printer failures.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include <win32/user.h>

#include "OutputFixture.h"
#include "output/OutputIds.h"
#include "output/PrintRun.h"

namespace {

class PrintRunTest : public OutputTest {
protected:
    std::string ProfileText() {
        std::ifstream in(profile);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

} // namespace

// 400 x 250 mm on A4 with margins 10 and overlap 10: three tiles across, one down. Each page
// shows its piece of the design where the untiled page has it, nothing in the margins, and
// each crop mark on one tile only.
TEST_F(PrintRunTest, TiledPrintStitchesToTheUntiledDesign) {
    Options(10, 5, 1, 0);
    // Four coloured quarters, so that a shifted tile shows.
    design.AddRect(0, 0, 200, 125, RGB(255, 0, 0));
    design.AddRect(200, 0, 400, 125, RGB(0, 255, 0));
    design.AddRect(0, 125, 200, 250, RGB(0, 0, 255));
    design.AddRect(200, 125, 400, 250, RGB(0, 0, 0));
    design.x = design.y = 10;
    design.copies = 1;
    engine->Attach(&design);
    tiles->overlapX = tiles->overlapY = 10;
    engine->UpdateLayout(1);
    ASSERT_EQ(tiles->tileColumns, 3);
    ASSERT_EQ(tiles->tileRows, 1);
    ASSERT_EQ(engine->GetPageCount(), 3);

    CDC& dc = Printer("Draft");
    ASSERT_EQ(PrintPages(dc, *engine, "Draft", "tiles", false), PrintRunResult::Printed);
    ReleasePrinter();
    auto pages = SdGdiPrintedPages();
    ASSERT_EQ(pages.size(), 3u);
    const double px = double(pages[0].image.width) / 210.0;
    // The design (y up) sits at layout (15, 15)-(415, 265), 5 mm inside its crop marks.
    // Within a pixel (0.254 mm) of an edge.
    auto Near = [](double a, double b) { return std::fabs(a - b) < 0.3; };
    auto expected = [&](double lx, double ly, bool& edge) {
        double dx = lx - 15, dy = 265 - ly;
        edge = Near(dx, 0) || Near(dx, 200) || Near(dx, 400) || Near(dy, 0) || Near(dy, 125) ||
               Near(dy, 250);
        if (dx < 0 || dx > 400 || dy < 0 || dy > 250) return RGB(255, 255, 255);
        if (dy < 125) return dx < 200 ? RGB(255, 0, 0) : RGB(0, 255, 0);
        return dx < 200 ? RGB(0, 0, 255) : RGB(0, 0, 0);
    };
    int crops[4] = {0, 0, 0, 0};
    for (int p = 0; p < 3; ++p) {
        const SdGdiImage& img = pages[std::size_t(p)].image;
        int c, r;
        float tx, ty, tw, th;
        tiles->GetTileGeometry(p + 1, c, r, tx, ty, tw, th);
        int mismatches = 0;
        for (int y = 0; y < img.height; y += 3) {
            for (int x = 0; x < img.width; x += 3) {
                double mx = (x + 0.5) / px, my = (y + 0.5) / px;
                bool inside = mx >= 10 && mx < 10 + tw && my >= 10 && my < 10 + th;
                COLORREF got = img.at(x, y);
                if (!inside) {
                    EXPECT_FALSE(Ink(got))
                        << "ink in the margin of page " << p + 1 << " at " << mx << "," << my;
                    continue;
                }
                bool edge = false;
                COLORREF want = expected(mx + tx, my + ty, edge);
                // Crop marks lie outside the design; they are counted below.
                if (!edge && want != RGB(255, 255, 255) && got != want) ++mismatches;
            }
        }
        EXPECT_EQ(mismatches, 0) << "page " << p + 1;
        // The crop marks' corners, layout (10, 10), (420, 10), (10, 270) and (420, 270): ink
        // within two pixels.
        const double corners[4][2] = {{10, 10}, {420, 10}, {10, 270}, {420, 270}};
        for (int k = 0; k < 4; ++k) {
            int cx = int((corners[k][0] - tx) * px), cy = int((corners[k][1] - ty) * px);
            bool ink = false;
            for (int y = cy - 2; y <= cy + 2; ++y)
                for (int x = cx - 2; x <= cx + 2; ++x)
                    if (x >= 0 && y >= 0 && x < img.width && y < img.height && Ink(img.at(x, y)))
                        ink = true;
            if (ink) ++crops[k];
        }
    }
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(crops[k], 1) << "crop mark " << k;

    // A deselected tile drops its page; two copies print each selected tile twice.
    SdGdiClearPrintedPages();
    tiles->lines[0].tiles[1].number = 0;
    tiles->Renumber();
    engine->copies = 2;
    EXPECT_EQ(engine->GetPageCount(), 4);
    CDC& again = Printer("Draft");
    ASSERT_EQ(PrintPages(again, *engine, "Draft", "tiles", false), PrintRunResult::Printed);
    ReleasePrinter();
    auto second = SdGdiPrintedPages();
    ASSERT_EQ(second.size(), 4u);
    EXPECT_EQ(second[2].image.pixels, pages[2].image.pixels); // tile 3 for page p / copies + 1
    EXPECT_EQ(second[3].image.pixels, pages[2].image.pixels);
    EXPECT_EQ(second[0].image.pixels, pages[0].image.pixels);
}

// Layouts that cannot be printed and printers that fail: one message each, nothing left half
// done, the document's settings and the profile untouched.
TEST_F(PrintRunTest, RefusalsAndFailures) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        PrintRunResult result;
        int pagesPrinted;
        const char* message; // part of the one message shown
    };
    Options(10, 5, 0, 0);
    const Case cases[] = {
        {"no copies", [&] { engine->copies = 0; }, PrintRunResult::Refused, 0,
         "number of copies is 0"},
        {"margins", [&] { engine->leftMargin = engine->rightMargin = 104.6f; },
         PrintRunResult::Refused, 0, "less than 1 mm"},
        {"overlap",
         [&] {
             engine->designWidth = 500;
             tiles->overlapX = 190;
             engine->UpdateLayout(1);
         },
         PrintRunResult::Refused, 0, "overlap is as large"},
        {"tiles",
         [&] {
             engine->designWidth = engine->designHeight = 100000;
             engine->UpdateLayout(1);
         },
         PrintRunResult::Refused, 0, "more than 65534 tiles"},
        {"no tile selected",
         [&] {
             engine->designWidth = 500;
             engine->UpdateLayout(1);
             tiles->SetSelection(0);
         },
         PrintRunResult::Refused, 0, "No tile is selected"},
        {"end page 2 of 3",
         [&] {
             // Drawing the second page arms the failure of its EndPage.
             design.onDraw = [](int n) {
                 if (n == 2) SdGdiFailCall("EndPage", 1);
             };
         },
         PrintRunResult::Failed, 1, "at page 2"},
        {"band",
         [&] {
             // The page's picture cannot be made: reported, not printed blank.
             design.raster = true;
             SdGdiFailCall("CreateDIBSection", -1);
         },
         PrintRunResult::Failed, 0, "not enough memory"},
        {"start page", [&] { SdGdiFailCall("StartPage", 1); }, PrintRunResult::Failed, 0,
         "did not start the page"},
        {"start doc", [&] { SdGdiFailCall("StartDocA", 1); }, PrintRunResult::Failed, 0,
         "did not take the document"},
    };
    design.AddRect(0, 0, 80, 80);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        design.copies = 3;
        design.setCalls = 0;
        design.begins = design.ends = design.draws = 0;
        design.onDraw = nullptr;
        design.raster = false;
        tiles->overlapX = tiles->overlapY = 0;
        PushMessageBoxAnswer(IDOK);
        engine->Attach(&design);
        engine->UpdateLayout(1);
        engine->copies = 3;
        engine->columnsPerPage = engine->rowsPerPage = 1; // three pages of one copy
        std::string before = ProfileText();
        c.arrange();
        SdGdiClearPrintedPages();
        CDC& dc = Printer("Draft");
        PrintRunResult got = PrintPages(dc, *engine, "Draft", "doc", false);
        ReleasePrinter();
        SdGdiClearFailures();
        EXPECT_EQ(got, c.result);
        EXPECT_EQ(int(SdGdiPrintedPages().size()), c.pagesPrinted);
        auto boxes = MessageBoxLog();
        ASSERT_FALSE(boxes.empty());
        const std::string& last = boxes.back().text;
        EXPECT_NE(last.find(c.message), std::string::npos) << last;
        EXPECT_EQ(design.setCalls, 0);
        EXPECT_EQ(ProfileText(), before);
        if (c.result == PrintRunResult::Failed) {
            EXPECT_EQ(design.begins, 1);
            EXPECT_EQ(design.ends, 1);
            // Nothing is left open: the job was cancelled, not ended.
            auto jobs = SdSpooledJobs();
            if (!jobs.empty()) EXPECT_FALSE(jobs.back().ended);
        }
    }
}

// The test print frames the whole page with its top-right corner cut, draws outside the
// block of copies too, and sends the page even where it is otherwise white.
TEST_F(PrintRunTest, TestPrintFramesThePage) {
    Options(10, 0, 0, 0);
    design.AddRect(0, 0, 40, 20);
    design.x = design.y = 50;
    engine->Attach(&design);
    engine->UpdateLayout(1);
    engine->testPrint = 1;
    CDC& dc = Printer("Draft");
    ASSERT_EQ(PrintPages(dc, *engine, "Draft", "test", false), PrintRunResult::Printed);
    ReleasePrinter();
    auto pages = SdGdiPrintedPages();
    ASSERT_EQ(pages.size(), 1u);
    const SdGdiImage& img = pages[0].image;
    EXPECT_TRUE(Ink(img.at(0, img.height / 2)));             // left edge
    EXPECT_TRUE(Ink(img.at(img.width / 2, 0)));              // top edge
    EXPECT_TRUE(Ink(img.at(img.width / 2, img.height - 1))); // the last row, on the page
    EXPECT_TRUE(Ink(img.at(img.width - 1, img.height / 2)));
    EXPECT_FALSE(Ink(img.at(img.width - 2, 2))); // the cut corner
    EXPECT_TRUE(Ink(img.at(int(70 * img.width / 210.0), int(60 * img.width / 210.0))));
    // The same with a picture: the frame comes through the bands.
    SdGdiClearPrintedPages();
    design.raster = true;
    CDC& again = Printer("Draft");
    ASSERT_EQ(PrintPages(again, *engine, "Draft", "test", false), PrintRunResult::Printed);
    ReleasePrinter();
    auto raster = SdGdiPrintedPages();
    ASSERT_EQ(raster.size(), 1u);
    EXPECT_TRUE(Ink(raster[0].image.at(0, img.height / 2)));
}

// Without any printer the layout keeps A4 and Print says there is none.
TEST_F(PrintRunTest, NoPrinterKeepsA4AndSaysSo) {
    SdRemoveFakeSpooler();
    SdInstallFakeSpooler(); // no printers at all
    design.AddRect(0, 0, 40, 20);
    engine->Attach(&design);
    EXPECT_FLOAT_EQ(engine->mediaWidth, 210);
    EXPECT_FLOAT_EQ(engine->mediaHeight, 297);
    AllowUnscriptedMessageBoxes();
    AllowUnscriptedDialogs();
    EXPECT_NE(RunPrintAction(*engine, false), PrintRunResult::Printed);
    EXPECT_FALSE(MessageBoxLog().empty());
    EXPECT_TRUE(SdSpooledJobs().empty());
}
