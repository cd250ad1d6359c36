#include <fstream>
#include <gtest/gtest.h>
#include <string>

#include "settings/CUnit.h"
#include "settings/NumberFields.h"
#include "testing/PlatformTest.h"

namespace {

class CUnitTest : public PlatformTest {
protected:
    void TearDown() override {
        Load("");
        AppUnit.unit = CUnit::MM;
        PlatformTest::TearDown();
    }

    void Load(const std::string& text) {
        std::string path = (DataFolder() / "Units.cfg").string();
        std::ofstream(path) << text;
        LoadUnitTable(path.c_str());
    }
};

TEST_F(CUnitTest, BuiltInUnits) {
    CUnit u;
    struct Case {
        int unit;
        float mm;
        double expected;
    } cases[] = {
        {CUnit::MM, 7.5f, 7.5},   {CUnit::CM, 25.0f, 2.5},         {CUnit::INCH, 25.4f, 1.0},
        {CUnit::PIXELS, 1.0f, 150 / 25.4}, {CUnit::CUSTOM, 25.4f, 150.0}, {7, 3.0f, 3.0},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(u.FromMM(c.mm, c.unit), c.expected, 1e-4) << c.unit;
        EXPECT_NEAR(u.ToMM(float(c.expected), c.unit), c.mm, 1e-4) << c.unit;
    }
    EXPECT_STREQ(u.GetName(CUnit::INCH), "inch");
    EXPECT_STREQ(u.GetName(CUnit::CUSTOM), "unit");
    EXPECT_STREQ(u.GetName(7), "");
    EXPECT_STREQ(u.GetNameByFactor(25.4f), "inch");
    EXPECT_STREQ(u.GetNameByFactor(0.16933334f), "pixels");
    EXPECT_STREQ(u.GetNameByFactor(2.0f), "");
    u.unit = CUnit::CM;
    EXPECT_DOUBLE_EQ(u.FromMM(10.0f), 1.0);
    EXPECT_STREQ(u.GetName(), "cm");
}

TEST_F(CUnitTest, TableReplacesBuiltInsAndSkipsEmptyEntries) {
    Load("[Units]\nNumberOfUnits=3\nName1=foot\nUnit1PerMM=304.8\n"
         "Name2=broken\nUnit2PerMM=0\nName3=yard\nUnit3PerMM=914.4\n");
    ASSERT_EQ(GetUnitTableCount(), 2);
    EXPECT_STREQ(AppUnit.GetName(0), "foot");
    EXPECT_STREQ(AppUnit.GetName(1), "yard");
    EXPECT_NEAR(AppUnit.FromMM(914.4f, 1), 1.0, 1e-6);
    EXPECT_NEAR(AppUnit.ToMM(2.0f, 0), 609.6, 1e-4);
    EXPECT_STREQ(AppUnit.GetNameByFactor(914.4f), "yard");
    EXPECT_STREQ(AppUnit.GetNameByFactor(25.4f), ""); // built-ins are out of force
    // Past the table: unknown, never read beyond it.
    EXPECT_DOUBLE_EQ(AppUnit.FromMM(5.0f, 2), 5.0);
    EXPECT_DOUBLE_EQ(AppUnit.ToMM(5.0f, 400), 5.0);
    EXPECT_STREQ(AppUnit.GetName(2), "");
}

TEST_F(CUnitTest, LoadingResetsACurrentUnitPastTheNewTable) {
    AppUnit.unit = CUnit::CUSTOM;
    Load("[Units]\nNumberOfUnits=1\nName1=foot\nUnit1PerMM=304.8\n");
    EXPECT_EQ(AppUnit.unit, 0u);
    EXPECT_NEAR(MmToCurrentUnit(304.8f), 1.0, 1e-6);
    EXPECT_NEAR(CurrentUnitToMm(2.0f), 609.6, 1e-4);

    // A current unit inside the table stays.
    Load("[Units]\nNumberOfUnits=2\nName1=a\nUnit1PerMM=1\nName2=b\nUnit2PerMM=2\n");
    AppUnit.unit = 1;
    Load("[Units]\nNumberOfUnits=2\nName1=c\nUnit1PerMM=3\nName2=d\nUnit2PerMM=4\n");
    EXPECT_EQ(AppUnit.unit, 1u);
}

TEST_F(CUnitTest, DamagedFilesGiveATableOrNone) {
    Load("[Units]\nNumberOfUnits=junk\nName1=a\nUnit1PerMM=1\n");
    EXPECT_EQ(GetUnitTableCount(), 0);
    Load("[Units]\nNumberOfUnits=2\nName1=" + std::string(300, 'x') +
         "\nUnit1PerMM=2\nName2=nan\nUnit2PerMM=nan\n");
    ASSERT_EQ(GetUnitTableCount(), 1);
    EXPECT_EQ(std::string(AppUnit.GetName(0)).size(), 79u);
    Load("\x01\x02garbage without sections\n[Units]\nNumberOfUnits=99999\n");
    EXPECT_EQ(GetUnitTableCount(), 0);
}

TEST(CUnitRounding, ThousandthsAndSteps) {
    // 0.1 stored as 0.099999994 still compares equal to the limit 0.1.
    EXPECT_EQ(RoundToThousandths(0.099999994f), RoundToThousandths(0.1f));
    EXPECT_FLOAT_EQ(RoundToThousandths(12.3456f), 12.346f);
    EXPECT_FLOAT_EQ(RoundToThousandths(-1.0004f), -1.0f);
    EXPECT_DOUBLE_EQ(RoundToStep(2.5, 1.0), 3.0);
    EXPECT_DOUBLE_EQ(RoundToStep(-2.5, 1.0), -2.0);
    EXPECT_NEAR(RoundToStep(1.23456789, 0.000001), 1.234568, 1e-12);
}

} // namespace
