// imgflt-lma and the stand-in's encoder of code 26: round trips, the header's flags, the bit
// syntax on hand-built files, the callback protocol and bad input.
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>

#include <imaging/KovaFilter.h>
#include <win32/module.h>
#include <win32/resource.h>

#include "../../../platform/imaging/tests/ImagingTestSupport.h"

namespace {

using imagingtest::Rgb;

std::string LmaTemp(const std::string& name) {
    static const std::string dir = [] {
        const auto d = std::filesystem::temp_directory_path() / ("lma-" + std::to_string(getpid()));
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

using Pixels = std::vector<std::vector<BYTE>>; // [y][x] of 0/1, top row first

// A 1-bit packed bitmap of the pixels; table entry 0 is `zero`, entry 1 the other of black
// and white.
HGLOBAL Bilevel(const Pixels& p, bool zeroWhite = false) {
    const int h = int(p.size()), w = int(p[0].size());
    const int row = ((w + 31) / 32) * 4;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 48 + size_t(row) * size_t(h));
    BYTE* b = static_cast<BYTE*>(GlobalLock(block));
    BITMAPINFOHEADER hd{};
    hd.biSize = 40;
    hd.biWidth = w;
    hd.biHeight = h;
    hd.biPlanes = 1;
    hd.biBitCount = 1;
    std::memcpy(b, &hd, 40);
    std::memset(b + (zeroWhite ? 40 : 44), 255, 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (p[size_t(y)][size_t(x)]) b[48 + row * (h - 1 - y) + x / 8] |= BYTE(0x80 >> (x % 8));
    GlobalUnlock(block);
    return block;
}

Pixels Make(int w, int h, const std::function<int(int, int)>& f) {
    Pixels p(size_t(h), std::vector<BYTE>(size_t(w), 0));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p[size_t(y)][size_t(x)] = BYTE(f(x, y) ? 1 : 0);
    return p;
}

// What a table {black, white} picture of these pixels shows.
Rgb Shown(const Pixels& p, bool zeroWhite = false) {
    Rgb out{long(p[0].size()), long(p.size()), {}};
    for (const auto& row : p)
        for (BYTE v : row)
            out.px.insert(out.px.end(), 3, BYTE((v != 0) != zeroWhite ? 255 : 0));
    return out;
}

std::uint32_t Lcg(std::uint32_t& s) {
    s = s * 1664525u + 1013904223u;
    return s >> 16;
}

// Text-like lines: stems, bars and bowls in cells of a 300 dpi page's 10-point lettering.
Pixels TextPage(int w, int h) {
    return Make(w, h, [](int x, int y) {
        const int line = y / 50, cy = y % 50, cell = x / 26, cx = x % 26;
        if (cy < 8 || cy > 40 || cx > 21 || x < 60) return 0;
        std::uint32_t s = std::uint32_t(line * 977 + cell * 131);
        const std::uint32_t g = Lcg(s);
        if (g % 7 == 0) return 0; // spaces
        const bool stem = (g & 1) && cx >= 2 && cx < 6;
        const bool stem2 = (g & 2) && cx >= 15 && cx < 19;
        const bool bar = (g & 4) && cy >= 22 && cy < 26;
        const bool top = (g & 8) && cy < 12;
        const bool foot = (g & 16) && cy > 36;
        return int(stem || stem2 || bar || top || foot);
    });
}

// A photo dithered with a 4 x 4 ordered matrix.
Pixels DitheredPhoto(int w, int h) {
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return Make(w, h, [&](int x, int y) {
        const int dx = x - w / 2, dy = y - h / 3;
        const int level = (dx * dx + 2 * dy * dy) / 97 % 17;
        return int(level > bayer[y % 4][x % 4]);
    });
}

// Interior pixels whose eight neighbours all differ, flipped.
Pixels Cleaned(const Pixels& p) {
    Pixels out = p;
    const int h = int(p.size()), w = int(p[0].size());
    for (int y = 1; y + 1 < h; ++y)
        for (int x = 1; x + 1 < w; ++x) {
            bool lone = true;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if ((dx || dy) && p[size_t(y + dy)][size_t(x + dx)] == p[size_t(y)][size_t(x)])
                        lone = false;
            if (lone) out[size_t(y)][size_t(x)] ^= 1;
        }
    return out;
}

// Saves with code 26 and reads the file back through the toolkit.
struct RoundTrip {
    std::vector<BYTE> file;
    Rgb back;
    int saved = 0, loaded = 0;
};
RoundTrip Through(HGLOBAL dib, int quality, const std::string& name = "a.cmp") {
    RoundTrip t;
    const std::string path = LmaTemp(name);
    t.saved = imagingtest::Save(dib, path, IMG_CMP_BILEVEL, 1, quality);
    if (t.saved != IMG_SUCCESS) return t;
    t.file = GetFile(path);
    HGLOBAL back = imagingtest::Load(path, &t.loaded);
    if (back != nullptr) {
        EXPECT_EQ(imagingtest::BitsOf(back), 1);
        t.back = imagingtest::PixelsOf(back);
        GlobalFree(back);
    }
    return t;
}

Rgb LoadBytes(const std::vector<BYTE>& file, int* result) {
    const std::string path = LmaTemp("in.cmp");
    PutFile(path, file);
    HGLOBAL dib = imagingtest::Load(path, result);
    if (dib == nullptr) return {};
    Rgb rgb = imagingtest::PixelsOf(dib);
    GlobalFree(dib);
    return rgb;
}

std::vector<BYTE> Header(int w, int h, BYTE flags = 0, BYTE clean = 0) {
    std::vector<BYTE> v(24, 0);
    std::memcpy(v.data(), "KOVA", 4);
    v[16] = BYTE(w);
    v[17] = BYTE(w >> 8);
    v[18] = BYTE(h);
    v[19] = BYTE(h >> 8);
    v[20] = 1;
    v[21] = flags;
    v[22] = clean;
    return v;
}

std::vector<BYTE> With(std::vector<BYTE> head, const std::vector<BYTE>& data) {
    head.insert(head.end(), data.begin(), data.end());
    return head;
}

TEST(LmaRoundTrip, LosslessAtQualityZero) {
    std::uint32_t seed = 7;
    struct Case {
        const char* name;
        Pixels pixels;
    };
    const Case cases[] = {
        {"text page", TextPage(1240, 500)},
        {"dithered photo", DitheredPhoto(601, 403)},
        {"all white", Make(333, 40, [](int, int) { return 1; })},
        {"all black", Make(333, 40, [](int, int) { return 0; })},
        {"one pixel", Make(1, 1, [](int, int) { return 1; })},
        {"width 1", Make(1, 57, [](int, int y) { return y % 3 == 0; })},
        {"odd width", Make(13, 7, [](int x, int y) { return (x * y) % 5 == 1; })},
        {"noise", Make(300, 200, [&](int, int) { return int(Lcg(seed) & 1); })},
        // Diagonal stripes: 100,000 uses of one mode tree, which rescales at 0x9000.
        {"stripes", Make(500, 800, [](int x, int y) { return (x + y) / 4 % 2; })},
        {"long runs", Make(65535, 3, [](int x, int y) { return x == 40000 + y || x == 65534; })},
    };
    for (const Case& c : cases) {
        HGLOBAL dib = Bilevel(c.pixels);
        const RoundTrip t = Through(dib, 0);
        ASSERT_EQ(t.saved, IMG_SUCCESS) << c.name;
        EXPECT_EQ(t.loaded, IMG_SUCCESS) << c.name;
        EXPECT_TRUE(t.back == Shown(c.pixels)) << c.name;
        ASSERT_GE(t.file.size(), 24u);
        EXPECT_EQ(std::vector<BYTE>(t.file.begin(), t.file.begin() + 24),
                  Header(int(c.pixels[0].size()), int(c.pixels.size())))
            << c.name;
        GlobalFree(dib);
    }
    // The coding is worth having: the text page takes far less than its raw bits.
    const Pixels page = TextPage(1240, 500);
    HGLOBAL dib = Bilevel(page);
    EXPECT_LT(Through(dib, 0).file.size(), 1240u * 500u / 8u / 10u);
    GlobalFree(dib);
}

TEST(LmaRoundTrip, QualityOneCleansOnlyIsolatedPixels) {
    Pixels p = TextPage(400, 200);
    // Specks on the paper and holes in the ink, some on the border (kept).
    for (int i = 0; i < 60; ++i) {
        const int x = (i * 37) % 400, y = 1 + (i * 53) % 198;
        p[size_t(y)][size_t(x)] ^= 1;
    }
    p[0][200] ^= 1;
    const Pixels expected = Cleaned(p);
    ASSERT_NE(expected, p);
    HGLOBAL dib = Bilevel(p);
    const RoundTrip clean = Through(dib, 1, "clean.cmp");
    const RoundTrip exact = Through(dib, 0, "exact.cmp");
    GlobalFree(dib);
    ASSERT_EQ(clean.saved, IMG_SUCCESS);
    EXPECT_EQ(clean.file[22], 1);
    EXPECT_EQ(exact.file[22], 0);
    EXPECT_TRUE(clean.back == Shown(expected));
    EXPECT_TRUE(exact.back == Shown(p));
    EXPECT_LT(clean.file.size(), exact.file.size());
    // The cleaning is the decoder's: the lossless data with the flag set read cleaned too.
    std::vector<BYTE> flagged = exact.file;
    flagged[22] = 1;
    int result = 0;
    EXPECT_TRUE(LoadBytes(flagged, &result) == Shown(expected)) << result;
}

TEST(LmaHeader, PolarityAndRowOrder) {
    const Pixels p = Make(19, 6, [](int x, int y) { return (x + 2 * y) % 7 < 3; });
    Pixels flipped(p.rbegin(), p.rend());
    // Pictures with either table entry white keep their colours; the flags say which.
    for (bool zeroWhite : {false, true}) {
        HGLOBAL dib = Bilevel(p, zeroWhite);
        const RoundTrip t = Through(dib, 0);
        GlobalFree(dib);
        ASSERT_EQ(t.saved, IMG_SUCCESS);
        EXPECT_EQ(t.file[21], zeroWhite ? 1 : 0);
        EXPECT_TRUE(t.back == Shown(p, zeroWhite)) << zeroWhite;
        // flags & 0x30 at 0x20 or more: bottom-up; flags & 0x0F non-zero: index 0 white.
        for (BYTE flags : {0x00, 0x01, 0x10, 0x20, 0x2F, 0x30, 0x0E}) {
            std::vector<BYTE> f = t.file;
            f[21] = flags;
            int result = 0;
            const Rgb got = LoadBytes(f, &result);
            EXPECT_TRUE(got == Shown(flags >= 0x20 ? flipped : p, (flags & 0x0F) != 0))
                << int(flags) << " " << result;
        }
    }
}

TEST(LmaHeader, HandBuiltBitStreams) {
    // Row of 4: 0 0 1 1. Mode 4 (a1 = b1 - 2, b1 the end) as an escape and 0100 from the empty
    // row-start tree, then mode 8 as 1000 from the empty tree after mode 4.
    int result = 0;
    EXPECT_TRUE(LoadBytes(With(Header(4, 1), {0x48}), &result) ==
                (Rgb{4, 1, {0, 0, 0, 0, 0, 0, 255, 255, 255, 255, 255, 255}}))
        << result;
    // Two rows of mode 8: the escape and 1000, then the leaf of 8, the right child: 1.
    EXPECT_TRUE(LoadBytes(With(Header(5, 2, 0x01), {0x88}), &result) ==
                (Rgb{5, 2, std::vector<BYTE>(30, 255)}))
        << result;
}

// ---- the module's own entries ----

struct Entries {
    HMODULE module = LoadLibraryA("imgflt-lma");
    KovaFltInfo info = reinterpret_cast<KovaFltInfo>(Entry(100));
    KovaFltLoad load = reinterpret_cast<KovaFltLoad>(Entry(101));
    ~Entries() { FreeLibrary(module); }
    void (*Entry(int n))() {
        return reinterpret_cast<void (*)()>(GetProcAddress(module, MAKEINTRESOURCEA(WORD(n))));
    }
};

struct MemoryFiles {
    static inline std::vector<BYTE> bytes;
    static inline long offset = 0;
    static inline int opened = 0, allocated = 0;
    static inline bool failRead = false, refuseAlloc = false;
    static int Open(const char* path, int, int) {
        if (std::string(path) != "mem") return -1;
        offset = 0;
        ++opened;
        return 7;
    }
    static int Close(int) {
        --opened;
        return 0;
    }
    static int Read(int, void* buffer, DWORD count) {
        if (failRead && offset >= 24) return -1;
        const long n = std::min<long>(long(count), long(bytes.size()) - offset);
        if (n <= 0) return 0;
        std::memcpy(buffer, bytes.data() + offset, size_t(n));
        offset += n;
        return int(n);
    }
    static int Seek(int, long off, int origin) {
        offset = (origin == 2 ? long(bytes.size()) : origin == 1 ? offset : 0) + off;
        return int(offset);
    }
    static int Write(int, const void*, DWORD) { return -1; }
    static void* Alloc(DWORD n) {
        if (refuseAlloc) return nullptr;
        ++allocated;
        return std::malloc(n);
    }
    static void Free(void* p) {
        if (p == nullptr) return;
        --allocated;
        std::free(p);
    }
    explicit MemoryFiles(std::vector<BYTE> file) {
        bytes = std::move(file);
        failRead = refuseAlloc = false;
        opened = allocated = 0;
        static const KovaFilterServices services = {Open, Close, Read, Seek, Write, Alloc, Free};
        KovaTestingSetFilterServices(&services);
    }
    ~MemoryFiles() { KovaTestingSetFilterServices(nullptr); }
};

struct Calls {
    std::vector<int> flags, firsts, counts;
    int answerAt = -1; // the call that answers 0
    static int Take(void* user, KOVAFLTBITMAP*, const BYTE*, int flags, int first, int count, int) {
        auto* c = static_cast<Calls*>(user);
        c->flags.push_back(flags);
        c->firsts.push_back(first);
        c->counts.push_back(count);
        return int(c->flags.size()) == c->answerAt ? 0 : 1;
    }
};

std::vector<BYTE> Encoded(const Pixels& p) {
    HGLOBAL dib = Bilevel(p);
    RoundTrip t = Through(dib, 0, "module.cmp");
    GlobalFree(dib);
    return t.file;
}

TEST(LmaModule, InfoFieldsAndTwoRowsACall) {
    Entries e;
    ASSERT_NE(e.module, nullptr);
    ASSERT_TRUE(e.info && e.load);
    EXPECT_EQ(e.Entry(102), nullptr); // reads only
    std::vector<BYTE> file = Encoded(Make(21, 5, [](int x, int y) { return x > y; }));
    file[21] = 0x21;
    MemoryFiles files(file);
    KOVAFLTINFO info{};
    KOVAFLTINFOREQUEST ir{7, &info};
    ASSERT_EQ(e.info(&ir), 1);
    EXPECT_EQ(info.format, 31);
    EXPECT_EQ(info.width, 21);
    EXPECT_EQ(info.height, 5);
    EXPECT_EQ(info.bitsPerPixel, 1);
    EXPECT_EQ(info.sizeBytes, 4u * 5u);
    EXPECT_EQ(info.perspective, 0);
    EXPECT_EQ(info.colorOrder, 0);
    EXPECT_STREQ(info.compression, "KOVA Proprietary");
    EXPECT_EQ(info.pages, 1);
    EXPECT_EQ(info.flags, 0u);

    Calls calls;
    KOVAFLTBITMAP target{};
    KOVAFLTLOADREQUEST lr{"mem", &target, 16, Calls::Take, &calls, 0};
    ASSERT_EQ(e.load(&lr), 1);
    EXPECT_EQ(calls.flags, (std::vector<int>{7, 3, 11}));
    EXPECT_EQ(calls.firsts, (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(calls.counts, (std::vector<int>{2, 2, 1}));
    EXPECT_EQ(target.perspective, 0);
    EXPECT_EQ(target.colorsUsed, 2);
    EXPECT_EQ(target.palette[0].rgbRed, 255); // index 0 white
    EXPECT_EQ(target.palette[1].rgbRed, 0);
    EXPECT_EQ(files.opened, 0);
    EXPECT_EQ(files.allocated, 0);

    for (int rows : {1, 2}) {
        MemoryFiles small(Encoded(Make(3, rows, [](int x, int) { return x == 1; })));
        Calls single;
        KOVAFLTBITMAP t{};
        KOVAFLTLOADREQUEST r{"mem", &t, 4096, Calls::Take, &single, 0};
        ASSERT_EQ(e.load(&r), 1) << rows;
        EXPECT_EQ(single.flags, (std::vector<int>{15})) << rows;
    }
}

TEST(LmaModule, BadInputAndFailuresFreeEverything) {
    Entries e;
    ASSERT_TRUE(e.info && e.load);
    const std::vector<BYTE> good = Encoded(DitheredPhoto(300, 120));
    ASSERT_GT(good.size(), 200u);
    std::vector<BYTE> version2 = good, magic = good;
    version2[20] = 2;
    magic[1] = 'X';
    struct Case {
        const char* name;
        std::vector<BYTE> file;
        int info, load;
    };
    const Case cases[] = {
        {"another format: magic", magic, 0, FLT_ERR_FORMAT},
        {"another format: version", version2, 0, FLT_ERR_FORMAT},
        {"short header", std::vector<BYTE>(good.begin(), good.begin() + 20), 0, FLT_ERR_FORMAT},
        {"width 0", With(Header(0, 5), {0x88}), FLT_ERR_FORMAT, FLT_ERR_FORMAT},
        {"height 0", With(Header(5, 0), {0x88}), FLT_ERR_FORMAT, FLT_ERR_FORMAT},
        {"more rows than bits", With(Header(5, 17), {0x88, 0x88}), FLT_ERR_FORMAT, FLT_ERR_FORMAT},
        {"past the pixel limit", With(Header(65535, 65535), std::vector<BYTE>(9000, 0)),
         FLT_ERR_FORMAT, FLT_ERR_FORMAT},
        {"cut short", std::vector<BYTE>(good.begin(), good.begin() + long(good.size() / 2)), 1,
         FLT_ERR_FORMAT},
        // Mode literal 11 (1011): a symbol above 10 ends the load with 0.
        {"mode above 10", With(Header(5, 1), {0xB0}), 1, 0},
        // Mode 8, then an escape (0) naming 8 again, which the tree already holds.
        {"escape of a known symbol", With(Header(5, 2), {0x84, 0x00}), 1, FLT_ERR_FORMAT},
        // Mode 4 at the row's start with a row of 1: a1 = b1 - 2 lies before the row.
        {"position before the row", With(Header(1, 1), {0x40}), 1, FLT_ERR_FORMAT},
        // Mode 9 then runs of 3 + 4 in a row of 5 (literals 00000011, 00000100).
        {"runs past the row", With(Header(5, 1), {0x90, 0x30, 0x40}), 1, FLT_ERR_FORMAT},
    };
    for (const Case& c : cases) {
        MemoryFiles files(c.file);
        KOVAFLTINFO info{};
        KOVAFLTINFOREQUEST ir{7, &info};
        EXPECT_EQ(e.info(&ir), c.info) << c.name;
        Calls calls;
        KOVAFLTBITMAP target{};
        KOVAFLTLOADREQUEST lr{"mem", &target, 64, Calls::Take, &calls, 0};
        EXPECT_EQ(e.load(&lr), c.load) << c.name;
        EXPECT_EQ(files.opened, 0) << c.name;
        EXPECT_EQ(files.allocated, 0) << c.name;
    }

    MemoryFiles files(good);
    Calls stop;
    stop.answerAt = 2;
    KOVAFLTBITMAP target{};
    KOVAFLTLOADREQUEST request{"mem", &target, 64, Calls::Take, &stop, 0};
    EXPECT_EQ(e.load(&request), 0);
    EXPECT_EQ(stop.flags.size(), 2u);
    EXPECT_EQ(files.opened, 0);
    EXPECT_EQ(files.allocated, 0);

    Calls calls;
    request.user = &calls;
    MemoryFiles::failRead = true;
    target = {};
    EXPECT_EQ(e.load(&request), FLT_ERR_READ);
    MemoryFiles::failRead = false;
    MemoryFiles::refuseAlloc = true;
    target = {};
    EXPECT_EQ(e.load(&request), IMG_ERR_MEMORY);
    MemoryFiles::refuseAlloc = false;
    request.path = "missing";
    EXPECT_EQ(e.load(&request), FLT_ERR_OPEN);
    EXPECT_TRUE(calls.flags.empty());
    EXPECT_EQ(files.opened, 0);
    EXPECT_EQ(files.allocated, 0);
}

TEST(LmaHost, ColourPicturesSavedWithCode26) {
    // A 24-bit picture is reduced to 1 bit and reads back at its size.
    HGLOBAL dib = imagingtest::MakePicture(90, 31, 24);
    const std::string path = LmaTemp("colour.cmp");
    ASSERT_EQ(imagingtest::Save(dib, path, IMG_CMP_BILEVEL, 1, 0), IMG_SUCCESS);
    EXPECT_EQ(imagingtest::Save(dib, path, IMG_CMP_BILEVEL, 8, 0), IMG_ERR_PARAM);
    GlobalFree(dib);
    KOVAFILEINFO info;
    KovaInitFileInfo(&info);
    ASSERT_EQ(KovaFileInfo(path.c_str(), &info), IMG_SUCCESS);
    EXPECT_EQ(info.format, IMG_CMP_KOVA1);
    EXPECT_EQ(info.width, 90);
    EXPECT_EQ(info.height, 31);
    EXPECT_EQ(info.bitsPerPixel, 1);
    int result = 0;
    HGLOBAL back = imagingtest::Load(path, &result);
    ASSERT_NE(back, nullptr) << result;
    EXPECT_EQ(imagingtest::BitsOf(back), 1);
    GlobalFree(back);
}

} // namespace
