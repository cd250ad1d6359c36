// imgflt-ras through the file library and through its ordinals.
#include <gtest/gtest.h>
#include <unistd.h>

#include <imaging/KovaFilter.h>
#include <win32/module.h>
#include <win32/resource.h>

#include "../../../platform/imaging/tests/ImagingTestSupport.h"

namespace {

using imagingtest::Rgb;

std::string TempPath(const std::string& name) {
    static const std::string dir = [] {
        const auto d =
            std::filesystem::temp_directory_path() / ("sunraster-" + std::to_string(getpid()));
        std::filesystem::create_directories(d);
        return d.string();
    }();
    return dir + "/" + name;
}

void WriteBytes(const std::string& path, const std::vector<BYTE>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<BYTE> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Be(std::vector<BYTE>& v, std::uint32_t x) {
    v.insert(v.end(), {BYTE(x >> 24), BYTE(x >> 16), BYTE(x >> 8), BYTE(x)});
}

// A Sun raster file: header, map (three planes) and data as given.
std::vector<BYTE> Sun(std::uint32_t w, std::uint32_t h, std::uint32_t depth, std::uint32_t type,
                      const std::vector<BYTE>& map, const std::vector<BYTE>& data,
                      std::uint32_t mapType = 1) {
    std::vector<BYTE> v = {0x59, 0xA6, 0x6A, 0x95};
    Be(v, w);
    Be(v, h);
    Be(v, depth);
    Be(v, std::uint32_t(data.size()));
    Be(v, type);
    Be(v, map.empty() ? 0 : mapType);
    Be(v, std::uint32_t(map.size()));
    v.insert(v.end(), map.begin(), map.end());
    v.insert(v.end(), data.begin(), data.end());
    return v;
}

Rgb LoadRgb(const std::vector<BYTE>& file, int* result = nullptr) {
    const std::string path = TempPath("in.ras");
    WriteBytes(path, file);
    HGLOBAL dib = imagingtest::Load(path, result);
    if (dib == nullptr) return {};
    Rgb rgb = imagingtest::PixelsOf(dib);
    GlobalFree(dib);
    return rgb;
}

TEST(SunRasterRead, DepthsTypesAndMaps) {
    struct Case {
        const char* name;
        std::vector<BYTE> file;
        Rgb expected;
    };
    const BYTE r1 = 10, g1 = 20, b1 = 30, r2 = 200, g2 = 100, b2 = 50;
    const std::vector<BYTE> twoPixels = {r1, g1, b1, r2, g2, b2};
    const Case cases[] = {
        // 1 bit without a map: 1 is black; rows padded to 16 bits.
        {"1 bit",
         Sun(3, 2, 1, 1, {}, {0xA0, 0, 0x40, 0}),
         {3, 2, {0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 255, 255}}},
        // 8 bits with a map of two colours as three planes.
        {"8 bit map",
         Sun(2, 1, 8, 1, {r1, r2, g1, g2, b1, b2}, {1, 0}),
         {2, 1, {r2, g2, b2, r1, g1, b1}}},
        {"8 bit grey", Sun(1, 1, 8, 1, {}, {0x7F, 0}), {1, 1, {0x7F, 0x7F, 0x7F}}},
        // The standard type keeps B, G, R; type 3 R, G, B.
        {"24 standard", Sun(2, 1, 24, 1, {}, {b1, g1, r1, b2, g2, r2}), {2, 1, twoPixels}},
        {"24 rgb", Sun(2, 1, 24, 3, {}, {r1, g1, b1, r2, g2, b2}), {2, 1, twoPixels}},
        {"32 standard", Sun(1, 1, 32, 1, {}, {0, b1, g1, r1}), {1, 1, {r1, g1, b1}}},
        {"32 rgb", Sun(1, 1, 32, 3, {}, {0, r1, g1, b1}), {1, 1, {r1, g1, b1}}},
        // 0x80 0 is 0x80; 0x80 n v is n + 1 bytes of v.
        {"rle",
         Sun(5, 1, 8, 2, {}, {0x80, 0, 0x80, 2, 7, 9, 0}),
         {5, 1, {0x80, 0x80, 0x80, 7, 7, 7, 7, 7, 7, 7, 7, 7, 9, 9, 9}}},
        // x-5-5-5 with red first.
        {"16 bit", Sun(1, 1, 16, 1, {}, {0x7C, 0x1F}), {1, 1, {255, 0, 255}}},
    };
    for (const Case& c : cases) {
        int result = 0;
        EXPECT_EQ(LoadRgb(c.file, &result), c.expected) << c.name << " result " << result;
    }
}

TEST(SunRasterWrite, ByteExactStandardFiles) {
    // 24 bits: B, G, R kept, 3 x 3 bytes padded to 10.
    HGLOBAL dib = imagingtest::MakePicture(3, 2, 24);
    const Rgb rgb = imagingtest::PixelsOf(dib);
    const std::string path = TempPath("out24.ras");
    ASSERT_EQ(imagingtest::Save(dib, path, IMG_SUN, 0), IMG_SUCCESS);
    std::vector<BYTE> data;
    for (long y = 0; y < 2; ++y) {
        for (long x = 0; x < 3; ++x) {
            const BYTE* p = &rgb.px[size_t(3 * (y * 3 + x))];
            data.insert(data.end(), {p[2], p[1], p[0]});
        }
        data.push_back(0);
    }
    EXPECT_EQ(ReadBytes(path), Sun(3, 2, 24, 1, {}, data));
    EXPECT_EQ(LoadRgb(ReadBytes(path)), rgb);
    // A 16-bit request writes 24 bits.
    ASSERT_EQ(imagingtest::Save(dib, path, IMG_SUN, 16), IMG_SUCCESS);
    EXPECT_EQ(ReadBytes(path), Sun(3, 2, 24, 1, {}, data));
    GlobalFree(dib);

    // 1 bit with its two-colour map.
    dib = imagingtest::MakePicture(3, 1, 1);
    const Rgb bw = imagingtest::PixelsOf(dib);
    ASSERT_EQ(imagingtest::Save(dib, path, IMG_SUN, 0), IMG_SUCCESS);
    const BYTE* row = static_cast<const BYTE*>(GlobalLock(dib)) + 48;
    EXPECT_EQ(ReadBytes(path), Sun(3, 1, 1, 1, {0, 255, 0, 255, 0, 255}, {row[0], 0}));
    GlobalUnlock(dib);
    EXPECT_EQ(LoadRgb(ReadBytes(path)), bw);
    GlobalFree(dib);

    // 4 and 8 bits read back as written.
    for (int bits : {4, 8}) {
        dib = imagingtest::MakePicture(5, 3, bits);
        ASSERT_EQ(imagingtest::Save(dib, path, IMG_SUN, 0), IMG_SUCCESS) << bits;
        EXPECT_EQ(LoadRgb(ReadBytes(path)), imagingtest::PixelsOf(dib)) << bits;
        GlobalFree(dib);
    }
}

TEST(SunRasterRead, LyingHeadersAndShortData) {
    struct Case {
        const char* name;
        std::vector<BYTE> file;
        int result;
    };
    std::vector<BYTE> shortHeader = Sun(1, 1, 8, 1, {}, {0, 0});
    shortHeader.resize(20);
    std::vector<BYTE> bigMap(771, 0);
    const Case cases[] = {
        {"short header", shortHeader, IMG_ERR_FORMAT},
        {"depth 7", Sun(1, 1, 7, 1, {}, {0, 0}), FLT_ERR_BITS},
        {"map too long", Sun(1, 1, 8, 1, bigMap, {0, 0}), FLT_ERR_FORMAT},
        {"map not planes", Sun(1, 1, 8, 1, {1, 2, 3, 4}, {0, 0}), FLT_ERR_FORMAT},
        {"raw map type", Sun(1, 1, 8, 1, {1, 2, 3}, {0, 0}, 2), FLT_ERR_FORMAT},
        {"unknown type", Sun(1, 1, 8, 9, {}, {0, 0}), FLT_ERR_FORMAT},
        {"huge size", Sun(65535, 65535, 24, 1, {}, {1, 2, 3}), FLT_ERR_FORMAT},
        {"zero width", Sun(0, 1, 8, 1, {}, {0, 0}), FLT_ERR_FORMAT},
        {"data cut", Sun(4, 4, 8, 1, {}, std::vector<BYTE>(15, 1)), FLT_ERR_FORMAT},
        {"run cut", Sun(8, 8, 8, 2, {}, {0x80, 200}), FLT_ERR_FORMAT},
        {"runs short", Sun(200, 8, 8, 2, {}, {0x80, 255, 1, 0x80, 255, 1}), FLT_ERR_FORMAT},
        {"embedded tiff", Sun(1, 1, 8, 4, {}, {0, 0}), FLT_ERR_FORMAT},
    };
    for (const Case& c : cases) {
        int result = 0;
        EXPECT_EQ(LoadRgb(c.file, &result), Rgb{}) << c.name;
        EXPECT_EQ(result, c.result) << c.name;
    }
}

// ---- the module's own entries ----

struct Entries {
    HMODULE module = LoadLibraryA("imgflt-ras");
    KovaFltInfo info = reinterpret_cast<KovaFltInfo>(Entry(100));
    KovaFltLoad load = reinterpret_cast<KovaFltLoad>(Entry(101));
    KovaFltSave save = reinterpret_cast<KovaFltSave>(Entry(102));
    ~Entries() { FreeLibrary(module); }
    void (*Entry(int n))() {
        return reinterpret_cast<void (*)()>(GetProcAddress(module, MAKEINTRESOURCEA(WORD(n))));
    }
};

// Files served from memory, with a read or an allocation that fails on request.
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
        if (failRead) return -1;
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
        --allocated;
        std::free(p);
    }
    MemoryFiles(std::vector<BYTE> file) {
        bytes = std::move(file);
        failRead = refuseAlloc = false;
        opened = allocated = 0;
        static const KovaFilterServices services = {Open, Close, Read, Seek, Write, Alloc, Free};
        KovaTestingSetFilterServices(&services);
    }
    ~MemoryFiles() { KovaTestingSetFilterServices(nullptr); }
};

struct Calls {
    std::vector<int> flags;
    int answerAt = -1; // the call that answers 0
    static int Take(void* user, KOVAFLTBITMAP*, const BYTE*, int flags, int, int, int) {
        auto* c = static_cast<Calls*>(user);
        c->flags.push_back(flags);
        return int(c->flags.size()) == c->answerAt ? 0 : 1;
    }
};

TEST(SunRasterModule, InfoFieldsAndCallbackProtocol) {
    Entries e;
    ASSERT_NE(e.module, nullptr);
    ASSERT_TRUE(e.info && e.load && e.save);
    MemoryFiles files(Sun(5, 3, 32, 2, {}, {0x80, 59, 4}));
    KOVAFLTINFO info{};
    KOVAFLTINFOREQUEST ir{7, &info};
    ASSERT_EQ(e.info(&ir), 1);
    EXPECT_EQ(info.format, 55);
    EXPECT_EQ(info.width, 5);
    EXPECT_EQ(info.height, 3);
    EXPECT_EQ(info.bitsPerPixel, 24);
    EXPECT_EQ(info.sizeBytes, 16u * 3u);
    EXPECT_EQ(info.perspective, 2);
    EXPECT_EQ(info.colorOrder, 1);
    EXPECT_STREQ(info.compression, "Run Length");
    EXPECT_EQ(info.flags, 0u);

    Calls calls;
    KOVAFLTBITMAP target{};
    KOVAFLTLOADREQUEST lr{"mem", &target, 4096, Calls::Take, &calls, 0};
    ASSERT_EQ(e.load(&lr), 1);
    EXPECT_EQ(calls.flags, (std::vector<int>{7, 3, 11}));
    EXPECT_EQ(target.colorOrder, 1);
    EXPECT_EQ(files.opened, 0);
    EXPECT_EQ(files.allocated, 0);

    // One row: 15 in one call.
    MemoryFiles one(Sun(2, 1, 8, 1, {}, {1, 2}));
    Calls single;
    KOVAFLTBITMAP t1{};
    KOVAFLTLOADREQUEST r1{"mem", &t1, 4096, Calls::Take, &single, 0};
    ASSERT_EQ(e.load(&r1), 1);
    EXPECT_EQ(single.flags, (std::vector<int>{15}));
}

TEST(SunRasterModule, FailuresFreeEverything) {
    Entries e;
    ASSERT_TRUE(e.load && e.save);
    MemoryFiles files(Sun(4, 3, 8, 1, {}, std::vector<BYTE>(12, 5)));
    Calls stop;
    stop.answerAt = 2;
    KOVAFLTBITMAP target{};
    KOVAFLTLOADREQUEST request{"mem", &target, 4096, Calls::Take, &stop, 0};
    EXPECT_EQ(e.load(&request), 0);
    EXPECT_EQ(stop.flags.size(), 2u);
    EXPECT_EQ(files.opened, 0);
    EXPECT_EQ(files.allocated, 0);

    Calls calls;
    request.user = &calls;
    MemoryFiles::failRead = true;
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

TEST(SunRasterHost, LoadsBesideMissingModules) {
    // Only imgflt-ras in the module folder: Sun files load, a CALS file names its module.
    const std::string dir = TempPath("modules");
    std::filesystem::create_directories(dir);
    std::filesystem::copy_file("imgflt-ras.so", dir + "/imgflt-ras.so",
                               std::filesystem::copy_options::overwrite_existing);
    KovaTestingFilterFolder(dir.c_str());
    const std::string ras = TempPath("host.ras");
    WriteBytes(ras, Sun(3, 2, 8, 2, {}, {0x80, 7, 9}));
    KOVAFILEINFO info;
    KovaInitFileInfo(&info);
    ASSERT_EQ(KovaFileInfo(ras.c_str(), &info), IMG_SUCCESS);
    EXPECT_EQ(info.format, IMG_SUN);
    EXPECT_EQ(info.width, 3);
    EXPECT_EQ(info.height, 2);
    EXPECT_EQ(info.bitsPerPixel, 8);
    EXPECT_EQ(info.sizeDisk, 8u);
    int result = 0;
    EXPECT_EQ(LoadRgb(ReadBytes(ras), &result), (Rgb{3, 2, std::vector<BYTE>(18, 9)}));
    const std::string cal = TempPath("host.cal");
    WriteBytes(cal, std::vector<BYTE>(2100, ' '));
    EXPECT_EQ(imagingtest::Load(cal, &result), nullptr);
    EXPECT_EQ(result, IMG_ERR_FORMAT);
    EXPECT_STREQ(KovaFilterCause(), "imgflt-cals.so is missing");
    KovaTestingFilterFolder(nullptr);
}

TEST(SunRasterPeers, NetpbmBothWays) {
    if (!imagingtest::HasProgram("pnmtorast") || !imagingtest::HasProgram("rasttopnm"))
        GTEST_SKIP() << "netpbm is not installed";
    Rgb rgb{4, 3, {}};
    for (int i = 0; i < 4 * 3; ++i)
        rgb.px.insert(rgb.px.end(), {BYTE(i * 20), BYTE(250 - i * 7), BYTE(i * 13 + 1)});
    const std::string ppm = TempPath("peer.ppm");
    imagingtest::WritePpm(ppm, rgb);
    for (const char* option : {"-standard", "-rle"}) {
        const std::string ras = TempPath("peer.ras");
        ASSERT_TRUE(
            imagingtest::RunShell("pnmtorast " + std::string(option) + " " + ppm + " > " + ras));
        EXPECT_EQ(LoadRgb(ReadBytes(ras)), rgb) << option;
    }
    // Ours read by rasttopnm.
    HGLOBAL dib = imagingtest::MakePicture(7, 5, 24);
    const std::string ours = TempPath("ours.ras");
    ASSERT_EQ(imagingtest::Save(dib, ours, IMG_SUN, 0), IMG_SUCCESS);
    const std::string back = TempPath("back.ppm");
    ASSERT_TRUE(imagingtest::RunShell("rasttopnm " + ours + " > " + back));
    EXPECT_EQ(imagingtest::ReadPnm(back), imagingtest::PixelsOf(dib));
    GlobalFree(dib);
}

} // namespace
