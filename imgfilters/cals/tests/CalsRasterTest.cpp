// imgflt-cals through the file library and through its ordinals.
#include <gtest/gtest.h>
#include <unistd.h>

#include <imaging/KovaFilter.h>
#include <win32/module.h>
#include <win32/resource.h>

#include "../../../platform/imaging/tests/ImagingTestSupport.h"

namespace {

using imagingtest::Rgb;

std::string CalsTemp(const std::string& name) {
    static const std::string dir = [] {
        const auto d =
            std::filesystem::temp_directory_path() / ("cals-" + std::to_string(getpid()));
        std::filesystem::create_directories(d);
        return d.string();
    }();
    return dir + "/" + name;
}

void PutFile(const std::string& path, const std::vector<BYTE>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<BYTE> GetFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Records padded to 128 bytes, then blank records to 2048 bytes.
std::vector<BYTE> CalsHeader(const std::vector<std::string>& records) {
    std::vector<BYTE> h(2048, ' ');
    for (size_t i = 0; i < records.size(); ++i)
        std::memcpy(h.data() + 128 * i, records[i].data(), records[i].size());
    return h;
}

// Group 4 data of a picture given as rows of '#' (black) and '.'.
std::vector<BYTE> G4(const std::vector<std::string>& rows) {
    const int w = int(rows[0].size()), h = int(rows.size());
    const DWORD stride = DWORD((w + 7) / 8);
    std::vector<BYTE> bits(stride * DWORD(h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (rows[size_t(y)][size_t(x)] == '#')
                bits[stride * DWORD(y) + DWORD(x / 8)] |= BYTE(0x80 >> (x % 8));
    BYTE* coded = nullptr;
    DWORD size = 0;
    EXPECT_EQ(KovaFaxEncode(bits.data(), stride, w, h, KOVA_FAX_G4, &coded, &size), IMG_SUCCESS);
    std::vector<BYTE> out(coded, coded + size);
    KovaFltFree(coded);
    return out;
}

std::vector<std::string> Drawn(const Rgb& rgb) {
    std::vector<std::string> rows;
    for (long y = 0; y < rgb.height; ++y) {
        std::string row;
        for (long x = 0; x < rgb.width; ++x)
            row += rgb.px[size_t(3 * (y * rgb.width + x))] < 128 ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> LoadDrawn(const std::vector<BYTE>& file, int* result = nullptr) {
    const std::string path = CalsTemp("in.cal");
    PutFile(path, file);
    HGLOBAL dib = imagingtest::Load(path, result);
    if (dib == nullptr) return {};
    std::vector<std::string> rows = Drawn(imagingtest::PixelsOf(dib));
    GlobalFree(dib);
    return rows;
}

std::vector<BYTE> Cals(const std::string& orient, const std::vector<std::string>& stored) {
    const std::string pelcnt =
        "rpelcnt: " + std::to_string(stored[0].size()) + "," + std::to_string(stored.size());
    std::vector<BYTE> f =
        CalsHeader({"srcdocid: x", "rtype: 1", "rorient: " + orient, pelcnt, "rdensty: 0300"});
    const std::vector<BYTE> data = G4(stored);
    f.insert(f.end(), data.begin(), data.end());
    return f;
}

TEST(CalsRead, TurnedUprightByThePelPath) {
    const std::vector<std::string> stored = {"##.", "..."};
    struct Case {
        const char* orient;
        std::vector<std::string> upright;
    };
    const Case cases[] = {
        {"000,270", {"##.", "..."}},
        {"090,270", {"..", "#.", "#."}},
        {"[180],270", {"...", ".##"}},
        {"270,270", {".#", ".#", ".."}},
    };
    for (const Case& c : cases) {
        int result = 0;
        EXPECT_EQ(LoadDrawn(Cals(c.orient, stored), &result), c.upright)
            << c.orient << " " << result;
    }
    KOVAFILEINFO info;
    KovaInitFileInfo(&info);
    PutFile(CalsTemp("info.cal"), Cals("090,270", stored));
    ASSERT_EQ(KovaFileInfo(CalsTemp("info.cal").c_str(), &info), IMG_SUCCESS);
    EXPECT_EQ(info.format, IMG_CALS);
    EXPECT_EQ(info.width, 2);
    EXPECT_EQ(info.height, 3);
    EXPECT_EQ(info.bitsPerPixel, 1);
    EXPECT_EQ(info.xResolution, 300);
}

TEST(CalsWrite, ByteExactHeaderAndReadBack) {
    HGLOBAL dib = imagingtest::MakePicture(11, 4, 1, 300);
    const std::string path = CalsTemp("out.cal");
    ASSERT_EQ(imagingtest::Save(dib, path, IMG_CALS, 0), IMG_SUCCESS);
    const std::vector<BYTE> file = GetFile(path);
    const std::vector<BYTE> header =
        CalsHeader({"srcdocid: NONE", "dstdocid: NONE", "txtfilid: NONE", "figid: NONE",
                    "srcgph: NONE", "doccls: UNCLASS", "rtype: 1", "rorient: 000,270",
                    "rpelcnt: 000011,000004", "rdensty: 0300", "notes: NONE"});
    ASSERT_GT(file.size(), 2048u);
    EXPECT_EQ(std::vector<BYTE>(file.begin(), file.begin() + 2048), header);
    const std::vector<std::string> drawn = Drawn(imagingtest::PixelsOf(dib));
    EXPECT_EQ(std::vector<BYTE>(file.begin() + 2048, file.end()), G4(drawn));
    // Our own files read back (the header fills the 2048 bytes the reader skips).
    EXPECT_EQ(LoadDrawn(file), drawn);
    GlobalFree(dib);

    // Only 1 bit is written.
    dib = imagingtest::MakePicture(5, 5, 24);
    EXPECT_EQ(imagingtest::Save(dib, path, IMG_CALS, 8), FLT_ERR_BITS);
    EXPECT_EQ(imagingtest::Save(dib, path, IMG_CALS, 0), FLT_ERR_BITS);
    ASSERT_EQ(imagingtest::Save(dib, path, IMG_CALS, 1), IMG_SUCCESS);
    GlobalFree(dib);
}

TEST(CalsRead, LyingHeaders) {
    const std::vector<BYTE> data = G4({"#.#.", "...."});
    auto with = [&](std::vector<std::string> records, const std::vector<BYTE>& body) {
        std::vector<BYTE> f = CalsHeader(records);
        f.insert(f.end(), body.begin(), body.end());
        return f;
    };
    struct Case {
        const char* name;
        std::vector<BYTE> file;
        int result;
    };
    const Case cases[] = {
        {"unknown keyword", with({"srcdocid: x", "rpelcnt: 4,2", "colour: red"}, data),
         FLT_ERR_FORMAT},
        {"no rpelcnt", with({"srcdocid: x", "rtype: 1"}, data), FLT_ERR_FORMAT},
        {"zero width", with({"rpelcnt: 0,2"}, data), FLT_ERR_FORMAT},
        {"one count", with({"rpelcnt: 4"}, data), FLT_ERR_FORMAT},
        {"huge", with({"rpelcnt: 65535,65535"}, data), FLT_ERR_FORMAT},
        {"lines past the data", with({"rpelcnt: 4,9000"}, data), FLT_ERR_FORMAT},
        {"type 2", with({"rtype: 2", "rpelcnt: 4,2"}, data), FLT_ERR_FORMAT},
        {"odd angle", with({"rorient: 045,270", "rpelcnt: 4,2"}, data), FLT_ERR_FORMAT},
        {"header only", with({"rpelcnt: 4,2"}, {}), FLT_ERR_FORMAT},
        {"damaged data", with({"rpelcnt: 4,2"}, {0, 0, 0, 0}), FLT_ERR_FORMAT},
        {"short header", std::vector<BYTE>(300, ' '), IMG_ERR_FORMAT},
    };
    for (const Case& c : cases) {
        int result = 0;
        EXPECT_TRUE(LoadDrawn(c.file, &result).empty()) << c.name;
        EXPECT_EQ(result, c.result) << c.name;
    }
    // A healthy file of the same records reads.
    EXPECT_EQ(LoadDrawn(with({"srcdocid: x", "rpelcnt: 4,2"}, data)),
              (std::vector<std::string>{"#.#.", "...."}));
}

struct CalsEntries {
    HMODULE module = LoadLibraryA("imgflt-cals");
    ~CalsEntries() { FreeLibrary(module); }
    template <class F> F Get(int n) {
        return reinterpret_cast<F>(
            reinterpret_cast<void (*)()>(GetProcAddress(module, MAKEINTRESOURCEA(WORD(n)))));
    }
};

TEST(CalsModule, InfoFieldsAndMissingFile) {
    CalsEntries e;
    ASSERT_NE(e.module, nullptr);
    auto info = e.Get<KovaFltInfo>(100);
    auto load = e.Get<KovaFltLoad>(101);
    ASSERT_TRUE(info && load && e.Get<KovaFltSave>(102));
    const std::string path = CalsTemp("module.cal");
    PutFile(path, Cals("000,270", {"#..", "..#", ".#."}));
    const int file = KovaFltOpen(path.c_str(), 0, 0);
    KOVAFLTINFO fi{};
    KOVAFLTINFOREQUEST ir{file, &fi};
    ASSERT_EQ(info(&ir), 1);
    KovaFltClose(file);
    EXPECT_EQ(fi.format, 50);
    EXPECT_EQ(fi.width, 3);
    EXPECT_EQ(fi.height, 3);
    EXPECT_EQ(fi.bitsPerPixel, 1);
    EXPECT_EQ(fi.sizeBytes, 12u);
    EXPECT_EQ(fi.perspective, 2);
    EXPECT_STREQ(fi.compression, "CALS Raster");
    EXPECT_EQ(fi.flags, 0x40u);
    EXPECT_EQ(fi.xResolution, 300);

    KOVAFLTBITMAP target{};
    std::vector<int> flags;
    auto take = [](void* user, KOVAFLTBITMAP*, const BYTE*, int f, int, int, int) {
        static_cast<std::vector<int>*>(user)->push_back(f);
        return 1;
    };
    KOVAFLTLOADREQUEST request{path.c_str(), &target, 4096, take, &flags, 0};
    ASSERT_EQ(load(&request), 1);
    EXPECT_EQ(flags, (std::vector<int>{7, 3, 11}));
    request.path = "/nonexistent/a.cal";
    EXPECT_EQ(load(&request), FLT_ERR_OPEN);
}

TEST(CalsPeers, ImageMagickBothWays) {
    if (!imagingtest::HasProgram("convert")) GTEST_SKIP() << "ImageMagick is not installed";
    const std::vector<std::string> page = {"#....#..#.", ".#..#...##", "..##....#.", "#########."};
    Rgb rgb{10, 4, {}};
    for (const std::string& row : page)
        for (char c : row)
            rgb.px.insert(rgb.px.end(), 3, c == '#' ? 0 : 255);
    const std::string ppm = CalsTemp("peer.ppm"), theirs = CalsTemp("theirs.cal");
    imagingtest::WritePpm(ppm, rgb);
    ASSERT_TRUE(imagingtest::RunShell("convert " + ppm + " -monochrome CALS:" + theirs));
    EXPECT_EQ(LoadDrawn(GetFile(theirs)), page);

    HGLOBAL dib = imagingtest::MakePicture(13, 6, 1);
    const std::string ours = CalsTemp("ours.cal"), back = CalsTemp("back.pbm");
    ASSERT_EQ(imagingtest::Save(dib, ours, IMG_CALS, 1), IMG_SUCCESS);
    ASSERT_TRUE(imagingtest::RunShell("convert CALS:" + ours + " " + back));
    EXPECT_EQ(imagingtest::ReadPnm(back), imagingtest::PixelsOf(dib));
    GlobalFree(dib);
}

} // namespace
