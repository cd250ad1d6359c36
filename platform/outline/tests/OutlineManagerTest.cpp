// The module as ParalelPath uses it: loaded by name from the program folder, bound by name,
// driven through record files.

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <new>
#include <string>

#include <gtest/gtest.h>

#include "OutlineTestUtil.h"
#include "outline/OutlineManager.h"
#include "pathkit/AbortHandler.h"
#include "pathkit/BezRecordFile.h"
#include "testing/PlatformTest.h"
#include "win32/module.h"

using namespace outlinetest;
namespace fs = std::filesystem;

namespace {

class OutlineModuleTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        module_ = LoadLibraryA("Outline.dll");
        ASSERT_NE(module_, nullptr);
        get_ = Entry<GetOutlineManagerProc>("GetOutlineManager");
        construct_ = Entry<TBaseOutlineParamsConstructorProc>(TBaseOutlineParamsConstructorName);
        ASSERT_NE(get_, nullptr);
        ASSERT_NE(construct_, nullptr);
        manager_ = get_();
        ASSERT_NE(manager_, nullptr);
        input_ = (DataFolder() / "in.bez").string();
        output_ = (DataFolder() / "out.bez").string();
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
        PlatformTest::TearDown();
    }

    template <class Proc> Proc Entry(const char* name) const {
        return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(module_, name)));
    }

    // Parameters made in raw storage by the module's constructor, as a caller that knows only
    // the names does it.
    TBaseOutlineParams* Params() {
        construct_(reinterpret_cast<TBaseOutlineParams*>(storage_));
        return std::launder(reinterpret_cast<TBaseOutlineParams*>(storage_));
    }

    void WriteInput(const Path& path) { ASSERT_EQ(WriteBezFile(input_.c_str(), path, 1, 1), 0); }

    Path ReadOutput() {
        Path out(0.01f);
        ReadBezFile(output_.c_str(), out, 1, 1);
        return out;
    }

    std::uintmax_t OutputSize() const { return fs::file_size(output_); }

    HMODULE module_ = nullptr;
    GetOutlineManagerProc get_ = nullptr;
    TBaseOutlineParamsConstructorProc construct_ = nullptr;
    TAbsOutlineManager* manager_ = nullptr;
    alignas(TBaseOutlineParams) unsigned char storage_[sizeof(TBaseOutlineParams)];
    std::string input_, output_;
};

} // namespace

TEST_F(OutlineModuleTest, ConstructorSetsTheDefaults) {
    std::memset(storage_, 0xAB, sizeof storage_);
    TBaseOutlineParams* p = Params();
    EXPECT_EQ(p->reserved, 0);
    EXPECT_EQ(p->mode, OUTLINE_ROUND);
    EXPECT_EQ(p->side, 0);
    EXPECT_EQ(p->distance, 0.0f);
    EXPECT_EQ(p->limitAngle, 60.0f);
    EXPECT_EQ(p->accuracy, 0.01f);
    EXPECT_EQ(manager_->GetVersion(), OutlineInterfaceVersion);
    EXPECT_EQ(get_(), manager_);
}

TEST_F(OutlineModuleTest, SideFlagChoosesOutlineOrInline) {
    Path circle(0.01f);
    Circle(circle, 0, 0, 10);
    WriteInput(circle);
    for (int side : {0, 1}) {
        SCOPED_TRACE(side);
        TBaseOutlineParams* p = Params();
        p->side = side;
        p->distance = 2;
        EXPECT_EQ(manager_->Outline(input_.c_str(), output_.c_str(), p, nullptr), 0);
        Path out = ReadOutput();
        ASSERT_EQ(out.subPaths.Filled(), 1);
        EXPECT_LT(RadialError(out.subPaths[0], 0, 0, side ? 8 : 12), 0.01);
    }
}

TEST_F(OutlineModuleTest, FailuresLeaveTheOutputEmpty) {
    Path square(0.01f);
    Rect(square, 0, 0, 10, 10);
    WriteInput(square);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        float distance;
        bool params;
        int result;
    };
    const Case cases[] = {
        {"NaN distance", nan, true, 1},
        {"infinite distance", std::numeric_limits<float>::infinity(), true, 1},
        {"negative distance", -1, true, 1},
        {"distance beyond use", 1e6f, true, 1},
        {"no parameters", 1, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::ofstream(output_) << "stale";
        TBaseOutlineParams* p = Params();
        p->distance = c.distance;
        EXPECT_EQ(
            manager_->Outline(input_.c_str(), output_.c_str(), c.params ? p : nullptr, nullptr),
            c.result);
        EXPECT_EQ(OutputSize(), 0u);
    }

    // A missing input holds no contours: success with no records.
    std::ofstream(output_) << "stale";
    TBaseOutlineParams* p = Params();
    p->distance = 1;
    std::string missing = (DataFolder() / "missing.bez").string();
    EXPECT_EQ(manager_->Outline(missing.c_str(), output_.c_str(), p, nullptr), 0);
    EXPECT_EQ(OutputSize(), 0u);

    // An output that cannot be created.
    std::string nowhere = (DataFolder() / "no-such-folder" / "out.bez").string();
    EXPECT_EQ(manager_->Outline(input_.c_str(), nowhere.c_str(), p, nullptr), 3);
}

TEST_F(OutlineModuleTest, CancelPassesToTheCallerWithNoOutput) {
    struct Cancel {};
    class Cancelling : public AbortHandler {
    public:
        void SetStage(const char*, float, float) override {}
        void SetProgress(float) override {}
        void CheckAbort() override { throw Cancel(); }
    };
    Path square(0.01f);
    Rect(square, 0, 0, 10, 10);
    WriteInput(square);
    std::ofstream(output_) << "stale";
    TBaseOutlineParams* p = Params();
    p->distance = 1;
    Cancelling handler;
    AbortHandler* saved = DefAbortHandler;
    DefAbortHandler = &handler;
    EXPECT_THROW(manager_->Outline(input_.c_str(), output_.c_str(), p, nullptr), Cancel);
    DefAbortHandler = saved;
    EXPECT_EQ(OutputSize(), 0u);
}
