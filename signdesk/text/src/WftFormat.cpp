#include "text/WftFormat.h"

#include <cmath>
#include <cstring>

#include "pathkit/Path.h"

namespace {

void put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}
void put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
}
std::uint16_t get16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}
std::uint32_t get32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

// Truncation toward zero into 32 bits; NaN gives 0, values beyond the range saturate.
std::int32_t toInt(float v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0f) return 2147483647;
    if (v <= -2147483648.0f) return -2147483647 - 1;
    return std::int32_t(v);
}

// Half away from zero.
std::int32_t roundHalfAway(float v) {
    return toInt(v >= 0 ? v + 0.5f : v - 0.5f);
}

// One coordinate of a point: the delta from the current integer position, which moves on.
std::int32_t delta(float em, std::int16_t unitsPerEm, std::int32_t& current) {
    float units = em * float(unitsPerEm);
    std::int32_t d = roundHalfAway(units - float(current));
    current = roundHalfAway(units);
    return d;
}

} // namespace

WftHeader WftHeader::New(const char* name) {
    WftHeader h;
    if (name != nullptr) {
        std::size_t n = std::strlen(name);
        if (n > WftNameSize - 1) n = WftNameSize - 1;
        std::memcpy(h.fontName, name, n);
    }
    return h;
}

void WftHeader::Write(std::uint8_t out[WftHeaderSize]) const {
    std::memset(out, 0, WftHeaderSize);
    put32(out, magic);
    std::memcpy(out + 4, fontName, WftNameSize);
    for (int i = 0; i < 6; ++i) {
        std::uint32_t bits;
        std::memcpy(&bits, &fontMatrix[i], 4);
        put32(out + 64 + 4 * i, bits);
    }
    put16(out + 88, field88);
    put16(out + 90, field90);
    put16(out + 92, field92);
    put16(out + 94, field94);
    put16(out + 96, std::uint16_t(unitsPerEm));
    out[98] = field98;
    std::memcpy(out + 99, reserved, sizeof reserved);
    for (int s = 0; s < WftSlotCount; ++s) {
        put16(out + WftSlotTable + 6 * s, glyphs[s].length);
        put32(out + WftSlotTable + 6 * s + 2, glyphs[s].offset);
    }
}

bool WftHeader::Read(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size < WftHeaderSize) return false;
    magic = get32(data);
    std::memcpy(fontName, data + 4, WftNameSize);
    for (int i = 0; i < 6; ++i) {
        std::uint32_t bits = get32(data + 64 + 4 * i);
        std::memcpy(&fontMatrix[i], &bits, 4);
    }
    field88 = get16(data + 88);
    field90 = get16(data + 90);
    field92 = get16(data + 92);
    field94 = get16(data + 94);
    unitsPerEm = std::int16_t(get16(data + 96));
    field98 = data[98];
    std::memcpy(reserved, data + 99, sizeof reserved);
    for (int s = 0; s < WftSlotCount; ++s) {
        glyphs[s].length = get16(data + WftSlotTable + 6 * s);
        glyphs[s].offset = get32(data + WftSlotTable + 6 * s + 2);
    }
    return true;
}

void EncodeCharstringNumber(std::int32_t v, std::vector<std::uint8_t>& out) {
    if (v >= -107 && v <= 107) {
        out.push_back(std::uint8_t(v + 139));
    } else if (v >= 108 && v <= 1131) {
        out.push_back(std::uint8_t(((v - 108) >> 8) + 247));
        out.push_back(std::uint8_t((v - 108) & 255));
    } else if (v >= -1131 && v <= -108) {
        out.push_back(std::uint8_t(((-v - 108) >> 8) + 251));
        out.push_back(std::uint8_t((-v - 108) & 255));
    } else {
        std::uint32_t u = std::uint32_t(v);
        out.push_back(255);
        out.push_back(std::uint8_t(u >> 24));
        out.push_back(std::uint8_t(u >> 16));
        out.push_back(std::uint8_t(u >> 8));
        out.push_back(std::uint8_t(u));
    }
}

bool EncodeWftGlyph(const Path& outline, std::int16_t unitsPerEm,
                    std::vector<std::uint8_t>& program) {
    enum : std::uint8_t {
        hsbw = 13,
        rmoveto = 21,
        hmoveto = 22,
        vmoveto = 4,
        rlineto = 5,
        hlineto = 6,
        vlineto = 7,
        rrcurveto = 8,
        vhcurveto = 30,
        hvcurveto = 31,
        closepath = 9,
        endchar = 14
    };
    program.clear();
    Path measured(outline);
    measured.RefreshBBoxes();
    float w = (measured.accBox.right - measured.accBox.left) * float(unitsPerEm);
    if (!(w > 10)) return false;

    EncodeCharstringNumber(0, program);
    EncodeCharstringNumber(toInt(w + 10), program);
    program.push_back(hsbw);

    std::int32_t cx = 0, cy = 0;
    bool first = true;
    auto line = [&](const floatPoint& p, std::uint8_t v, std::uint8_t h, std::uint8_t r) {
        std::int32_t dx = delta(p.x, unitsPerEm, cx);
        std::int32_t dy = delta(p.y, unitsPerEm, cy);
        if (dx == 0) {
            EncodeCharstringNumber(dy, program);
            program.push_back(v);
        } else if (dy == 0) {
            EncodeCharstringNumber(dx, program);
            program.push_back(h);
        } else {
            EncodeCharstringNumber(dx, program);
            EncodeCharstringNumber(dy, program);
            program.push_back(r);
        }
    };
    for (const SubPath& sp : outline.subPaths) {
        if (sp.members.Filled() == 0) continue;
        if (!first) program.push_back(closepath);
        first = false;
        line(sp.members[0].start, vmoveto, hmoveto, rmoveto);
        for (const PathMember& m : sp.members) {
            if (!m.IsCurve()) {
                line(m.end, vlineto, hlineto, rlineto);
                continue;
            }
            std::int32_t d[6];
            d[0] = delta(m.ctrl1.x, unitsPerEm, cx);
            d[1] = delta(m.ctrl1.y, unitsPerEm, cy);
            d[2] = delta(m.ctrl2.x, unitsPerEm, cx);
            d[3] = delta(m.ctrl2.y, unitsPerEm, cy);
            d[4] = delta(m.end.x, unitsPerEm, cx);
            d[5] = delta(m.end.y, unitsPerEm, cy);
            if (d[0] == 0 && d[5] == 0) {
                for (int i : {1, 2, 3, 4})
                    EncodeCharstringNumber(d[i], program);
                program.push_back(vhcurveto);
            } else if (d[1] == 0 && d[4] == 0) {
                for (int i : {0, 2, 3, 5})
                    EncodeCharstringNumber(d[i], program);
                program.push_back(hvcurveto);
            } else {
                for (int i = 0; i < 6; ++i)
                    EncodeCharstringNumber(d[i], program);
                program.push_back(rrcurveto);
            }
        }
    }
    program.push_back(closepath);
    program.push_back(endchar);
    // The slot's length is 16 bits: a longer program cannot be stored.
    if (program.size() > 65535) {
        program.clear();
        return false;
    }
    return true;
}

bool WftFontImage::SetGlyph(int slot, const Path& outline) {
    if (slot < 0 || slot >= WftSlotCount) return false;
    std::vector<std::uint8_t> program;
    bool ok = EncodeWftGlyph(outline, header.unitsPerEm, program);
    programs[slot] = std::move(program);
    return ok;
}

bool WftFontImage::SetProgram(int slot, const std::vector<std::uint8_t>& program) {
    if (slot < 0 || slot >= WftSlotCount || program.size() > 65535) return false;
    programs[slot] = program;
    return true;
}

std::vector<std::uint8_t> WftFontImage::Bytes() const {
    WftHeader h = header;
    std::vector<std::uint8_t> out(WftHeaderSize);
    for (int s = 0; s < WftSlotCount; ++s) {
        if (programs[s].empty()) {
            h.glyphs[s] = WftGlyphEntry{0, 0};
            continue;
        }
        h.glyphs[s] = WftGlyphEntry{std::uint16_t(programs[s].size()), std::uint32_t(out.size())};
        out.insert(out.end(), programs[s].begin(), programs[s].end());
    }
    h.Write(out.data());
    return out;
}
