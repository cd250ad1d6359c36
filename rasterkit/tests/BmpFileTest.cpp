// BMP files: the exact layout Save writes, real files of other programs, broken files.

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "RasterTestSupport.h"
#include "testing/PlatformTest.h"
#include "win32/KernelTesting.h"
#include "win32/kernel.h"
#include "win32/user.h"

namespace {

const std::string kData = SD_TEST_DATA_DIR;

class BmpFileTest : public PlatformTest {};

// The 14-byte file header and 40-byte information header Save writes for w x h at `bits`.
Bytes Headers(int w, int h, int bits, std::uint32_t tableBytes, std::uint32_t bitsBytes) {
    Bytes b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, 54 + tableBytes + bitsBytes);
    Put32(b, 10, 54 + tableBytes);
    Put32(b, 14, 40);
    Put32(b, 18, std::uint32_t(w));
    Put32(b, 22, std::uint32_t(h));
    Put16(b, 26, 1);
    Put16(b, 28, unsigned(bits));
    Put32(b, 38, 12000);
    Put32(b, 42, 12000);
    return b;
}

Bytes SaveToBytes(CDib& dib, int* result = nullptr) {
    CMemFile file;
    const int r = dib.Save(file);
    if (result) *result = r;
    return Contents(file);
}

} // namespace

// A 3 x 2 picture at each depth: top row indices 1, 2, 3 (1, 0, 1 at one bit), bottom row
// 4, 5, 6 (0, 1, 0). Create fills with 0xFF, so unset bits and row padding stay 0xFF.
TEST_F(BmpFileTest, SaveWritesTheExactLayoutAtEveryDepth) {
    struct Case {
        int bits;
        std::uint32_t table;
        Bytes bits_;
    };
    const Case cases[] = {
        {1, 8, {0x5F, 0xFF, 0xFF, 0xFF, 0xBF, 0xFF, 0xFF, 0xFF}},
        {4, 64, {0x45, 0x6F, 0xFF, 0xFF, 0x12, 0x3F, 0xFF, 0xFF}},
        {8, 1024, {4, 5, 6, 0xFF, 1, 2, 3, 0xFF}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        CDib dib;
        ASSERT_TRUE(dib.Create(3, 2, c.bits));
        const unsigned top1[3] = {1, 0, 1}, bottom1[3] = {0, 1, 0};
        for (unsigned x = 0; x < 3; ++x) {
            unsigned t = c.bits == 1 ? top1[x] : x + 1, b = c.bits == 1 ? bottom1[x] : x + 4;
            dib.SetPixel(int(x), 0, t);
            dib.SetPixel(int(x), 1, b);
        }
        int result = 0;
        const Bytes file = SaveToBytes(dib, &result);
        Bytes expected = Headers(3, 2, c.bits, c.table, 8);
        // The table is the built-in one: entry 1 is (128, 0, 0) as stored, entry 7 light grey.
        Bytes table(c.table, 0);
        table[4] = 128;
        if (c.bits >= 4) table[28] = table[29] = table[30] = 192;
        if (c.bits == 4) table[60] = 255; // entry 15 is cube entry (blue 255, 0, 0)
        if (c.bits == 8) {
            table[255 * 4] = table[255 * 4 + 1] = table[255 * 4 + 2] = 255;
            table[40] = table[41] = table[42] = 0; // cube entry 10 is black
        }
        const Bytes saved(file.begin() + 54, file.begin() + 54 + c.table);
        for (std::size_t i : {std::size_t(4), std::size_t(28), std::size_t(c.table - 4)}) {
            if (i + 3 > c.table) continue;
            EXPECT_EQ(Bytes(saved.begin() + i, saved.begin() + i + 4),
                          Bytes(table.begin() + i, table.begin() + i + 4))
                    << "table entry " << i / 4;
        }
        expected.insert(expected.end(), saved.begin(), saved.end());
        expected.insert(expected.end(), c.bits_.begin(), c.bits_.end());
        EXPECT_EQ(file, expected);
        EXPECT_EQ(result, int(expected.size()));
    }

    // 24 bits: rows of 9 bytes padded to 12, bottom row first, blue-green-red.
    CDib dib;
    ASSERT_TRUE(dib.Create(3, 2, 24));
    for (int x = 0; x < 3; ++x) {
        unsigned t = Bgr(BYTE(10 + x), BYTE(20 + x), BYTE(30 + x));
        unsigned b = Bgr(BYTE(40 + x), BYTE(50 + x), BYTE(60 + x));
        dib.SetPixel(x, 0, t);
        dib.SetPixel(x, 1, b);
    }
    Bytes expected = Headers(3, 2, 24, 0, 24);
    const Bytes bits = {40, 50, 60, 41, 51, 61, 42, 52, 62, 0xFF, 0xFF, 0xFF,
                        10, 20, 30, 11, 21, 31, 12, 22, 32, 0xFF, 0xFF, 0xFF};
    // Stored blue first: (r, g, b) = (40, 50, 60) is stored 60, 50, 40.
    Bytes stored;
    for (std::size_t i = 0; i < bits.size(); i += 12) {
        for (int p = 0; p < 3; ++p)
            for (int k = 2; k >= 0; --k)
                stored.push_back(bits[i + 3 * p + k]);
        stored.insert(stored.end(), 3, 0xFF);
    }
    expected.insert(expected.end(), stored.begin(), stored.end());
    EXPECT_EQ(SaveToBytes(dib), expected);
}

TEST_F(BmpFileTest, SizesOfTheSavedFile) {
    CDib dib(100, 10, 8);
    int result = 0;
    EXPECT_EQ(SaveToBytes(dib, &result).size(), 2078u);
    EXPECT_EQ(result, 2078);
    EXPECT_EQ(dib.GetBMPSize(), 2082u);

    CDib empty;
    EXPECT_EQ(empty.GetBMPSize(), 0u);
    EXPECT_EQ(SaveToBytes(empty, &result).size(), 0u);
    EXPECT_EQ(result, -1);
}

TEST_F(BmpFileTest, CreateRefusesBadSizesAndDepths) {
    CDib dib;
    EXPECT_EQ(dib.Create(0, 5, 8), 0);
    EXPECT_TRUE(dib.IsEmpty());
    EXPECT_EQ(dib.Create(5, -1, 8), 0);
    EXPECT_EQ(dib.Create(5, 5, 16), 0);
    EXPECT_EQ(dib.Create(5, 5, 32), 0);
    EXPECT_EQ(dib.Create(100000, 100000, 24), 0); // beyond the largest block
    ASSERT_EQ(dib.Create(9, 2, 1), 1);
    const RGBQUAD* t = dib.GetColorTab();
    EXPECT_EQ(t[0].rgbBlue + t[0].rgbGreen + t[0].rgbRed, 0);
    EXPECT_EQ(t[1].rgbBlue, 128); // dark blue
    EXPECT_EQ(t[1].rgbGreen + t[1].rgbRed, 0);
    for (long i = 0; i < dib.GetTotalBytes(); ++i)
        EXPECT_EQ(dib.GetBits()[i], 0xFF);
}

TEST_F(BmpFileTest, FilesOfOtherProgramsLoadToTheirSourcePixels) {
    std::ifstream list(kData + "/bmp/fixtures.txt");
    std::string bmp, ppm;
    int count = 0;
    while (list >> bmp >> ppm) {
        SCOPED_TRACE(bmp);
        ++count;
        CFile file((kData + "/bmp/" + bmp).c_str(), CFile::modeRead);
        CDib dib;
        ASSERT_EQ(dib.Load(file), 0) << CDib::LoadErrorText(dib.GetLoadError());
        EXPECT_TRUE(SamePixels(dib, ReadPpm(kData + "/bmp/" + ppm)));

        // Canonical inside, and it survives a save and a second load byte for byte.
        const BITMAPINFOHEADER& h = dib.GetInfo()->bmiHeader;
        EXPECT_EQ(h.biSize, 40u);
        EXPECT_EQ(h.biCompression, BI_RGB);
        EXPECT_GT(h.biHeight, 0);
        const Bytes saved = SaveToBytes(dib);
        CMemFile again;
        Fill(again, saved);
        CDib second;
        ASSERT_EQ(second.Load(again), 0);
        EXPECT_EQ(SaveToBytes(second), saved);
    }
    EXPECT_EQ(count, 16);
}

TEST_F(BmpFileTest, LoadReadsOneBitmapAndLeavesTheFileAfterIt) {
    // bfSize is not trusted: two bitmaps back to back, the first with a wrong file size.
    CDib a(5, 3, 24), b(2, 2, 8);
    a.Fill(1, 2, 3, 0, 0, 0, 0);
    CMemFile file;
    ASSERT_GT(a.Save(file), 0);
    ASSERT_GT(b.Save(file), 0);
    Bytes bytes = Contents(file);
    Put32(bytes, 2, 7);
    Fill(file, bytes);
    CDib first, second;
    ASSERT_EQ(first.Load(file), 0);
    EXPECT_EQ(first.GetWidth(), 5);
    EXPECT_EQ(first.IsFilledWith(1, 2, 3, 0, 0, 0, 0), 1);
    ASSERT_EQ(second.Load(file), 0);
    EXPECT_EQ(second.GetWidth(), 2);
    EXPECT_EQ(second.GetBitsPerPixel(), 8);
}

namespace {

// A valid 8-bit 4 x 3 file to break: header, 256 entries, 12 bytes of bits.
Bytes Valid8() {
    CDib dib(4, 3, 8);
    CMemFile f;
    dib.Save(f);
    return Contents(f);
}

// A 2 x 2 RLE8 file with the given compressed bits and a 2-entry table.
Bytes Rle8(const Bytes& data, int height = 2) {
    Bytes b(14 + 40 + 8, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 10, 62);
    Put32(b, 14, 40);
    Put32(b, 18, 2);
    Put32(b, 22, std::uint32_t(height));
    Put16(b, 26, 1);
    Put16(b, 28, 8);
    Put32(b, 30, BI_RLE8);
    Put32(b, 46, 2);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

} // namespace

TEST_F(BmpFileTest, BrokenFilesAreRefusedWithTheirCause) {
    const Bytes valid = Valid8();
    ASSERT_EQ(valid.size(), 14u + 40 + 1024 + 12);
    auto with = [&](auto change) {
        Bytes b = valid;
        change(b);
        return b;
    };
    auto cut = [&](std::size_t n) { return Bytes(valid.begin(), valid.begin() + long(n)); };
    struct Case {
        const char* what;
        Bytes file;
        CDib::LoadError cause;
    };
    const Case cases[] = {
        {"empty file", Bytes{}, CDib::NotBMP},
        {"wrong magic", with([](Bytes& b) { b[1] = 'X'; }), CDib::NotBMP},
        {"cut in the file header", cut(10), CDib::Truncated},
        {"cut after the file header", cut(14), CDib::Truncated},
        {"cut in the information header", cut(30), CDib::Truncated},
        {"cut in the colour table", cut(54 + 500), CDib::Truncated},
        {"cut after the colour table", cut(54 + 1024), CDib::BitsPastEnd},
        {"cut in the bits", cut(54 + 1024 + 5), CDib::BitsPastEnd},
        {"header size 13", with([](Bytes& b) { Put32(b, 14, 13); }), CDib::HeaderSize},
        {"header size 200", with([](Bytes& b) { Put32(b, 14, 200); }), CDib::HeaderSize},
        {"zero width", with([](Bytes& b) { Put32(b, 18, 0); }), CDib::Dimensions},
        {"negative width", with([](Bytes& b) { Put32(b, 18, 0xFFFFFFFF); }), CDib::Dimensions},
        {"zero height", with([](Bytes& b) { Put32(b, 22, 0); }), CDib::Dimensions},
        {"huge width", with([](Bytes& b) { Put32(b, 18, 0x7FFFFFFF); }), CDib::Dimensions},
        {"huge both", with([](Bytes& b) { Put32(b, 18, 100000), Put32(b, 22, 100000); }),
         CDib::Dimensions},
        {"most negative height", with([](Bytes& b) { Put32(b, 22, 0x80000000); }),
         CDib::Dimensions},
        {"bits past the end", with([](Bytes& b) { Put32(b, 22, 1000); }), CDib::BitsPastEnd},
        {"colours used 300", with([](Bytes& b) { Put32(b, 46, 300); }), CDib::ColorCount},
        {"2 bits per pixel", with([](Bytes& b) { Put16(b, 28, 2); }), CDib::ColorCount},
        {"JPEG compression", with([](Bytes& b) { Put32(b, 30, 4); }), CDib::Compression},
        {"RLE4 at 8 bits", with([](Bytes& b) { Put32(b, 30, BI_RLE4); }), CDib::Compression},
        {"offset inside the header", with([](Bytes& b) { Put32(b, 10, 20); }),
         CDib::BitsPastEnd},
        {"offset past the end", with([](Bytes& b) { Put32(b, 10, 5000); }), CDib::BitsPastEnd},
        {"RLE past the row", Rle8({9, 1, 0, 1}), CDib::Compression},
        {"RLE past the last row", Rle8({2, 1, 0, 0, 2, 1, 0, 0, 2, 1, 0, 1}), CDib::Compression},
        {"RLE delta out of the picture", Rle8({0, 2, 1, 5, 0, 1}), CDib::Compression},
        {"RLE literal cut short", Rle8({0, 4, 1, 1}), CDib::Truncated},
        {"RLE top-down", Rle8({2, 1, 0, 1}, -2), CDib::Compression},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CMemFile file;
        Fill(file, c.file);
        CDib dib(3, 3, 24); // whatever it held goes
        EXPECT_EQ(dib.Load(file), -1);
        EXPECT_TRUE(dib.IsEmpty());
        EXPECT_EQ(dib.GetLoadError(), c.cause) << CDib::LoadErrorText(dib.GetLoadError());
    }
    // The RLE helper itself makes a readable file.
    CMemFile file;
    Fill(file, Rle8({2, 1, 0, 0, 1, 0, 1, 1, 0, 1}));
    CDib dib;
    ASSERT_EQ(dib.Load(file), 0);
    unsigned v = 9;
    dib.GetPixel(0, 1, v); // bottom row: two pixels of 1
    EXPECT_EQ(v, 1u);
    dib.GetPixel(1, 0, v); // top row: 0 then 1
    EXPECT_EQ(v, 1u);
    dib.GetPixel(0, 0, v);
    EXPECT_EQ(v, 0u);
}

TEST_F(BmpFileTest, OutOfMemoryLoadsNothingAndSaysSo) {
    const Bytes valid = Valid8();
    CMemFile file;
    Fill(file, valid);
    PushMessageBoxAnswer(IDCANCEL); // the allocator's retry prompt
    FailGlobalRequests(1);
    CDib dib;
    EXPECT_EQ(dib.Load(file), -1);
    EXPECT_TRUE(dib.IsEmpty());
    EXPECT_EQ(dib.GetLoadError(), CDib::NoMemory);
}

// netpbm's reader, when installed, sees our files as our pixels.
TEST_F(BmpFileTest, OurFilesReadBackInNetpbm) {
    if (std::system("command -v bmptopnm > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "netpbm's bmptopnm is not installed";
    const Picture pic = ReadPpm(kData + "/bmp/src-16.ppm");
    CDib rgb;
    Make24(rgb, pic);
    for (int bits : {8, 24}) {
        SCOPED_TRACE(bits);
        CDib dib;
        if (bits == 24) {
            ASSERT_TRUE(dib.ChangeFromDIB(rgb.Copy()));
        } else {
            // An 8-bit picture whose table holds the picture's colours.
            ASSERT_TRUE(dib.Create(pic.width, pic.height, 8));
            RGBQUAD* t = dib.GetColorTab();
            int used = 0;
            for (int y = 0; y < pic.height; ++y)
                for (int x = 0; x < pic.width; ++x) {
                    const BYTE* p = &pic.rgb[(std::size_t(y) * pic.width + x) * 3];
                    int i = 0;
                    while (i < used && !(t[i].rgbRed == p[0] && t[i].rgbGreen == p[1] &&
                                         t[i].rgbBlue == p[2]))
                        ++i;
                    if (i == used) t[used++] = RGBQUAD{p[2], p[1], p[0], 0};
                    unsigned v = unsigned(i);
                    dib.SetPixel(x, y, v);
                }
        }
        const std::string bmpPath = (DataFolder() / "ours.bmp").string();
        const std::string ppmPath = (DataFolder() / "ours.ppm").string();
        {
            CFile out(bmpPath.c_str(), CFile::modeCreate | CFile::modeWrite);
            ASSERT_GT(dib.Save(out), 0);
        }
        const std::string cmd = "bmptopnm '" + bmpPath + "' > '" + ppmPath + "' 2>/dev/null";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        const Picture back = ReadPpm(ppmPath);
        EXPECT_EQ(back.width, pic.width);
        EXPECT_EQ(back.rgb, pic.rgb);
    }
}

// Inputs the fuzzer found: each is refused or loads, and what loads saves the same bytes
// after a second load.
TEST_F(BmpFileTest, FuzzFindingsStayFixed) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kData + "/bmp-crashes")) {
        SCOPED_TRACE(entry.path().filename().string());
        ++count;
        const Bytes bytes = ReadFileBytes(entry.path().string());
        CMemFile file;
        Fill(file, bytes);
        CDib asFile, asPacked;
        asFile.Load(file);
        HGLOBAL packed = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        std::memcpy(GlobalLock(packed), bytes.data(), bytes.size());
        GlobalUnlock(packed);
        asPacked.ChangeFromDIB(packed);
        for (CDib* dib : {&asFile, &asPacked}) {
            if (dib->IsEmpty()) continue;
            const Bytes saved = SaveToBytes(*dib);
            CMemFile again;
            Fill(again, saved);
            CDib second;
            ASSERT_EQ(second.Load(again), 0);
            EXPECT_EQ(SaveToBytes(second), saved);
        }
    }
    EXPECT_GT(count, 0);
}

// A packed bitmap that claims two planes enters with one, as a file does, so that what it
// saves reads back to the same bytes.
TEST_F(BmpFileTest, PackedBitmapsEnterWithOnePlane) {
    const Bytes bytes = ReadFileBytes(kData + "/bmp-crashes/packed-dib-planes-2.dib");
    ASSERT_EQ(bytes[12], 2);
    HGLOBAL packed = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(packed), bytes.data(), bytes.size());
    GlobalUnlock(packed);
    CDib dib;
    ASSERT_EQ(dib.ChangeFromDIB(packed), 1);
    const Bytes saved = SaveToBytes(dib);
    ASSERT_GT(saved.size(), 28u);
    EXPECT_EQ(saved[14 + 12], 1); // biPlanes, after the 14-byte file header
    EXPECT_EQ(saved[14 + 13], 0);
    CMemFile again;
    Fill(again, saved);
    CDib second;
    ASSERT_EQ(second.Load(again), 0);
    EXPECT_EQ(SaveToBytes(second), saved);
}

// A 40-byte header with BI_BITFIELDS: the three masks follow the header. Masks that put red
// in the low byte prove they are used; a 5-bit channel scales to 0..255.
TEST_F(BmpFileTest, BitFieldMasksAfterAShortHeader) {
    Bytes b(14 + 40 + 12, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 10, 14 + 40 + 12);
    Put32(b, 14, 40);
    Put32(b, 18, 2);
    Put32(b, 22, 1);
    Put16(b, 26, 1);
    Put16(b, 28, 32);
    Put32(b, 30, 3); // BI_BITFIELDS
    Put32(b, 54, 0x000000FF);
    Put32(b, 58, 0x0000FF00);
    Put32(b, 62, 0x001F0000); // blue: 5 bits
    const Bytes pixels = {10, 20, 0x10, 0, 200, 100, 0x1F, 0};
    b.insert(b.end(), pixels.begin(), pixels.end());
    CMemFile file;
    Fill(file, b);
    CDib dib;
    ASSERT_EQ(dib.Load(file), 0) << CDib::LoadErrorText(dib.GetLoadError());
    EXPECT_EQ(dib.GetBitsPerPixel(), 24);
    int rgb[3];
    dib.GetPixel(0, 0, rgb);
    EXPECT_EQ(rgb[0], 10);
    EXPECT_EQ(rgb[1], 20);
    EXPECT_EQ(rgb[2], (16 * 255 + 15) / 31); // 132
    dib.GetPixel(1, 0, rgb);
    EXPECT_EQ(rgb[0], 200);
    EXPECT_EQ(rgb[2], 255);
}
