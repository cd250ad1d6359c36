#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DeviceText.h"

namespace {

using Names = std::vector<std::string>;

TEST(DeviceTextTest, HeadersAreReadAsTheProfileEngineReadsThem) {
    struct Case {
        const char* what;
        std::string text;
        Names listed;
    } cases[] = {
        {"plain", "[A]\r\nk=1\r\n[B]\r\n", {"A", "B"}},
        {"blanks and case", "  [ Foo Bar ]  \n[foo bar]\n", {"Foo Bar"}},
        {"no closing bracket", "[Foo\n", {"Foo"}},
        {"empty name", "[]\n[ ]\n", {}},
        {"byte-order mark", "\xEF\xBB\xBF[A]\n", {"A"}},
        {"lone carriage returns", "[A]\rk=1\r[B]", {"A", "B"}},
        {"key before any header", "Driver=x\n[A]\n", {"A"}},
        {"bytes after a NUL", std::string("[A]\0[B]\n", 8), {"A"}},
        {"protected", "[Universal HP]\n[My Readable]\n[C]\n", {"C"}},
        {"comment", ";[A]\n[B]\n", {"B"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeviceText text(c.text);
        EXPECT_EQ(text.ListedNames(), c.listed);
        EXPECT_EQ(text.Text(), c.text); // read and written back byte for byte
    }
    EXPECT_EQ(DeviceText("[A, COM1]\n[B,x]\n[,]\n").ListedNames(true), (Names{"A", "B"}));
}

TEST(DeviceTextTest, RemovingANameRemovesThatSectionOnly) {
    DeviceText text("; head\r\n[Foo]\r\nk=1\r\n\r\n[Foo 2]\r\nk=2\r\n[Universal Foo]\r\n"
                    "k=3\r\n[foo]\r\nk=4\r\n[Bar]\r\nk=5");
    EXPECT_EQ(text.RemoveSections({" FOO "}), 2);
    EXPECT_EQ(text.Text(), "; head\r\n[Foo 2]\r\nk=2\r\n[Universal Foo]\r\nk=3\r\n[Bar]\r\nk=5");
}

TEST(DeviceTextTest, ASectionIsCopiedFromItsHeaderNotFromAKeyNamingIt) {
    DeviceText master("[Other]\nComment=works like the Foo\n[Foo]\r\nDriver=x\r\n\r\n  \r\nMaxX=5\n"
                      "[Foo]\nDriver=second\n");
    std::vector<DeviceLine> lines = master.SectionLines("foo");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].raw, "[Foo]");
    EXPECT_EQ(lines[1].raw, "Driver=x");
    EXPECT_EQ(lines[2].raw, "  "); // only empty lines are left out
    EXPECT_EQ(lines[3].raw, "MaxX=5");
    EXPECT_EQ(lines[3].eol, "\n");
    EXPECT_TRUE(master.SectionLines("Universal").empty());
    EXPECT_TRUE(DeviceText("[Universal]\nk=1\n").SectionLines("Universal").empty());
}

TEST(DeviceTextTest, AppendedSectionsTakeTheFilesLineEnd) {
    struct Case {
        const char* what;
        std::string file;
        std::string expected;
    } cases[] = {
        {"new file", "", "\r\n[N]\nk=1\n"},
        {"LF file without a last line end", "[A]\nk=0", "[A]\nk=0\n\n[N]\nk=1\n"},
        {"CR LF file", "[A]\r\n", "[A]\r\n\r\n[N]\nk=1\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeviceText file(c.file);
        DeviceText master("[N]\nk=1\n");
        file.AppendSection(master.SectionLines("N"));
        EXPECT_EQ(file.Text(), c.expected);
    }
    // The master's last line without an end is ended with the file's.
    DeviceText file("[A]\r\n");
    file.AppendSection(DeviceText("[N]\nk=1").SectionLines("N"));
    EXPECT_EQ(file.Text(), "[A]\r\n\r\n[N]\nk=1\r\n");
}

TEST(DeviceTextTest, JunkReadsWithoutHarmAndTheChosenSectionComesOutWhole) {
    std::string junk = "\xEF\xBB\xBForphan=1\r\n[Foo\r\n[]\r\nx=\x01\x02\xFF\r\n";
    junk += "[Long]\r\nValue=" + std::string(100000, 'v') + "\r\n\r\n";
    junk += std::string("[Bin]\0\x7F\r\n", 9) + "\r\r\n";
    for (int i = 0; i < 2000; ++i)
        junk += "[S" + std::to_string(i) + "]\nk=" + std::to_string(i) + "\n";
    junk += "[Long]\r\nValue=duplicate\r\n";
    DeviceText master(junk);
    Names names = master.ListedNames();
    ASSERT_EQ(names.size(), 2003u);
    EXPECT_EQ(names[0], "Foo");
    EXPECT_EQ(names[1], "Long");
    EXPECT_EQ(names[2], "Bin");
    EXPECT_EQ(master.Text(), junk);

    DeviceText file("[Mine]\r\nk=1\r\n");
    file.AppendSection(master.SectionLines("Long"));
    EXPECT_EQ(file.Text(),
              "[Mine]\r\nk=1\r\n\r\n[Long]\r\nValue=" + std::string(100000, 'v') + "\r\n");
}

TEST(DeviceTextTest, KeyNames) {
    EXPECT_EQ(DeviceText::KeyName("  MaxX = 5"), "MaxX");
    EXPECT_EQ(DeviceText::KeyName("; MaxX=5"), "");
    EXPECT_EQ(DeviceText::KeyName("[MaxX=5]"), "");
    EXPECT_EQ(DeviceText::KeyName("MaxX"), "");
}

} // namespace
