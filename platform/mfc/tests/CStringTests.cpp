// Byte strings: bytes above 127, bounds of the substring and search functions, formatting and
// the writable buffer.

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "TestSupport.h"

TEST(CStringTest, BytesAbove127AreKeptAndOrderedUnsigned) {
    CString s("\xC4pfel \xE9t\xE9");
    EXPECT_EQ(s.GetLength(), 9);
    s.MakeUpper();
    EXPECT_STREQ(s, "\xC4PFEL \xE9T\xE9"); // only ASCII letters change
    s.MakeLower();
    EXPECT_STREQ(s, "\xC4pfel \xE9t\xE9");
    EXPECT_EQ(s.GetAt(0), '\xC4');
    EXPECT_GT(CString("\xE9").Compare("z"), 0);
    EXPECT_LT(CString("z"), CString("\xE9"));
    EXPECT_EQ(CString("ABC\xE9").CompareNoCase("abc\xE9"), 0);
    EXPECT_LT(CString("a").CompareNoCase("B"), 0);
    EXPECT_GT(CString("Z").CompareNoCase("_"), 0); // letters fold to lower case
}

TEST(CStringTest, EmbeddedNulsCountInLengthAndEquality) {
    CString a("a\0b", 3);
    CString b("a\0c", 3);
    EXPECT_EQ(a.GetLength(), 3);
    EXPECT_NE(a, b);
    EXPECT_EQ(a, CString("a\0b", 3));
    EXPECT_EQ(CString(static_cast<LPCSTR>(nullptr)), CString(""));
    EXPECT_EQ(CString('x', 3), CString("xxx"));
    EXPECT_TRUE(CString('x', -1).IsEmpty());
}

TEST(CStringTest, SubstringsClipToTheString) {
    const CString s("abcdef");
    struct Case {
        CString got;
        const char* expected;
    } cases[] = {
        {s.Mid(2), "cdef"},
        {s.Mid(2, 2), "cd"},
        {s.Mid(-1, 2), "ab"},
        {s.Mid(4, 10), "ef"},
        {s.Mid(6), ""},
        {s.Mid(7), ""},
        {s.Mid(2, -1), ""},
        {s.Mid(INT_MAX, INT_MAX), ""},
        {s.Mid(1, INT_MAX), "bcdef"},
        {s.Left(2), "ab"},
        {s.Left(-1), ""},
        {s.Left(10), "abcdef"},
        {s.Right(2), "ef"},
        {s.Right(-3), ""},
        {s.Right(10), "abcdef"},
        {s.SpanIncluding("cba"), "abc"},
        {s.SpanExcluding("dx"), "abc"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.got, c.expected);
}

TEST(CStringTest, SearchesAndTheirStarts) {
    const CString s("abcabc");
    struct Case {
        int got;
        int expected;
    } cases[] = {
        {s.Find('c'), 2},       {s.Find('c', 3), 5},     {s.Find('c', 6), -1},
        {s.Find('c', 100), -1}, {s.Find('a', -5), 0},    {s.Find("bc"), 1},
        {s.Find("bc", 2), 4},   {s.Find("bc", 100), -1}, {s.Find("x"), -1},
        {s.Find(""), 0},        {s.ReverseFind('a'), 3}, {s.ReverseFind('x'), -1},
        {s.FindOneOf("xc"), 2}, {s.FindOneOf(""), -1},   {CString().Find('a'), -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.expected);
}

TEST(CStringTest, IndexOutsideTheStringThrows) {
    CString s("ab");
    EXPECT_TRUE(throwsFramework<CInvalidArgException>([&] { s.GetAt(2); }));
    EXPECT_TRUE(throwsFramework<CInvalidArgException>([&] { s.GetAt(-1); }));
    EXPECT_TRUE(throwsFramework<CInvalidArgException>([&] { s.SetAt(2, 'x'); }));
    s.SetAt(1, 'z');
    EXPECT_STREQ(s, "az");
    EXPECT_EQ(s[0], 'a');
}

TEST(CStringTest, FormatUsesPointDecimalsAndAnyLength) {
    CString s;
    s.Format("%d|%5.2f|%s|%x|%c", -12, 3.14159, "t\xE9xt", 255u, 'q');
    EXPECT_STREQ(s, "-12| 3.14|t\xE9xt|ff|q");
    s.Format("%g", 0.5);
    EXPECT_STREQ(s, "0.5");
    const std::string long_(1000, 'x');
    s.Format("[%s]", long_.c_str());
    EXPECT_EQ(s.GetLength(), 1002);
    s.Format("%s", static_cast<LPCSTR>(s)); // own text as argument
    EXPECT_EQ(s.GetLength(), 1002);
}

TEST(CStringTest, GetBufferAndReleaseBuffer) {
    CString s("ab");
    char* p = s.GetBuffer(10);
    std::strcpy(p, "hello");
    s.ReleaseBuffer();
    EXPECT_STREQ(s, "hello");
    EXPECT_EQ(s.GetLength(), 5);
    p = s.GetBuffer(0); // keeps the content
    EXPECT_STREQ(p, "hello");
    s.ReleaseBuffer(2);
    EXPECT_STREQ(s, "he");
    s.ReleaseBuffer(50); // not longer than the buffer
    EXPECT_STREQ(s, "he");
    p = s.GetBufferSetLength(4);
    p[2] = 'y';
    p[3] = '!';
    EXPECT_STREQ(s, "hey!");
}

TEST(CStringTest, EditingOperations) {
    CString s("aaaa");
    EXPECT_EQ(s.Replace("aa", "b"), 2);
    EXPECT_STREQ(s, "bb");
    EXPECT_EQ(s.Replace("b", "xyz"), 2);
    EXPECT_STREQ(s, "xyzxyz");
    EXPECT_EQ(s.Replace("", "q"), 0);
    EXPECT_EQ(s.Replace('y', 'Y'), 2);
    EXPECT_EQ(s.Remove('z'), 2);
    EXPECT_STREQ(s, "xYxY");
    EXPECT_EQ(s.Insert(-3, '<'), 5);
    EXPECT_EQ(s.Insert(100, ">"), 6);
    EXPECT_STREQ(s, "<xYxY>");
    EXPECT_EQ(s.Delete(1, 100), 1);
    EXPECT_STREQ(s, "<");
    EXPECT_EQ(s.Delete(5), 1);
    EXPECT_EQ(s.Delete(-1), 1);

    CString t(" \t\r\n mid \xA0 \n");
    t.TrimLeft();
    EXPECT_STREQ(t, "mid \xA0 \n");
    t.TrimRight();
    EXPECT_STREQ(t, "mid \xA0"); // 0xA0 is not ASCII whitespace
    CString u("xxyxx");
    u.TrimLeft('x');
    EXPECT_STREQ(u, "yxx");
    u.TrimRight("xy");
    EXPECT_STREQ(u, "");

    CString v("ab");
    v += v;
    v += 'c';
    EXPECT_STREQ(v, "ababc");
    EXPECT_STREQ("<" + v + '>', "<ababc>");
    v.MakeReverse();
    EXPECT_STREQ(v, "cbaba");
}
