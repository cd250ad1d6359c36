#pragma once
// Pixel access by bit depth. The four operations are unchecked: callers keep x and y inside
// the bitmap. Colours come out as blue, green, red bytes.

#include <win32/wingdi.h>
#include "rasterkit/export.h"

class RASTERKIT_API PixelInterface {
public:
    explicit PixelInterface(BYTE** rows) : m_rows(rows) {}
    virtual BYTE* GetPointer(int x, int y) = 0;
    virtual void GetRGB(int x, int y, BYTE* out) = 0;
    virtual void GetPixel(int x, int y, unsigned& v) = 0;
    virtual void SetPixel(int x, int y, unsigned& v) = 0;
    virtual ~PixelInterface() = default;

protected:
    BYTE** m_rows; // row 0 is the top row
};

class RASTERKIT_API DIB1Interface : public PixelInterface {
public:
    DIB1Interface(BYTE** rows, const RGBQUAD* colors) : PixelInterface(rows), m_colors(colors) {}
    BYTE* GetPointer(int x, int y) override { return m_rows[y] + (x >> 3); }
    void GetRGB(int x, int y, BYTE* out) override;
    void GetPixel(int x, int y, unsigned& v) override;
    void SetPixel(int x, int y, unsigned& v) override;

private:
    const RGBQUAD* m_colors;
};

class RASTERKIT_API DIB4Interface : public PixelInterface {
public:
    DIB4Interface(BYTE** rows, const RGBQUAD* colors) : PixelInterface(rows), m_colors(colors) {}
    BYTE* GetPointer(int x, int y) override { return m_rows[y] + (x >> 1); }
    void GetRGB(int x, int y, BYTE* out) override;
    void GetPixel(int x, int y, unsigned& v) override;
    void SetPixel(int x, int y, unsigned& v) override;

private:
    const RGBQUAD* m_colors;
};

class RASTERKIT_API DIB8Interface : public PixelInterface {
public:
    DIB8Interface(BYTE** rows, const RGBQUAD* colors) : PixelInterface(rows), m_colors(colors) {}
    BYTE* GetPointer(int x, int y) override { return m_rows[y] + x; }
    void GetRGB(int x, int y, BYTE* out) override;
    void GetPixel(int x, int y, unsigned& v) override { v = m_rows[y][x]; }
    void SetPixel(int x, int y, unsigned& v) override { m_rows[y][x] = BYTE(v); }

private:
    const RGBQUAD* m_colors;
};

class RASTERKIT_API DIB24Interface : public PixelInterface {
public:
    explicit DIB24Interface(BYTE** rows) : PixelInterface(rows) {}
    BYTE* GetPointer(int x, int y) override { return m_rows[y] + 3 * x; }
    void GetRGB(int x, int y, BYTE* out) override;
    // Blue, green, red as the low three bytes of v.
    void GetPixel(int x, int y, unsigned& v) override;
    void SetPixel(int x, int y, unsigned& v) override;
};
