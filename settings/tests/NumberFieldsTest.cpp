#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "settings/NumberFields.h"
#include "settings/NumericText.h"

namespace {

// The shortest text that reads back the same float: untouched fields must not change value.
TEST(FormatShortestFloat, ReadsBackTheSameFloat) {
    const struct {
        float value;
        const char* text;
    } cases[] = {
        {0.1f, "0.1"},           {0.025f, "0.025"},       {20.0f, "20"},
        {123456.7f, "123456.7"}, {1234.567f, "1234.567"}, {1e6f, "1e+06"},
        {0.0001f, "0.0001"},     {-3.5f, "-3.5"},         {16777216.0f, "16777216"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatShortestFloat(c.value), c.text);
        EXPECT_EQ(float(ParseProfileDouble(FormatShortestFloat(c.value).c_str())), c.value);
    }
}

TEST(FormatShortestFloat, PointWhateverTheLocale) {
    std::string saved = std::setlocale(LC_ALL, nullptr);
    const char* comma = std::setlocale(LC_ALL, "de_DE.UTF-8");
    if (!comma) GTEST_LOG_(INFO) << "no comma locale installed; checked under the C locale only";
    EXPECT_EQ(FormatShortestFloat(0.5f), "0.5");
    float value = 0;
    EXPECT_FALSE(ParseFloatText("0,5", value));
    EXPECT_TRUE(ParseFloatText("0.5", value));
    EXPECT_EQ(value, 0.5f);
    std::setlocale(LC_ALL, saved.c_str());
}

} // namespace
