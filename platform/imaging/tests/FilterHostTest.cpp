// The host of the raster filter modules: missing modules and the services they call.
#include <gtest/gtest.h>
#include <unistd.h>

#include <imaging/KovaFilter.h>

#include "ImagingTestSupport.h"

namespace {

std::string FilterTempDir() {
    const auto d =
        std::filesystem::temp_directory_path() / ("filterhost-" + std::to_string(getpid()));
    std::filesystem::create_directories(d / "empty");
    return d.string();
}

TEST(FilterHost, MissingModuleFailsItsFormatWithItsCause) {
    const std::string dir = FilterTempDir();
    KovaTestingFilterFolder((dir + "/empty").c_str());
    // A Sun raster header: only imgflt-ras reads it.
    const BYTE sun[34] = {0x59, 0xA6, 0x6A, 0x95, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 8, 0,
                          0,    0,    2,    0,    0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 9, 0};
    const std::string ras = dir + "/a.RAS";
    std::ofstream(ras, std::ios::binary).write(reinterpret_cast<const char*>(sun), sizeof sun);
    KOVABITMAP b;
    KovaInitBitmap(&b, 1, 1, 1);
    EXPECT_EQ(KovaLoadFile(ras.c_str(), &b, 0, 1), IMG_ERR_FORMAT);
    EXPECT_STREQ(KovaFilterCause(), "imgflt-ras.so is missing");
    KOVAFILEINFO info;
    KovaInitFileInfo(&info);
    EXPECT_EQ(KovaFileInfo(ras.c_str(), &info), IMG_ERR_FORMAT);
    EXPECT_STREQ(KovaFilterCause(), "imgflt-ras.so is missing");

    // The toolkit's own formats load; saving through the missing module names it.
    HGLOBAL dib = imagingtest::MakePicture(4, 3, 24);
    const std::string png = dir + "/a.png";
    ASSERT_EQ(imagingtest::Save(dib, png, IMG_PNG, 0), IMG_SUCCESS);
    HGLOBAL back = imagingtest::Load(png);
    ASSERT_NE(back, nullptr);
    GlobalFree(back);
    EXPECT_EQ(imagingtest::Save(dib, dir + "/b.ras", 55, 0), IMG_ERR_UNSUPPORTED);
    EXPECT_STREQ(KovaFilterCause(), "imgflt-ras.so is missing");
    EXPECT_EQ(imagingtest::Save(dib, dir + "/b.cal", 50, 1), IMG_ERR_UNSUPPORTED);
    EXPECT_STREQ(KovaFilterCause(), "imgflt-cals.so is missing");
    GlobalFree(dib);
    KovaTestingFilterFolder(nullptr);
    std::filesystem::remove_all(dir);
}

TEST(FilterHost, Services) {
    // The target bitmap: within the limits, allocated once.
    KOVAFLTBITMAP b{};
    EXPECT_EQ(KovaFltAllocBitmap(&b, 70000, 1, 8), IMG_ERR_TOO_LARGE);
    EXPECT_EQ(KovaFltAllocBitmap(&b, 0, 1, 8), IMG_ERR_TOO_LARGE);
    EXPECT_EQ(KovaFltAllocBitmap(&b, 3, 2, 16), IMG_ERR_PARAM);
    EXPECT_FALSE(b.allocated);
    EXPECT_EQ(KovaFltAllocBitmap(&b, 3, 2, 8), IMG_SUCCESS);
    EXPECT_EQ(KovaFltAllocBitmap(&b, 9, 9, 1), IMG_SUCCESS);
    EXPECT_EQ(b.width, 3);
    EXPECT_EQ(b.bitsPerPixel, 8);
    // Palettes keep at most 256 entries.
    std::vector<RGBQUAD> quads(300, RGBQUAD{1, 2, 3, 0});
    EXPECT_EQ(KovaFltCreatePalette(&b, quads.data(), 300), 256);
    EXPECT_EQ(b.colorsUsed, 256);
    // The grey table runs 0 .. 30; mid-grey is 15.
    const BYTE* grey = KovaFltGreyTable();
    EXPECT_EQ(grey[0], 0);
    EXPECT_EQ(grey[255], 30);
    EXPECT_EQ(grey[128], 15);
    // Files: write, seek, read back; a missing file is a negative handle.
    const std::string path = FilterTempDir() + "/services.bin";
    const int w = KovaFltOpen(path.c_str(), 1, 0);
    ASSERT_GE(w, 0);
    EXPECT_EQ(KovaFltWrite(w, "abcdef", 6), 6);
    EXPECT_EQ(KovaFltClose(w), 0);
    const int r = KovaFltOpen(path.c_str(), 0, 0);
    ASSERT_GE(r, 0);
    EXPECT_EQ(KovaFltSeek(r, 0, 2), 6);
    EXPECT_EQ(KovaFltSeek(r, 2, 0), 2);
    char text[8] = {};
    EXPECT_EQ(KovaFltRead(r, text, 8), 4);
    EXPECT_STREQ(text, "cdef");
    KovaFltClose(r);
    EXPECT_LT(KovaFltOpen((path + ".none").c_str(), 0, 0), 0);
    std::filesystem::remove_all(FilterTempDir());
}

TEST(FilterHost, FaxCodecRoundTrips) {
    // A checkerboard has a run per pixel: 1-D rows of 64 such pixels once failed to decode.
    for (int width : {1, 13, 64, 96}) {
        const int height = 5;
        const DWORD stride = DWORD((width + 7) / 8);
        std::vector<BYTE> rows(stride * height, 0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if ((x + y) % 2 == 0 || y == 3)
                    rows[stride * DWORD(y) + DWORD(x / 8)] |= BYTE(0x80 >> (x % 8));
        for (int coding : {KOVA_FAX_G3_1D, KOVA_FAX_G3_2D, KOVA_FAX_G4}) {
            BYTE* coded = nullptr;
            DWORD size = 0;
            ASSERT_EQ(KovaFaxEncode(rows.data(), stride, width, height, coding, &coded, &size),
                      IMG_SUCCESS);
            std::vector<BYTE> back(rows.size(), 0xFF);
            EXPECT_EQ(KovaFaxDecode(coded, size, width, height, coding, back.data(), stride),
                      IMG_SUCCESS);
            EXPECT_EQ(back, rows) << width << " " << coding;
            // Cut short: libtiff ends the rows white or refuses them, never reading past the data.
            const int cut =
                KovaFaxDecode(coded, size / 3, width, height, coding, back.data(), stride);
            EXPECT_TRUE(cut == IMG_SUCCESS || cut == IMG_ERR_DAMAGED) << cut;
            KovaFltFree(coded);
        }
    }
}

} // namespace
