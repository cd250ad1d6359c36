#include "rasterkit/PixelInterface.h"

namespace {

inline void Entry(const RGBQUAD* colors, unsigned index, BYTE* out) {
    out[0] = colors[index].rgbBlue;
    out[1] = colors[index].rgbGreen;
    out[2] = colors[index].rgbRed;
}

} // namespace

void DIB1Interface::GetRGB(int x, int y, BYTE* out) {
    unsigned v;
    GetPixel(x, y, v);
    Entry(m_colors, v, out);
}

void DIB1Interface::GetPixel(int x, int y, unsigned& v) {
    v = (m_rows[y][x >> 3] & (128u >> (x & 7))) ? 1 : 0;
}

void DIB1Interface::SetPixel(int x, int y, unsigned& v) {
    BYTE& b = m_rows[y][x >> 3];
    const BYTE bit = BYTE(128u >> (x & 7));
    b = v ? BYTE(b | bit) : BYTE(b & ~bit);
}

void DIB4Interface::GetRGB(int x, int y, BYTE* out) {
    unsigned v;
    GetPixel(x, y, v);
    Entry(m_colors, v, out);
}

void DIB4Interface::GetPixel(int x, int y, unsigned& v) {
    const BYTE b = m_rows[y][x >> 1];
    v = (x & 1) ? (b & 0x0F) : (b >> 4);
}

void DIB4Interface::SetPixel(int x, int y, unsigned& v) {
    BYTE& b = m_rows[y][x >> 1];
    if (x & 1)
        b = BYTE((b & 0xF0) | (v & 0x0F));
    else
        b = BYTE((b & 0x0F) | ((v & 0x0F) << 4));
}

void DIB8Interface::GetRGB(int x, int y, BYTE* out) {
    Entry(m_colors, m_rows[y][x], out);
}

void DIB24Interface::GetRGB(int x, int y, BYTE* out) {
    const BYTE* p = m_rows[y] + 3 * x;
    out[0] = p[0];
    out[1] = p[1];
    out[2] = p[2];
}

void DIB24Interface::GetPixel(int x, int y, unsigned& v) {
    const BYTE* p = m_rows[y] + 3 * x;
    v = unsigned(p[0]) | (unsigned(p[1]) << 8) | (unsigned(p[2]) << 16);
}

void DIB24Interface::SetPixel(int x, int y, unsigned& v) {
    BYTE* p = m_rows[y] + 3 * x;
    p[0] = BYTE(v);
    p[1] = BYTE(v >> 8);
    p[2] = BYTE(v >> 16);
}
