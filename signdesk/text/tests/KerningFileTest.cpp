#include <gtest/gtest.h>

#include "TextTestSupport.h"
#include "testing/ScopedCodePage.h"
#include "text/GeneralFont.h"

namespace {

class KerningFileTest : public TextTest {};

TEST_F(KerningFileTest, PairsAndShiftsRoundTripInTheirTextForm) {
    GeneralFont font;
    font.fontName = "Sign Sans";
    font.SetKerningPair('A', 'V', -0.08f);
    font.SetKerningPair('T', 'o', 0.123456789f);
    font.SetBaselineShift('x', 1, 0.5f);
    font.SetBaselineShift('x', 0, -0.25f);
    font.WriteKerningFile();
    font.WriteBaselineShiftFile();
    EXPECT_EQ("Kerning information for : Sign Sans\r\n\r\nA,V : -0.08\r\nT,o : 0.123457\r\n",
              ReadText(Kerning() / "Sign Sans.wkp"));
    EXPECT_EQ("Auto Baseline Shift information for : Sign Sans\r\n\r\nx-V : 50\r\nx-H : -25\r\n",
              ReadText(Kerning() / "Sign Sans.wbs"));

    GeneralFont back;
    back.fontName = "Sign Sans";
    back.ReadKerningFile();
    back.ReadBaselineShiftFile();
    ASSERT_EQ(2, back.kerningPairs.Filled());
    EXPECT_FLOAT_EQ(-0.08f, back.FindKerningPair('A', 'V')->value);
    EXPECT_FLOAT_EQ(0.123457f, back.FindKerningPair('T', 'o')->value);
    ASSERT_EQ(2, back.baselineShifts.Filled());
    EXPECT_FLOAT_EQ(0.5f, back.FindBaselineShift('x', 1)->shift);
    EXPECT_FLOAT_EQ(-0.25f, back.FindBaselineShift('x', 0)->shift);
}

TEST_F(KerningFileTest, EmptyArraysDeleteAnExistingFileElseWriteTheHeader) {
    GeneralFont font;
    font.fontName = "Plain";
    font.WriteKerningFile();
    font.WriteBaselineShiftFile();
    EXPECT_EQ("Kerning information for : Plain\r\n\r\n", ReadText(Kerning() / "Plain.wkp"));
    EXPECT_EQ("Auto Baseline Shift information for : Plain\r\n\r\n",
              ReadText(Kerning() / "Plain.wbs"));
    font.WriteKerningFile();
    font.WriteBaselineShiftFile();
    EXPECT_FALSE(std::filesystem::exists(Kerning() / "Plain.wkp"));
    EXPECT_FALSE(std::filesystem::exists(Kerning() / "Plain.wbs"));
}

TEST_F(KerningFileTest, FileNamesTakeTheOemNameAndHeadersTheAnsiName) {
    GeneralFont font;
    font.fontName = "Caf\xE9 <1>"; // e acute: OEM 0x82, which the file functions read as U+201A
    font.SetKerningPair('A', 'V', 0.5f);
    font.WriteKerningFile();
    std::filesystem::path expected = Kerning() / "Caf\xE2\x80\x9A _1_.wkp";
    ASSERT_TRUE(std::filesystem::exists(expected));
    EXPECT_EQ("Kerning information for : Caf\xE9 <1>\r\n\r\nA,V : 0.5\r\n", ReadText(expected));
    GeneralFont back;
    back.fontName = "Caf\xE9 <1>";
    back.ReadKerningFile();
    EXPECT_EQ(1, back.kerningPairs.Filled());
}

TEST_F(KerningFileTest, DoubleByteCodesUnder932) {
    ScopedCodePage japanese(932);
    GeneralFont font;
    font.fontName = "\x96\x7B"; // a kanji whose trail byte is not a name character problem
    font.SetKerningPair(0x82A0, 'A', 0.25f);
    font.SetBaselineShift(0x815C, 1, 0.1f); // trail byte 0x5C is '\' in ASCII
    font.WriteKerningFile();
    font.WriteBaselineShiftFile();
    std::filesystem::path wkp = Kerning() / "\xE6\x9C\xAC.wkp";
    ASSERT_TRUE(std::filesystem::exists(wkp));
    EXPECT_EQ("Kerning information for : \x96\x7B\r\n\r\n\x82\xA0,A : 0.25\r\n", ReadText(wkp));
    GeneralFont back;
    back.fontName = "\x96\x7B";
    back.ReadKerningFile();
    back.ReadBaselineShiftFile();
    ASSERT_EQ(1, back.kerningPairs.Filled());
    EXPECT_EQ(0x82A0, back.kerningPairs[0].first);
    EXPECT_EQ('A', back.kerningPairs[0].second);
    ASSERT_EQ(1, back.baselineShifts.Filled());
    EXPECT_EQ(0x815C, back.baselineShifts[0].code);
    EXPECT_EQ(1, back.baselineShifts[0].direction);
}

TEST_F(KerningFileTest, BadLinesAreSkippedAndUnreadableNumbersReadZero) {
    WriteText(Kerning() / "Bad.wkp",
              "Kerning information for : Bad\r\n"
              "\r\n"
              "A,V : -0.08\r\n"
              ",V : 0.5\r\n"   // empty first code
              "A, : 0.5\r\n"   // empty second code
              "A\r\n"          // short line
              "AV : 0.5\r\n"   // no comma
              "A,VW : 0.5\r\n" // two characters
              "A,V:0.5\r\n"    // no separator
              "B,C : x\r\n"    // no number: 0
              "D,E : nan\r\n"  // not finite: 0
              "F,G :  +2.5e-1 trailing\r\n" +
                  std::string(300, 'Q') +
                  "\r\n"            // a long line is one bad line, not several
                  ",,V : 0.25\n"    // a comma as first code, LF only
                  "A,V : 0.9\r\n"); // a duplicate is kept; lookups find the first
    GeneralFont font;
    font.fontName = "Bad";
    font.ReadKerningFile();
    ASSERT_EQ(6, font.kerningPairs.Filled());
    EXPECT_FLOAT_EQ(-0.08f, font.FindKerningPair('A', 'V')->value);
    EXPECT_FLOAT_EQ(0.0f, font.FindKerningPair('B', 'C')->value);
    EXPECT_FLOAT_EQ(0.0f, font.FindKerningPair('D', 'E')->value);
    EXPECT_FLOAT_EQ(0.25f, font.FindKerningPair('F', 'G')->value);
    EXPECT_FLOAT_EQ(0.25f, font.FindKerningPair(',', 'V')->value);
    EXPECT_FLOAT_EQ(0.9f, font.kerningPairs[5].value);

    WriteText(Kerning() / "Bad.wbs",
              "Auto Baseline Shift information for : Bad\r\n\r\n"
              "x-V : 50\r\n"
              "-V : 50\r\n"  // no code
              "y-VV : 5\r\n" // two letters
              "y+H : 5\r\n"  // no hyphen
              "z-Q : 10\r\n" // any letter but V is horizontal
              "w-H :\r\n");  // no number
    font.ReadBaselineShiftFile();
    ASSERT_EQ(3, font.baselineShifts.Filled());
    EXPECT_EQ('x', font.baselineShifts[0].code);
    EXPECT_EQ(1, font.baselineShifts[0].direction);
    EXPECT_FLOAT_EQ(0.5f, font.baselineShifts[0].shift);
    EXPECT_EQ(0, font.baselineShifts[1].direction);
    EXPECT_FLOAT_EQ(0.1f, font.baselineShifts[1].shift);
    EXPECT_FLOAT_EQ(0.0f, font.baselineShifts[2].shift);

    // A missing file empties the arrays.
    font.fontName = "None";
    font.ReadKerningFile();
    EXPECT_EQ(0, font.kerningPairs.Filled());
}

TEST_F(KerningFileTest, AFileLongerThanTheArrayStopsAtItsLimit) {
    std::string text = "Kerning information for : Many\r\n\r\n";
    for (int i = 0; i < 65540; ++i)
        text += "A,B : 1\r\n";
    WriteText(Kerning() / "Many.wkp", text);
    GeneralFont font;
    font.fontName = "Many";
    font.ReadKerningFile();
    EXPECT_EQ(65534, font.kerningPairs.Filled());
}

} // namespace
