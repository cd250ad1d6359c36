// imgflt-avi: frames of test-built AVI files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>

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
        const int bits = b->bitsPerPixel;
        const int stride = (b->width * bits + 31) / 32 * 4;
        for (int y = first; y < first + count; ++y)
            for (int x = 0; x < b->width; ++x) {
                const BYTE* row = rows + y * stride;
                if (bits == 24) {
                    const BYTE* p = row + 3 * x;
                    fr->rgb.px.insert(fr->rgb.px.end(), {p[2], p[1], p[0]});
                    continue;
                }
                const int i = bits == 8 ? row[x] : (row[x / 2] >> (x % 2 ? 0 : 4)) & 15;
                const RGBQUAD q = b->palette[i];
                fr->rgb.px.insert(fr->rgb.px.end(), {q.rgbRed, q.rgbGreen, q.rgbBlue});
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

// ---- codings beyond uncompressed frames, and idx1 ----

// A bitmap information header with its table (B, G, R quads) or masks after it.
std::vector<BYTE> Strf(int w, int h, int bits, std::uint32_t compression,
                       const std::vector<std::array<BYTE, 4>>& table = {},
                       const std::vector<std::uint32_t>& masks = {}) {
    std::vector<BYTE> f;
    Le(f, 40);
    Le(f, std::uint32_t(w));
    Le(f, std::uint32_t(h));
    f.insert(f.end(), {1, 0, BYTE(bits), 0});
    Le(f, compression);
    Le(f, 0);
    Le(f, 2835);
    Le(f, 2835);
    Le(f, std::uint32_t(table.size()));
    Le(f, 0);
    for (const auto& q : table)
        f.insert(f.end(), q.begin(), q.end());
    for (std::uint32_t m : masks)
        Le(f, m);
    return f;
}

enum class Index { none, relative, absolute };

// A video of the frames given (chunk data, "00dc"); idx1 with the key frames marked.
std::vector<BYTE> Video(const std::vector<BYTE>& strf, const std::vector<std::vector<BYTE>>& frames,
                        Index index = Index::none, const std::vector<int>& keys = {0}) {
    std::vector<BYTE> strh = {'v', 'i', 'd', 's'};
    strh.resize(56, 0);
    strh[20] = 1;
    strh[24] = 25;
    const auto hdrl = List("hdrl", {Chunk("avih", std::vector<BYTE>(56, 0)),
                                    List("strl", {Chunk("strh", strh), Chunk("strf", strf)})});
    std::vector<std::vector<BYTE>> chunks;
    std::vector<BYTE> idx;
    std::uint32_t at = 4; // from the "movi" tag
    const std::uint32_t moviTag = 12 + std::uint32_t(hdrl.size()) + 8;
    for (size_t n = 0; n < frames.size(); ++n) {
        chunks.push_back(Chunk("00dc", frames[n]));
        idx.insert(idx.end(), {'0', '0', 'd', 'c'});
        Le(idx, std::find(keys.begin(), keys.end(), int(n)) != keys.end() ? 0x10 : 0);
        Le(idx, index == Index::absolute ? moviTag + at : at);
        Le(idx, std::uint32_t(frames[n].size()));
        at += std::uint32_t(chunks.back().size());
    }
    std::vector<BYTE> body = {'A', 'V', 'I', ' '};
    body.insert(body.end(), hdrl.begin(), hdrl.end());
    // A chunk of junk ahead of the frames: only idx1 or the walk tells frames from it.
    chunks.insert(chunks.begin(), Chunk("JUNK", {1, 2, 3, 4}));
    if (index != Index::none)
        for (size_t i = 8; i + 16 <= idx.size() + 8; i += 16) {
            const size_t field = i; // offset field of each entry: +8 for the junk chunk
            std::uint32_t o = std::uint32_t(idx[field]) | std::uint32_t(idx[field + 1]) << 8 |
                              std::uint32_t(idx[field + 2]) << 16 |
                              std::uint32_t(idx[field + 3]) << 24;
            o += 12;
            for (int k = 0; k < 4; ++k)
                idx[field + size_t(k)] = BYTE(o >> (8 * k));
        }
    const auto movi = List("movi", chunks);
    body.insert(body.end(), movi.begin(), movi.end());
    const auto idx1 = Chunk("idx1", index == Index::none ? std::vector<BYTE>{} : idx);
    body.insert(body.end(), idx1.begin(), idx1.end());
    return Chunk("RIFF", body);
}

Rgb Pixels(int w, int h, const std::vector<std::array<BYTE, 3>>& px) {
    Rgb r{w, h, {}};
    for (const auto& p : px)
        r.px.insert(r.px.end(), p.begin(), p.end());
    return r;
}

TEST(AviCodings, Rle8DeltaFramesFromTheirKeyFrame) {
    // Table: 0 black, 1 red, 2 (10, 100, 200).
    const std::vector<std::array<BYTE, 4>> table = {
        {0, 0, 0, 0}, {0, 0, 255, 0}, {200, 100, 10, 0}};
    const std::vector<BYTE> strf = Strf(4, 3, 8, 1, table);
    const std::vector<std::vector<BYTE>> frames = {
        // Bottom row 1 1 1 1; then a literal 0 1 2 1; then 2 2 0 0.
        {4, 1, 0, 0, 0, 4, 0, 1, 2, 1, 0, 0, 2, 2, 2, 0, 0, 1},
        // Moved to (1, 1): two pixels of 0.
        {0, 2, 1, 1, 2, 0, 0, 1},
        // A line end, then one pixel of 2 at the start of the second row.
        {0, 0, 1, 2, 0, 1},
        // Two pixels of 1 only: a key frame starts from nothing.
        {2, 1, 0, 1},
    };
    const std::array<BYTE, 3> k = {0, 0, 0}, r = {255, 0, 0}, c = {10, 100, 200};
    struct Case {
        Index index;
        std::vector<int> keys;
        int page;
        Rgb expected;
    };
    const Case cases[] = {
        {Index::relative, {0, 3}, 0, Pixels(4, 3, {c, c, k, k, k, r, c, r, r, r, r, r})},
        {Index::relative, {0, 3}, 1, Pixels(4, 3, {c, c, k, k, k, k, k, r, r, r, r, r})},
        {Index::relative, {0, 3}, 2, Pixels(4, 3, {c, c, k, k, c, k, k, r, r, r, r, r})},
        {Index::absolute, {0, 3}, 3, Pixels(4, 3, {k, k, k, k, k, k, k, k, r, r, k, k})},
        {Index::relative, {0, 3}, 7, Pixels(4, 3, {k, k, k, k, k, k, k, k, r, r, k, k})},
        // Without idx1 only the first frame is known to be a key frame.
        {Index::none, {}, 3, Pixels(4, 3, {c, c, k, k, c, k, k, r, r, r, r, r})},
    };
    for (const Case& t : cases) {
        const Frame f = LoadFrame(Video(strf, frames, t.index, t.keys), t.page);
        ASSERT_EQ(f.result, 1) << t.page;
        EXPECT_EQ(f.rgb, t.expected) << int(t.index) << " page " << t.page;
        EXPECT_EQ(f.flags, std::vector<int>{15});
    }
}

TEST(AviCodings, Rle4BitFieldsAndMjpeg) {
    // RLE4, 5 x 2: bottom 1 2 1 2 1 as a run of 0x12; top 2 1 2 as a literal, then 0 0.
    const std::vector<std::array<BYTE, 4>> table = {{0, 0, 0, 0}, {0, 0, 255, 0}, {255, 0, 0, 0}};
    const std::array<BYTE, 3> k = {0, 0, 0}, r = {255, 0, 0}, b = {0, 0, 255}, g = {0, 255, 0};
    Frame f = LoadFrame(
        Video(Strf(5, 2, 4, 2, table), {{5, 0x12, 0, 0, 0, 3, 0x21, 0x20, 2, 0, 0, 1}}), 0);
    ASSERT_EQ(f.result, 1);
    EXPECT_EQ(f.rgb, Pixels(5, 2, {b, r, b, k, k, r, b, r, b, r}));

    // Bit fields: 5-6-5 at 16 bits, and 32 bits with red in the low byte.
    f = LoadFrame(
        Video(Strf(2, 1, 16, 3, {}, {0xF800, 0x07E0, 0x001F}), {{0x00, 0xF8, 0xE0, 0x07}}), 0);
    ASSERT_EQ(f.result, 1);
    EXPECT_EQ(f.rgb, Pixels(2, 1, {r, g}));
    f = LoadFrame(Video(Strf(1, 1, 32, 3, {}, {0xFF, 0xFF00, 0xFF0000}), {{10, 20, 30, 0}}), 0);
    ASSERT_EQ(f.result, 1);
    EXPECT_EQ(f.rgb, Pixels(1, 1, {{10, 20, 30}}));

    // Motion JPEG: the frame decodes as the stand-in decodes the JPEG, and without its
    // Huffman tables (the standard ones then).
    HGLOBAL picture = imagingtest::MakePicture(24, 16, 24);
    const std::string jpeg = AviTemp("frame.jpg");
    ASSERT_EQ(imagingtest::Save(picture, jpeg, IMG_JPEG_444, 24), IMG_SUCCESS);
    HGLOBAL decoded = imagingtest::Load(jpeg);
    ASSERT_NE(decoded, nullptr);
    const Rgb expected = imagingtest::PixelsOf(decoded);
    EXPECT_LE(imagingtest::MaxDifference(expected, imagingtest::PixelsOf(picture)), 12);
    GlobalFree(decoded);
    GlobalFree(picture);
    std::ifstream in(jpeg, std::ios::binary);
    const std::vector<BYTE> bytes{std::istreambuf_iterator<char>(in), {}};
    std::vector<BYTE> bare; // the DHT segments left out
    for (size_t i = 0; i < bytes.size();) {
        if (bytes[i] == 0xFF && i + 3 < bytes.size() && bytes[i + 1] == 0xC4) {
            i += 2 + size_t(bytes[i + 2] << 8 | bytes[i + 3]);
            continue;
        }
        if (bytes[i] == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == 0xDA) {
            bare.insert(bare.end(), bytes.begin() + long(i), bytes.end());
            break;
        }
        bare.push_back(bytes[i++]);
    }
    ASSERT_LT(bare.size(), bytes.size());
    const std::vector<BYTE> strf = Strf(24, 16, 24, 0x47504A4D);
    for (const auto& frame : {bytes, bare}) {
        f = LoadFrame(Video(strf, {frame, frame}, Index::relative), 1);
        ASSERT_EQ(f.result, 1) << frame.size();
        EXPECT_EQ(f.rgb, expected) << frame.size();
    }
    // A JPEG of another size than the stream's.
    EXPECT_EQ(LoadFrame(Video(Strf(20, 16, 24, 0x47504A4D), {bytes}), 0).result, FLT_ERR_FORMAT);
}

TEST(AviCodings, IndexDroppedFramesAndOtherCodecs) {
    // 8 bits, 4 x 1, frame n all n, a grey table.
    std::vector<std::array<BYTE, 4>> grey;
    for (int i = 0; i < 256; ++i)
        grey.push_back({BYTE(i), BYTE(i), BYTE(i), 0});
    const std::vector<BYTE> strf = Strf(4, 1, 8, 0, grey);
    auto all = [](BYTE v) { return Rgb{4, 1, std::vector<BYTE>(12, v)}; };
    const std::vector<std::vector<BYTE>> frames = {
        {0, 0, 0, 0}, {1, 1, 1, 1}, {}, {3, 3, 3, 3}}; // frame 2 dropped
    for (Index index : {Index::relative, Index::absolute, Index::none}) {
        const std::vector<BYTE> video = Video(strf, frames, index);
        EXPECT_EQ(LoadFrame(video, 1).rgb, all(1)) << int(index);
        EXPECT_EQ(LoadFrame(video, 2).rgb, all(1)) << int(index); // the frame before it
        EXPECT_EQ(LoadFrame(video, 3).rgb, all(3)) << int(index);
        const std::string path = AviTemp("index.avi");
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(video.data()), std::streamsize(video.size()));
        KOVAFILEINFO info;
        KovaInitFileInfo(&info);
        ASSERT_EQ(KovaFileInfo(path.c_str(), &info), IMG_SUCCESS);
        EXPECT_EQ(info.pageCount, 4) << int(index);
        EXPECT_EQ(info.bitsPerPixel, 8);
        EXPECT_EQ(info.xResolution, 72);
    }
    // An index entry that points past movi.
    std::vector<BYTE> lying = Video(strf, frames, Index::relative);
    const std::vector<BYTE> tag = {'i', 'd', 'x', '1'};
    auto idx = std::search(lying.begin(), lying.end(), tag.begin(), tag.end());
    ASSERT_NE(idx, lying.end());
    idx[8 + 16 + 12] = 0xF0; // the second entry's size
    EXPECT_EQ(LoadFrame(lying, 1).result, FLT_ERR_FORMAT);
    // An RLE frame larger than any coding of its pixels.
    EXPECT_EQ(LoadFrame(Video(Strf(2, 1, 8, 1, grey), {std::vector<BYTE>(100, 0)}), 0).result,
              FLT_ERR_FORMAT);

    // Other codecs: -9, and the cause names the code.
    const std::string path = AviTemp("xvid.avi");
    const std::vector<BYTE> xvid = Video(Strf(4, 1, 24, 0x44495658), {{1, 2, 3}});
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(xvid.data()), std::streamsize(xvid.size()));
    EXPECT_EQ(LoadFrame(xvid, 0).result, FLT_ERR_FORMAT);
    int result = 0;
    EXPECT_EQ(imagingtest::Load(path, &result), nullptr);
    EXPECT_EQ(result, FLT_ERR_FORMAT);
    EXPECT_NE(std::string(KovaFilterCause()).find("\"XVID\""), std::string::npos)
        << KovaFilterCause();
}

// Files of another writer (tests/data/make-fixtures.sh, ffmpeg): frame N is picture N.
TEST(AviFixtures, FramesOfAnotherWriter) {
    auto read = [](const std::string& name) {
        std::ifstream in(std::string(SD_TEST_DATA_DIR) + "/" + name, std::ios::binary);
        return std::vector<BYTE>{std::istreambuf_iterator<char>(in), {}};
    };
    struct Case {
        const char* file;
        const char* frames; // the PPMs' prefix
        int bound;          // largest channel difference
    };
    const Case cases[] = {
        {"raw-bgr24.avi", "frame", 0},
        {"raw-pal8.avi", "pal8-frame", 0},
        {"mjpeg.avi", "frame", 24},
    };
    for (const Case& c : cases) {
        const std::vector<BYTE> video = read(c.file);
        ASSERT_GT(video.size(), 1000u) << c.file;
        for (int page : {0, 1, 2, 5}) {
            const Frame f = LoadFrame(video, page);
            ASSERT_EQ(f.result, 1) << c.file << " " << page;
            const std::string ppm = std::string(SD_TEST_DATA_DIR) + "/" + c.frames +
                                    std::to_string(page > 2 ? 2 : page) + ".ppm";
            const Rgb expected = imagingtest::ReadPnm(ppm);
            ASSERT_EQ(expected.width, 32);
            EXPECT_LE(imagingtest::MaxDifference(f.rgb, expected), c.bound)
                << c.file << " " << page;
            EXPECT_EQ(f.delay, 40);
        }
        const std::string path = AviTemp(c.file);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(video.data()), std::streamsize(video.size()));
        KOVAFILEINFO info;
        KovaInitFileInfo(&info);
        ASSERT_EQ(KovaFileInfo(path.c_str(), &info), IMG_SUCCESS) << c.file;
        EXPECT_EQ(info.pageCount, 3) << c.file;
        EXPECT_EQ(info.width, 32);
        EXPECT_EQ(info.height, 16);
    }
}

} // namespace
