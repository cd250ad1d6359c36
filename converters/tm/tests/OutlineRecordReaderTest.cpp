#include <gtest/gtest.h>

#include <string>

#include "ConverterTesting.h"
#include "OutlineRecordReader.h"
#include "PreconverterTesting.h"
#include "pathkit/InStrStream.h"
#include "testing/PlatformTest.h"
#include "win32/ModuleTesting.h"

namespace {

std::string R16(int flags, unsigned x, unsigned y) {
    return {char(flags), char(x >> 8), char(x), char(y >> 8), char(y)};
}
std::string B16(int flags = 0) {
    return R16(flags, 0xFFFF, 0xFFFF);
}
std::string R32(int flags, std::int32_t x, std::int32_t y) {
    std::string s(1, char(flags));
    for (std::int32_t v : {x, y})
        for (int i = 0; i < 4; ++i)
            s.push_back(char(std::uint32_t(v) >> (8 * i)));
    return s;
}
std::string B32() {
    return R32(0, -1, -1);
}
const std::string End(1, char(0x80));

bool Read(const std::string& bytes, std::string& points) {
    InStrStream in(bytes.data(), long(bytes.size()));
    preconv::Points list;
    bool ok = tmrecords::ReadOutlineRecords(in, long(bytes.size()), list);
    points = Describe(list);
    return ok;
}

TEST(OutlineRecordReaderTest, BothVariants) {
    struct Case {
        const char* name;
        std::string bytes;
        const char* points;
    } cases[] = {
        {"16-bit: breaks once per contour, a near end closed exactly",
         B16() + R16(0, 100, 100) + R16(1, 200, 100) + R16(0, 102, 101) + B16() + B16() +
             R16(0, 10, 10) + R16(0, 20, 20) + B16(5) + End,
         "0:100,100 1:200,100 0:100,100 B 0:10,10 0:20,20 B"},
        {"16-bit: 4 apart stays open", R16(0, 0, 0) + R16(0, 50, 0) + R16(0, 4, 0) + B16() + End,
         "0:0,0 0:50,0 0:4,0 B"},
        {"16-bit: above 32767 halved", R16(0, 0, 0) + R16(0, 40000, 20000) + B16() + End,
         "0:0,0 0:20000,10000 B"},
        {"16-bit: up to 32767 kept", R16(0, 0, 0) + R16(0, 32767, 1) + B16() + End,
         "0:0,0 0:32767,1 B"},
        {"32-bit: halved to 9999", R32(0, 0, 0) + R32(8, 30000, 9999) + B32() + End,
         "0:0,0 8:7500,2499 B"},
        {"32-bit: negative values move", R32(0, -100, -50) + R32(0, 100, 50) + B32() + B32() + End,
         "0:0,0 0:200,100 B"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string points;
        EXPECT_TRUE(Read(c.bytes, points));
        EXPECT_EQ(points, c.points);
    }
    std::string points;
    EXPECT_FALSE(Read(R16(0, 1, 1) + R16(0, 2, 2), points)); // no end byte
    EXPECT_FALSE(Read(R16(0, 1, 1) + End, points));          // no final break
    EXPECT_FALSE(Read("\xff\xff\xff\xff\x80", points));       // shorter than six bytes
    EXPECT_FALSE(Read("", points));
}

class OutlineRecordConverterTest : public PlatformTest {
protected:
    std::string Out(const char* name) const { return (DataFolder() / name).string(); }
};

TEST_F(OutlineRecordConverterTest, ThroughTheOutlineConverter) {
    TempFolderOverride temp(DataFolder() / "tmp");
    BoundConverter convert("TM2BEZ.dll");
    ASSERT_TRUE(convert.Bound());
    WriteFileBytes(Out("a.tm"), R16(0, 100, 100) + R16(0, 200, 100) + R16(0, 200, 200) +
                                    R16(0, 101, 98) + B16() + End);
    RecordingHandler handler;
    ASSERT_EQ(convert(Out("a.tm"), Out("a.bez"), &handler), 0);
    auto r = DecodeBezRecords(FileBytes(Out("a.bez")));
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[3].x, 100.0f); // closed exactly
    EXPECT_EQ(r[3].y, 100.0f);
    EXPECT_TRUE(handler.calls.empty()); // fewer than ten records read
    EXPECT_TRUE(FilesStartingWith(DataFolder() / "tmp", "FOT").empty());

    // No cap on the number of points: 6000 in one contour.
    std::string many;
    for (unsigned i = 0; i < 6000; ++i)
        many += R16(0, i % 2 * 10, i);
    WriteFileBytes(Out("many.tm"), many + B16() + End);
    ASSERT_EQ(convert(Out("many.tm"), Out("many.bez")), 0);
    EXPECT_EQ(DecodeBezRecords(FileBytes(Out("many.bez"))).size(), 6000u);

    // Unrecognised layouts fail without calling conv-fot; so does a missing conv-fot.
    WriteFileBytes(Out("other.tm"), "not an outline file");
    EXPECT_EQ(convert(Out("other.tm"), Out("b.bez")), -1);
    WriteFileBytes(Out("tiny.tm"), "\x80");
    EXPECT_EQ(convert(Out("tiny.tm"), Out("b.bez")), -1);
    EXPECT_EQ(convert(Out("missing.tm"), Out("b.bez")), -1);
    SdSetModuleMissing("FOT2BEZ.dll", true);
    EXPECT_EQ(convert(Out("a.tm"), Out("b.bez")), -1);
    SdSetModuleMissing("FOT2BEZ.dll", false);
    EXPECT_TRUE(FilesStartingWith(DataFolder() / "tmp", "FOT").empty());
}

} // namespace
