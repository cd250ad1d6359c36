// The view's output rules: job names and the pass-through decision.
#include <gtest/gtest.h>

#include <win32/user.h>

#include "OutputFixture.h"
#include "output/ViewOutput.h"

TEST(ViewOutput, JobNameIsTheFileNameLessItsLastExtensionEveryTime) {
    struct Case {
        const char* path;
        const char* name;
    } cases[] = {
        {"/signs/shop.front.wtp", "shop.front"},
        {"C:\\signs\\shop.front.wtp", "shop.front"},
        {"/signs/plain", "plain"},
        {"/signs/trailing.", "trailing."},
        {"", ""},
        {nullptr, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::string(JobNameFromPath(c.path)), c.name) << (c.path ? c.path : "null");
    // The same document asked twice keeps its name: nothing is held and cut again.
    EXPECT_EQ(std::string(JobNameFromPath(JobNameFromPath("/signs/shop.front.wtp") + ".wtp")),
              "shop.front");
}

using PassThroughTest = OutputTest;

TEST_F(PassThroughTest, OnlyPostScriptPrintersAndOnlyWhenKept) {
    CDC& raster = Printer("Raster");
    EXPECT_FALSE(DecidePassThrough(&raster, false));
    EXPECT_FALSE(DecidePassThrough(&raster, true)); // nothing asked
    ReleasePrinter();
    CDC& ps = Printer("PS");
    EXPECT_TRUE(DecidePassThrough(&ps, false));
    PushMessageBoxAnswer(IDYES); // print a picture instead
    EXPECT_FALSE(DecidePassThrough(&ps, true));
    PushMessageBoxAnswer(IDNO);
    EXPECT_TRUE(DecidePassThrough(&ps, true));
    ReleasePrinter();
    EXPECT_EQ(MessageBoxLog().size(), 2u);
}
