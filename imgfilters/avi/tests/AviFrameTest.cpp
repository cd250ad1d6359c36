// imgflt-avi: frames of test-built AVI files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include <imaging/KovaFilter.h>
#include <win32/module.h>
#include <win32/resource.h>

#include "../../../platform/imaging/tests/ImagingTestSupport.h"

namespace {

using imagingtest::Rgb;

std::string AviTemp(const std::string& name) {
    static const std::string dir = [] {
        const auto d = std::filesystem::temp_directory_path() / ("avi-" + std::to_string(getpid()));
        std::filesystem::create_directories(d);
        return d.string();
    }();
    return dir + "/" + name;
}

void Le(std::vector<BYTE>& v, std::uint32_t x) {
    v.insert(v.end(), {BYTE(x), BYTE(x >> 8), BYTE(x >> 16), BYTE(x >> 24)});
}

std::vector<BYTE> Chunk(const char* id, const std::vector<BYTE>& data) {
    std::vector<BYTE> c(id, id + 4);
    Le(c, std::uint32_t(data.size()));
    c.insert(c.end(), data.begin(), data.end());
    if (data.size() & 1) c.push_back(0);
    return c;
}

std::vector<BYTE> List(const char* kind, const std::vector<std::vector<BYTE>>& chunks) {
    std::vector<BYTE> d(kind, kind + 4);
    for (const auto& c : chunks)
        d.insert(d.end(), c.begin(), c.end());
    return Chunk("LIST", d);
}

// A video of w x h frames at 24 bits, bottom-up rows; frame n's pixels are all (n, 2n, 3n)
// except pixel (0, 0) of the top row, which is (255, 0, 0).
std::vector<BYTE> Avi(int w, int h, int frames, std::uint32_t scale, std::uint32_t rate,
                      std::uint32_t compression = 0, int ppm = 3780) {
    std::vector<BYTE> strh = {'v', 'i', 'd', 's', 'D', 'I', 'B', ' '};
    strh.resize(56, 0);
    for (int i = 0; i < 4; ++i) {
        strh[size_t(20 + i)] = BYTE(scale >> (8 * i));
        strh[size_t(24 + i)] = BYTE(rate >> (8 * i));
    }
    std::vector<BYTE> strf;
    Le(strf, 40);
    Le(strf, std::uint32_t(w));
    Le(strf, std::uint32_t(h));
    strf.insert(strf.end(), {1, 0, 24, 0});
    Le(strf, compression);
    const int stride = (w * 3 + 3) / 4 * 4;
    Le(strf, std::uint32_t(stride * h));
    Le(strf, std::uint32_t(ppm));
    Le(strf, std::uint32_t(ppm));
    Le(strf, 0);
    Le(strf, 0);
    std::vector<std::vector<BYTE>> movi;
    for (int n = 0; n < frames; ++n) {
        std::vector<BYTE> px(size_t(stride * h), 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                BYTE* p = &px[size_t(y * stride + 3 * x)];
                p[0] = BYTE(3 * n), p[1] = BYTE(2 * n), p[2] = BYTE(n);
                if (y == h - 1 && x == 0) p[0] = 0, p[1] = 0, p[2] = 255;
            }
        movi.push_back(Chunk("00db", px));
    }
    const std::vector<BYTE> body = [&] {
        std::vector<BYTE> b = {'A', 'V', 'I', ' '};
        const auto hdrl = List("hdrl", {Chunk("avih", std::vector<BYTE>(56, 0)),
                                        List("strl", {Chunk("strh", strh), Chunk("strf", strf)})});
        b.insert(b.end(), hdrl.begin(), hdrl.end());
        const auto m = List("movi", movi);
        b.insert(b.end(), m.begin(), m.end());
        const auto idx = Chunk("idx1", {});
        b.insert(b.end(), idx.begin(), idx.end());
        return b;
    }();
    return Chunk("RIFF", body);
}

Rgb Expected(int w, int h, int n) {
    Rgb r{w, h, {}};
    for (int i = 0; i < w * h; ++i)
        r.px.insert(r.px.end(), {BYTE(n), BYTE(2 * n), BYTE(3 * n)});
    r.px[0] = 255, r.px[1] = 0, r.px[2] = 0;
    return r;
}

struct Frame {
    int result = 0;
    Rgb rgb;
    int delay = -1;
    std::vector<int> flags;
};

Frame LoadFrame(const std::vector<BYTE>& file, int page) {
    const std::string path = AviTemp("in.avi");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    HMODULE module = LoadLibraryA("imgflt-avi");
    auto load = reinterpret_cast<KovaFltLoad>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, MAKEINTRESOURCEA(101))));
    Frame f;
    if (load == nullptr) {
        FreeLibrary(module);
        return f;
    }
    KOVAFLTBITMAP target{};
    auto take = [](void* user, KOVAFLTBITMAP* b, const BYTE* rows, int flags, int first, int count,
                   int) {
        auto* fr = static_cast<Frame*>(user);
        fr->flags.push_back(flags);
        fr->rgb = Rgb{b->width, b->height, {}};
        if (b->bitsPerPixel != 24) return 1;
        const int stride = (b->width * 3 + 3) / 4 * 4;
        for (int y = first; y < first + count; ++y)
            for (int x = 0; x < b->width; ++x) {
                const BYTE* p = rows + y * stride + 3 * x;
                fr->rgb.px.insert(fr->rgb.px.end(), {p[2], p[1], p[0]});
            }
        return 1;
    };
    KOVAFLTLOADREQUEST request{path.c_str(), &target, 4096, take, &f, page};
    f.result = load(&request);
    f.delay = target.frameDelay;
    KOVAFLTSAVEREQUEST save{path.c_str(), nullptr, IMG_AVI, 24, 0};
    EXPECT_EQ(reinterpret_cast<KovaFltSave>(reinterpret_cast<void (*)()>(
                  GetProcAddress(module, MAKEINTRESOURCEA(102))))(&save),
              FLT_ERR_NO_SAVE);
    FreeLibrary(module);
    return f;
}

TEST(AviFrame, FramesPagesAndDelay) {
    const std::vector<BYTE> video = Avi(3, 2, 4, 1, 25);
    for (int page : {0, 2, 3, 9}) {
        const Frame f = LoadFrame(video, page);
        ASSERT_EQ(f.result, 1) << page;
        EXPECT_EQ(f.rgb, Expected(3, 2, page > 3 ? 3 : page)) << page;
        EXPECT_EQ(f.delay, 40);
        EXPECT_EQ(f.flags, std::vector<int>{15});
    }
    EXPECT_EQ(LoadFrame(Avi(3, 2, 2, 0, 25), 0).delay, 0);
    EXPECT_EQ(LoadFrame(Avi(3, 2, 2, 1, 0), 1).delay, 0);

    const std::string path = AviTemp("info.avi");
    const std::vector<BYTE> v = Avi(5, 3, 4, 1, 25, 0, 11811);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(v.data()), std::streamsize(v.size()));
    KOVAFILEINFO info;
    KovaInitFileInfo(&info);
    ASSERT_EQ(KovaFileInfo(path.c_str(), &info), IMG_SUCCESS);
    EXPECT_EQ(info.format, IMG_AVI);
    EXPECT_EQ(info.pageCount, 4);
    EXPECT_EQ(info.width, 5);
    EXPECT_EQ(info.bitsPerPixel, 24);
    EXPECT_EQ(info.xResolution, 300);
    HGLOBAL dib = imagingtest::Load(path);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(imagingtest::PixelsOf(dib), Expected(5, 3, 0));
    GlobalFree(dib);
}

TEST(AviFrame, LyingChunksAndOtherCodings) {
    std::vector<BYTE> cut = Avi(3, 2, 2, 1, 25);
    cut.resize(cut.size() - 30);
    std::vector<BYTE> bigChunk = Avi(3, 2, 2, 1, 25);
    bigChunk[16] = 0xFF, bigChunk[17] = 0xFF, bigChunk[18] = 0xFF; // hdrl's size
    std::vector<BYTE> huge = Avi(3, 2, 1, 1, 25);
    const std::vector<BYTE> noFrames = Avi(3, 2, 0, 1, 25);
    struct Case {
        const char* name;
        std::vector<BYTE> file;
    };
    const Case cases[] = {
        {"cut", cut},
        {"chunk past its list", bigChunk},
        {"no frames", noFrames},
        {"rle8", Avi(3, 2, 1, 1, 25, 1)},
        {"mjpeg", Avi(3, 2, 1, 1, 25, 0x47504A4D)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LoadFrame(c.file, 0).result, FLT_ERR_FORMAT) << c.name;
    // An 8-bit format whose header size lies: its colour table is not read past the chunk.
    std::vector<BYTE> lying = Avi(3, 2, 1, 1, 25);
    const std::vector<BYTE> strf = {'s', 't', 'r', 'f'};
    auto f = std::search(lying.begin(), lying.end(), strf.begin(), strf.end());
    ASSERT_NE(f, lying.end());
    f[8] = 0xFC, f[9] = 0xFF, f[10] = 0xFF, f[11] = 0xFF;
    f[8 + 14] = 8;
    EXPECT_EQ(LoadFrame(lying, 0).result, 1);
    // A frame smaller than its format says.
    std::vector<BYTE> small = Avi(3, 2, 1, 1, 25);
    const std::vector<BYTE> tag = {'0', '0', 'd', 'b'};
    auto at = std::search(small.begin(), small.end(), tag.begin(), tag.end());
    ASSERT_NE(at, small.end());
    at[4] = 4;
    EXPECT_LT(LoadFrame(small, 0).result, 0);
}

} // namespace
