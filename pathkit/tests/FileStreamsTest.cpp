#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "pathkit/BezRecordFile.h"
#include "pathkit/ClassicNumbers.h"
#include "pathkit/FileStreams.h"

namespace fs = std::filesystem;

namespace {

class FileStreamsTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("pathkit-files-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string Path(const char* name) const { return (folder_ / name).string(); }

    fs::path folder_;
};

TEST_F(FileStreamsTest, InputReadsSeeksAndStepsBackAcrossItsBuffer) {
    std::string bytes;
    for (int i = 0; i < 200000; ++i)
        bytes.push_back(char(i * 7));
    std::ofstream(Path("in.bin"), std::ios::binary) << bytes;

    FileInStream in(Path("in.bin").c_str());
    ASSERT_TRUE(in.IsOpen());
    EXPECT_EQ(in.Size(), 200000);
    EXPECT_EQ(in.TellG(), 0);
    std::string got(70000, 0);
    ASSERT_EQ(in.Read(got.data(), 70000), 70000); // past the first buffer
    EXPECT_EQ(got, bytes.substr(0, 70000));
    EXPECT_EQ(in.TellG(), 70000);
    EXPECT_EQ(in.Get(), static_cast<unsigned char>(bytes[70000]));
    EXPECT_EQ(in.UnGet(), 0);
    EXPECT_EQ(in.Get(), static_cast<unsigned char>(bytes[70000]));

    ASSERT_EQ(in.SeekG(65536, 0), 0); // the first byte of a buffer: UnGet seeks back
    EXPECT_EQ(in.Get(), static_cast<unsigned char>(bytes[65536]));
    ASSERT_EQ(in.SeekG(65536, 0), 0);
    EXPECT_EQ(in.UnGet(), 0);
    EXPECT_EQ(in.Get(), static_cast<unsigned char>(bytes[65535]));

    ASSERT_EQ(in.SeekG(3, 2), 0); // back from the end
    EXPECT_EQ(in.TellG(), 199997);
    char tail[8];
    EXPECT_EQ(in.Read(tail, 8), 3);
    EXPECT_FALSE(in.Good());
    EXPECT_EQ(in.Get(), -1);
    EXPECT_EQ(in.SeekG(-1, 0), -1);
    EXPECT_EQ(in.SeekG(1, 2), 0);
    EXPECT_TRUE(in.Good());

    FileInStream missing(Path("missing").c_str());
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_FALSE(missing.Good());
    EXPECT_EQ(missing.Get(), -1);
    EXPECT_EQ(missing.Size(), -1);
}

TEST_F(FileStreamsTest, OutputReportsFailureAtClose) {
    {
        FileOutStream out(Path("out.txt").c_str());
        ASSERT_TRUE(out.IsOpen());
        out << "x=" << 1.5 << EndLine();
        EXPECT_EQ(out.Close(), 0);
        EXPECT_EQ(out.Close(), -1); // already closed
    }
    std::ifstream in(Path("out.txt"), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "x=1.5\r\n");

    FileOutStream folder(folder_.c_str());
    EXPECT_FALSE(folder.IsOpen());
    EXPECT_EQ(folder.Put('a'), -1);
    EXPECT_EQ(folder.Close(), -1);

    if (fs::exists("/dev/full")) {
        FileOutStream full("/dev/full");
        ASSERT_TRUE(full.IsOpen());
        std::string block(1 << 16, 'z');
        full.Write(block.data(), int(block.size()));
        EXPECT_EQ(full.Close(), -1);

        // The record writer reports the stream's failure.
        FileOutStream records("/dev/full");
        BezRecordWriter writer(records, 1, 1);
        for (int i = 0; i < 5000; ++i)
            writer.Put(PC_LINETO, float(i), 0);
        EXPECT_EQ(writer.Flush(), -1);
        EXPECT_TRUE(writer.Failed());
        EXPECT_EQ(writer.Count(), 5000u);
    }
}

TEST(ClassicNumbersTest, EndPointerAndDecimalPoint) {
    char* end = nullptr;
    const char* text = "12.5e1xyz";
    EXPECT_EQ(ClassicStrToD(text, &end), 125.0);
    EXPECT_EQ(end, text + 6);
    char out[16];
    EXPECT_EQ(ClassicFormatDouble(out, sizeof out, "%g", 0.25), 4);
    EXPECT_STREQ(out, "0.25");
}

} // namespace
