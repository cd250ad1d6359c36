#include "shell/SectionLineReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

class Collector : public SectionLineReader {
public:
    using SectionLineReader::SectionLineReader;
    int OnLine(const char* line) override {
        lines.emplace_back(line);
        return stopAfter < 0 || int(lines.size()) < stopAfter;
    }
    std::vector<std::string> lines;
    int stopAfter = -1;
};

class SectionLineReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = (fs::temp_directory_path() /
                ("section-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini"))
                   .string();
    }
    void TearDown() override { fs::remove(path); }
    void Write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    std::string path;
};

TEST_F(SectionLineReaderTest, Cases) {
    struct Case {
        const char* name;
        std::string text;
        int stopAfter;
        int count;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"missing section", "[Other]\na=1\n", -1, -1, {}},
        {"empty line ends", "[Templates]\na=1\n\nb=2\n", -1, 1, {"a=1"}},
        {"next section ends", "x\n[Templates]\na=1\nb=2\n[Next]\nc=3\n", -1, 2, {"a=1", "b=2"}},
        {"header repeat counts, not handed", "[Templates]\na=1\n[Templates]\nb=2\n", -1, 3, {"a=1", "b=2"}},
        {"handler stops", "[Templates]\na=1\nb=2\nc=3\n", 2, 2, {"a=1", "b=2"}},
        {"header prefix matches", "[Templates] trailing\na=1\n", -1, 1, {"a=1"}},
        {"crlf lines", "[Templates]\r\na=1\r\n\r\nb=2\r\n", -1, 1, {"a=1"}},
        {"empty section", "[Templates]\n", -1, 0, {}},
    };
    for (const auto& c : cases) {
        Write(c.text);
        Collector reader(path);
        reader.stopAfter = c.stopAfter;
        EXPECT_EQ(ReadSectionLines(reader, "Templates"), c.count) << c.name;
        EXPECT_EQ(reader.lines, c.lines) << c.name;
    }
}

TEST_F(SectionLineReaderTest, LongLineIsHandedOnCutAndReadingGoesOn) {
    const std::string longLine = "k=" + std::string(500, 'x');
    Write("[Templates]\n" + longLine + "\nb=2\n");
    Collector reader(path);
    EXPECT_EQ(ReadSectionLines(reader, "Templates"), 2);
    ASSERT_EQ(reader.lines.size(), 2u);
    EXPECT_EQ(reader.lines[0], longLine.substr(0, 199));
    EXPECT_EQ(reader.lines[1], "b=2");
}

TEST_F(SectionLineReaderTest, MissingFileAndJunk) {
    Collector missing(path + ".none");
    EXPECT_EQ(ReadSectionLines(missing, "Templates"), -1);

    std::string junk = "[Templates]\n";
    for (int i = 1; i < 256; ++i)
        if (i != '\n' && i != '[')
            junk.push_back(char(i));
    junk += "\n";
    Write(junk);
    Collector reader(path);
    EXPECT_EQ(ReadSectionLines(reader, "Templates"), 1);
    EXPECT_EQ(reader.lines.size(), 1u);
}

} // namespace
