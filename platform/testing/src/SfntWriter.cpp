#include "testing/SfntWriter.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <utility>

namespace {

class Buf {
public:
    void u8(unsigned v) { b.push_back(std::uint8_t(v)); }
    void u16(unsigned v) {
        u8(v >> 8);
        u8(v);
    }
    void s16(int v) { u16(unsigned(v) & 0xFFFF); }
    void u32(std::uint32_t v) {
        u16(v >> 16);
        u16(v & 0xFFFF);
    }
    void zeros(std::size_t n) { b.insert(b.end(), n, 0); }
    void pad4() {
        while (b.size() % 4)
            u8(0);
    }
    std::vector<std::uint8_t> b;
};

std::uint32_t tag(const char* t) {
    return (std::uint32_t(std::uint8_t(t[0])) << 24) | (std::uint32_t(std::uint8_t(t[1])) << 16) |
           (std::uint32_t(std::uint8_t(t[2])) << 8) | std::uint32_t(std::uint8_t(t[3]));
}

} // namespace

SfntWriter::SfntWriter(std::string family, std::string style, int unitsPerEm)
    : family_(std::move(family)), style_(std::move(style)), unitsPerEm_(unitsPerEm) {}

void SfntWriter::AddGlyph(std::uint32_t code, const std::vector<std::vector<SfntPoint>>& contours,
                          int advance) {
    glyphs_.push_back(Glyph{code, contours, advance});
}

std::vector<std::uint8_t> SfntWriter::Bytes() const {
    const int numGlyphs = int(glyphs_.size()) + 1;
    int gxMin = 0, gyMin = 0, gxMax = 0, gyMax = 0, maxPoints = 0, maxContours = 0, maxAdvance = 0;

    Buf glyf, loca, hmtx;
    loca.u32(0); // .notdef: empty
    loca.u32(0);
    hmtx.u16(unsigned(unitsPerEm_ / 2));
    hmtx.s16(0);
    for (const Glyph& g : glyphs_) {
        int xMin = 0, yMin = 0, xMax = 0, yMax = 0, points = 0;
        bool firstPoint = true;
        for (const auto& c : g.contours)
            for (const SfntPoint& p : c) {
                if (firstPoint) xMin = xMax = p.x, yMin = yMax = p.y, firstPoint = false;
                xMin = std::min(xMin, p.x), xMax = std::max(xMax, p.x);
                yMin = std::min(yMin, p.y), yMax = std::max(yMax, p.y);
                ++points;
            }
        if (points > 0) {
            glyf.s16(int(g.contours.size()));
            glyf.s16(xMin), glyf.s16(yMin), glyf.s16(xMax), glyf.s16(yMax);
            int end = -1;
            for (const auto& c : g.contours)
                glyf.u16(unsigned(end += int(c.size())));
            glyf.u16(0); // no instructions
            for (const auto& c : g.contours)
                for (const SfntPoint& p : c)
                    glyf.u8(p.on ? 1 : 0); // 16-bit deltas for x and y
            int last = 0;
            for (const auto& c : g.contours)
                for (const SfntPoint& p : c)
                    glyf.s16(p.x - last), last = p.x;
            last = 0;
            for (const auto& c : g.contours)
                for (const SfntPoint& p : c)
                    glyf.s16(p.y - last), last = p.y;
            glyf.pad4();
            gxMin = std::min(gxMin, xMin), gyMin = std::min(gyMin, yMin);
            gxMax = std::max(gxMax, xMax), gyMax = std::max(gyMax, yMax);
            maxPoints = std::max(maxPoints, points);
            maxContours = std::max(maxContours, int(g.contours.size()));
        }
        loca.u32(std::uint32_t(glyf.b.size()));
        hmtx.u16(unsigned(g.advance));
        hmtx.s16(xMin);
        maxAdvance = std::max(maxAdvance, g.advance);
    }

    Buf head;
    head.u32(0x00010000), head.u32(0x00010000), head.u32(0), head.u32(0x5F0F3CF5);
    head.u16(0x000B), head.u16(unsigned(unitsPerEm_));
    head.zeros(16);
    head.s16(gxMin), head.s16(gyMin), head.s16(gxMax), head.s16(gyMax);
    head.u16((weight >= 700 ? 1 : 0) | (italic ? 2 : 0));
    head.u16(8), head.s16(2), head.s16(1), head.s16(0);

    Buf hhea;
    hhea.u32(0x00010000);
    hhea.s16(hheaAscent), hhea.s16(hheaDescent), hhea.s16(0);
    hhea.u16(unsigned(maxAdvance)), hhea.s16(0), hhea.s16(0), hhea.s16(gxMax);
    hhea.s16(1), hhea.s16(0), hhea.s16(0);
    hhea.zeros(8);
    hhea.s16(0), hhea.u16(unsigned(numGlyphs));

    Buf maxp;
    maxp.u32(0x00010000), maxp.u16(unsigned(numGlyphs)), maxp.u16(unsigned(maxPoints)),
        maxp.u16(unsigned(maxContours));
    maxp.u16(0), maxp.u16(0), maxp.u16(2);
    maxp.zeros(16);

    Buf os2;
    os2.u16(1), os2.s16(unitsPerEm_ / 2), os2.u16(unsigned(weight)), os2.u16(5), os2.u16(0);
    os2.zeros(8 + 8 + 4 + 2 + 10 + 16);
    os2.u32(tag("TEST"));
    os2.u16((italic ? 1 : 0) | (weight >= 700 ? 0x20 : 0) | (!italic && weight < 700 ? 0x40 : 0));
    os2.u16(0x20), os2.u16(0xFFFF);
    os2.s16(winAscent), os2.s16(-winDescent), os2.s16(0);
    os2.u16(unsigned(winAscent)), os2.u16(unsigned(winDescent));
    os2.u32(codePages), os2.u32(0);

    // Character map: format 4, one segment per code plus the closing segment.
    std::map<std::uint32_t, int> codes;
    for (std::size_t i = 0; i < glyphs_.size(); ++i)
        codes.emplace(glyphs_[i].code, int(i) + 1);
    Buf sub;
    const unsigned segs = unsigned(codes.size()) + 1;
    unsigned searchRange = 2, selector = 0;
    while (searchRange * 2 <= segs * 2)
        searchRange *= 2, ++selector;
    sub.u16(4), sub.u16(16 + 8 * segs), sub.u16(0), sub.u16(segs * 2);
    sub.u16(searchRange), sub.u16(selector), sub.u16(segs * 2 - searchRange);
    for (const auto& [c, g] : codes)
        sub.u16(c);
    sub.u16(0xFFFF), sub.u16(0);
    for (const auto& [c, g] : codes)
        sub.u16(c);
    sub.u16(0xFFFF);
    for (const auto& [c, g] : codes)
        sub.u16((unsigned(g) - c) & 0xFFFF);
    sub.u16(1);
    for (unsigned i = 0; i < segs; ++i)
        sub.u16(0);
    Buf cmap;
    cmap.u16(0), cmap.u16(1), cmap.u16(3), cmap.u16(symbol ? 0 : 1), cmap.u32(12);
    cmap.b.insert(cmap.b.end(), sub.b.begin(), sub.b.end());

    // Names in UTF-16BE (the fixtures' names are ASCII or Latin 1 bytes).
    std::vector<std::pair<int, std::string>> names = {
        {1, family_}, {2, style_}, {4, family_ + " " + style_}};
    Buf name, strings;
    name.u16(0), name.u16(unsigned(names.size())), name.u16(unsigned(6 + 12 * names.size()));
    for (const auto& [id, text] : names) {
        name.u16(3), name.u16(symbol ? 0 : 1), name.u16(0x0409), name.u16(unsigned(id));
        name.u16(unsigned(text.size() * 2)), name.u16(unsigned(strings.b.size()));
        for (unsigned char ch : text)
            strings.u16(ch);
    }
    name.b.insert(name.b.end(), strings.b.begin(), strings.b.end());

    Buf post;
    post.u32(0x00030000);
    post.zeros(28);

    std::vector<std::pair<const char*, const Buf*>> tables = {
        {"OS/2", &os2},  {"cmap", &cmap}, {"glyf", &glyf}, {"head", &head}, {"hhea", &hhea},
        {"hmtx", &hmtx}, {"loca", &loca}, {"maxp", &maxp}, {"name", &name}, {"post", &post}};
    Buf out;
    out.u32(0x00010000), out.u16(unsigned(tables.size())), out.u16(128), out.u16(3),
        out.u16(unsigned(tables.size() * 16 - 128));
    std::uint32_t offset = std::uint32_t(12 + 16 * tables.size());
    for (const auto& [t, b] : tables) {
        out.u32(tag(t)), out.u32(0), out.u32(offset), out.u32(std::uint32_t(b->b.size()));
        offset += std::uint32_t((b->b.size() + 3) & ~std::size_t(3));
    }
    for (const auto& [t, b] : tables) {
        out.b.insert(out.b.end(), b->b.begin(), b->b.end());
        out.pad4();
    }
    return out.b;
}

bool SfntWriter::Write(const std::string& path) const {
    std::vector<std::uint8_t> bytes = Bytes();
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(f);
}
