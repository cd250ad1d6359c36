#include <gtest/gtest.h>
#include <string>

#include "BinaryString.h"
#include "RecordTemplate.h"

namespace {

TEST(RecordTemplateTest, EscapesPlacesAndAccessorsParse) {
    const struct {
        const char* text;
        std::string segment1, segment2, segment3;
        int places, flagIndex, numberIndex;
    } cases[] = {
        {R"(\65\66)", "AB", "", "", 0, -1, -1},
        {R"(\1000)", "\xE8", "", "", 0, -1, -1},
        {R"(A\)", std::string("A\0", 2), "", "", 0, -1, -1},
        {R"(\r)", std::string("\0r", 2), "", "", 0, -1, -1},
        {R"(\2##)", "\x02", "", "", 2, 0, 1},
        {R"(##)", "", "", "", 2, -1, 0},
        {R"(\0####)", std::string(1, '\0'), "", "", 4, -1, -1},
        {R"(a#b#c#d)", "a", "b", "cd", 3, -1, -1},
        {R"(\128\5)", "\x80\x05", "", "", 0, -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        RecordTemplate t("LineTo", "");
        EXPECT_EQ(t.Parse(c.text), c.places);
        EXPECT_EQ(t.segment[0].Bytes(), c.segment1);
        EXPECT_EQ(t.segment[1].Bytes(), c.segment2);
        EXPECT_EQ(t.segment[2].Bytes(), c.segment3);
        EXPECT_EQ(t.flagIndex, c.flagIndex);
        EXPECT_EQ(t.numberIndex, c.numberIndex);
    }
    // A record: segment 1, the second coordinate, segment 2, the first, big-endian.
    RecordTemplate move("MoveTo", "");
    move.Parse(R"(\0\255\255\255\255\0####)");
    EXPECT_EQ(move.BuildRecord(100, 200).Bytes(),
              std::string("\0\xFF\xFF\xFF\xFF\0\0\xC8\0\x64", 10));
    RecordTemplate flagged("LineTo", "");
    flagged.Parse(R"(\2##)");
    const BinaryString& record = flagged.BuildRecord(0x1234, 0x5678);
    EXPECT_EQ(record.Bytes(), "\x02\x56\x78\x12\x34");
    EXPECT_EQ(record[std::size_t(flagged.flagIndex)], 0x02);
    // Markers copy "#".
    EXPECT_EQ(RecordTemplate::ParseMarker(R"(#\7x)").Bytes(), "#\x07x");
}

TEST(BinaryStringTest, NeverGrowsPast255Bytes) {
    BinaryString s;
    EXPECT_EQ(s.Capacity(), 62u);
    for (int i = 0; i < 255; ++i) s.Append(std::uint8_t(i));
    EXPECT_EQ(s.Length(), 255u);
    EXPECT_EQ(s.Capacity(), 255u);
    try {
        s.Append(std::uint8_t(1));
        FAIL() << "no error";
    } catch (const BinaryString::Error& e) {
        EXPECT_EQ(e.code, 1);
        EXPECT_EQ(e.needed, 256u);
    }
    EXPECT_EQ(s.Length(), 255u);
    BinaryString half(reinterpret_cast<const std::uint8_t*>(s.Data()), 200);
    EXPECT_THROW(half.Append(half), BinaryString::Error);
    EXPECT_EQ(half.Length(), 200u);
    EXPECT_EQ(half.Find(0), 0);
    EXPECT_EQ(half.Find(250), -1);
    EXPECT_EQ(half.Substring(198, 10).Bytes(), "\xC6\xC7");
}

} // namespace
