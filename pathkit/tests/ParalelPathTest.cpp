// Offsetting through the outline manager, with the temporary folder pointed at a folder of the
// test's own so that the temporary files can be watched.

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <string>

#include <gtest/gtest.h>

#include "ContourSampling.h"
#include "PathTestUtil.h"
#include "pathkit/AbortHandler.h"
#include "pathkit/ParalelPath.h"
#include "pathkit/Path.h"
#include "testing/PlatformTest.h"
#include "win32/ModuleTesting.h"

namespace fs = std::filesystem;

namespace {

constexpr float Accuracy = 0.01f;

// Four quarter arcs with the best circular handles, counter-clockwise.
void Circle(Path& path, double r) {
    double k = 4.0 / 3 * std::tan(std::numbers::pi / 8) * r;
    float R = float(r), K = float(k);
    path.MoveTo({R, 0});
    path.CurveTo({R, K}, {K, R}, {0, R});
    path.CurveTo({-K, R}, {-R, K}, {-R, 0});
    path.CurveTo({-R, -K}, {-K, -R}, {0, -R});
    path.CurveTo({K, -R}, {R, -K}, {R, 0});
    path.ClosePath();
}

double RadialError(const SubPath& sp, double r) {
    double worst = 0;
    for (const contour::Pt& p : contour::Sample(sp, 400))
        worst = std::fmax(worst, std::fabs(std::hypot(p.x, p.y) - r));
    return worst;
}

class ParalelPathTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        const char* old = std::getenv("TMPDIR");
        hadTmp_ = old != nullptr;
        if (old) savedTmp_ = old;
        temp_ = DataFolder() / "temp";
        fs::create_directories(temp_);
        SetTemp(temp_.string());
    }
    void TearDown() override {
        if (hadTmp_) {
            setenv("TMPDIR", savedTmp_.c_str(), 1);
        } else {
            unsetenv("TMPDIR");
        }
        SdResetModuleTesting();
        PlatformTest::TearDown();
    }

    static void SetTemp(const std::string& folder) { setenv("TMPDIR", folder.c_str(), 1); }

    int TempFiles() const { return int(std::distance(fs::directory_iterator(temp_), {})); }

    fs::path temp_;
    bool hadTmp_ = false;
    std::string savedTmp_;
};

class Cancelling : public AbortHandler {
public:
    struct Cancel {};
    void SetStage(const char*, float, float) override {}
    void SetProgress(float) override {}
    void CheckAbort() override { throw Cancel(); }
};

} // namespace

TEST_F(ParalelPathTest, CircleComesBackGrownOrShrunk) {
    Path circle(Accuracy);
    Circle(circle, 10);
    for (float d : {2.0f, -2.0f}) {
        SCOPED_TRACE(d);
        Path out(Accuracy);
        EXPECT_EQ(ParalelPath(circle, d, 0, 0, out, 0), 0);
        ASSERT_EQ(out.subPaths.Filled(), 1);
        EXPECT_LT(RadialError(out.subPaths[0], 10 + d), Accuracy);
        EXPECT_EQ(out.subPaths[0].rotation, -1); // prepared
        EXPECT_EQ(TempFiles(), 0);
    }
    // The source is left as it was.
    EXPECT_EQ(circle.subPaths.Filled(), 1);
    EXPECT_LT(RadialError(circle.subPaths[0], 10), 0.003);
}

TEST_F(ParalelPathTest, BothSidesGivesABand) {
    Path circle(Accuracy);
    Circle(circle, 10);
    Path out(Accuracy);
    ParalelPath(circle, 2, 0, 0, out, 1);
    ASSERT_EQ(out.subPaths.Filled(), 2);
    // Prepared: the inner contour is a hole inside the outer one.
    EXPECT_LT(RadialError(out.subPaths[0], 8), Accuracy);
    EXPECT_EQ(out.subPaths[0].rotation, 1);
    EXPECT_LT(RadialError(out.subPaths[1], 12), Accuracy);
    EXPECT_EQ(out.subPaths[1].rotation, -1);
    EXPECT_EQ(TempFiles(), 0);
}

TEST_F(ParalelPathTest, ModeReachesTheManager) {
    Path square(Accuracy);
    pathtest::Square(square, 0, 0, 20, false);
    Path mitred(Accuracy), round(Accuracy);
    ParalelPath(square, 2, 0, 1, mitred, 0);
    ParalelPath(square, 2, 0, 0, round, 0);
    ASSERT_EQ(mitred.subPaths.Filled(), 1);
    ASSERT_EQ(round.subPaths.Filled(), 1);
    mitred.Validate(SP_ACCBOX_INVALID);
    round.Validate(SP_ACCBOX_INVALID);
    EXPECT_NEAR(mitred.accBox.left, -2, 1e-5);
    EXPECT_NEAR(mitred.accBox.top, 22, 1e-5);
    for (const PathMember& m : mitred.subPaths[0].members)
        EXPECT_FALSE(m.IsCurve());
    unsigned arcs = 0;
    for (const PathMember& m : round.subPaths[0].members)
        arcs += m.IsCurve();
    EXPECT_EQ(arcs, 4u);
}

TEST_F(ParalelPathTest, FailuresGiveNothingAndLeaveNoFiles) {
    Path circle(Accuracy);
    Circle(circle, 10);

    // The manager cannot be loaded.
    SdSetModuleMissing("Outline.dll", true);
    Path out(Accuracy);
    EXPECT_EQ(ParalelPath(circle, 2, 0, 0, out, 1), 0);
    EXPECT_EQ(out.subPaths.Filled(), 0);
    EXPECT_EQ(TempFiles(), 0);
    SdSetModuleMissing("Outline.dll", false);

    // Cancelled from the abort handler while the manager works: the exception passes, the
    // files go.
    Cancelling handler;
    AbortHandler* saved = DefAbortHandler;
    DefAbortHandler = &handler;
    EXPECT_THROW(ParalelPath(circle, 2, 0, 0, out, 0), Cancelling::Cancel);
    DefAbortHandler = saved;
    EXPECT_EQ(TempFiles(), 0);

    // No temporary folder, or one whose name does not fit the buffer.
    SetTemp((temp_ / "missing").string());
    EXPECT_EQ(ParalelPath(circle, 2, 0, 0, out, 0), 0);
    EXPECT_EQ(out.subPaths.Filled(), 0);
    fs::path deep = temp_ / std::string(150, 'd');
    fs::create_directories(deep);
    SetTemp(deep.string());
    EXPECT_EQ(ParalelPath(circle, 2, 0, 0, out, 0), 0);
    EXPECT_EQ(out.subPaths.Filled(), 0);
    EXPECT_TRUE(fs::is_empty(deep));
    fs::remove(deep);
    EXPECT_EQ(TempFiles(), 0);
}
