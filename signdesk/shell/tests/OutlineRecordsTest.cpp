#include "shell/OutlineRecords.h"

#include "pathkit/OutStream.h"
#include "pathkit/Path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class StringOut : public OutStream {
public:
    int Good() override { return 1; }
    int Put(char c) override {
        text.push_back(c);
        return 0;
    }
    long TellP() override { return long(text.size()); }
    int SeekP(long, int) override { return -1; }
    std::string text;
};

std::string Record(int kind, float x, float y) {
    std::string r(1, char(kind));
    char b[4];
    std::memcpy(b, &x, 4);
    r.append(b, 4);
    std::memcpy(b, &y, 4);
    r.append(b, 4);
    return r;
}

TEST(OutlineRecords, OneLineIsEighteenBytes) {
    Path path;
    path.MoveTo({1, 2});
    path.LineTo({3, 5});
    path.ClosePath();
    StringOut out;
    EXPECT_EQ(WriteBinaryOutline(out, path, 2.0f, -1.0f), 0);
    EXPECT_EQ(out.text, Record(1, 2, -2) + Record(2, 6, -5));
}

TEST(OutlineRecords, CurveAndSingleRecord) {
    Path path;
    path.MoveTo({0, 0});
    path.CurveTo({1, 0}, {2, 1}, {2, 2});
    path.ClosePath();
    StringOut out;
    EXPECT_EQ(WriteBinaryOutline(out, path, 1.0f, 1.0f), 0);
    EXPECT_EQ(out.text, Record(1, 0, 0) + Record(3, 1, 0) + Record(0, 2, 1) + Record(0, 2, 2));

    StringOut one;
    EXPECT_EQ(WriteOutlineRecord(one, 2, 0.5f, -3.0f), 0);
    EXPECT_EQ(one.text, Record(2, 0.5f, -3.0f));
    // Little-endian bytes of 0.5f.
    EXPECT_EQ(one.text.substr(1, 4), std::string("\x00\x00\x00\x3f", 4));
}

} // namespace
