// imgflt-wfx through the file library and through its ordinals.
#include <gtest/gtest.h>
#include <unistd.h>

#include <imaging/KovaFilter.h>
#include <win32/module.h>
#include <win32/resource.h>

#include "../../../platform/imaging/tests/ImagingTestSupport.h"

namespace {

using imagingtest::Rgb;

std::string FaxTemp(const std::string& name) {
    static const std::string dir = [] {
        const auto d =
            std::filesystem::temp_directory_path() / ("faxfile-" + std::to_string(getpid()));
        std::filesystem::create_directories(d);
        return d.string();
    }();
    return dir + "/" + name;
}

void PutFax(const std::string& path, const std::vector<BYTE>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<BYTE> GetFax(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using Drawing = std::vector<std::string>; // '#' black

std::vector<BYTE> Packed(const Drawing& d, DWORD& stride) {
    stride = DWORD((d[0].size() + 7) / 8);
    std::vector<BYTE> bits(stride * d.size(), 0);
    for (size_t y = 0; y < d.size(); ++y)
        for (size_t x = 0; x < d[y].size(); ++x)
            if (d[y][x] == '#') bits[stride * y + x / 8] |= BYTE(0x80 >> (x % 8));
    return bits;
}

std::vector<BYTE> Coded(const Drawing& d, int coding) {
    DWORD stride;
    const std::vector<BYTE> bits = Packed(d, stride);
    BYTE* coded = nullptr;
    DWORD size = 0;
    EXPECT_EQ(
        KovaFaxEncode(bits.data(), stride, int(d[0].size()), int(d.size()), coding, &coded, &size),
        IMG_SUCCESS);
    std::vector<BYTE> out(coded, coded + size);
    KovaFltFree(coded);
    return out;
}

// A page: our header, then its data (after `gap` spare bytes).
void AddPage(std::vector<BYTE>& file, int coding, int w, int h, const std::vector<BYTE>& data,
             std::uint32_t gap = 0, std::uint32_t lengthOverride = 0xFFFFFFFF) {
    BYTE header[128] = {0x0B,    '#',          'd',     BYTE(coding - 1),
                        BYTE(w), BYTE(w >> 8), BYTE(h), BYTE(h >> 8)};
    const std::uint32_t length =
        lengthOverride != 0xFFFFFFFF ? lengthOverride : std::uint32_t(data.size());
    const std::uint32_t offset = 128 + gap;
    for (int i = 0; i < 4; ++i) {
        header[8 + i] = BYTE(length >> (8 * i));
        header[12 + i] = BYTE(offset >> (8 * i));
    }
    file.insert(file.end(), header, header + 128);
    file.insert(file.end(), gap, 0xEE);
    file.insert(file.end(), data.begin(), data.end());
}

void AddPage(std::vector<BYTE>& file, int coding, const Drawing& d) {
    AddPage(file, coding, int(d[0].size()), int(d.size()), Coded(d, coding));
}

struct FaxEntries {
    HMODULE module = LoadLibraryA("imgflt-wfx");
    ~FaxEntries() { FreeLibrary(module); }
    template <class F> F Get(int n) {
        return reinterpret_cast<F>(
            reinterpret_cast<void (*)()>(GetProcAddress(module, MAKEINTRESOURCEA(WORD(n)))));
    }
};

struct Collected {
    Drawing rows;
    std::vector<int> flags;
    static int Take(void* user, KOVAFLTBITMAP* b, const BYTE* row, int flags, int, int count, int) {
        auto* c = static_cast<Collected*>(user);
        c->flags.push_back(flags);
        for (int i = 0; i < count; ++i) {
            std::string s;
            for (int x = 0; x < b->width; ++x)
                s += (row[x / 8] >> (7 - x % 8)) & 1 ? '#' : '.';
            c->rows.push_back(s);
        }
        return 1;
    }
};

int LoadPage(const std::string& path, int page, Collected& out) {
    FaxEntries e;
    auto load = e.Get<KovaFltLoad>(101);
    if (load == nullptr) return -100;
    KOVAFLTBITMAP target{};
    KOVAFLTLOADREQUEST request{path.c_str(), &target, 4096, Collected::Take, &out, page};
    return load(&request);
}

const Drawing kPages[] = {
    {"#.......#.", ".#.....#..", "..#####...", "##########"},
    {"..........", "....##....", "...####..."},
    {"#.#.#.#.#.#.#", ".#.#.#.#.#.#.", "#############", ".............", "#...........#"},
};

TEST(FaxFileRead, PagesWalkedInEveryCoding) {
    std::vector<BYTE> file;
    AddPage(file, KOVA_FAX_G4, kPages[0]);
    AddPage(file, KOVA_FAX_G3_1D, kPages[1]);
    AddPage(file, KOVA_FAX_G3_2D, kPages[2]);
    const std::string path = FaxTemp("three.fxs");
    PutFax(path, file);
    for (int page = 0; page < 3; ++page) {
        Collected c;
        ASSERT_EQ(LoadPage(path, page, c), 1) << page;
        EXPECT_EQ(c.rows, kPages[page]) << page;
    }
    Collected past;
    EXPECT_EQ(LoadPage(path, 3, past), FLT_ERR_FORMAT);

    KOVAFILEINFO info;
    KovaInitFileInfo(&info);
    ASSERT_EQ(KovaFileInfo(path.c_str(), &info), IMG_SUCCESS);
    EXPECT_EQ(info.format, IMG_WFX_G4);
    EXPECT_EQ(info.pageCount, 3);
    EXPECT_EQ(info.width, 10);
    EXPECT_EQ(info.height, 4);
    EXPECT_EQ(info.xResolution, 204);
    EXPECT_EQ(info.yResolution, 196);

    // The module's own record and its callback flags.
    FaxEntries e;
    auto fltInfo = e.Get<KovaFltInfo>(100);
    ASSERT_NE(fltInfo, nullptr);
    const int handle = KovaFltOpen(path.c_str(), 0, 0);
    KOVAFLTINFO fi{};
    KOVAFLTINFOREQUEST ir{handle, &fi};
    ASSERT_EQ(fltInfo(&ir), 1);
    KovaFltClose(handle);
    EXPECT_EQ(fi.flags, 0x40u);
    EXPECT_EQ(fi.sizeBytes, 16u);
    EXPECT_EQ(fi.perspective, 2);
    EXPECT_STREQ(fi.compression, "CCITT Group 4 Fax");
    Collected first;
    ASSERT_EQ(LoadPage(path, 0, first), 1);
    EXPECT_EQ(first.flags, (std::vector<int>{7, 3, 3, 11}));
}

TEST(FaxFileRead, LyingPageHeaders) {
    const std::vector<BYTE> data = Coded(kPages[0], KOVA_FAX_G4);
    struct Case {
        const char* name;
        std::vector<BYTE> file;
    };
    std::vector<Case> cases;
    auto add = [&](const char* name, auto build) {
        std::vector<BYTE> f;
        build(f);
        cases.push_back({name, f});
    };
    add("length past the end", [&](auto& f) { AddPage(f, 3, 10, 4, data, 0, 100000); });
    add("offset inside header", [&](auto& f) {
        AddPage(f, 3, 10, 4, data);
        f[12] = 20;
    });
    add("coding 3", [&](auto& f) {
        AddPage(f, 3, 10, 4, data);
        f[3] = 3;
    });
    add("zero width", [&](auto& f) { AddPage(f, 3, 0, 4, data); });
    add("rows past the data", [&](auto& f) { AddPage(f, 3, 10, 60000, data); });
    add("broken second page", [&](auto& f) {
        AddPage(f, 3, 10, 4, data);
        f.insert(f.end(), 40, 0x55);
    });
    add("damaged data", [&](auto& f) { AddPage(f, 3, 10, 4, std::vector<BYTE>(data.size(), 0)); });
    for (const Case& c : cases) {
        const std::string path = FaxTemp("bad.fxs");
        PutFax(path, c.file);
        Collected got;
        EXPECT_EQ(LoadPage(path, 0, got), FLT_ERR_FORMAT) << c.name;
        int result = 0;
        EXPECT_EQ(imagingtest::Load(path, &result), nullptr) << c.name;
        EXPECT_EQ(result, FLT_ERR_FORMAT) << c.name;
    }
    // Data after a gap the offset names read.
    std::vector<BYTE> f;
    AddPage(f, 3, 10, 4, data, 37);
    PutFax(FaxTemp("gap.fxs"), f);
    Collected gap;
    ASSERT_EQ(LoadPage(FaxTemp("gap.fxs"), 0, gap), 1);
    EXPECT_EQ(gap.rows, kPages[0]);
}

// A picture of one grey level, w x h at 24 bits.
HGLOBAL Grey(int w, int h, BYTE level) {
    HGLOBAL dib = imagingtest::MakePicture(w, h, 24);
    BYTE* p = static_cast<BYTE*>(GlobalLock(dib)) + 40;
    std::memset(p, level, size_t((w * 3 + 3) / 4 * 4) * size_t(h));
    GlobalUnlock(dib);
    return dib;
}

TEST(FaxFileWrite, ReducedToOneBitRowForRow) {
    for (int format : {IMG_WFX_G3, IMG_WFX_G4}) {
        const std::string path = FaxTemp("grey.fxs");
        HGLOBAL dib = Grey(64, 40, 128);
        ASSERT_EQ(imagingtest::Save(dib, path, format, 1), IMG_SUCCESS) << format;
        GlobalFree(dib);
        const std::vector<BYTE> file = GetFax(path);
        ASSERT_GT(file.size(), 128u);
        const BYTE head[16] = {0x0B, '#', 'd', BYTE(format == IMG_WFX_G4 ? 2 : 0), 64, 0, 40, 0};
        std::vector<BYTE> expected(head, head + 16);
        const std::uint32_t length = std::uint32_t(file.size() - 128);
        for (int i = 0; i < 4; ++i)
            expected[size_t(8 + i)] = BYTE(length >> (8 * i));
        expected[12] = 128;
        EXPECT_EQ(std::vector<BYTE>(file.begin(), file.begin() + 16), expected) << format;
        EXPECT_EQ(std::vector<BYTE>(file.begin() + 16, file.begin() + 128),
                  std::vector<BYTE>(112, 0));

        int result = 0;
        HGLOBAL back = imagingtest::Load(path, &result);
        ASSERT_NE(back, nullptr) << result;
        EXPECT_EQ(imagingtest::BitsOf(back), 1);
        const Rgb rgb = imagingtest::PixelsOf(back);
        EXPECT_EQ(rgb.width, 64);
        EXPECT_EQ(rgb.height, 40);
        long black = 0;
        for (size_t i = 0; i < rgb.px.size(); i += 3)
            black += rgb.px[i] == 0;
        EXPECT_GT(black, 64 * 40 * 4 / 10) << format;
        EXPECT_LT(black, 64 * 40 * 6 / 10) << format;
        GlobalFree(back);
    }
    // Black and white pictures keep every pixel; white and black stay as they are.
    HGLOBAL dib = imagingtest::MakePicture(23, 7, 1);
    const std::string path = FaxTemp("bw.fxs");
    ASSERT_EQ(imagingtest::Save(dib, path, IMG_WFX_G4, 0), IMG_SUCCESS);
    HGLOBAL back = imagingtest::Load(path);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(imagingtest::PixelsOf(back), imagingtest::PixelsOf(dib));
    GlobalFree(back);
    GlobalFree(dib);
    for (BYTE level : {BYTE(0), BYTE(255)}) {
        dib = Grey(9, 9, level);
        ASSERT_EQ(imagingtest::Save(dib, path, IMG_WFX_G3, 0), IMG_SUCCESS);
        back = imagingtest::Load(path);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(imagingtest::PixelsOf(back), imagingtest::PixelsOf(dib)) << int(level);
        GlobalFree(back);
        GlobalFree(dib);
    }
}

TEST(FaxFilePeers, NetpbmPagesInOurHeaders) {
    if (!imagingtest::HasProgram("pbmtog3")) GTEST_SKIP() << "netpbm is not installed";
    // A page of 1728 pels (the fax width) with text-like marks.
    const int w = 1728, h = 30;
    Rgb rgb{w, h, {}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool ink = ((x / 7 + y / 3) % 5 == 0) || (y == 12 && x > 100 && x < 900);
            rgb.px.insert(rgb.px.end(), 3, ink ? 0 : 255);
        }
    const std::string pbm = FaxTemp("peer.pbm"), g3 = FaxTemp("peer.g3");
    imagingtest::WritePpm(FaxTemp("peer.ppm"), rgb);
    ASSERT_TRUE(imagingtest::RunShell("ppmtopgm " + FaxTemp("peer.ppm") +
                                      " | pgmtopbm -threshold > " + pbm));
    ASSERT_TRUE(imagingtest::RunShell("pbmtog3 " + pbm + " > " + g3));
    std::vector<BYTE> file;
    AddPage(file, KOVA_FAX_G3_1D, w, h, GetFax(g3));
    PutFax(FaxTemp("peer.fxs"), file);
    HGLOBAL back = imagingtest::Load(FaxTemp("peer.fxs"));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(imagingtest::PixelsOf(back), imagingtest::ReadPnm(pbm));
    GlobalFree(back);
}

} // namespace
