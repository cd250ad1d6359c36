#include <gtest/gtest.h>
#include <string>
#include <vector>

#include <driverframe/CommandTemplate.h>

namespace {

using namespace std::string_literals;

TEST(CommandTemplateTest, ConversionOfNumbersEscapesAndPercent) {
    struct Case {
        std::string stored;
        std::string converted;
    } cases[] = {
        {"PD#,#", "PD%ld,%ld"},
        {"IN;\\r\\n", "IN;\r\n"},
        {"A\\tB", "A\tB"},
        {"\\027.", "\x1b."},
        {"\\0655", "A5"}, // three digits at most
        {"\\65", "A"},
        {"\\300", ","}, // the low eight bits of 300
        {"AB\\", "AB\0"s},
        {"\\x", "\0x"s},
        {"100%", "100%%"},
        {"\\037ld#", "%%ld%ld"}, // a '%' made by an escape is literal too
        {"\\035", "#"},          // a '#' made by an escape is no number
        {"\\092r", "\\r"},       // nor is a backslash an escape
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CommandTemplate::ConvertText(c.stored), c.converted) << c.stored;
}

TEST(CommandTemplateTest, ConvertingAgainStartsFromTheStoredText) {
    CommandTemplate t("\\035\\092n#;");
    t.Convert();
    std::string first = t.Converted();
    t.Convert();
    EXPECT_EQ(t.Converted(), first);
    char out[CommandTemplate::MaxCommandLength + 1];
    const long n[] = {7};
    ASSERT_TRUE(t.Format(out, n, 1));
    EXPECT_STREQ(out, "#\\n7;");

    t.Set("PU#;");
    EXPECT_EQ(t.Converted(), "");
    EXPECT_EQ(t.Stored(), "PU#;");
}

TEST(CommandTemplateTest, FormattingFillsNumbersAndNothingElse) {
    struct Case {
        const char* stored;
        std::vector<long> numbers;
        const char* expected;
    } cases[] = {
        {"PU#,#;", {10, -20}, "PU10,-20;"},
        {"PU#,#;", {}, "PU0,0;"},            // numbers missing from the call count as 0
        {"VS#;", {5, 99}, "VS5;"},           // surplus numbers are ignored
        {"PU%d%s%n%%;", {1}, "PU%d%s%n%%;"}, // conversions written by the user stay text
        {"\\037s\\037n#", {3}, "%s%n3"},
        {"AB\\CD", {}, "AB"}, // a byte 0 ends the command
        {"", {}, ""},
    };
    for (const Case& c : cases) {
        CommandTemplate t(c.stored);
        t.Convert();
        char out[CommandTemplate::MaxCommandLength + 1];
        ASSERT_TRUE(t.Format(out, c.numbers.data(), int(c.numbers.size()))) << c.stored;
        EXPECT_STREQ(out, c.expected) << c.stored;
    }
}

TEST(CommandTemplateTest, CommandsOver255BytesAreRefused) {
    struct Case {
        std::string stored;
        long number;
        bool accepted;
    } cases[] = {
        {std::string(255, 'A'), 0, true},
        {std::string(256, 'A'), 0, false},
        {std::string(250, 'A') + "#", 12345, true},   // 255 once filled in
        {std::string(250, 'A') + "#", -12345, false}, // 256
        {std::string(200, '%'), 0, true},             // each '%' is one byte
        {std::string(1000, 'A'), 0, false},
    };
    for (const Case& c : cases) {
        CommandTemplate t(c.stored);
        t.Convert();
        char out[CommandTemplate::MaxCommandLength + 1];
        out[0] = 'x';
        bool accepted = t.Format(out, &c.number, 1);
        EXPECT_EQ(accepted, c.accepted) << c.stored.size();
        if (accepted)
            EXPECT_LE(std::string(out).size(), 255u);
        else
            EXPECT_STREQ(out, "");
    }
}

} // namespace
