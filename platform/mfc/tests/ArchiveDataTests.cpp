// Numbers, strings, counts and raw bytes in archives, and the end of the stream.

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "TestSupport.h"

namespace {

// Stores with fn into a memory file and returns the bytes.
template <class Fn> Bytes stored(Fn fn) {
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    fn(ar);
    ar.Close();
    return contentsOf(file);
}

// An archive that loads the given bytes.
struct Loader {
    explicit Loader(const Bytes& bytes)
        : data(bytes), file(data.data(), UINT(data.size())), ar(&file, CArchive::load) {}
    Bytes data;
    CMemFile file;
    CArchive ar;
};

} // namespace

TEST(ArchiveData, NumbersAreLittleEndian) {
    const Bytes bytes = stored([](CArchive& ar) {
        ar << BYTE(0x12) << WORD(0x3456) << LONG(-2) << DWORD(0x89ABCDEF) << 1.5f << -0.25
           << short(-1) << 'x' << true << 7 << 8u << (long long)(-3) << 0x0102030405060708ull;
    });
    const Bytes expected = {
        0x12, 0x56, 0x34, 0xFE, 0xFF, 0xFF, 0xFF, 0xEF, 0xCD, 0xAB,
        0x89, 0x00, 0x00, 0xC0, 0x3F,                   // 1.5f
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xD0, 0xBF, // -0.25
        0xFF, 0xFF, 'x',  0x01, 0x07, 0x00, 0x00, 0x00, 0x08, 0x00,
        0x00, 0x00, 0xFD, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, // -3
        0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,
    };
    ASSERT_EQ(bytes, expected);

    Loader in(bytes);
    BYTE by;
    WORD w;
    LONG l;
    DWORD dw;
    float f;
    double d;
    short s;
    char c;
    bool b;
    int i;
    unsigned u;
    long long ll;
    unsigned long long ull;
    in.ar >> by >> w >> l >> dw >> f >> d >> s >> c >> b >> i >> u >> ll >> ull;
    EXPECT_EQ(by, 0x12);
    EXPECT_EQ(w, 0x3456);
    EXPECT_EQ(l, -2);
    EXPECT_EQ(dw, 0x89ABCDEFu);
    EXPECT_EQ(f, 1.5f);
    EXPECT_EQ(d, -0.25);
    EXPECT_EQ(s, -1);
    EXPECT_EQ(c, 'x');
    EXPECT_TRUE(b);
    EXPECT_EQ(i, 7);
    EXPECT_EQ(u, 8u);
    EXPECT_EQ(ll, -3);
    EXPECT_EQ(ull, 0x0102030405060708ull);
}

struct LengthCase {
    const char* name;
    DWORD length;
    Bytes prefix;
};

class ArchiveStringLength : public ::testing::TestWithParam<LengthCase> {};

TEST_P(ArchiveStringLength, PrefixAndRoundTrip) {
    const LengthCase& c = GetParam();
    CString text;
    char* p = text.GetBufferSetLength(int(c.length));
    for (DWORD i = 0; i < c.length; ++i)
        p[i] = char(0x80 + i % 100); // bytes above 127
    const Bytes bytes = stored([&](CArchive& ar) { ar << text; });
    ASSERT_EQ(bytes.size(), c.prefix.size() + c.length);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(c.prefix.size())), c.prefix);
    Loader in(bytes);
    CString back;
    in.ar >> back;
    EXPECT_TRUE(back == text);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, ArchiveStringLength,
    ::testing::Values(LengthCase{"Empty", 0, {0x00}}, LengthCase{"Len254", 254, {0xFE}},
                      LengthCase{"Len255", 255, {0xFF, 0xFF, 0x00}},
                      LengthCase{"Len0xFFFD", 0xFFFD, {0xFF, 0xFD, 0xFF}},
                      LengthCase{"Len0xFFFE", 0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
                      LengthCase{"Len0xFFFF", 0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
                      LengthCase{
                          "Len0x10000", 0x10000, {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}}),
    [](const ::testing::TestParamInfo<LengthCase>& info) { return std::string(info.param.name); });

TEST(ArchiveData, StringPrefixesOfOtherWritersAreRead) {
    Loader in({0xFF, 0x03, 0x00, 'a', 'b', 'c',                      // short length, long form
               0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00, 'd', 'e'}); // long form
    CString a, b;
    in.ar >> a >> b;
    EXPECT_EQ(a, CString("abc"));
    EXPECT_EQ(b, CString("de"));
}

TEST(ArchiveData, CStringLiteralIsWrittenAsAString) {
    const Bytes bytes = stored([](CArchive& ar) { ar << "ab" << static_cast<LPCSTR>(nullptr); });
    EXPECT_EQ(bytes, (Bytes{0x02, 'a', 'b', 0x00}));
}

TEST(ArchiveData, WideStringMarkerIsAnArchiveError) {
    Loader in({0xFF, 0xFE, 0xFF, 0x01, 'A', 0x00});
    CString s;
    EXPECT_EQ(archiveCause([&] { in.ar >> s; }), CArchiveException::genericException);
}

TEST(ArchiveData, CountsUseWordOrWordAndDword) {
    const Bytes bytes = stored([](CArchive& ar) {
        ar.WriteCount(0);
        ar.WriteCount(0xFFFE);
        ar.WriteCount(0xFFFF);
        ar.WriteCount(0x12345);
    });
    const Bytes expected = {0x00, 0x00, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                            0x00, 0x00, 0xFF, 0xFF, 0x45, 0x23, 0x01, 0x00};
    ASSERT_EQ(bytes, expected);
    Loader in(bytes);
    EXPECT_EQ(in.ar.ReadCount(), 0u);
    EXPECT_EQ(in.ar.ReadCount(), 0xFFFEu);
    EXPECT_EQ(in.ar.ReadCount(), 0xFFFFu);
    EXPECT_EQ(in.ar.ReadCount(), 0x12345u);
}

TEST(ArchiveData, EndOfFileNamesTheFile) {
    TempFolder folder;
    const std::string path = folder.file("short.wtp");
    {
        CFile out(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        const BYTE two[] = {0x01, 0x02};
        out.Write(two, 2);
    }
    CFile file(path.c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    DWORD dw = 0;
    CString name;
    EXPECT_EQ(archiveCause([&] { ar >> dw; }, &name), CArchiveException::endOfFile);
    EXPECT_EQ(name, CString(path.c_str()));
    EXPECT_EQ(ar.m_strFileName, CString(path.c_str()));
}

TEST(ArchiveData, LengthsAndCountsBeyondTheStreamFailBeforeAllocating) {
    struct Case {
        const char* what;
        Bytes bytes;
        int kind; // 0 string, 1 object array, 2 string array
    };
    const Case cases[] = {
        {"string 0xFFFFFFFF", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c'}, 0},
        {"string 0x7FFFFFF0", {0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0x7F, 'a', 'b', 'c'}, 0},
        {"string 0xFFFD", {0xFF, 0xFD, 0xFF, 'a'}, 0},
        {"object array", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x00}, 1},
        {"string array", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x00}, 2},
    };
    for (const Case& c : cases) {
        Loader in(c.bytes);
        AllocationProbe probe;
        const int cause = archiveCause([&] {
            if (c.kind == 0) {
                CString s;
                in.ar >> s;
            } else if (c.kind == 1) {
                CObArray a;
                a.Serialize(in.ar);
            } else {
                CStringArray a;
                a.Serialize(in.ar);
            }
        });
        EXPECT_EQ(cause, CArchiveException::endOfFile) << c.what;
        EXPECT_LT(probe.largest(), std::size_t(64 * 1024)) << c.what;
    }
}

TEST(ArchiveData, RawBytesPassTheBufferInBothDirections) {
    Bytes big(10000);
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = BYTE(i * 7);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store, 128);
        ar << WORD(1);
        ar.Write(big.data(), 100);
        ar.Write(big.data(), UINT(big.size()));
        ar << WORD(2);
        ar.Close();
    }
    EXPECT_EQ(file.GetLength(), 2 + 100 + big.size() + 2);
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load, 128);
    WORD w;
    Bytes small(100), back(big.size());
    ar >> w;
    EXPECT_EQ(w, 1);
    EXPECT_EQ(ar.Read(small.data(), 100), 100u);
    EXPECT_EQ(ar.Read(back.data(), UINT(back.size())), back.size());
    EXPECT_EQ(back, big);
    EXPECT_TRUE(std::equal(small.begin(), small.end(), big.begin()));
    ar >> w;
    EXPECT_EQ(w, 2);
    // Read gives what is left at the end; typed reads throw.
    BYTE rest[4];
    EXPECT_EQ(ar.Read(rest, 4), 0u);
    EXPECT_EQ(archiveCause([&] { ar >> w; }), CArchiveException::endOfFile);
}

TEST(ArchiveData, ReadStopsShortAtTheEnd) {
    Loader in({1, 2, 3});
    BYTE out[8] = {};
    EXPECT_EQ(in.ar.Read(out, 8), 3u);
    EXPECT_EQ(out[2], 3);
}

TEST(ArchiveData, WrongDirectionIsAnError) {
    CMemFile file;
    CArchive storing(&file, CArchive::store);
    BYTE b;
    EXPECT_EQ(archiveCause([&] { storing >> b; }), CArchiveException::writeOnly);
    Loader in({1});
    EXPECT_EQ(archiveCause([&] { in.ar << BYTE(1); }), CArchiveException::readOnly);
}

TEST(ArchiveData, FlushWhileLoadingBringsTheFileToTheReadPosition) {
    // As a document reader skips a preview block through the file itself.
    Loader in({0x01, 0x00, 0xAA, 0xBB, 0xCC, 0x02, 0x00});
    WORD w;
    in.ar >> w;
    in.ar.Flush();
    EXPECT_EQ(in.file.GetPosition(), 2u);
    in.file.Seek(3, CFile::current);
    in.ar >> w;
    EXPECT_EQ(w, 2);
}

TEST(ArchiveData, StoringArchiveFlushesWhenDestroyed) {
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << DWORD(5);
    }
    EXPECT_EQ(contentsOf(file), (Bytes{5, 0, 0, 0}));
}

TEST(ArchiveData, AbortDropsWhatIsBuffered) {
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << DWORD(5);
        ar.Abort();
    }
    EXPECT_EQ(file.GetLength(), 0u);
}

TEST(ArchiveData, ObjectSchemaIsReadOnce) {
    Loader in({});
    in.ar.SetObjectSchema(3);
    EXPECT_EQ(in.ar.GetObjectSchema(), 3u);
    EXPECT_EQ(in.ar.GetObjectSchema(), UINT(-1));
}
