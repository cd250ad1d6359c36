#pragma once
// Row and pixel access over a device-independent bitmap held by someone else: bottom-up rows,
// 1, 4, 8 or 24 bits per pixel (other depths have no pixel access). The interface owns its
// row table and pixel accessor, never the header or the bits.
//
// Pixel operations clip to every bitmap involved; the 24-bit ones leave bitmaps of other
// depths alone. The accessor's operations are unchecked, for inner loops.

#include <memory>

#include <win32/wingdi.h>
#include "rasterkit/PixelInterface.h"
#include "rasterkit/export.h"

class CDC;
class CPalette;

class RASTERKIT_API DIBInterface {
public:
    DIBInterface() = default;
    DIBInterface(BITMAPINFO* info, void* bits) { Init(info, bits); }
    DIBInterface(const DIBInterface&) = delete;
    DIBInterface& operator=(const DIBInterface&) = delete;
    DIBInterface(DIBInterface&& other) noexcept { MoveFrom(other); }
    DIBInterface& operator=(DIBInterface&& other) noexcept;

    virtual void Destroy();
    virtual ~DIBInterface();

    // M[a][b] = (a * b) >> 8, built by the first Init.
    static BYTE Transparency[256][256];
    static bool TransparencyBuilt;

    void Init(BITMAPINFO* info, void* bits);

    BITMAPINFO* GetInfo() const { return m_pInfo; }
    RGBQUAD* GetColorTab() const;
    BYTE* GetBits() const { return m_pBits; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    int GetBitsPerPixel() const { return m_pInfo ? m_pInfo->bmiHeader.biBitCount : 0; }
    int GetBytesPerRow() const { return m_bytesPerRow; }
    int GetPaletteSize() const { return GetNoPaletteEntries(GetBitsPerPixel()) * 4; }
    static int GetNoPaletteEntries(int bitCount);
    long GetTotalBytes() const { return long(m_pEnd - m_pBits); }
    bool CheckPointer(const void* p) const { return p >= m_pBits && p < m_pEnd; }
    bool IsInside(int x, int y) const { return x >= 0 && x < m_width && y >= 0 && y < m_height; }
    // The unchecked accessor (null without one).
    PixelInterface* GetPixelInterface() const { return m_pixel.get(); }

    // Checked: null, or nothing done, outside the bitmap.
    BYTE* GetPointer(int x, int y);
    void GetPixel(int x, int y, unsigned& v);
    void SetPixel(int x, int y, unsigned& v);
    void GetRGB(int x, int y, BYTE* out);
    // rgb[0] red, rgb[1] green, rgb[2] blue.
    void GetPixel(int x, int y, int rgb[3]);

    void Clear(BYTE v);
    // Into this 24-bit bitmap, from a source of any depth; w or h 0 is the source's size.
    void CopyRect(DIBInterface& src, int w, int h, int dx, int dy, int sx, int sy);
    // 24-bit; w or h 0 is the bitmap's size.
    void Fill(BYTE r, BYTE g, BYTE b, int w, int h, int x, int y);
    // 1 when every pixel of the rectangle inside the bitmap has the colour (also when none is).
    int IsFilledWith(BYTE r, BYTE g, BYTE b, int w, int h, int x, int y);
    void Flip();
    // All three 24-bit; w or h 0 is the source's size.
    void AlphaMerge(DIBInterface& src, DIBInterface& mask, int w, int h, int dx, int dy, int sx,
                    int sy);
    void Mask(DIBInterface& src, DIBInterface& mask, int w, int h, int dx, int dy, int sx, int sy);

    // Draws the source rectangle into the destination rectangle (stretched when the sizes
    // differ). On an 8-bit screen (not printing, or print preview), outside a bitmap context,
    // a non-zero dither draws a copy reduced to the built-in table: 1 ordered, 2
    // Floyd-Steinberg.
    void Paint(CDC* dc, int xs, int ys, int ws, int hs, int xd, int yd, int wd, int hd,
               int dither);
    void Paint(CDC* dc, const RECT& source, const RECT& destination, int dither);
    // The built-in table as a drawing palette attached to the given one; 0 when the screen
    // has fewer than 8 bits or the palette cannot be made.
    static int GetHalfTonePalette(CPalette* palette);

    // Palette indices of the built-in 256-colour table into the 8-bit dst, for the rectangle
    // of src (w or h 0: src's size), clipped to both bitmaps.
    static void OrderedDither(DIBInterface& src, DIBInterface& dst, int x, int y, int w, int h);
    static void FSDither(DIBInterface& src, DIBInterface& dst, int x, int y, int w, int h);
    // 24-bit bitmaps: every pixel through the four transfer tables.
    void CMYKCorrection(const BYTE c[256], const BYTE m[256], const BYTE y[256], const BYTE k[256]);

protected:
    void MoveFrom(DIBInterface& other) noexcept;

    BITMAPINFO* m_pInfo = nullptr;
    BYTE* m_pBits = nullptr;
    BYTE* m_pEnd = nullptr;
    std::unique_ptr<BYTE*[]> m_rows;
    int m_bytesPerRow = 0;
    int m_width = 0;
    int m_height = 0;
    std::unique_ptr<PixelInterface> m_pixel;
};
