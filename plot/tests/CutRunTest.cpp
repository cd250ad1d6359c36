// The cut run of the plot sheet's cut page: the job from the checks to the last sheet through
// the default HP-GL section into a file (or the spooler), read back as a cutter reads it.
//
// The default section sends relative moves "PU dX,dY;" and lines "PD dX,dY;" at 40 steps a
// millimetre with (X, Y) = (job y, 610 mm - job x): X runs along the media.

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <mfc/CString.h>
#include <settings/CIniFile.h>
#include <testing/FakeCutter.h>
#include <testing/FakePort.h>
#include <testing/FakeSpooler.h>
#include <win32/UserTesting.h>
#include <win32/kernel.h>
#include <win32/user.h>

#include "CutRun.h"
#include "JobTest.h"
#include "PlotSettings.h"

namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

constexpr const char* kSection = "Generic HP-GL Cutter";

// A cut as the cutter makes it, in job millimetres.
struct Cut {
    std::vector<floatPoint> points;
};

struct HpglRead {
    std::vector<std::string> commands;
    std::vector<Cut> cuts;
    bool whole = true; // every command ends with ';'
};

HpglRead ReadHpgl(const std::string& text) {
    HpglRead r;
    r.whole = text.empty() || text.back() == ';';
    long X = 0, Y = 0;
    bool down = false;
    std::stringstream in(text);
    std::string command;
    auto point = [&] { return floatPoint(float(24400 - Y) / 40, float(X) / 40); };
    while (std::getline(in, command, ';')) {
        r.commands.push_back(command);
        std::string name = command.substr(0, 2), args = command.substr(2);
        if (name != "PU" && name != "PD") continue;
        if (args.empty()) {
            down = false;
            continue;
        }
        long dx = 0, dy = 0;
        char comma;
        std::stringstream a(args);
        a >> dx >> comma >> dy;
        if (name == "PD") {
            if (!down) r.cuts.push_back(Cut{{point()}});
            down = true;
        } else {
            down = false;
        }
        X += dx;
        Y += dy;
        if (name == "PD") r.cuts.back().points.push_back(point());
    }
    return r;
}

class CutRunTest : public JobTest, public CutRunHost {
protected:
    void SetUp() override {
        JobTest::SetUp();
        spooler_ = std::make_unique<FakeSpooler>();
        savedDrv_ = DRV;
        // The default Devices.ini, its HP-GL section cutting into a file.
        std::filesystem::remove(DevicesIni());
        ini_ = std::string(GetDevicesIni());
        out_ = (DataFolder() / "job.plt").string();
        WritePrivateProfileStringA(kSection, "Device", out_.c_str(), ini_.c_str());
        OverCutting = 0;
        Optimization = 0;
    }
    void TearDown() override {
        DRV.Detach();
        DRV = savedDrv_;
        spooler_.reset();
        JobTest::TearDown();
    }

    void PlotIni(const std::string& general, float width = 610, float length = 2000) {
        std::ostringstream text;
        text << "[General]\nCurrentPlotter=" << kSection << "\nHeadPos=0\n"
             << general << "[Vinil]\nwidth=" << width << "\nheight=" << length << "\n";
        std::ofstream(std::string(GetPlotIni()), std::ios::binary | std::ios::trunc) << text.str();
    }

    CutRun::Outcome Run() {
        settings_.Load();
        CutRun run(job_, settings_, *this);
        return run.Cut();
    }

    void ShowSheet(int sheet) override {
        shown_.push_back(sheet);
        if (escapeAtSheet_ == sheet) PostMessageA(nullptr, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    int RunSpoolDialog() override { return spoolAnswer_; }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& m : MessageBoxLog())
            texts.push_back(m.text);
        return texts;
    }

    std::unique_ptr<FakeSpooler> spooler_;
    Plotter savedDrv_;
    std::string ini_, out_;
    CutSettings settings_;
    std::vector<int> shown_;
    int spoolAnswer_ = IDOK;
    int escapeAtSheet_ = -1;
};

TEST_F(CutRunTest, TheBannerIsCutInThreePanelsOnOneSheet) {
    PlotIni("panelMarkers=1\npanelMarkLength=10\npanelMarkWidth=5\noverlapX=20\noverlapY=5\n"
            "weedBox=0\n");
    ColorPath& banner = host_.Add(0xFF);
    AddRectangle(banner, 0, 0, 1500, 400);
    AddRectangle(banner, 100, 100, 1400, 300);
    job_.SetDesign(&host_);
    ASSERT_EQ(job_.GetSheetCount(), 1);

    PushMessageBoxAnswer(IDOK);
    EXPECT_EQ(Run(), CutRun::Finished);
    EXPECT_EQ(Texts(), std::vector<std::string>{"The job is finished."});
    HpglRead r = ReadHpgl(ReadFile(out_));
    ASSERT_TRUE(r.whole);
    ASSERT_GE(r.commands.size(), 4u);
    EXPECT_EQ(r.commands.back(), "SP0");

    // Each part's rectangle, at its item's corner + (10, 10), along X 10-410, 435-835, 860-1260.
    const float along[] = {10, 435, 860};
    const float width[] = {590, 590, 360};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        floatBBox part(10, along[i], 10 + width[i], along[i] + 400);
        bool found = std::any_of(r.cuts.begin(), r.cuts.end(), [&](const Cut& c) {
            if (c.points.size() != 5) return false;
            floatBBox b(c.points[0].x, c.points[0].y, c.points[0].x, c.points[0].y);
            for (const floatPoint& p : c.points)
                b += p;
            return b.left == part.left && b.right == part.right && b.bottom == part.bottom &&
                   b.top == part.top;
        });
        EXPECT_TRUE(found);
    }
    // Everything lies on the media, within the three panels and their marks.
    for (const Cut& c : r.cuts)
        for (const floatPoint& p : c.points) {
            EXPECT_GE(p.x, 0);
            EXPECT_LE(p.x, 610);
            EXPECT_GE(p.y, 0);
            EXPECT_LE(p.y, 1270);
        }
    // 3 rectangles, 24 marks, and per panel the outline's pieces and the hole's.
    EXPECT_GE(r.cuts.size(), 3u + 24u + 3u);

    // Both ways, per panel: every cut lies on the design clipped to the panel's part (or on
    // the part's rectangle, or a mark), and every edge of that clipped design is cut.
    struct Segment {
        floatPoint a, b;
    };
    auto distance = [](const floatPoint& p, const Segment& s) {
        double dx = s.b.x - s.a.x, dy = s.b.y - s.a.y, len = dx * dx + dy * dy;
        double t = len > 0 ? ((p.x - s.a.x) * dx + (p.y - s.a.y) * dy) / len : 0;
        t = std::clamp(t, 0.0, 1.0);
        return std::hypot(p.x - (s.a.x + t * dx), p.y - (s.a.y + t * dy));
    };
    std::vector<Segment> cutSegments;
    for (const Cut& c : r.cuts)
        for (std::size_t i = 1; i < c.points.size(); ++i)
            cutSegments.push_back({c.points[i - 1], c.points[i]});
    const float tileX[] = {0, 570, 1140};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        // The design's edges inside the part, moved to where the part lies on the sheet.
        const float x0 = tileX[i], x1 = tileX[i] + width[i];
        auto place = [&](float x, float y) { return floatPoint(x - x0 + 10, y + along[i]); };
        std::vector<Segment> design;
        auto horizontal = [&](float y, float a, float b) {
            a = std::max(a, x0);
            b = std::min(b, x1);
            if (a < b) design.push_back({place(a, y), place(b, y)});
        };
        auto vertical = [&](float x, float a, float b) {
            if (x >= x0 && x <= x1) design.push_back({place(x, a), place(x, b)});
        };
        horizontal(0, 0, 1500);
        horizontal(400, 0, 1500);
        horizontal(100, 100, 1400);
        horizontal(300, 100, 1400);
        vertical(0, 0, 400);
        vertical(1500, 0, 400);
        vertical(100, 100, 300);
        vertical(1400, 100, 300);
        for (const Segment& d : design)
            for (int k = 0; k <= 20; ++k) {
                floatPoint p(d.a.x + (d.b.x - d.a.x) * float(k) / 20,
                             d.a.y + (d.b.y - d.a.y) * float(k) / 20);
                double best = 1e9;
                for (const Segment& c : cutSegments)
                    best = std::min(best, distance(p, c));
                EXPECT_LE(best, 0.05) << p.x << "," << p.y;
            }
        // The part's rectangle bounds the cuts of this panel.
        const floatBBox part(10, along[i], 10 + width[i], along[i] + 400);
        for (const Segment& c : cutSegments) {
            floatPoint mid((c.a.x + c.b.x) / 2, (c.a.y + c.b.y) / 2);
            if (!part.IsInside(mid, 0.05f)) continue;
            double best = 1e9;
            for (const Segment& d : design)
                best = std::min(best, distance(mid, d));
            const bool onRectangle =
                std::fabs(mid.x - part.left) < 0.05 || std::fabs(mid.x - part.right) < 0.05 ||
                std::fabs(mid.y - part.bottom) < 0.05 || std::fabs(mid.y - part.top) < 0.05;
            EXPECT_TRUE(best <= 0.05 || onRectangle) << mid.x << "," << mid.y;
        }
    }
}

TEST_F(CutRunTest, CopiesTheQuestionBetweenSheetsAndTheSpooler) {
    struct Case {
        const char* name;
        int copies;
        int answer; // to the question between sheets; 0: none expected
        bool spool;
        int sheetsCut;
    };
    const Case cases[] = {
        {"ThreeAcrossOneSheet", 3, 0, false, 1},
        {"FourTwoSheetsYes", 4, IDYES, false, 2},
        {"FourTwoSheetsNo", 4, IDNO, false, 1},
        {"Spooled", 4, 0, true, 2},
    };
    const std::filesystem::path spool = DataFolder() / "spool";
    std::filesystem::create_directories(spool);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SdClearMessageBoxes();
        std::filesystem::remove(out_);
        for (auto& f : std::filesystem::directory_iterator(spool))
            std::filesystem::remove(f);
        PlotIni(std::string("weedBox=0\npanelMarkers=0\nUseSpooler=") + (c.spool ? "1" : "0") +
                    "\nSpoolDirectory=" + spool.string() + "\n",
                610, 150);
        PathHost host;
        AddRectangle(host.Add(), 0, 0, 195, 100);
        job_.SetDesign(&host);
        // Each case from the media's origin, wherever the last one left the head.
        job_.contentX = job_.contentY = 0;
        job_.copies = c.copies;
        job_.Refresh();
        if (c.answer) PushMessageBoxAnswer(c.answer);
        PushMessageBoxAnswer(IDOK);
        EXPECT_EQ(Run(), c.answer == IDNO ? CutRun::Declined : CutRun::Finished);
        std::vector<std::string> expected;
        if (c.answer)
            expected.push_back("The next sheet is ready. Load the media and choose Yes "
                               "to cut it, or No to stop here.");
        expected.push_back("The job is finished.");
        EXPECT_EQ(Texts(), expected);
        if (c.spool) {
            std::vector<std::string> files;
            for (auto& f : std::filesystem::directory_iterator(spool))
                files.push_back(ReadFile(f.path()));
            ASSERT_EQ(files.size(), 2u);
            std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
                return a.find("Sheet=1/2") != std::string::npos &&
                       b.find("Sheet=1/2") == std::string::npos;
            });
            EXPECT_NE(files[0].find("Sheet=1/2"), std::string::npos);
            EXPECT_NE(files[1].find("Sheet=2/2"), std::string::npos);
            EXPECT_NE(files[0].find("Copies=4"), std::string::npos);
            // Each file is a whole job.
            for (const std::string& f : files)
                EXPECT_EQ(f.substr(f.size() - 7), "PU;SP0;");
            EXPECT_FALSE(std::filesystem::exists(out_));
            continue;
        }
        // One file for the whole job; each sheet's rectangles, the second sheet's from the
        // head position the driver kept.
        HpglRead r = ReadHpgl(ReadFile(out_));
        EXPECT_TRUE(r.whole);
        std::size_t rectangles = r.cuts.size();
        EXPECT_EQ(rectangles, std::size_t(std::min(c.copies, 3 * c.sheetsCut)));
        EXPECT_EQ(std::count(r.commands.begin(), r.commands.end(), "SP0"), 1);
    }
}

TEST_F(CutRunTest, EveryRefusalIsToldOnceAndNothingIsCut) {
    struct Case {
        const char* name;
        const char* general;
        int design; // 0 none, 1 a rectangle, 2 a rectangle on a colour turned off
        const char* message;
    };
    const Case cases[] = {
        {"EmptyDesign", "", 0, "There is nothing to cut"},
        {"AllColoursOff", "", 2, "There is nothing to cut"},
        {"Overlap60", "overlapX=60\n", 1, "overlapX = 60 in "},
        {"OverlapMinus5", "overlapY=-5\n", 1, "overlapY = -5 in "},
        {"Marks50", "panelMarkLength=50\n", 1, "panelMarkLength = 50 in "},
        {"Overcut10.5", "Overcutting=10.5\n", 1, "Overcutting = 10.5 mm in "},
        {"HeadPos9", "HeadPos=9\n", 1, "HeadPos = 9 in "},
        {"UnknownDevice", "CurrentPlotter=Nowhere\n", 1, "The cutter \"Nowhere\" is not defined"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SdClearMessageBoxes();
        std::filesystem::remove(out_);
        std::string general = c.general;
        if (general.find("CurrentPlotter") == std::string::npos)
            general += std::string("CurrentPlotter=") + kSection + "\n";
        std::ofstream(std::string(GetPlotIni()), std::ios::binary | std::ios::trunc)
            << "[General]\n"
            << general << "weedBox=0\n[Vinil]\nwidth=610\nheight=2000\n";
        PushMessageBoxAnswer(IDOK);
        PathHost host;
        if (c.design) AddRectangle(host.Add(7), 0, 0, 100, 100);
        job_.SetDesign(&host);
        if (c.design == 2) job_.EnableColour(7, 0);
        EXPECT_NE(Run(), CutRun::Finished);
        std::vector<std::string> texts = Texts();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_NE(texts[0].find(c.message), std::string::npos) << texts[0];
        EXPECT_FALSE(std::filesystem::exists(out_));
    }
}

TEST_F(CutRunTest, AHostThatForbidsCuttingIsTold) {
    struct Forbidding : PathHost {
        int isCutAllowed() override { return 0; }
    } host;
    PlotIni("weedBox=0\n");
    AddRectangle(host.Add(), 0, 0, 100, 100);
    job_.SetDesign(&host);
    PushMessageBoxAnswer(IDOK);
    EXPECT_EQ(Run(), CutRun::Refused);
    EXPECT_EQ(Texts(), std::vector<std::string>{"This design may not be cut."});
    EXPECT_FALSE(std::filesystem::exists(out_));
}

TEST_F(CutRunTest, EscapeStopsBetweenCommandsAndTheKnifeIsLifted) {
    PlotIni("weedBox=0\npanelMarkers=0\n");
    AddRectangle(host_.Add(), 0, 0, 100, 100);
    AddRectangle(host_.Add(), 200, 0, 300, 100);
    AddRectangle(host_.Add(), 400, 0, 500, 100);
    job_.SetDesign(&host_);
    // Each poll takes one message: Escape comes at the sixth.
    for (int i = 0; i < 5; ++i)
        PostMessageA(nullptr, WM_USER, 0, 0);
    PostMessageA(nullptr, WM_KEYDOWN, VK_ESCAPE, 0);
    PushMessageBoxAnswer(IDYES);
    PushMessageBoxAnswer(IDOK);
    EXPECT_EQ(Run(), CutRun::Stopped);
    std::vector<std::string> texts = Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "Do you want to stop cutting?");
    EXPECT_EQ(texts[1], "The cut was stopped in sheet 1 of 1.");
    HpglRead r = ReadHpgl(ReadFile(out_));
    EXPECT_TRUE(r.whole);
    ASSERT_GE(r.commands.size(), 2u);
    EXPECT_EQ(r.commands[r.commands.size() - 2], "PU");
    EXPECT_EQ(r.commands.back(), "SP0");
    EXPECT_EQ(std::count(r.commands.begin(), r.commands.end(), "SP0"), 1);
    EXPECT_LT(r.cuts.size(), 3u);
}

TEST_F(CutRunTest, AStoppedSpoolJobKeepsTheFinishedSheetsOnly) {
    const std::filesystem::path spool = DataFolder() / "spool";
    std::filesystem::create_directories(spool);
    PlotIni("weedBox=0\npanelMarkers=0\nUseSpooler=1\nSpoolDirectory=" + spool.string() + "\n", 610,
            150);
    AddRectangle(host_.Add(), 0, 0, 195, 100);
    job_.SetDesign(&host_);
    job_.copies = 7; // three sheets
    escapeAtSheet_ = 1;
    PushMessageBoxAnswer(IDYES);
    PushMessageBoxAnswer(IDOK);
    EXPECT_EQ(Run(), CutRun::Stopped);
    std::vector<std::string> texts = Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1], "The cut was stopped in sheet 2 of 3.");
    std::vector<std::string> files;
    for (auto& f : std::filesystem::directory_iterator(spool))
        files.push_back(ReadFile(f.path()));
    ASSERT_EQ(files.size(), 1u);
    EXPECT_NE(files[0].find("Sheet=1/3"), std::string::npos);
    EXPECT_EQ(shown_, (std::vector<int>{0, 1}));
}

class CutRunPortTest : public CutRunTest {
protected:
    void Banner() {
        PlotIni("panelMarkers=1\npanelMarkLength=10\npanelMarkWidth=5\noverlapX=20\noverlapY=5\n"
                "weedBox=0\n");
        ColorPath& banner = host_.Add(0xFF);
        AddRectangle(banner, 0, 0, 1500, 400);
        AddRectangle(banner, 100, 100, 1400, 300);
        job_.SetDesign(&host_);
    }
};

TEST_F(CutRunPortTest, TheCutterGetsTheFilesBytesAndItsLossIsToldOnce) {
    // Dots over the banner make the job far longer than what the line holds on its way
    // (the pseudo-terminal's buffer, some tens of kilobytes), so that the cutter is lost
    // while the job is still being sent.
    ColorPath& dots = host_.Add(0xFF);
    for (int x = 0; x < 124; ++x)
        for (int y = 0; y < 32; ++y)
            AddRectangle(dots, 5 + 12 * float(x), 8 + 12 * float(y), 10 + 12 * float(x),
                         13 + 12 * float(y));
    Banner();
    PushMessageBoxAnswer(IDOK);
    ASSERT_EQ(Run(), CutRun::Finished);
    const std::string file = ReadFile(out_);
    ASSERT_FALSE(file.empty());

    FakeCutter cutter;
    if (!cutter.IsOpen()) GTEST_SKIP() << "no pseudo-terminal";
    FakePort port("COM1", cutter.PortPath());
    WritePrivateProfileStringA(kSection, "Device", "COM1", ini_.c_str());
    SdClearMessageBoxes();
    PushMessageBoxAnswer(IDOK);
    ASSERT_EQ(Run(), CutRun::Finished);
    EXPECT_TRUE(cutter.WaitForReceivedCount(file.size()));
    EXPECT_EQ(cutter.Received(), file);

    // Unplugged in panel 2: the port's failure is the one message; no question, no
    // "finished", and the binding is let go.
    ASSERT_GT(file.size(), 120000u) << file.size();
    std::size_t panel2 = file.find("PD", file.size() / 2);
    FakeCutter lost;
    FakePort lostPort("COM1", lost.PortPath());
    lost.VanishAfter(panel2);
    SdClearMessageBoxes();
    PushMessageBoxAnswer(IDOK);
    EXPECT_EQ(Run(), CutRun::Failed);
    std::vector<std::string> texts = Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("COM1"), std::string::npos) << texts[0];
    EXPECT_TRUE(lost.Vanished());
    EXPECT_EQ(DRV.driver, nullptr);
}

// The run on the recording driver: where the head is left, and the questions and refusals
// that need no output file.
class CutRunMockTest : public JobTest, public CutRunHost {
protected:
    CutRun::Outcome Run(CutRun::Outcome (CutRun::*what)() = &CutRun::Cut) {
        settings_.Load();
        CutRun run(job_, settings_, *this);
        return (run.*what)();
    }
    // The last move the driver was given before the job's end.
    std::string LastMove() {
        std::string last;
        for (const std::string& c : mock_->calls)
            if (c.rfind("MoveTo", 0) == 0) last = c;
        return last;
    }
    CutSettings settings_;
};

TEST_F(CutRunMockTest, TheHeadIsParkedOnTheMediaByHeadPos) {
    struct Case {
        int headPos;
        const char* move; // driver (along, across) in steps
    };
    // The rectangle 10-110 across, 20-70 along; the head then goes to its corners.
    const Case cases[] = {
        {1, "MoveTo 800 400"},   {2, "MoveTo 800 4400"}, {3, "MoveTo 2800 400"},
        {4, "MoveTo 2800 4400"}, {5, "MoveTo 2800 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.headPos);
        SdClearMessageBoxes();
        Media(610, 2000, "weedBox=0\npanelMarkers=0\nHeadPos=" + std::to_string(c.headPos) + "\n");
        PathHost host;
        AddRectangle(host.Add(), 0, 0, 100, 50);
        job_.SetDesign(&host);
        job_.contentX = 10;
        job_.contentY = 20;
        job_.Refresh();
        PushMessageBoxAnswer(IDOK);
        EXPECT_EQ(Run(), CutRun::Finished);
        EXPECT_EQ(LastMove(), c.move);
    }
}

TEST_F(CutRunMockTest, APanelsParkStaysOnTheMedia) {
    // The banner's first panel: its path reaches 1,510 mm across, the media 610.
    Media(610, 2000,
          "panelMarkers=1\npanelMarkLength=10\npanelMarkWidth=5\noverlapX=20\noverlapY=5\n"
          "weedBox=0\nHeadPos=2\n");
    AddRectangle(host_.Add(), 0, 0, 1500, 400);
    job_.SetDesign(&host_);
    PushMessageBoxAnswer(IDOK);
    EXPECT_EQ(Run(), CutRun::Finished);
    const std::string last = LastMove();
    long along = 0, across = 0;
    ASSERT_EQ(std::sscanf(last.c_str(), "MoveTo %ld %ld", &along, &across), 2) << last;
    EXPECT_LE(across, 610 * 40);
    EXPECT_GE(along, 0);
}

TEST_F(CutRunMockTest, ASheetLargerThanTheCutterIsCutOnlyAfterAYes) {
    // The device is narrower than the media Plot.ini gives.
    Media(610, 2000, "weedBox=0\npanelMarkers=0\n");
    mock_->maxY = 300 * 40;
    AddRectangle(host_.Add(), 0, 0, 500, 100);
    job_.SetDesign(&host_);
    PushMessageBoxAnswer(IDNO);
    EXPECT_EQ(Run(), CutRun::Refused);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_NE(MessageBoxLog()[0].text.find("Sheet 1 is larger than the cutting area"),
              std::string::npos)
        << MessageBoxLog()[0].text;
    EXPECT_TRUE(std::none_of(mock_->calls.begin(), mock_->calls.end(),
                             [](const std::string& c) { return c.rfind("Init", 0) == 0; }));
}

TEST_F(CutRunMockTest, HomeAndCutOffWithoutACutterAreToldOnce) {
    Media(610, 2000, "weedBox=0\n");
    std::ofstream(std::string(GetPlotIni()), std::ios::binary | std::ios::app)
        << "[General]\nCurrentPlotter=Gone\n";
    WritePrivateProfileStringA("General", "CurrentPlotter", "Gone",
                               std::string(GetPlotIni()).c_str());
    AddRectangle(host_.Add(), 0, 0, 100, 100);
    job_.SetDesign(&host_);
    for (int which = 0; which < 2; ++which) {
        SdClearMessageBoxes();
        PushMessageBoxAnswer(IDOK);
        settings_.Load();
        CutRun run(job_, settings_, *this);
        EXPECT_EQ(which ? run.CutOff(100, 1) : run.Home(), CutRun::Failed);
        ASSERT_EQ(MessageBoxLog().size(), 1u);
        EXPECT_NE(MessageBoxLog()[0].text.find("\"Gone\""), std::string::npos);
        EXPECT_EQ(DRV.driver, nullptr);
    }
}

TEST_F(CutRunMockTest, HostsThatGiveNoPathsOrNullPathsHaveNothingToCut) {
    struct Broken : Plottable {
        ColorPath* paths[2] = {nullptr, nullptr};
        int count;
        bool nullArray;
        void getPlottingPaths(ColorPath*** out, int& n) override {
            *out = nullArray ? nullptr : paths;
            n = count;
        }
    };
    Media(610, 2000, "weedBox=0\n");
    for (bool nullArray : {true, false}) {
        SdClearMessageBoxes();
        Broken host;
        host.count = 2;
        host.nullArray = nullArray;
        job_.SetDesign(&host);
        PushMessageBoxAnswer(IDOK);
        EXPECT_EQ(Run(), CutRun::Refused);
        ASSERT_EQ(MessageBoxLog().size(), 1u);
        EXPECT_NE(MessageBoxLog()[0].text.find("nothing to cut"), std::string::npos);
    }
}

TEST_F(CutRunMockTest, ALoneLineIsCutAtItsSize) {
    Media(610, 2000, "weedBox=0\npanelMarkers=0\nOvercutting=10\n");
    ColorPath& line = host_.Add();
    line.MoveTo(floatPoint(50, 0));
    line.LineTo(floatPoint(50, 300));
    line.ClosePath();
    job_.SetDesign(&host_);
    job_.contentX = 20;
    job_.contentY = 10;
    job_.Refresh();
    PushMessageBoxAnswer(IDOK);
    EXPECT_EQ(Run(), CutRun::Finished); // an overcut of 10 mm is allowed
    std::vector<DriverPoint> points = MovesAndLines(mock_->calls);
    bool from = false, to = false;
    for (const DriverPoint& p : points) {
        from = from || (p.x == 10 * 40 && p.y == 20 * 40);
        to = to || (p.x == 310 * 40 && p.y == 20 * 40);
    }
    EXPECT_TRUE(from);
    EXPECT_TRUE(to);
}

TEST_F(CutRunPortTest, DecliningTheNextSheetClosesThePortAfterTheFirst) {
    FakeCutter cutter;
    if (!cutter.IsOpen()) GTEST_SKIP() << "no pseudo-terminal";
    FakePort port("COM1", cutter.PortPath());
    WritePrivateProfileStringA(kSection, "Device", "COM1", ini_.c_str());
    PlotIni("weedBox=0\npanelMarkers=0\n", 610, 150);
    AddRectangle(host_.Add(), 0, 0, 195, 100);
    job_.SetDesign(&host_);
    job_.copies = 4;
    PushMessageBoxAnswer(IDNO);
    PushMessageBoxAnswer(IDOK);
    EXPECT_EQ(Run(), CutRun::Declined);
    EXPECT_TRUE(cutter.WaitForReceived("PU;SP0;"));
    HpglRead r = ReadHpgl(cutter.Received());
    EXPECT_TRUE(r.whole);
    EXPECT_EQ(r.cuts.size(), 3u); // the three copies of sheet 1
    EXPECT_EQ(std::count(r.commands.begin(), r.commands.end(), "SP0"), 1);
    EXPECT_EQ(DRV.driver, nullptr);
}

} // namespace
