#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PathTestUtil.h"
#include "pathkit/BezRecordFile.h"
#include "pathkit/OutStream.h"
#include "pathkit/Path.h"

namespace fs = std::filesystem;
using pathtest::Describe;

namespace {

using Bytes = std::vector<unsigned char>;

// One record: the command byte and x and y as little-endian floats.
Bytes Rec(unsigned cmd, float x, float y) {
    Bytes b(9);
    b[0] = static_cast<unsigned char>(cmd);
    std::uint32_t bx, by;
    std::memcpy(&bx, &x, 4);
    std::memcpy(&by, &y, 4);
    for (int i = 0; i < 4; ++i) {
        b[1 + i] = static_cast<unsigned char>(bx >> (8 * i));
        b[5 + i] = static_cast<unsigned char>(by >> (8 * i));
    }
    return b;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

std::string Read(const Bytes& bytes, float xf = 1, float yf = 1,
                 unsigned long* dropped = nullptr) {
    Path path(0.01f);
    const unsigned long n = ReadBezRecords(bytes.data(), bytes.size(), path, xf, yf);
    if (dropped) *dropped = n;
    EXPECT_EQ(path.building.members.Filled(), 0) << "the last sub-path is closed";
    return Describe(path);
}

Bytes FileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

class StringOut : public OutStream {
public:
    int Good() override { return 1; }
    int Put(char c) override {
        if (room == 0) return -1;
        --room;
        text.push_back(c);
        return 0;
    }
    long TellP() override { return long(text.size()); }
    int SeekP(long, int) override { return -1; }
    std::string text;
    std::size_t room = std::size_t(-1);
};

class BezRecordFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ =
            fs::temp_directory_path() /
            ("bez-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path folder_;
};

// Two contours with an empty sub-path between them: a line, a cubic and a closing line, and
// a line to 0.1 (not exact in binary).
Path WriterSample() {
    Path path(0.01f);
    path.MoveTo({1, 2});
    path.LineTo({3.5f, -4});
    path.CurveTo({5, 6}, {7.25f, 8}, {-9, 10.5f});
    path.LineTo({1, 2});
    path.ClosePath();
    path.subPaths.Append();
    path.MoveTo({0, 0});
    path.LineTo({0.1f, 0});
    path.ClosePath();
    return path;
}

} // namespace

TEST_F(BezRecordFileTest, WriterMatchesTheFixtureByteForByte) {
    fs::path file = folder_ / "out.bez";
    ASSERT_EQ(WriteBezFile(file.c_str(), WriterSample(), 1, 1), 0);
    Bytes expected = FileBytes(fs::path(SD_TEST_DATA_DIR) / "bez" / "writer.bez");
    ASSERT_EQ(expected.size(), 8u * BezRecordSize);
    EXPECT_EQ(FileBytes(file), expected);

    // The factors scale each axis; no end record follows.
    StringOut out;
    ASSERT_EQ(WriteBezRecords(out, WriterSample(), 0.5f, -2), 0);
    Bytes scaled(out.text.begin(), out.text.end());
    ASSERT_EQ(scaled.size(), expected.size());
    EXPECT_EQ(Bytes(scaled.begin(), scaled.begin() + 18),
              Cat({Rec(1, 0.5f, -4), Rec(2, 1.75f, 8)}));

    // A stream that takes less than everything is a failure.
    StringOut full;
    full.room = 20;
    EXPECT_EQ(WriteBezRecords(full, WriterSample(), 1, 1), -1);
}

TEST_F(BezRecordFileTest, WriterEdgeCases) {
    // Sub-paths without members write nothing, and an existing file is truncated.
    fs::path file = folder_ / "empty.bez";
    std::ofstream(file) << "old content";
    Path empty(0.01f);
    empty.subPaths.Append();
    empty.subPaths.Append();
    EXPECT_EQ(WriteBezFile(file.c_str(), empty, 1, 1), 0);
    EXPECT_EQ(fs::file_size(file), 0u);

    fs::path nowhere = folder_ / "missing" / "out.bez";
    EXPECT_EQ(WriteBezFile(nowhere.c_str(), WriterSample(), 1, 1), -1);
    EXPECT_EQ(WriteBezFile(nullptr, WriterSample(), 1, 1), -1);
}

TEST_F(BezRecordFileTest, ReaderTakesWhatTheWriterWrote) {
    fs::path file = folder_ / "round.bez";
    Path sample = WriterSample();
    ASSERT_EQ(WriteBezFile(file.c_str(), sample, 1, 1), 0);
    Path back(0.01f);
    ReadBezFile(file.c_str(), back, 1, 1);
    EXPECT_EQ(Describe(back), "1,2 L3.5,-4 C5,6 7.25,8 -9,10.5 L1,2 | 0,0 L0.1,0");

    // Records are appended to what the path holds.
    ReadBezFile(file.c_str(), back, 1, 1);
    EXPECT_EQ(back.subPaths.Filled(), 4);
}

TEST_F(BezRecordFileTest, ReaderSurvivesBadRecords) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Bytes move = Rec(1, 0, 0), line = Rec(2, 10, 0);
    struct Case {
        const char* what;
        Bytes bytes;
        const char* expected;
        unsigned long dropped = 0; // records refused for their coordinates
    };
    const Case cases[] = {
        {"no bytes", {}, ""},
        {"part of a record", Bytes(move.begin(), move.begin() + 5), ""},
        {"a trailing part of a record is dropped",
         Cat({move, line, Bytes(line.begin(), line.begin() + 8)}), "0,0 L10,0"},
        {"no end record: the data run to the end", Cat({move, line, Rec(2, 10, 5)}),
         "0,0 L10,0 L10,5"},
        {"end record", Cat({move, line, Rec(0xFF, 0, 0), Rec(2, 10, 5)}), "0,0 L10,0"},
        {"end record first", Cat({Rec(0xFF, 1, 1), move, line}), ""},
        {"a lone 0", Rec(0, 5, 5), ""},
        {"a 0 after a line is ignored", Cat({move, line, Rec(0, 5, 5), Rec(2, 10, 5)}),
         "0,0 L10,0 L10,5"},
        {"a cubic", Cat({move, Rec(3, 1, 1), Rec(0, 2, 2), Rec(0, 3, 0)}), "0,0 C1,1 2,2 3,0"},
        {"a 3 then a 2: only the line", Cat({move, Rec(3, 1, 1), line}), "0,0 L10,0"},
        {"a 3, a 0, then a 1 drops the cubic",
         Cat({move, line, Rec(3, 1, 1), Rec(0, 2, 2), Rec(1, 5, 5), Rec(2, 6, 5)}),
         "0,0 L10,0 | 5,5 L6,5"},
        {"a second 3 restarts the cubic",
         Cat({move, Rec(3, 1, 1), Rec(3, 4, 4), Rec(0, 2, 2), Rec(0, 3, 0)}), "0,0 C4,4 2,2 3,0"},
        {"commands with bit 0x4 are skipped",
         Cat({move, Rec(4, 9, 9), Rec(6, 9, 9), Rec(0x0F, 9, 9), line}), "0,0 L10,0"},
        {"only the low bits count otherwise",
         Cat({move, Rec(0x0A, 10, 0), Rec(0x81, 1, 1), Rec(0x42, 2, 1)}), "0,0 L10,0 | 1,1 L2,1"},
        {"a NaN point is dropped", Cat({move, Rec(2, nan, 0), line}), "0,0 L10,0", 1},
        {"a NaN control point drops the cubic",
         Cat({move, Rec(3, 1, 1), Rec(0, 2, nan), Rec(0, 3, 0), line}), "0,0 L10,0", 1},
        {"an infinite point", Cat({move, Rec(2, 5, -inf), line}), "0,0 L10,0", 1},
        {"a point beyond range", Cat({move, Rec(2, 1e6f, 0), line}), "0,0 L10,0", 1},
        {"a NaN start leaves the lines to the previous one",
         Cat({move, line, Rec(1, nan, nan), Rec(2, 10, 5)}), "0,0 L10,0 L10,5", 1},
        {"every bad record is counted",
         Cat({move, Rec(2, inf, 0), Rec(2, 0, nan), line, Rec(0xFF, nan, nan)}), "0,0 L10,0",
         2},
    };
    for (const Case& c : cases) {
        unsigned long dropped = 99;
        EXPECT_EQ(Read(c.bytes, 1, 1, &dropped), c.expected) << c.what;
        EXPECT_EQ(dropped, c.dropped) << c.what;
    }

    // A 0xFF only ends the data as a whole command byte.
    EXPECT_EQ(Read(Cat({move, Rec(2, 10, 0), Rec(0xFE, 1, 1), Rec(2, 10, 5)})), "0,0 L10,0 L10,5");
}

TEST_F(BezRecordFileTest, ReaderScalesAndChecksTheScaledValues) {
    // Hundredths of a millimetre with y down, as the converters write them.
    const Bytes bytes = Cat({Rec(1, 100, 200), Rec(2, 1500, -50), Rec(2, 2e7f, 0)});
    EXPECT_EQ(Read(bytes, 0.01f, -0.01f), "1,-2 L15,0.5");
    // A factor that overflows is caught like an infinite value.
    unsigned long dropped = 0;
    EXPECT_EQ(Read(Cat({Rec(1, 0, 0), Rec(2, 3e38f, 0), Rec(2, 1, 0)}), 10, 1, &dropped),
              "0,0 L10,0");
    EXPECT_EQ(dropped, 1u);
}

TEST_F(BezRecordFileTest, FileReaderHandlesMissingFilesAndLongFiles) {
    Path path(0.01f);
    ReadBezFile((folder_ / "missing.bez").c_str(), path, 1, 1);
    ReadBezFile(nullptr, path, 1, 1);
    EXPECT_EQ(path.subPaths.Filled(), 0);

    // More records than one block of the reader, with a broken record at the end.
    Bytes bytes = Rec(1, 0, 0);
    for (int i = 1; i <= 3000; ++i) {
        Bytes r = Rec(2, float(i), float(i % 7));
        bytes.insert(bytes.end(), r.begin(), r.end());
    }
    // A bad record in a later block is counted too.
    const Bytes bad = Rec(0, std::numeric_limits<float>::quiet_NaN(), 0);
    bytes.insert(bytes.end(), bad.begin(), bad.end());
    bytes.push_back(2);
    fs::path file = folder_ / "long.bez";
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    EXPECT_EQ(ReadBezFile(file.c_str(), path, 1, 1), 1u);
    ASSERT_EQ(path.subPaths.Filled(), 1);
    ASSERT_EQ(path.subPaths[0].members.Filled(), 3000);
    EXPECT_EQ(path.subPaths[0].members[2999].end, floatPoint(3000, 3000 % 7));
}

// The fixtures, and any input the fuzz target reports (kept beside them), read cleanly.
TEST_F(BezRecordFileTest, DataFolderFilesReadCleanly) {
    for (const auto& entry : fs::directory_iterator(fs::path(SD_TEST_DATA_DIR) / "bez")) {
        Path path(0.01f);
        ReadBezFile(entry.path().c_str(), path, 1, 1);
        for (const SubPath& sp : path.subPaths)
            for (const PathMember& m : sp.members)
                for (const floatPoint& p : {m.start, m.ctrl1, m.ctrl2, m.end})
                    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << entry.path();
    }
}
