// Printers of the fake spooler, escapes, palettes and the recording context.

#include <filesystem>

#include "GdiFixture.h"
#include "testing/PlatformTest.h"
#include "win32/SpoolerTesting.h"

namespace {

class PrinterTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        SdInstallFakeSpooler();
        SdAddFakePrinter("PS Printer");
        SdAddFakePrinter("Raster Printer");
        SdGdiDescribePrinter("PS Printer", SdPrinterKind::PostScript);
    }
    void TearDown() override {
        SdRemoveFakeSpooler();
        PlatformTest::TearDown();
    }
    static bool supports(HDC dc, int escape) {
        return Escape(dc, QUERYESCSUPPORT, sizeof escape, reinterpret_cast<LPCSTR>(&escape),
                      nullptr) > 0;
    }
};

TEST_F(PrinterTest, EscapeSupportByKind) {
    HDC ps = CreateDCA(nullptr, "PS Printer", nullptr, nullptr);
    HDC raster = CreateDCA(nullptr, "Raster Printer", nullptr, nullptr);
    HDC mem = CreateCompatibleDC(nullptr);
    ASSERT_NE(ps, nullptr);
    ASSERT_NE(raster, nullptr);
    for (int e : {POSTSCRIPT_PASSTHROUGH, FLUSHOUTPUT, SETLINECAP, SETLINEJOIN}) {
        EXPECT_TRUE(supports(ps, e)) << e;
        EXPECT_FALSE(supports(raster, e)) << e;
        EXPECT_FALSE(supports(mem, e)) << e;
    }
    EXPECT_FALSE(supports(ps, 9999));
    EXPECT_EQ(Escape(mem, FLUSHOUTPUT, 0, nullptr, nullptr), 0);
    // A4 portrait at 300 dpi.
    EXPECT_EQ(GetDeviceCaps(ps, HORZRES), 2480);
    EXPECT_EQ(GetDeviceCaps(ps, VERTRES), 3508);
    EXPECT_EQ(GetDeviceCaps(ps, LOGPIXELSX), 300);
    EXPECT_EQ(GetDeviceCaps(ps, TECHNOLOGY), DT_RASPRINTER);
    DEVMODEA dm{};
    dm.dmFields = DM_ORIENTATION;
    dm.dmOrientation = DMORIENT_LANDSCAPE;
    HDC land = CreateDCA(nullptr, "Raster Printer", nullptr, &dm);
    EXPECT_EQ(GetDeviceCaps(land, HORZRES), 3508);
    for (HDC dc : {ps, raster, mem, land})
        DeleteDC(dc);
}

TEST_F(PrinterTest, PassThroughReachesTheJobByteForByte) {
    HDC ps = CreateDCA(nullptr, "PS Printer", nullptr, nullptr);
    DOCINFOA di{sizeof(DOCINFOA), "Sign", nullptr, nullptr, 0};
    char block[2 + 5] = {5, 0, 's', 'a', 'v', 'e', '\n'};
    EXPECT_EQ(Escape(ps, POSTSCRIPT_PASSTHROUGH, sizeof block, block, nullptr),
              SP_ERROR); // no document
    ASSERT_GT(StartDocA(ps, &di), 0);
    ASSERT_GT(StartPage(ps), 0);
    EXPECT_GT(Escape(ps, POSTSCRIPT_PASSTHROUGH, sizeof block, block, nullptr), 0);
    char empty[2] = {0, 0};
    EXPECT_GT(Escape(ps, POSTSCRIPT_PASSTHROUGH, 2, empty, nullptr), 0);
    char lying[3] = {9, 0, 'x'}; // claims more than it holds
    EXPECT_EQ(Escape(ps, POSTSCRIPT_PASSTHROUGH, 3, lying, nullptr), SP_ERROR);
    MoveToEx(ps, 1, 1, nullptr);
    LineTo(ps, 100, 1);
    EXPECT_GT(EndPage(ps), 0);
    EXPECT_GT(EndDoc(ps), 0);
    auto jobs = SdSpooledJobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].bytes, "save\n");
    EXPECT_EQ(jobs[0].document, "Sign");
    EXPECT_TRUE(jobs[0].ended);
    auto log = SdGdiCallLog(ps);
    EXPECT_NE(std::find(log.begin(), log.end(), "LineTo(100,1)"), log.end());
    DeleteDC(ps);
}

TEST_F(PrinterTest, RasterPagesBecomeImagesAndPngFiles) {
    SdGdiDescribePrinter("Raster Printer", SdPrinterKind::Raster,
                         SdPrinterPage{500, 400, 100, false});
    SdGdiSetPageFolder(DataFolder().c_str());
    HDC dc = CreateDCA(nullptr, "Raster Printer", nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    DOCINFOA di{sizeof(DOCINFOA), "Pages", nullptr, nullptr, 0};
    int job = StartDocA(dc, &di);
    ASSERT_GT(job, 0);
    for (int page = 0; page < 2; ++page) {
        StartPage(dc);
        RECT r{0, 0, 10 + page, 10};
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        EndPage(dc);
    }
    EndDoc(dc);
    auto pages = SdGdiPrintedPages();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].image.width, 197); // 50 mm at 100 dpi
    EXPECT_EQ(pages[0].image.height, 157);
    EXPECT_EQ(countColor(pages[0].image, RGB(0, 0, 0)), 100);
    EXPECT_EQ(countColor(pages[1].image, RGB(0, 0, 0)), 110);
    EXPECT_TRUE(std::filesystem::exists(pages[1].file));
    EXPECT_EQ(pages[1].file, (DataFolder() / (std::to_string(job) + "-2.png")).string());
    DeleteDC(dc);
}

TEST_F(PrinterTest, NoPrinterAndSystemQueuesAreRefused) {
    SdGdiSetNoPrinter(true);
    EXPECT_EQ(CreateDCA(nullptr, "PS Printer", nullptr, nullptr), nullptr);
    SdGdiSetNoPrinter(false);
    EXPECT_EQ(CreateDCA(nullptr, "Nobody", nullptr, nullptr), nullptr);
    SdRemoveFakeSpooler();
    EXPECT_EQ(CreateDCA(nullptr, "PS Printer", nullptr, nullptr), nullptr);
    SdInstallFakeSpooler();
}

TEST(Palettes, RealizeOnAnEightBitScreenAndTheFailureSwitch) {
    SdGdiSetScreenDepth(8);
    HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    struct {
        LOGPALETTE head;
        PALETTEENTRY more[2];
    } lp{};
    lp.head.palVersion = 0x300;
    lp.head.palNumEntries = 3;
    lp.head.palPalEntry[0] = PALETTEENTRY{1, 2, 3, 0};
    lp.more[0] = PALETTEENTRY{4, 5, 6, 0};
    lp.more[1] = PALETTEENTRY{7, 8, 9, 0};
    HPALETTE pal = CreatePalette(&lp.head);
    ASSERT_NE(pal, nullptr);
    EXPECT_EQ(GetNearestPaletteIndex(pal, RGB(6, 6, 6)), 1u);
    HPALETTE old = SelectPalette(screen, pal, FALSE);
    EXPECT_EQ(old, GetStockObject(DEFAULT_PALETTE));
    EXPECT_EQ(RealizePalette(screen), 3u);
    // Nothing left to change the second time.
    EXPECT_EQ(RealizePalette(screen), 0u);
    // The realised colours are drawn exactly on the palette screen.
    SetPixel(screen, 0, 0, RGB(4, 5, 6));
    EXPECT_EQ(GetPixel(screen, 0, 0), RGB(4, 5, 6));
    SdGdiFailPalettes(true);
    EXPECT_EQ(CreatePalette(&lp.head), nullptr);
    EXPECT_EQ(SelectPalette(screen, pal, FALSE), nullptr);
    EXPECT_EQ(RealizePalette(screen), GDI_ERROR);
    SdGdiResetTesting();
    SelectPalette(screen, old, FALSE);
    DeleteObject(pal);
    DeleteDC(screen);
}

TEST(RecordingDc, LogsEveryCallWithItsArguments) {
    HDC rec = SdCreateRecordingDC(100, 50);
    MoveToEx(rec, 1, 2, nullptr);
    LineTo(rec, 3, 4);
    POINT p[] = {{0, 0}, {5, 0}, {5, 5}};
    Polygon(rec, p, 3);
    SetROP2(rec, R2_NOTXORPEN);
    TextOutA(rec, 7, 8, "Hi", 2);
    std::vector<std::string> expected = {"MoveToEx(1,2)", "LineTo(3,4)", "Polygon(3,0,0 5,0 5,5)",
                                         "SetROP2(10)", "TextOutA(7,8,\"Hi\")"};
    EXPECT_EQ(SdGdiCallLog(rec), expected);
    RECT box;
    EXPECT_EQ(GetClipBox(rec, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 100);
    EXPECT_EQ(box.bottom, 50);
    EXPECT_EQ(GetROP2(rec), R2_NOTXORPEN);
    SdGdiClearCallLog(rec);
    EXPECT_TRUE(SdGdiCallLog(rec).empty());
    DeleteDC(rec);
}

} // namespace
