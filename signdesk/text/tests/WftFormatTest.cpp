#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "pathkit/Path.h"
#include "text/Charstring.h"
#include "text/WftFormat.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes encodeNumber(std::int32_t v) {
    Bytes b;
    EncodeCharstringNumber(v, b);
    return b;
}

TEST(WftFormatTest, NewHeaderIsByteExact) {
    WftFontImage image("Test Font");
    Bytes file = image.Bytes();
    ASSERT_EQ(1655u, file.size());
    Bytes expected(1655, 0);
    const std::uint8_t head[] = {0x00, 0xF4, 0x20, 0x12};
    std::memcpy(expected.data(), head, 4);
    std::memcpy(expected.data() + 4, "Test Font", 9);
    const std::uint8_t matrix[24] = {0x6F, 0x12, 0x83, 0x3A, 0, 0, 0, 0, 0, 0, 0, 0,
                                     0x6F, 0x12, 0x83, 0x3A, 0, 0, 0, 0, 0, 0, 0, 0};
    std::memcpy(expected.data() + 64, matrix, 24);
    const std::uint8_t smalls[11] = {0, 0, 0xE8, 0x03, 0xF4, 0x01, 0, 0, 0xE8, 0x03, 0};
    std::memcpy(expected.data() + 88, smalls, 11);
    EXPECT_EQ(expected, file);

    WftHeader back;
    ASSERT_TRUE(back.Read(file.data(), file.size()));
    EXPECT_EQ(WftMagic, back.magic);
    EXPECT_STREQ("Test Font", back.fontName);
    EXPECT_EQ(1000, back.unitsPerEm);
    EXPECT_FLOAT_EQ(0.001f, back.fontMatrix[3]);
    EXPECT_FALSE(back.Read(file.data(), 1654));
    // A long name keeps 59 bytes and its NUL.
    WftHeader longName = WftHeader::New(std::string(80, 'x').c_str());
    EXPECT_EQ(59u, std::strlen(longName.fontName));
}

TEST(WftFormatTest, NumbersTakeTheirForms) {
    struct Case {
        std::int32_t v;
        Bytes bytes;
    } cases[] = {
        {0, {139}},
        {107, {246}},
        {-107, {32}},
        {108, {247, 0}},
        {510, {248, 146}},
        {1131, {250, 255}},
        {-108, {251, 0}},
        {-500, {252, 136}},
        {-1131, {254, 255}},
        {1132, {255, 0, 0, 4, 108}},
        {-1132, {255, 0xFF, 0xFF, 0xFB, 0x94}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.bytes, encodeNumber(c.v)) << c.v;
        CharstringState s(c.bytes.data() + 1, c.bytes.data() + c.bytes.size());
        DecodeCharstringNumber(s, c.bytes[0]);
        ASSERT_EQ(1, s.Depth()) << c.v;
        EXPECT_EQ(c.v, *s.sp) << c.v;
        EXPECT_EQ(s.end, s.pos);
    }
}

TEST(WftFormatTest, DecoderStopsAtTheEndAndAtAFullStack) {
    const std::uint8_t cut[] = {255, 0, 0};
    CharstringState s(cut + 1, cut + 3);
    DecodeCharstringNumber(s, 255);
    EXPECT_TRUE(s.overrun);
    EXPECT_EQ(0, s.Depth());
    EXPECT_LE(s.pos, s.end);

    CharstringState full(cut, cut);
    for (int i = 0; i < 25; ++i)
        DecodeCharstringNumber(full, 139 + (i % 50));
    EXPECT_FALSE(full.overrun);
    EXPECT_EQ(25, full.Depth());
    EXPECT_EQ(0, full.stack[24]); // first pushed sits in the last slot
    DecodeCharstringNumber(full, 140);
    EXPECT_TRUE(full.overrun);
    EXPECT_EQ(25, full.Depth());
}

TEST(WftFormatTest, SquareEncodesAsDocumented) {
    Path square;
    square.Append(PC_MOVETO, 0, 0);
    square.Append(PC_LINETO, 0.5f, 0);
    square.Append(PC_LINETO, 0.5f, 0.5f);
    square.Append(PC_LINETO, 0, 0.5f);
    square.Append(PC_LINETO, 0, 0);
    square.ClosePath();
    Bytes program;
    ASSERT_TRUE(EncodeWftGlyph(square, 1000, program));
    Bytes expected = {139, 248, 146, 13, // 0 510 hsbw
                      139, 4,            // 0 vmoveto
                      248, 136, 6,       // 500 hlineto
                      248, 136, 7,       // 500 vlineto
                      252, 136, 6,       // -500 hlineto
                      252, 136, 7,       // -500 vlineto
                      9,   14};
    EXPECT_EQ(expected, program);

    Path decoded;
    EXPECT_EQ(0, InterpretCharstring(program.data(), program.data() + program.size(), decoded));
    ASSERT_EQ(1, decoded.subPaths.Filled());
    const SubPath& sp = decoded.subPaths[0];
    ASSERT_EQ(4, sp.members.Filled());
    const float want[5][2] = {{0, 0}, {500, 0}, {500, 500}, {0, 500}, {0, 0}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(want[i][0], sp.members[std::uint16_t(i)].start.x);
        EXPECT_EQ(want[i][1], sp.members[std::uint16_t(i)].start.y);
    }
    EXPECT_TRUE(sp.IsClosed());
}

TEST(WftFormatTest, CurvedGlyphRoundTripsWithinOneUnit) {
    Path o;
    o.Append(PC_MOVETO, 0.3f, 0.0f);
    o.Append(0.4657f, 0.0f, 0.6f, 0.1343f, 0.6f, 0.3f);
    o.Append(0.6f, 0.4657f, 0.4657f, 0.6f, 0.3f, 0.6f);
    o.Append(0.1343f, 0.6f, 0.0f, 0.4657f, 0.0f, 0.3f);
    o.Append(0.0f, 0.1343f, 0.1343f, 0.0f, 0.3f, 0.0f);
    o.ClosePath();
    o.Append(PC_MOVETO, 0.2f, 0.2f);
    o.Append(0.2f, 0.41f);
    o.Append(0.4123f, 0.41f);
    o.Append(0.2f, 0.2f);
    o.ClosePath();
    Bytes program;
    ASSERT_TRUE(EncodeWftGlyph(o, 1000, program));
    // hvcurveto and vhcurveto are chosen where their zero deltas allow.
    EXPECT_NE(program.end(), std::find(program.begin(), program.end(), std::uint8_t(30)));
    EXPECT_NE(program.end(), std::find(program.begin(), program.end(), std::uint8_t(31)));
    Path back;
    EXPECT_EQ(0, InterpretCharstring(program.data(), program.data() + program.size(), back));
    ASSERT_EQ(o.subPaths.Filled(), back.subPaths.Filled());
    for (std::uint16_t s = 0; s < o.subPaths.Filled(); ++s) {
        const SubPath& a = o.subPaths[s];
        const SubPath& b = back.subPaths[s];
        ASSERT_EQ(a.members.Filled(), b.members.Filled());
        for (std::uint16_t m = 0; m < a.members.Filled(); ++m) {
            const PathMember& pa = a.members[m];
            const PathMember& pb = b.members[m];
            EXPECT_EQ(pa.IsCurve(), pb.IsCurve());
            for (auto [p, q] : {std::pair{pa.end, pb.end}, std::pair{pa.ctrl1, pb.ctrl1},
                                std::pair{pa.ctrl2, pb.ctrl2}}) {
                EXPECT_NEAR(p.x, q.x / 1000, 1.0 / 1000) << s << " " << m;
                EXPECT_NEAR(p.y, q.y / 1000, 1.0 / 1000) << s << " " << m;
            }
        }
    }
}

TEST(WftFormatTest, NarrowAndOversizedGlyphsAreRefused) {
    Bytes program = {1, 2, 3};
    Path empty;
    EXPECT_FALSE(EncodeWftGlyph(empty, 1000, program));
    EXPECT_TRUE(program.empty());
    Path thin; // 0.01 em wide: 10 units
    thin.Append(PC_MOVETO, 0, 0);
    thin.Append(0.01f, 0);
    thin.Append(0.01f, 1);
    thin.Append(0, 0);
    thin.ClosePath();
    EXPECT_FALSE(EncodeWftGlyph(thin, 1000, program));

    // Zig-zags of 20,000 lines of two-byte deltas: about 80,000 bytes, past the 16-bit length.
    Path big;
    big.Append(PC_MOVETO, 0, 0);
    for (int i = 1; i <= 20000; ++i)
        big.Append(float(i % 2) * 0.5f, float(i) * 0.0002f + float(i % 2) * 0.3f);
    big.ClosePath();
    EXPECT_FALSE(EncodeWftGlyph(big, 1000, program));
    EXPECT_TRUE(program.empty());
    WftFontImage image("Big");
    EXPECT_FALSE(image.SetGlyph('A', big));
    Bytes file = image.Bytes();
    EXPECT_EQ(1655u, file.size());
    WftHeader h;
    ASSERT_TRUE(h.Read(file.data(), file.size()));
    EXPECT_EQ(0, h.glyphs['A'].length);
    EXPECT_EQ(0u, h.glyphs['A'].offset);
}

TEST(WftFormatTest, ProgramsFollowTheHeaderInSlotOrder) {
    WftFontImage image("Order");
    ASSERT_TRUE(image.SetProgram('B', {139, 14}));
    ASSERT_TRUE(image.SetProgram('A', {139, 139, 14}));
    Bytes file = image.Bytes();
    WftHeader h;
    ASSERT_TRUE(h.Read(file.data(), file.size()));
    EXPECT_EQ(3, h.glyphs['A'].length);
    EXPECT_EQ(1655u, h.glyphs['A'].offset);
    EXPECT_EQ(2, h.glyphs['B'].length);
    EXPECT_EQ(1658u, h.glyphs['B'].offset);
    EXPECT_EQ(1660u, file.size());
}

} // namespace
