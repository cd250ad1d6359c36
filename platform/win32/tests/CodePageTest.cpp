#include <gtest/gtest.h>

#include <string>

#include "testing/ScopedCodePage.h"
#include "win32/nls.h"

namespace {

std::u16string toWide(UINT cp, const std::string& bytes) {
    int n = MultiByteToWideChar(cp, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    std::u16string w(size_t(n), u'\0');
    if (n > 0) {
        EXPECT_EQ(n, MultiByteToWideChar(cp, 0, bytes.data(), int(bytes.size()), w.data(), n));
    }
    return w;
}

std::string toBytes(UINT cp, const std::u16string& wide) {
    int n = WideCharToMultiByte(cp, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string b(size_t(n), '\0');
    if (n > 0) {
        EXPECT_EQ(n, WideCharToMultiByte(cp, 0, wide.data(), int(wide.size()), b.data(), n, nullptr,
                                         nullptr));
    }
    return b;
}

std::string oem(const std::string& ansi) {
    std::string out(ansi.size() + 1, '\0');
    EXPECT_TRUE(CharToOemA(ansi.c_str(), out.data()));
    out.resize(ansi.size());
    return out;
}

TEST(CodePageTest, DefaultIsWesternWithOem850) {
    EXPECT_EQ(1252u, GetACP());
    EXPECT_EQ(850u, GetOEMCP());
    EXPECT_EQ(0, GetSystemMetrics(SM_DBCSENABLED));
    EXPECT_FALSE(IsDBCSLeadByte(0x82));
    // 0x80 is the euro sign; 0x81 is undefined and maps to its own value.
    EXPECT_EQ(std::u16string(u"\u20AC\u0081\u00E9A"), toWide(CP_ACP, "\x80\x81\xE9"
                                                                     "A"));
    EXPECT_EQ(std::string("\x80\xE9"
                          "A"),
              toBytes(CP_ACP, u"\u20AC\u00E9A"));
}

TEST(CodePageTest, CharToOemMapsWesternLettersTo850) {
    struct Case {
        const char* ansi;
        const char* oem;
    } cases[] = {
        {"\xE9", "\x82"},         // e acute
        {"\xC1\xE1", "\xB5\xA0"}, // A acute, a acute
        {"\xDC\xFC", "\x9A\x81"}, // U and u diaeresis
        {"\xF1\xD1", "\xA4\xA5"}, // n tilde
        {"Arial Bold", "Arial Bold"},
        {"\x80", "?"}, // the euro sign has no place in 850
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::string(c.oem), oem(c.ansi)) << c.ansi;
    char inPlace[] = "Caf\xE9";
    ASSERT_TRUE(CharToOemA(inPlace, inPlace));
    EXPECT_STREQ("Caf\x82", inPlace);
    char back[8];
    ASSERT_TRUE(OemToCharA("Caf\x82", back));
    EXPECT_STREQ("Caf\xE9", back);
}

TEST(CodePageTest, ShiftJisUnderCodePage932) {
    ScopedCodePage japanese(932);
    EXPECT_EQ(932u, GetACP());
    EXPECT_EQ(932u, GetOEMCP());
    EXPECT_NE(0, GetSystemMetrics(SM_DBCSENABLED));
    for (int b : {0x81, 0x9F, 0xE0, 0xFC})
        EXPECT_TRUE(IsDBCSLeadByte(BYTE(b))) << b;
    for (int b : {0x41, 0x80, 0xA0, 0xB1, 0xDF, 0xFD})
        EXPECT_FALSE(IsDBCSLeadByte(BYTE(b))) << b;
    // Hiragana a, the kanji 0x967B, a half-width katakana and ASCII.
    std::u16string w = toWide(CP_ACP, "\x82\xA0\x96\x7B\xB1"
                                      "A");
    EXPECT_EQ(std::u16string(u"\u3042\u672C\uFF71A"), w);
    EXPECT_EQ(std::string("\x82\xA0\x96\x7B\xB1"
                          "A"),
              toBytes(CP_ACP, w));
    // CharToOemA copies: both code pages are the same.
    EXPECT_EQ(std::string("\x82\xA0"), oem("\x82\xA0"));
    // A lead byte at the end of the input is undefined.
    EXPECT_EQ(std::u16string(u"A\uFFFD"), toWide(CP_ACP, "A\x82"));
}

TEST(CodePageTest, ConversionErrorsAndSizes) {
    WCHAR wide[4];
    EXPECT_EQ(0, MultiByteToWideChar(12345, 0, "a", 1, wide, 4));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(0, MultiByteToWideChar(CP_ACP, 0, "abcdef", -1, wide, 4));
    EXPECT_EQ(DWORD(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    // -1 converts the NUL too.
    EXPECT_EQ(4, MultiByteToWideChar(CP_ACP, 0, "abc", -1, wide, 4));
    EXPECT_EQ(u'\0', wide[3]);
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xC3", 1, wide, 4));
    EXPECT_EQ(DWORD(ERROR_NO_UNICODE_TRANSLATION), GetLastError());
    char bytes[8];
    BOOL usedDefault = FALSE;
    EXPECT_EQ(2, WideCharToMultiByte(CP_ACP, 0, u"\u3042x", 2, bytes, 8, nullptr, &usedDefault));
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ('?', bytes[0]);
    EXPECT_EQ(std::string("\xC3\xA9"), toBytes(CP_UTF8, u"\u00E9"));
}

TEST(CodePageTest, AnsiPathsBecomeUtf8) {
    EXPECT_EQ("/tmp/fonts/a.wft", SdAnsiPathToNative("/tmp\\fonts\\a.wft"));
    EXPECT_EQ("Caf\xC3\xA9", SdAnsiPathToNative("Caf\xE9"));
    std::string ansi;
    EXPECT_TRUE(SdNativeNameToAnsi("Caf\xC3\xA9", ansi));
    EXPECT_EQ("Caf\xE9", ansi);
    EXPECT_FALSE(SdNativeNameToAnsi("\xE3\x81\x82", ansi));
    ScopedCodePage japanese(932);
    EXPECT_TRUE(SdNativeNameToAnsi("\xE3\x81\x82", ansi));
    EXPECT_EQ("\x82\xA0", ansi);
}

TEST(CodePageTest, UserLanguageIsUsEnglishUnlessATestSetsIt) {
    EXPECT_EQ(0x0409, GetUserDefaultLangID());
    EXPECT_EQ(0x0409, SdSetUserDefaultLangID(0x0401));
    EXPECT_EQ(0x0401, GetUserDefaultLangID());
    EXPECT_EQ(0x0401, SdSetUserDefaultLangID(0));
    EXPECT_EQ(0x0409, GetUserDefaultLangID());
}

} // namespace
