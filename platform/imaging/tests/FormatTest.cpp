// The raster formats against other programs' readers and writers: our files read by them and
// theirs by us, pixel for pixel (JPEG within a stated error), depth and resolution kept.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include <testing/PlatformTest.h>

#include "ImagingTestSupport.h"

using namespace imagingtest;

namespace {

class FormatTest : public PlatformTest {
protected:
    std::string Path(const std::string& name) const { return (DataFolder() / name).string(); }
};

struct Written {
    int format, bits;
    const char* file;
    const char* peer; // reads %s to a netpbm file on standard output
    int tolerance;
};

} // namespace

TEST_F(FormatTest, OurFilesReadByOtherPrograms) {
    const Written cases[] = {
        {IMG_PNG, 1, "a.png", "pngtopnm %s", 0},
        {IMG_PNG, 4, "a.png", "pngtopnm %s", 0},
        {IMG_PNG, 8, "a.png", "pngtopnm %s", 0},
        {IMG_PNG, 24, "a.png", "pngtopnm %s", 0},
        {IMG_BMP, 1, "a.bmp", "bmptopnm %s", 0},
        {IMG_BMP, 4, "a.bmp", "bmptopnm %s", 0},
        {IMG_BMP, 8, "a.bmp", "bmptopnm %s", 0},
        {IMG_BMP, 24, "a.bmp", "bmptopnm %s", 0},
        {IMG_OS2, 8, "a.bmp", "bmptopnm %s", 0},
        {IMG_OS2, 24, "a.bmp", "bmptopnm %s", 0},
        {IMG_OS2_2, 24, "a.bmp", "convert %s ppm:-", 0},
        {IMG_JPEG_411, 24, "a.jpg", "djpeg -pnm %s", 12},
        {IMG_JPEG_422, 24, "a.jpg", "djpeg -pnm %s", 8},
        {IMG_JPEG_444, 24, "a.jpg", "djpeg -pnm %s", 4},
        {IMG_TIF, 1, "a.tif", "tifftopnm %s", 0},
        {IMG_TIF, 4, "a.tif", "tifftopnm %s", 0},
        {IMG_TIF, 8, "a.tif", "tifftopnm %s", 0},
        {IMG_TIF, 24, "a.tif", "tifftopnm %s", 0},
        {IMG_TIF_G3_1D, 1, "a.tif", "tifftopnm %s", 0},
        {IMG_TIF_G3_2D, 1, "a.tif", "tifftopnm %s", 0},
        {IMG_TIF_G4, 1, "a.tif", "tifftopnm %s", 0},
        {IMG_TIF_JPEG_411, 24, "a.tif", "convert %s ppm:-", 12},
        {IMG_TIF_JPEG_444, 24, "a.tif", "convert %s ppm:-", 4},
        {IMG_PCX, 1, "a.pcx", "pcxtoppm %s", 0},
        {IMG_PCX, 4, "a.pcx", "pcxtoppm %s", 0},
        {IMG_PCX, 8, "a.pcx", "pcxtoppm %s", 0},
        {IMG_PCX, 24, "a.pcx", "pcxtoppm %s", 0},
        {IMG_TGA, 8, "a.tga", "tgatoppm %s", 0},
        {IMG_TGA, 24, "a.tga", "tgatoppm %s", 0},
        {IMG_GEM, 1, "a.img", "gemtopnm %s", 0},
        {IMG_PSD, 1, "a.psd", "convert %s[0] -depth 8 ppm:-", 0},
        {IMG_PSD, 24, "a.psd", "convert %s[0] -depth 8 ppm:-", 0},
    };
    for (const Written& c : cases) {
        SCOPED_TRACE(testing::Message() << "format " << c.format << " at " << c.bits << " bits");
        const std::string program(c.peer, std::strchr(c.peer, ' '));
        if (!HasProgram(program.c_str())) {
            ADD_FAILURE() << program << " is not installed (scripts/setup.sh installs it)";
            continue;
        }
        HGLOBAL picture = MakePicture(37, 21, c.bits, 300);
        const Rgb expected = PixelsOf(picture);
        const std::string file = Path(c.file), pnm = Path("peer.pnm");
        ASSERT_EQ(Save(picture, file, c.format, c.bits), IMG_SUCCESS);
        char command[512];
        std::snprintf(command, sizeof command, c.peer, file.c_str());
        ASSERT_TRUE(RunShell(std::string(command) + " > " + pnm)) << command;
        EXPECT_LE(MaxDifference(ReadPnm(pnm), expected), c.tolerance) << command;
        EXPECT_GE(MaxDifference(ReadPnm(pnm), expected), 0) << command;

        // Read back by us: the same depth (JPEG: 24) and resolution.
        KOVAFILEINFO info;
        ASSERT_EQ(KovaFileInfo(file.c_str(), &info), IMG_SUCCESS);
        EXPECT_EQ(info.width, 37);
        EXPECT_EQ(info.height, 21);
        EXPECT_EQ(info.bitsPerPixel, c.bits);
        if (c.format != IMG_OS2 && c.format != IMG_TGA &&
            c.format != IMG_PSD) { // neither keeps a resolution
            // GEM keeps whole micrometres a pixel: 85 for 300 dpi.
            const int off = c.format == IMG_GEM ? 2 : 0;
            EXPECT_NEAR(info.xResolution, 300, off);
            EXPECT_NEAR(info.yResolution, 300, off);
        }
        HGLOBAL back = Load(file);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(BitsOf(back), c.bits);
        EXPECT_LE(MaxDifference(PixelsOf(back), expected), c.tolerance);
        GlobalFree(back);
        GlobalFree(picture);
    }
}

TEST_F(FormatTest, OtherProgramsFilesReadByUs) {
    struct Made {
        const char* command; // from %s (a PPM) to %o
        const char* file;
        int bits; // depth we load at
        int tolerance;
        bool grey; // the source is made grey first
    };
    const Made cases[] = {
        {"pnmtopng %s", "b.png", 24, 0, false},
        {"pnmtopng -interlace %s", "b.png", 24, 0, false},
        {"pnmdepth 65535 %s | pnmtopng", "b.png", 24, 0, false},
        {"ppmtopgm %s | pnmtopng", "b.png", 8, 0, true},
        {"convert %s -alpha set -channel A -evaluate set 100%% png:-", "b.png", 24, 0, false},
        {"cjpeg -quality 95 %s", "b.jpg", 24, 10, false},
        {"cjpeg -quality 95 -progressive %s", "b.jpg", 24, 10, false},
        {"cjpeg -quality 95 -grayscale %s", "b.jpg", 8, 6, true},
        {"convert %s -quality 95 -colorspace CMYK jpg:-", "b.jpg", 24, 16, false},
        {"pamtotiff -none %s", "b.tif", 24, 0, false},
        {"pamtotiff -lzw %s", "b.tif", 24, 0, false},
        {"pamtotiff -packbits %s", "b.tif", 24, 0, false},
        {"pamtotiff -flate %s", "b.tif", 24, 0, false},
        {"ppmtopgm %s | pgmtopbm -threshold | pamtotiff -g4", "b.tif", 1, 0, true},
        {"ppmtopgm %s | pgmtopbm -threshold | pamtotiff -g3", "b.tif", 1, 0, true},
        {"pnmquant 200 %s | pamtogif", "b.gif", 8, 0, false},
        {"pnmquant 200 %s | pnmtopng | convert png:- gif:-", "b.gif", 8, 0, false},
        {"ppmtobmp -bpp 24 %s", "b.bmp", 24, 0, false},
        {"ppmtobmp -os2 %s", "b.bmp", 24, 0, false},
        {"pnmquant 16 %s | ppmtobmp -bpp 4", "b.bmp", 4, 0, false},
        {"convert %s -compress RLE -colors 200 -type Palette bmp3:-", "b.bmp", 8, 0, false},
        {"ppmtopcx %s", "b.pcx", 24, 0, false},
        {"pnmquant 200 %s | ppmtopcx", "b.pcx", 8, 0, false},
        {"pnmquant 16 %s | ppmtopcx", "b.pcx", 4, 0, false},
        {"ppmtopgm %s | pgmtopbm -threshold | ppmtopcx", "b.pcx", 1, 0, true},
        {"ppmtotga -rgb %s", "b.tga", 24, 0, false},
        {"ppmtotga -rgb -norle %s", "b.tga", 24, 0, false},
        {"pnmquant 200 %s | ppmtotga -cmap", "b.tga", 8, 0, false},
        {"ppmtopgm %s | ppmtotga -mono", "b.tga", 8, 0, true},
        {"convert %s -compress RLE tga:-", "b.tga", 24, 0, false},
        {"ppmtopgm %s | pgmtopbm -threshold | pbmtogem", "b.img", 1, 0, true},
        {"convert %s psd:-", "b.psd", 24, 0, false},
        {"convert %s -colorspace gray psd:-", "b.psd", 8, 0, true},
        {"convert %s -colorspace CMYK psd:-", "b.psd", 24, 2, false},
    };
    HGLOBAL source = MakePicture(41, 19, 24);
    Rgb rgb = PixelsOf(source);
    GlobalFree(source);
    for (const Made& c : cases) {
        SCOPED_TRACE(c.command);
        const std::string program(c.command, std::strcspn(c.command, " |"));
        if (!HasProgram(program.c_str())) {
            ADD_FAILURE() << program << " is not installed (scripts/setup.sh installs it)";
            continue;
        }
        const std::string ppm = Path("src.ppm"), file = Path(c.file), ref = Path("ref.pnm");
        WritePpm(ppm, rgb);
        char command[512];
        std::snprintf(command, sizeof command, c.command, ppm.c_str());
        ASSERT_TRUE(RunShell(std::string(command) + " > " + file));
        // What the other program put in the file, as read by netpbm's own readers where
        // ImageMagick turns Targa rows or reads PCX at 4 bits.
        const std::string ext = file.substr(file.size() - 3);
        const std::string reader =
            ext == "tga"   ? "tgatoppm " + file
            : ext == "pcx" ? "pcxtoppm " + file
            : ext == "img" ? "gemtopnm " + file
                           : "convert " + file + "[0] -background white -flatten -depth 8 ppm:-";
        ASSERT_TRUE(RunShell(reader + " > " + ref));
        const Rgb expected = ReadPnm(ref);
        int result = 0;
        HGLOBAL dib = Load(file, &result);
        ASSERT_NE(dib, nullptr) << result;
        EXPECT_EQ(BitsOf(dib), c.bits);
        EXPECT_LE(MaxDifference(PixelsOf(dib), expected), c.tolerance);
        EXPECT_GE(MaxDifference(PixelsOf(dib), expected), 0);
        GlobalFree(dib);
    }
}

// The own container: JFIF behind a 24-byte header; the other programs' version 1 is refused
// as a form not read, and the bilevel code 26 is not written.
TEST_F(FormatTest, OwnContainer) {
    for (int bits : {1, 8, 24}) {
        SCOPED_TRACE(bits);
        HGLOBAL picture = MakePicture(30, 20, bits == 8 ? 24 : bits, 150);
        const Rgb expected = PixelsOf(picture);
        const std::string file = Path("a.cmp");
        ASSERT_EQ(Save(picture, file, IMG_CMP, bits), IMG_SUCCESS);
        std::ifstream in(file, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_GT(bytes.size(), 24u);
        EXPECT_EQ(bytes.substr(0, 4), "KOVA");
        EXPECT_EQ(BYTE(bytes[16]), 30);
        EXPECT_EQ(BYTE(bytes[20]), 2);
        EXPECT_EQ(BYTE(bytes[24]), 0xFF); // JFIF follows
        KOVAFILEINFO info;
        ASSERT_EQ(KovaFileInfo(file.c_str(), &info), IMG_SUCCESS);
        EXPECT_EQ(info.format, IMG_CMP);
        EXPECT_EQ(info.bitsPerPixel, bits == 24 ? 24 : 8);
        HGLOBAL back = Load(file);
        ASSERT_NE(back, nullptr);
        if (bits == 24) {
            EXPECT_LE(MaxDifference(PixelsOf(back), expected), 12);
        }
        GlobalFree(back);
        bytes[20] = 3;
        std::ofstream(file, std::ios::binary) << bytes;
        EXPECT_EQ(KovaFileInfo(file.c_str(), &info), IMG_ERR_UNSUPPORTED);
        GlobalFree(picture);
    }
}

// Raw fax data: Group 3 read back by netpbm's reader; every coding gives data.
TEST_F(FormatTest, RawFax) {
    HGLOBAL picture = MakePicture(64, 20, 1);
    const Rgb expected = PixelsOf(picture);
    const std::string file = Path("a.fax"), pnm = Path("fax.pbm");
    ASSERT_EQ(Save(picture, file, IMG_FAX_G3_1D, 1), IMG_SUCCESS);
    ASSERT_TRUE(RunShell("g3topbm " + file + " > " + pnm));
    EXPECT_EQ(MaxDifference(ReadPnm(pnm), expected), 0);
    for (int format : {IMG_FAX_G3_2D, IMG_FAX_G4}) {
        ASSERT_EQ(Save(picture, file, format, 1), IMG_SUCCESS);
        EXPECT_GT(std::filesystem::file_size(file), 10u);
    }
    EXPECT_EQ(Save(picture, file, IMG_FAX_G4, 24), IMG_ERR_PARAM); // bilevel only
    GlobalFree(picture);
}

// MacPaint pages of 576 x 720: ours read by netpbm, netpbm's read by us.
TEST_F(FormatTest, MacPaint) {
    HGLOBAL picture = MakePicture(37, 21, 1);
    const Rgb small = PixelsOf(picture);
    const std::string file = Path("a.mac"), pnm = Path("mac.pbm");
    ASSERT_EQ(Save(picture, file, IMG_MAC, 1), IMG_SUCCESS);
    ASSERT_TRUE(RunShell("macptopbm " + file + " > " + pnm));
    const Rgb page = ReadPnm(pnm);
    ASSERT_EQ(page.width, 576);
    ASSERT_EQ(page.height, 720);
    for (long y = 0; y < 21; ++y)
        for (long x = 0; x < 37; ++x)
            ASSERT_EQ(page.px[size_t((y * 576 + x) * 3)], small.px[size_t((y * 37 + x) * 3)])
                << x << "," << y;
    EXPECT_EQ(page.px[size_t((100 * 576 + 100) * 3)], 255); // the rest of the page is white
    HGLOBAL back = Load(file);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(PixelsOf(back), page);
    GlobalFree(back);
    ASSERT_TRUE(RunShell("pbmtomacp " + pnm + " > " + Path("b.mac")));
    back = Load(Path("b.mac"));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(PixelsOf(back), page);
    GlobalFree(back);
    GlobalFree(picture);
}

// Indexed Photoshop files (which ImageMagick does not read back) through our own reader.
TEST_F(FormatTest, PsdIndexed) {
    HGLOBAL picture = MakePicture(37, 21, 4);
    ASSERT_EQ(Save(picture, Path("i.psd"), IMG_PSD, 8), IMG_SUCCESS);
    HGLOBAL back = Load(Path("i.psd"));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(BitsOf(back), 8);
    EXPECT_EQ(PixelsOf(back), PixelsOf(picture));
    GlobalFree(back);
    GlobalFree(picture);
}

// Microsoft Paint: our version 2 files read back, and a hand-made version 1 file (set bits
// white).
TEST_F(FormatTest, MicrosoftPaint) {
    HGLOBAL picture = MakePicture(37, 21, 1);
    ASSERT_EQ(Save(picture, Path("a.msp"), IMG_MSP, 1), IMG_SUCCESS);
    HGLOBAL back = Load(Path("a.msp"));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(PixelsOf(back), PixelsOf(picture));
    GlobalFree(back);
    GlobalFree(picture);

    std::string v1("DanM", 4);
    const unsigned short words[14] = {4, 2, 1, 1, 1, 1, 4, 2, 0, 0, 0, 0, 0, 0};
    v1.append(reinterpret_cast<const char*>(words), sizeof words);
    v1 += '\xA0';
    v1 += '\x50';
    std::ofstream(Path("b.msp"), std::ios::binary) << v1;
    back = Load(Path("b.msp"));
    ASSERT_NE(back, nullptr);
    const Rgb p = PixelsOf(back);
    ASSERT_EQ(p.width, 4);
    const BYTE expect[8] = {255, 0, 255, 0, 0, 255, 0, 255};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(p.px[size_t(i) * 3], expect[i]) << i;
    GlobalFree(back);
}

// The save options' first two words give pictures without a resolution theirs; pictures with
// one keep it, and the saved picture itself is left as it was.
TEST_F(FormatTest, SaveOptionsDefaultResolution) {
    std::int32_t options[1072 / 4] = {150, 150, 0, 0, 1};
    ASSERT_EQ(KovaSetSaveOptions(options), IMG_SUCCESS);
    struct Case {
        int format, bits, dpi, expected;
    };
    const Case cases[] = {{IMG_PNG, 24, 0, 150},
                          {IMG_BMP, 8, 0, 150},
                          {IMG_TIF, 1, 0, 150},
                          {IMG_PNG, 24, 300, 300},
                          {IMG_PCT, 8, 0, 150}};
    for (const Case& c : cases) {
        HGLOBAL picture = MakePicture(20, 10, c.bits, c.dpi);
        KOVABITMAP b;
        KovaInitBitmap(&b, 1, 1, 1);
        ASSERT_EQ(KovaBitmapFromDib(&b, picture), IMG_SUCCESS);
        const std::string file = Path("dpi.out");
        ASSERT_EQ(KovaSaveFile(file.c_str(), &b, c.format, c.bits, 2), IMG_SUCCESS) << c.format;
        const auto* h = static_cast<const BITMAPINFOHEADER*>(GlobalLock(b.dib));
        EXPECT_EQ(h->biXPelsPerMeter != 0, c.dpi != 0) << c.format;
        GlobalUnlock(b.dib);
        KovaFreeBitmap(&b);
        KOVAFILEINFO info;
        KovaInitFileInfo(&info);
        ASSERT_EQ(KovaFileInfo(file.c_str(), &info), IMG_SUCCESS) << c.format;
        EXPECT_EQ(info.xResolution, c.expected) << c.format;
        EXPECT_EQ(info.yResolution, c.expected) << c.format;
    }
    // A record without a resolution leaves pictures without one.
    std::int32_t none[1072 / 4] = {};
    ASSERT_EQ(KovaSetSaveOptions(none), IMG_SUCCESS);
    HGLOBAL picture = MakePicture(20, 10, 24, 0);
    ASSERT_EQ(Save(picture, Path("none.png"), IMG_PNG, 24), IMG_SUCCESS);
    GlobalFree(picture);
    KOVAFILEINFO info;
    KovaInitFileInfo(&info);
    ASSERT_EQ(KovaFileInfo(Path("none.png").c_str(), &info), IMG_SUCCESS);
    EXPECT_EQ(info.xResolution, 0);
}
