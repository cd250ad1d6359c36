#include "settings/CIniFile.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class CIniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("inifile-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        path = (dir / "Test.ini").string();
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(path, fs::perms::owner_all, ec);
        fs::remove_all(dir, ec);
    }
    void Write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    std::string Read() {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    fs::path dir;
    std::string path;
};

TEST_F(CIniFileTest, IntegersReadHexWithTrailingHElseUnsignedDecimal) {
    Write("[S]\nA=7h\nB=10h\nC=10\nD=-1\nE=1Ah\nF=FFH\nG=12abc\nH=0x10\nI=\nJ= 255\nK=abc\n");
    CIniFile ini(path.c_str());
    struct Case {
        const char* key;
        unsigned expected;
    } cases[] = {{"A", 7},   {"B", 16},  {"C", 10}, {"D", 4294967295u},
                 {"E", 26},  {"F", 255}, {"G", 12}, {"H", 0},
                 {"I", 99},  {"J", 255}, {"K", 0},  {"Missing", 99}};
    for (const Case& c : cases)
        EXPECT_EQ(ini.GetInt("S", c.key, 99), c.expected) << c.key;
}

TEST_F(CIniFileTest, WritesAndReadsBackThroughTheOneEngine) {
    {
        CIniFile ini(path.c_str());
        ini.WriteInt("Plot", "Copies", -3);
        ini.WriteString("Plot", "Name", "Cutter");
        ini.WriteFloat("Plot", "Speed", 0.1);
    }
    CIniFile ini(path.c_str());
    EXPECT_EQ(ini.GetInt("plot", "copies", 0), 0xFFFFFFFDu);
    EXPECT_STREQ(ini.GetCString("PLOT", "name", "x"), "Cutter");
    EXPECT_STREQ(ini.GetCString("Plot", "Missing", "dflt"), "dflt");
    char buffer[4];
    EXPECT_EQ(ini.GetString("Plot", "Name", "", buffer, sizeof buffer), 3u);
    EXPECT_STREQ(buffer, "Cut");
    EXPECT_NE(Read().find("Speed=0.1"), std::string::npos);
}

TEST_F(CIniFileTest, FloatsUseThePointWhateverTheLocale) {
    Write("[S]\nA=2.5\nB=\nC=1e3\n");
    // Switch the process to a comma locale when the machine has one.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = previous ? previous : "C";
    bool comma = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
    {
        CIniFile ini(path.c_str());
        EXPECT_EQ(ini.GetFloat("S", "A", 0), 2.5);
        EXPECT_EQ(ini.GetFloat("S", "B", 7.0), 7.0);
        EXPECT_EQ(ini.GetFloat("S", "C", 0), 1000.0);
        EXPECT_EQ(ini.GetFloat("S", "Missing", -1.5), -1.5);
        ini.WriteFloat("S", "D", 0.1);
        ini.WriteFloat("S", "E", 1234567.0);
        char text[16];
        ini.GetString("S", "D", "", text, sizeof text);
        EXPECT_STREQ(text, "0.1");
        ini.GetString("S", "E", "", text, sizeof text);
        EXPECT_STREQ(text, "1.23457e+06");
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (!comma) GTEST_LOG_(INFO) << "no comma locale installed; checked under the C locale only";
}

TEST_F(CIniFileTest, SectionNamesFollowTheLineRules) {
    Write("[ab\r\n[]\n[a\n[a]x\nkey=[value]\n  [indented]\n[Plot Settings]\r\n[x]y]\n");
    CIniFile ini(path.c_str());
    CStringArray names;
    names.Add("kept");
    ini.GetSectionNames(names);
    ASSERT_EQ(names.GetSize(), 5);
    EXPECT_STREQ(names[0], "kept");
    EXPECT_STREQ(names[1], "ab");
    EXPECT_STREQ(names[2], "a");
    EXPECT_STREQ(names[3], "Plot Settings");
    EXPECT_STREQ(names[4], "x");
}

TEST_F(CIniFileTest, SectionNamesBehindAByteOrderMarkAndLoneCarriageReturns) {
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"byte-order mark", "\xEF\xBB\xBF[Cutter A]\r\nK=1\r\n[Cutter B]\r\n"},
        {"lone CR", "[Cutter A]\rK=1\r[Cutter B]\r"},
        {"both", "\xEF\xBB\xBF[Cutter A]\rK=1\r\n[Cutter B]"},
    };
    for (const Case& c : cases) {
        Write(c.text);
        CIniFile ini(path.c_str());
        CStringArray names;
        ini.GetSectionNames(names);
        ASSERT_EQ(names.GetSize(), 2) << c.what;
        EXPECT_STREQ(names[0], "Cutter A") << c.what;
        EXPECT_STREQ(names[1], "Cutter B") << c.what;
        EXPECT_EQ(ini.GetInt("Cutter A", "K", 0), 1u) << c.what;
    }
}

TEST_F(CIniFileTest, MissingFileGivesDefaultsAndNoSections) {
    CIniFile ini((dir / "absent.ini").string().c_str());
    CStringArray names;
    ini.GetSectionNames(names);
    EXPECT_EQ(names.GetSize(), 0);
    EXPECT_EQ(ini.GetInt("S", "K", 5), 5u);
    EXPECT_EQ(ini.GetFloat("S", "K", 2.0), 2.0);
}

TEST_F(CIniFileTest, GarbageLongAndBinaryLinesReadWithoutHarm) {
    std::string text = "\x01\x02garbage\xff\xfe\n[S]\n";
    text += "Long=" + std::string(100000, 'x') + "\n";
    text += std::string("Bin=\x80\x81", 6) + "\n=novalue\n[" + std::string(5000, 'y') + "\nK=12\n";
    Write(text);
    CIniFile ini(path.c_str());
    EXPECT_EQ(ini.GetCString("S", "Long", "").GetLength(), 511);
    CStringArray names;
    ini.GetSectionNames(names);
    ASSERT_EQ(names.GetSize(), 2);
    EXPECT_EQ(names[1].GetLength(), 1022);
}

TEST_F(CIniFileTest, ClearsReadOnlyOnlyWhenAsked) {
    Write("[S]\nK=1\n");
    ::chmod(path.c_str(), 0444);
    {
        CIniFile ini(path.c_str());
        ini.WriteInt("S", "K", 2);
    }
    if (::geteuid() != 0 || Read().find("K=1") != std::string::npos) {
        EXPECT_NE(Read().find("K=1"), std::string::npos);
    }
    {
        CIniFile ini(path.c_str(), 1);
        ini.WriteInt("S", "K", 3);
    }
    EXPECT_NE(Read().find("K=3"), std::string::npos);
}

} // namespace
