#include <cfloat>
#include <climits>
#include <cstring>
#include <gtest/gtest.h>
#include <locale.h>
#include <string>
#include <vector>
#include <win32/KernelTesting.h>
#include <win32/kernel.h>

#include "pathkit/InStrStream.h"
#include "pathkit/OutMemStream.h"
#include "pathkit/OutStrStream.h"

namespace {

using namespace std::string_literals;

// An input stream over a copy of the text (which may hold any byte).
struct Input {
    explicit Input(std::string text)
        : bytes(std::move(text)), in(bytes.data(), long(bytes.size())) {}
    std::string bytes;
    InStrStream in;
};

// Runs a writer against a large buffer and returns what it wrote.
template <class Writer> std::string Written(Writer write) {
    std::vector<char> buffer(4096);
    OutStrStream out(buffer.data(), long(buffer.size()));
    write(out);
    return std::string(buffer.data(), std::size_t(out.TellP()));
}

// ---- reading bytes ----

TEST(InStrStream, GetReturnsEveryByteAsDataAndMinusOneOnlyAtTheEnd) {
    const std::string bytes = "\x00\x01\x7F\x80\xE9\xFE\xFF"s;
    Input input(bytes);
    for (unsigned char expected : bytes)
        EXPECT_EQ(input.in.Get(), int(expected));
    EXPECT_EQ(input.in.Get(), -1);
    EXPECT_EQ(input.in.Get(), -1);
    EXPECT_FALSE(input.in.Good());
}

TEST(InStrStream, ReadStopsAtCountOrEnd) {
    Input input("0123456789");
    char buffer[16] = {};
    EXPECT_EQ(input.in.Read(buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(input.in.TellG(), 4);
    EXPECT_EQ(input.in.Read(buffer, 0), 0);
    EXPECT_EQ(input.in.Read(buffer, -3), 0);
    EXPECT_EQ(input.in.Read(buffer, 16), 6);
    EXPECT_EQ(std::string(buffer, 6), "456789");

    Input high("\xFF\x80\xFF"s);
    unsigned char raw[3] = {};
    EXPECT_EQ(high.in.Read(raw, 3), 3);
    EXPECT_EQ(raw[0], 0xFF);
    EXPECT_EQ(raw[1], 0x80);
    EXPECT_EQ(raw[2], 0xFF);
}

TEST(InStrStream, SeekRules) {
    struct Case {
        long start, offset;
        int whence;
        int result;
        long position;
    };
    const Case cases[] = {
        {5, 0, 2, 0, 10},        {5, 10, 2, 0, 0}, {5, 3, 2, 0, 7},   {5, 11, 2, -1, 5},
        {5, -1, 2, -1, 5},       {5, 9, 0, 0, 9},  {5, 10, 0, -1, 5}, {5, -1, 0, -1, 5},
        {5, 4, 1, 0, 9},         {5, 5, 1, -1, 5}, {5, -5, 1, 0, 0},  {5, -6, 1, -1, 5},
        {5, LONG_MAX, 1, -1, 5}, {5, 0, 3, -1, 5}, {5, 0, -1, -1, 5},
    };
    Input input("0123456789");
    for (const Case& c : cases) {
        ASSERT_EQ(input.in.SeekG(c.start, 0), 0);
        EXPECT_EQ(input.in.SeekG(c.offset, c.whence), c.result)
            << c.offset << " whence " << c.whence;
        EXPECT_EQ(input.in.TellG(), c.position) << c.offset << " whence " << c.whence;
    }

    input.in.SeekG(0, 2);
    EXPECT_FALSE(input.in.Good());
    EXPECT_EQ(input.in.Get(), -1);
    EXPECT_EQ(input.in.UnGet(), 0);
    EXPECT_EQ(input.in.Get(), '9');

    input.in.SeekG(0, 0);
    EXPECT_EQ(input.in.UnGet(), -1);
}

TEST(InStrStream, EmptyOrNullDataIsAtTheEnd) {
    InStrStream none(nullptr, 10);
    EXPECT_FALSE(none.Good());
    EXPECT_EQ(none.Get(), -1);
    InStrStream negative("abc", -1);
    EXPECT_EQ(negative.Get(), -1);
    negative.Attach("abc", 3);
    EXPECT_EQ(negative.Get(), 'a');
}

// ---- strings, sets and tokens ----

TEST(InStream, GetString) {
    struct Case {
        std::string input;
        int len;
        const char* stops;
        std::string text;
        int result;
        long after;
    };
    const Case cases[] = {
        {"abc def", 10, " ", "abc", 3, 4}, // stop consumed, not stored
        {"abcdef", 4, " ", "abc", 3, 3},   // limit leaves the rest
        {"abc", 10, " ", "abc", 3, 3},     // end after bytes
        {"", 10, " ", "", -1, 0},          // end before any byte
        {" x", 10, " ", "", 0, 1},         // empty field
        {"\xE9t\xFF\x80 x"s, 10, " ", "\xE9t\xFF\x80"s, 4, 5},
        {"a\xFFz", 10, "\xFF", "a", 1, 2},   // 0xFF may be a stop like any byte
        {"a\0b c"s, 10, " ", "a\0b"s, 3, 4}, // a zero byte is not in any set
        {"line\r\nnext", 256, "\r\n", "line", 4, 5},
        {"abc", 1, " ", "", 0, 0},
    };
    for (const Case& c : cases) {
        Input input(c.input);
        char buffer[300];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(input.in.GetString(buffer, c.len, c.stops), c.result) << c.input;
        EXPECT_EQ(std::string(buffer, c.text.size() + 1), c.text + std::string(1, '\0')) << c.input;
        EXPECT_EQ(input.in.TellG(), c.after) << c.input;
    }
}

TEST(InStream, Collect) {
    struct Case {
        std::string input;
        int len;
        std::string text;
        int result;
        int next; // the byte read after Collect
    };
    const std::string digits50(50, '7');
    const Case cases[] = {
        {"  12ab", 40, "12", 2, 'a'},
        {"\xFF\xFE\x80:34\xFF"s, 40, "34", 2, 0xFF},
        {"x12", 40, "12", 2, -1}, // ends on data: nothing stepped back
        {"abc", 40, "", -1, -1},
        {"", 40, "", -1, -1},
        {"ab56", 1, "", 0, '5'}, // no room: the first byte is stepped back over
        {digits50, 40, std::string(39, '7'), 39, '7'},
        {"a\0"
         "9"s,
         40, "9", 1, -1},
    };
    for (const Case& c : cases) {
        Input input(c.input);
        char buffer[64];
        EXPECT_EQ(input.in.Collect(buffer, c.len, "0123456789"), c.result) << c.input;
        EXPECT_EQ(std::string(buffer), c.text) << c.input;
        EXPECT_EQ(input.in.Get(), c.next) << c.input;
    }
}

TEST(InStream, TokensNeedAMaximumLength) {
    Input input("Path Layer=1");
    char token[64] = "stale";
    input.in >> token;
    EXPECT_STREQ(token, "");
    EXPECT_EQ(input.in.TellG(), 0);

    input.in >> MaxLen(40) >> token;
    EXPECT_STREQ(token, "Path");
    input.in >> token;
    EXPECT_STREQ(token, "Layer=1");
    input.in >> token;
    EXPECT_STREQ(token, "");
}

TEST(InStream, TokensWithDelimiterSets) {
    Input input(" \t \xC4\xFFx\ty ,,z;w"s);
    char token[64];
    unsigned char raw[64];
    input.in >> MaxLen(40) >> WhiteSpace(" \t") >> token;
    EXPECT_STREQ(token, "\xC4\xFFx");
    input.in >> raw;
    EXPECT_EQ(raw[0], 'y');
    EXPECT_EQ(raw[1], 0);

    // A new set is in force at once and its members are skipped.
    input.in >> WhiteSpace(",;") >> token;
    EXPECT_STREQ(token, "z");
    input.in >> token;
    EXPECT_STREQ(token, "w");

    // Token length limit: the rest is the next token.
    Input longer("abcdefgh");
    longer.in >> MaxLen(4) >> token;
    EXPECT_STREQ(token, "abc");
    longer.in >> token;
    EXPECT_STREQ(token, "def");
}

TEST(InStream, SingleBytes) {
    Input input("\xFF\x80"s);
    char c = 0;
    unsigned char u = 0;
    input.in >> c >> u;
    EXPECT_EQ(static_cast<unsigned char>(c), 0xFF);
    EXPECT_EQ(u, 0x80);
    input.in >> u;
    EXPECT_EQ(u, 0x80); // unchanged at the end
}

// ---- numbers ----

constexpr long kUnchanged = 4711;

TEST(InStream, ReadsLong) {
    struct Case {
        std::string input;
        int base;
        long value;
    };
    const Case cases[] = {
        {"12", 10, 12},
        {"-12", 10, -12},
        {"x-12y", 10, -12},
        {"- 12", 10, 12}, // a sign apart from the digits is skipped
        {"--5", 10, -5},
        {"+7", 10, 7},
        {"a-", 10, kUnchanged},
        {"", 10, kUnchanged},
        {"abc", 10, kUnchanged}, // lower case is not a digit
        {"12AB", 10, 12},
        {"FF", 16, 255},
        {"-1F", 16, -31},
        {"ff", 16, kUnchanged},
        {"777", 8, 511},
        {"\xFF\x80\xE9=42\xFF"s, 10, 42},
        {"99999999999999999999999", 10, LONG_MAX},
        {"-99999999999999999999999", 10, LONG_MIN},
        {std::string(60, '1'), 10, LONG_MAX},
    };
    for (const Case& c : cases) {
        Input input(c.input);
        long value = kUnchanged;
        input.in >> NumBase(c.base) >> value;
        EXPECT_EQ(value, c.value) << c.input;
        EXPECT_EQ(input.in.GetBase(), c.base);
    }
}

TEST(InStream, ReadsOtherIntegerWidths) {
    struct Case {
        std::string input;
        int asInt;
        unsigned asUnsigned;
        unsigned long asUnsignedLong;
    };
    const Case cases[] = {
        {"42", 42, 42, 42},
        {"-12", -12, 0, 0}, // no unsigned value: saturates instead of wrapping
        {"3000000000", INT_MAX, 3000000000u, 3000000000ul},
        {"-3000000000", INT_MIN, 0, 0},
        {"4294967296", INT_MAX, UINT_MAX, 4294967296ul},
        {"99999999999999999999999", INT_MAX, UINT_MAX, ULONG_MAX},
    };
    for (const Case& c : cases) {
        int i = 1;
        unsigned u = 1;
        unsigned long ul = 1;
        Input a(c.input), b(c.input), d(c.input);
        a.in >> i;
        b.in >> u;
        d.in >> ul;
        EXPECT_EQ(i, c.asInt) << c.input;
        EXPECT_EQ(u, c.asUnsigned) << c.input;
        EXPECT_EQ(ul, c.asUnsignedLong) << c.input;
    }
}

TEST(InStream, ReadsIntegersInSequence) {
    Input input("Layer=1 R255G0B-3 10-20");
    int v[6] = {};
    for (int& x : v)
        input.in >> x;
    EXPECT_EQ(v[0], 1);
    EXPECT_EQ(v[1], 255);
    EXPECT_EQ(v[2], 0);
    EXPECT_EQ(v[3], -3);
    EXPECT_EQ(v[4], 10);
    EXPECT_EQ(v[5], -20);
    int after = 99;
    input.in >> after;
    EXPECT_EQ(after, 99);
}

TEST(InStream, ReadsDouble) {
    struct Case {
        std::string input;
        double value;
    };
    const double unchanged = 47.11;
    const Case cases[] = {
        {"3.5", 3.5},
        {"SubPath -2.25e2 x", -225},
        {"\xFF\xE9=0.125\xFF"s, 0.125},
        {"1e999", DBL_MAX},
        {"-1e999", -DBL_MAX},
        {"1e-999", 0},
        {"nan", unchanged},
        {"inf", unchanged},
        {"", unchanged},
        {std::string(45, '9'), 999999999999999999999999999999999999999.0},
    };
    for (const Case& c : cases) {
        Input input(c.input);
        double value = unchanged;
        input.in >> value;
        EXPECT_EQ(value, c.value) << c.input;
    }

    Input pair("SubPath 100 200\r\n");
    float x = 0, y = 0;
    pair.in >> x >> y;
    EXPECT_EQ(x, 100.0f);
    EXPECT_EQ(y, 200.0f);

    Input huge("-1e39");
    float f = 0;
    huge.in >> f;
    EXPECT_EQ(f, -FLT_MAX);
}

// ---- writing ----

TEST(OutStream, FormatsNumbers) {
    struct Case {
        std::string written;
        std::string expected;
    };
    const Case cases[] = {
        {Written([](OutStream& o) { o << NumBase(16) << 255L; }), "ff"},
        {Written([](OutStream& o) { o << NumBase(16) << 0x7FFFFFFF; }), "7fffffff"},
        {Written([](OutStream& o) { o << NumBase(2) << 5; }), "101"},
        {Written([](OutStream& o) { o << NumBase(36) << 35u; }), "z"},
        {Written([](OutStream& o) { o << -255L << ' ' << 0 << ' ' << LONG_MIN; }),
         "-255 0 -9223372036854775808"},
        {Written([](OutStream& o) { o << ULONG_MAX; }), "18446744073709551615"},
        {Written([](OutStream& o) { o << NumBase(1) << 5 << NumBase(37) << 5; }), ""},
        {Written([](OutStream& o) { o << 0.1 << ' ' << 1e20 << ' ' << 1234567.0; }),
         "0.1 1e+20 1.23457e+06"},
        {Written([](OutStream& o) { o << -2.5f << ' ' << 0.0; }), "-2.5 0"},
        {Written([](OutStream& o) { o << Format("%.3f") << 2.5; }), "2.500"},
        {Written([](OutStream& o) { o << Format("%09.2f") << 3.14159; }), "000003.14"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.written, c.expected);
}

TEST(OutStream, NumberTextIsLimitedTo79Characters) {
    std::string wide = Written([](OutStream& o) { o << Format("%-200.1f") << 1.5 << '|'; });
    EXPECT_EQ(wide, "1.5" + std::string(76, ' ') + "|");

    std::string large = Written([](OutStream& o) { o << Format("%f") << DBL_MAX; });
    EXPECT_EQ(large.size(), 79u);
}

TEST(OutStream, TextLinesAndRepeats) {
    EXPECT_EQ(Written([](OutStream& o) { o << "Path" << EndLine() << "End"; }), "Path\r\nEnd");
    EXPECT_EQ(
        Written([](OutStream& o) { o << Repeat(3, 'x') << Repeat(0, 'y') << Repeat(-2, 'z'); }),
        "xxx");
    EXPECT_EQ(Written([](OutStream& o) {
                  o << "\xE9\xFF" << reinterpret_cast<const unsigned char*>("\x80")
                    << static_cast<const char*>(nullptr) << '\xFF'
                    << static_cast<unsigned char>(0x90);
              }),
              "\xE9\xFF\x80\xFF\x90");
    const char data[] = {'a', 0, '\xFF', 'b'};
    EXPECT_EQ(Written([&](OutStream& o) { EXPECT_EQ(o.Write(data, 4), 4); }), std::string(data, 4));
}

TEST(OutStream, Settings) {
    char buffer[4];
    OutStrStream out(buffer, sizeof buffer);
    EXPECT_STREQ(out.GetFormat(), "%g");
    EXPECT_EQ(out.GetBase(), 10);
    out << Format("%.2f") << NumBase(16);
    EXPECT_STREQ(out.GetFormat(), "%.2f");
    EXPECT_EQ(out.GetBase(), 16);
    out << Format(nullptr);
    EXPECT_STREQ(out.GetFormat(), "%g");
}

// Numbers keep '.' when the thread runs under a locale with a decimal comma.
TEST(Streams, NumbersIgnoreTheLocale) {
    locale_t comma = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "nl_NL.UTF-8"}) {
        comma = newlocale(LC_NUMERIC_MASK, name, nullptr);
        if (comma) break;
    }
    if (!comma) GTEST_SKIP() << "no locale with a decimal comma installed";
    locale_t previous = uselocale(comma);

    Input input("2.5 x");
    double v = 0;
    input.in >> v;
    std::string written = Written([](OutStream& o) { o << 2.5 << ' ' << Format("%.2f") << 0.25; });

    uselocale(previous);
    freelocale(comma);
    EXPECT_EQ(v, 2.5);
    EXPECT_EQ(written, "2.5 0.25");
}

TEST(OutStrStream, StopsAtAFullBuffer) {
    char buffer[6];
    std::memset(buffer, '#', sizeof buffer);
    OutStrStream out(buffer, 4);
    EXPECT_EQ(out.Write("abcdef", 6), 4);
    EXPECT_EQ(out.Put('x'), -1);
    EXPECT_FALSE(out.Good());
    out << "more" << 12 << EndLine();
    EXPECT_EQ(std::string(buffer, 6), "abcd##"); // no terminator, nothing past the end
    EXPECT_EQ(out.TellP(), 4);

    EXPECT_EQ(out.SeekP(1, 0), 0);
    EXPECT_EQ(out.Put('B'), 0);
    EXPECT_EQ(out.SeekP(1, 2), 0);
    EXPECT_EQ(out.Put('D'), 0);
    EXPECT_EQ(out.SeekP(4, 0), -1);
    EXPECT_EQ(std::string(buffer, 6), "aBcD##");

    OutStrStream none(nullptr, 10);
    EXPECT_EQ(none.Put('a'), -1);
}

// ---- movable memory ----

class OutMemStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        SdResetMemoryTesting();
        liveBefore = SdLiveGlobalCount();
    }
    void TearDown() override {
        SdResetMemoryTesting();
        EXPECT_EQ(SdLiveGlobalCount(), liveBefore);
    }
    // Contents of a detached block, which the test then frees.
    static std::string Take(HGLOBAL mem, SIZE_T* size = nullptr) {
        SIZE_T n = GlobalSize(mem);
        if (size) *size = n;
        auto* p = static_cast<char*>(GlobalLock(mem));
        std::string bytes(p, n);
        GlobalUnlock(mem);
        GlobalFree(mem);
        return bytes;
    }
    SIZE_T liveBefore = 0;
};

TEST_F(OutMemStreamTest, GrowsByStepAndDetaches) {
    OutMemStream out(4);
    EXPECT_EQ(out.GetBuffer(), nullptr);
    EXPECT_FALSE(out.Good());
    for (char c : std::string("0123456789"))
        ASSERT_EQ(out.Put(c), 0);
    EXPECT_EQ(out.TellP(), 10);
    ASSERT_NE(out.GetBuffer(), nullptr);
    EXPECT_EQ(std::string(out.GetBuffer(), 10), "0123456789");

    HGLOBAL mem = out.Detach();
    ASSERT_NE(mem, nullptr);
    EXPECT_EQ(GlobalFlags(mem) & GMEM_LOCKCOUNT, 0u);
    EXPECT_EQ(out.GetBuffer(), nullptr);
    EXPECT_EQ(out.TellP(), 0);
    EXPECT_EQ(out.Detach(), nullptr);

    SIZE_T size = 0;
    std::string bytes = Take(mem, &size);
    EXPECT_EQ(size, 12u);
    EXPECT_EQ(bytes, "0123456789\0\0"s); // the slack is cleared

    // The stream starts over after a detach.
    out << "ab";
    EXPECT_EQ(Take(out.Detach()), "ab\0\0"s);
}

TEST_F(OutMemStreamTest, DefaultStepAndNothingWritten) {
    OutMemStream empty;
    EXPECT_EQ(empty.Detach(), nullptr);

    OutMemStream out;
    out << 1.5 << EndLine();
    SIZE_T size = 0;
    std::string bytes = Take(out.Detach(), &size);
    EXPECT_EQ(size, 1024u);
    EXPECT_EQ(bytes.substr(0, 6), "1.5\r\n\0"s);
}

TEST_F(OutMemStreamTest, SeeksWithinTheWrittenBytes) {
    OutMemStream out(8);
    out << "abcdef";
    EXPECT_EQ(out.SeekP(6, 0), -1);
    EXPECT_EQ(out.SeekP(0, 2), 0);
    EXPECT_FALSE(out.Good());
    EXPECT_EQ(out.SeekP(6, 2), 0);
    EXPECT_TRUE(out.Good());
    out << "XY";
    EXPECT_EQ(out.TellP(), 2);
    EXPECT_EQ(out.SeekP(3, 1), 0);
    out << "ZZZ"; // overwrites the last byte and extends by two
    EXPECT_EQ(out.TellP(), 8);
    EXPECT_EQ(std::string(out.GetBuffer(), 8), "XYcdeZZZ");
    EXPECT_EQ(out.SeekP(8, 2), 0);
    EXPECT_EQ(out.SeekP(9, 2), -1);
}

TEST_F(OutMemStreamTest, RefusedFirstBlock) {
    OutMemStream out(4);
    SdFailGlobalRequests(1);
    EXPECT_EQ(out.Put('a'), -1);
    EXPECT_EQ(out.GetBuffer(), nullptr);
    EXPECT_EQ(out.TellP(), 0);
    EXPECT_EQ(out.Detach(), nullptr);
    EXPECT_EQ(out.Put('b'), 0);
    EXPECT_EQ(Take(out.Detach()), "b\0\0\0"s);
}

TEST_F(OutMemStreamTest, RefusedGrowthKeepsWhatWasWritten) {
    OutMemStream out(4);
    EXPECT_EQ(out.Write("abcd", 4), 4);
    SdFailGlobalRequests(2);
    EXPECT_EQ(out.Write("efgh", 4), 0);
    EXPECT_EQ(out.Put('e'), -1);
    EXPECT_EQ(out.TellP(), 4);
    EXPECT_EQ(std::string(out.GetBuffer(), 4), "abcd");
    EXPECT_EQ(out.Write("efgh", 4), 4);
    EXPECT_EQ(Take(out.Detach()), "abcdefgh");
}

TEST_F(OutMemStreamTest, DestructionFreesTheBlock) {
    {
        OutMemStream out(16);
        out << "abc";
        EXPECT_EQ(SdLiveGlobalCount(), liveBefore + 1);
    }
    EXPECT_EQ(SdLiveGlobalCount(), liveBefore);
}

} // namespace
