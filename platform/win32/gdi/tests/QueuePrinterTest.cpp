// Printer contexts on a queue of a real print service: a private cupsd whose queue writes
// each job's PDF into a file, read back with qpdf and pdftoppm.

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "testing/PlatformTest.h"
#include "testing/PrivateCupsd.h"
#include "win32/GdiTesting.h"
#include "win32/SpoolerTesting.h"
#include "win32/wingdi.h"

namespace {

namespace fs = std::filesystem;

struct Rgb {
    int width = 0, height = 0;
    std::vector<unsigned char> bytes; // r, g, b by rows
    COLORREF at(int x, int y) const {
        const unsigned char* p = &bytes[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3];
        return RGB(p[0], p[1], p[2]);
    }
};

// A binary PPM as pdftoppm writes it.
Rgb readPpm(const fs::path& file) {
    Rgb image;
    std::ifstream in(file, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    in >> magic >> image.width >> image.height >> maxValue;
    in.get();
    if (magic != "P6" || maxValue != 255 || image.width <= 0 || image.height <= 0) return Rgb{};
    image.bytes.resize(std::size_t(image.width) * std::size_t(image.height) * 3);
    in.read(reinterpret_cast<char*>(image.bytes.data()), std::streamsize(image.bytes.size()));
    if (!in) return Rgb{};
    return image;
}

bool tool(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

int run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str());
}

class QueuePrinterTest : public PlatformTest {
protected:
    static void SetUpTestSuite() {
        cupsd_ = new PrivateCupsd;
        skip_ = cupsd_->Start();
    }
    static void TearDownTestSuite() {
        delete cupsd_;
        cupsd_ = nullptr;
    }
    void SetUp() override {
        PlatformTest::SetUp();
        if (!skip_.empty()) GTEST_SKIP() << "no private print service: " << skip_;
        if (!cupsd_->Running()) {
            skip_ = cupsd_->Start();
            if (!skip_.empty()) GTEST_SKIP() << "no private print service: " << skip_;
        }
        // Temporary files of the contexts land where the test sees them.
        tmp_ = DataFolder() / "tmp";
        fs::create_directories(tmp_);
        if (const char* t = std::getenv("TMPDIR")) savedTmp_ = t, hadTmp_ = true;
        setenv("TMPDIR", tmp_.c_str(), 1);
    }
    void TearDown() override {
        if (hadTmp_)
            setenv("TMPDIR", savedTmp_.c_str(), 1);
        else
            unsetenv("TMPDIR");
        PlatformTest::TearDown();
    }
    bool TempEmpty() const { return fs::is_empty(tmp_); }

    static PrivateCupsd* cupsd_;
    static std::string skip_;
    fs::path tmp_;
    std::string savedTmp_;
    bool hadTmp_ = false;
};

PrivateCupsd* QueuePrinterTest::cupsd_ = nullptr;
std::string QueuePrinterTest::skip_;

// The queue's sheet, printable area and resolution, for the dialog's set-up or its own;
// the numbers by hand from the queue's PPD (hundredths of a millimetre × dpi / 2540).
TEST_F(QueuePrinterTest, MeasuresAreTheQueues) {
    struct Case {
        const char* what;
        DWORD fields;
        short paper, orientation, quality;
        int dpi, physW, physH, offX, offY, horzRes, vertRes;
    };
    const Case cases[] = {
        // A6 105 x 148 mm at 100 dpi: 413 x 583; margins l 5 r 3 t 4 b 6 mm: 20, 12, 16, 24.
        {"queue's own", 0, 0, 0, 0, 100, 413, 583, 20, 16, 381, 543},
        // A4 210 x 297 mm at 300 dpi: 2480 x 3508, 5 mm (59 px) all round.
        {"dialog's A4 at 300", DM_PAPERSIZE | DM_PRINTQUALITY, DMPAPER_A4, 0, 300, 300, 2480, 3508,
         59, 59, 2362, 3390},
        // The queue's default media turned: the portrait's right margin on top.
        {"landscape", DM_ORIENTATION, 0, DMORIENT_LANDSCAPE, 0, 100, 583, 413, 16, 12, 543, 381},
        // Letter, which the queue does not know, with its default media's margins.
        {"dialog's Letter", DM_PAPERSIZE, DMPAPER_LETTER, 0, 0, 100, 850, 1100, 20, 16, 818, 1060},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DEVMODEA dm{};
        dm.dmFields = c.fields;
        dm.dmPaperSize = c.paper;
        dm.dmOrientation = c.orientation;
        dm.dmPrintQuality = c.quality;
        HDC dc = CreateDCA(nullptr, PrivateCupsd::Queue, nullptr, c.fields ? &dm : nullptr);
        ASSERT_NE(dc, nullptr) << SdGetLastErrorText();
        EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), c.dpi);
        EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), c.dpi);
        EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), c.physW);
        EXPECT_EQ(GetDeviceCaps(dc, PHYSICALHEIGHT), c.physH);
        EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETX), c.offX);
        EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETY), c.offY);
        EXPECT_EQ(GetDeviceCaps(dc, HORZRES), c.horzRes);
        EXPECT_EQ(GetDeviceCaps(dc, VERTRES), c.vertRes);
        EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASPRINTER);
        DeleteDC(dc);
    }

    // 1200 dpi on A4 would be 139 M pixels: the resolution drops to keep a page within 64 M.
    DEVMODEA fine{};
    fine.dmFields = DM_PAPERSIZE | DM_PRINTQUALITY;
    fine.dmPaperSize = DMPAPER_A4;
    fine.dmPrintQuality = 1200;
    HDC dc = CreateICA(nullptr, PrivateCupsd::Queue, nullptr, &fine);
    ASSERT_NE(dc, nullptr);
    const long long pixels =
        1ll * GetDeviceCaps(dc, PHYSICALWIDTH) * GetDeviceCaps(dc, PHYSICALHEIGHT);
    EXPECT_LE(pixels, 64ll * 1024 * 1024);
    EXPECT_GT(pixels, 60ll * 1024 * 1024);
    EXPECT_LT(GetDeviceCaps(dc, LOGPIXELSX), 1200);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY));
    DeleteDC(dc);
}

// Three pages of known pixels become one PDF that qpdf finds clean and whose pages,
// rendered at the context's resolution, are what was drawn on the printable area.
TEST_F(QueuePrinterTest, PagesBecomeOnePdfJobUnderTheDocumentName) {
    if (!tool("qpdf") || !tool("pdftoppm")) GTEST_SKIP() << "qpdf or pdftoppm is missing";
    HDC dc = CreateDCA(nullptr, PrivateCupsd::Queue, nullptr, nullptr);
    ASSERT_NE(dc, nullptr) << SdGetLastErrorText();
    const int offX = GetDeviceCaps(dc, PHYSICALOFFSETX), offY = GetDeviceCaps(dc, PHYSICALOFFSETY);
    const int before = cupsd_->WaitIdle();
    DOCINFOA di{sizeof(DOCINFOA), "Shop front", nullptr, nullptr, 0};
    ASSERT_GT(StartDocA(dc, &di), 0);
    EXPECT_FALSE(TempEmpty()) << "the pages are collected in a temporary PDF";
    std::vector<SdGdiImage> drawn;
    for (int page = 1; page <= 3; ++page) {
        ASSERT_GT(StartPage(dc), 0);
        HBRUSH brush = CreateSolidBrush(RGB(200, 40 * page, 30));
        RECT box{10 + 30 * page, 20, 150 + 30 * page, 90 + 20 * page};
        FillRect(dc, &box, brush);
        DeleteObject(brush);
        // Single pixels and a line one pixel wide, at the edges of the printable area.
        SetPixel(dc, 0, 0, RGB(0, 0, 255));
        SetPixel(dc, GetDeviceCaps(dc, HORZRES) - 1, GetDeviceCaps(dc, VERTRES) - 1,
                 RGB(0, 128, 0));
        MoveToEx(dc, 5, 300 + page, nullptr);
        LineTo(dc, 300, 300 + page);
        drawn.push_back(SdGdiReadDC(dc));
        ASSERT_GT(EndPage(dc), 0);
    }
    ASSERT_GT(EndDoc(dc), 0) << SdGetLastErrorText();
    DeleteDC(dc);
    EXPECT_TRUE(TempEmpty()) << "the temporary PDF is removed once queued";

    ASSERT_EQ(cupsd_->WaitIdle(), before + 1);
    const std::vector<std::string> jobs = cupsd_->CompletedJobs();
    ASSERT_FALSE(jobs.empty());
    EXPECT_EQ(jobs.back(), "Shop front");
    const fs::path pdf = DataFolder() / "job.pdf";
    fs::copy_file(cupsd_->Output(), pdf);
    EXPECT_EQ(run("qpdf --check '" + pdf.string() + "'"), 0);
    ASSERT_EQ(
        run("pdftoppm -r 100 '" + pdf.string() + "' '" + (DataFolder() / "page").string() + "'"),
        0);
    EXPECT_FALSE(fs::exists(DataFolder() / "page-4.ppm")) << "three pages, no more";
    for (int page = 1; page <= 3; ++page) {
        SCOPED_TRACE(page);
        const Rgb got = readPpm(DataFolder() / ("page-" + std::to_string(page) + ".ppm"));
        const SdGdiImage& want = drawn[std::size_t(page - 1)];
        ASSERT_GE(got.width, offX + want.width);
        ASSERT_GE(got.height, offY + want.height);
        // Every pixel as drawn, except that the renderer may blend the pixels next to an
        // edge of the drawing with their neighbours.
        int wrong = 0, blended = 0;
        for (int y = 0; y < want.height; ++y)
            for (int x = 0; x < want.width; ++x) {
                if (got.at(offX + x, offY + y) == want.at(x, y)) continue;
                bool edge = false;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = std::clamp(x + dx, 0, want.width - 1);
                        const int ny = std::clamp(y + dy, 0, want.height - 1);
                        edge = edge || want.at(nx, ny) != want.at(x, y) || nx != x + dx ||
                               ny != y + dy;
                    }
                ++(edge ? blended : wrong);
                if (!edge && wrong <= 5)
                    ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex
                                  << got.at(offX + x, offY + y) << " for " << want.at(x, y);
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_LT(blended, 2000) << "only along the edges";
        // The margins stay blank.
        for (int x = 0; x < got.width; x += 7)
            EXPECT_EQ(got.at(x, offY / 2), RGB(255, 255, 255)) << x;
    }
}

// Stopped, a service cannot take the job: EndDoc fails once, with the service's reason, and
// no temporary file is left. Aborted, a document sends nothing.
TEST_F(QueuePrinterTest, FailedAndAbortedDocumentsLeaveNothing) {
    HDC dc = CreateDCA(nullptr, PrivateCupsd::Queue, nullptr, nullptr);
    ASSERT_NE(dc, nullptr) << SdGetLastErrorText();
    const int before = cupsd_->WaitIdle();
    DOCINFOA di{sizeof(DOCINFOA), "Aborted", nullptr, nullptr, 0};
    ASSERT_GT(StartDocA(dc, &di), 0);
    ASSERT_GT(StartPage(dc), 0);
    ASSERT_GT(EndPage(dc), 0);
    EXPECT_GT(AbortDoc(dc), 0);
    EXPECT_TRUE(TempEmpty());
    EXPECT_EQ(cupsd_->WaitIdle(), before) << "nothing was queued";

    // Dropped while a document is open, the context sends nothing either.
    ASSERT_GT(StartDocA(dc, &di), 0);
    ASSERT_GT(StartPage(dc), 0);
    DeleteDC(dc);
    EXPECT_TRUE(TempEmpty());
    EXPECT_EQ(cupsd_->WaitIdle(), before);

    // Without a temporary folder there is no document to start; the context stays usable.
    dc = CreateDCA(nullptr, PrivateCupsd::Queue, nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    setenv("TMPDIR", (tmp_ / "missing").c_str(), 1);
    EXPECT_EQ(StartDocA(dc, &di), SP_ERROR);
    EXPECT_EQ(GetLastError(), ERROR_WRITE_FAULT);
    EXPECT_NE(std::string(SdGetLastErrorText()), "");
    EXPECT_EQ(StartPage(dc), SP_ERROR) << "no document was started";
    setenv("TMPDIR", tmp_.c_str(), 1);

    DOCINFOA lost{sizeof(DOCINFOA), "Lost", nullptr, nullptr, 0};
    ASSERT_GT(StartDocA(dc, &lost), 0);
    ASSERT_GT(StartPage(dc), 0);
    ASSERT_GT(EndPage(dc), 0);
    cupsd_->Stop();
    SdSetSpoolerCommandTimeout(2000);
    EXPECT_EQ(EndDoc(dc), SP_ERROR);
    EXPECT_EQ(GetLastError(), ERROR_WRITE_FAULT);
    EXPECT_NE(std::string(SdGetLastErrorText()).find("cannot be reached"), std::string::npos)
        << SdGetLastErrorText();
    EXPECT_TRUE(TempEmpty()) << "no temporary file is left";
    EXPECT_EQ(EndDoc(dc), SP_ERROR) << "the document is over";
    SdSetSpoolerCommandTimeout(0);
    DeleteDC(dc);
}

// A page the temporary PDF cannot take (here: the file may not grow) fails EndPage with the
// reason, and EndDoc again with the same one; nothing is queued and no file is left.
TEST_F(QueuePrinterTest, APageThatCannotBeWrittenFailsTheDocument) {
    HDC dc = CreateDCA(nullptr, PrivateCupsd::Queue, nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    const int before = cupsd_->WaitIdle();
    DOCINFOA di{sizeof(DOCINFOA), "Too big", nullptr, nullptr, 0};
    ASSERT_GT(StartDocA(dc, &di), 0);
    ASSERT_GT(StartPage(dc), 0);
    // Pixels that do not compress.
    unsigned seed = 1;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            seed = seed * 1103515245u + 12345u;
            SetPixel(dc, x, y, COLORREF(seed >> 8) & 0xFFFFFF);
        }
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    struct sigaction ignore {
    }, old{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &old);
    rlimit small = saved;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    const int endPage = EndPage(dc);
    const DWORD error = GetLastError();
    const std::string reason = SdGetLastErrorText();
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &old, nullptr);

    EXPECT_EQ(endPage, SP_ERROR);
    EXPECT_EQ(error, ERROR_WRITE_FAULT);
    EXPECT_NE(reason, "");
    EXPECT_TRUE(TempEmpty());
    EXPECT_EQ(EndDoc(dc), SP_ERROR);
    EXPECT_EQ(SdGetLastErrorText(), reason) << "the first reason, told again";
    EXPECT_EQ(cupsd_->WaitIdle(), before) << "nothing was queued";
    DeleteDC(dc);
}

// Queues are raster printers: they refuse PostScript pass-through.
TEST_F(QueuePrinterTest, QueuesRefusePassThrough) {
    HDC dc = CreateDCA(nullptr, PrivateCupsd::Queue, nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    const int escape = POSTSCRIPT_PASSTHROUGH;
    EXPECT_EQ(
        Escape(dc, QUERYESCSUPPORT, sizeof escape, reinterpret_cast<LPCSTR>(&escape), nullptr), 0);
    DOCINFOA di{sizeof(DOCINFOA), "Pass", nullptr, nullptr, 0};
    ASSERT_GT(StartDocA(dc, &di), 0);
    char block[2 + 5] = {5, 0, 's', 'a', 'v', 'e', '\n'};
    EXPECT_EQ(Escape(dc, POSTSCRIPT_PASSTHROUGH, sizeof block, block, nullptr), 0);
    EXPECT_GT(AbortDoc(dc), 0);
    DeleteDC(dc);
}

} // namespace
