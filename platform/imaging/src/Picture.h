#pragma once
// The packed bitmaps the toolkit works on: a 40-byte header, the depth's full colour table and
// bottom-up rows of 1, 4, 8 or 24 bits padded to 4 bytes, in one movable global block.
// Picture builds one (locked while it is held); PictureView reads one.

#include <cstdint>
#include <vector>

#include <win32/kernel.h>
#include <win32/wingdi.h>

namespace imaging {

SIZE_T Stride(long width, int bits);
int TableEntries(int bits);
int GetIndex(const BYTE* row, long x, int bits);
void SetIndex(BYTE* row, long x, int bits, int value); // the bits there must be 0
// Dots per inch from pixels per metre and back.
int DpiFromMeter(LONG perMeter);
LONG MeterFromDpi(int dpi);

class Picture {
public:
    Picture() = default;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    ~Picture();

    // A zeroed picture; IMG_SUCCESS, IMG_ERR_TOO_LARGE or IMG_ERR_MEMORY. Without `zeroed`
    // only the header, the table and each row's padding are zeroed: for writers of every row.
    int Create(long width, long height, int bits, bool zeroed = true);
    // Takes over a block of the form above; false (block untouched) when it is not.
    bool Adopt(HGLOBAL block);
    bool Empty() const { return m_block == nullptr; }
    // A row counted from the top.
    BYTE* Row(long top) { return m_pixels + m_stride * SIZE_T(m_height - 1 - top); }
    RGBQUAD* Table() { return m_table; }
    BITMAPINFOHEADER* Header() { return reinterpret_cast<BITMAPINFOHEADER*>(m_base); }
    void SetResolution(int xDpi, int yDpi);
    void SetGreyTable();
    long Width() const { return m_width; }
    long Height() const { return m_height; }
    int Bits() const { return m_bits; }
    SIZE_T StrideBytes() const { return m_stride; }
    // Unlocks the block and hands it over.
    HGLOBAL Release();

private:
    void Free();

    HGLOBAL m_block = nullptr;
    BYTE* m_base = nullptr;
    RGBQUAD* m_table = nullptr;
    BYTE* m_pixels = nullptr;
    long m_width = 0, m_height = 0;
    int m_bits = 0;
    SIZE_T m_stride = 0;
};

// A packed bitmap read in place; Open refuses one that is not of the form above.
class PictureView {
public:
    PictureView() = default;
    explicit PictureView(HGLOBAL block) { Open(block); }
    PictureView(const PictureView&) = delete;
    PictureView& operator=(const PictureView&) = delete;
    ~PictureView();
    bool Open(HGLOBAL block);
    bool Open(const void* packed, SIZE_T size); // not locked; the caller keeps it alive
    bool Valid() const { return m_header != nullptr; }
    const BYTE* Row(long top) const { return m_pixels + m_stride * SIZE_T(m_height - 1 - top); }
    const RGBQUAD* Table() const { return m_table; }
    const BITMAPINFOHEADER* Header() const { return m_header; }
    long Width() const { return m_width; }
    long Height() const { return m_height; }
    int Bits() const { return m_bits; }
    int XDpi() const { return DpiFromMeter(m_header->biXPelsPerMeter); }
    int YDpi() const { return DpiFromMeter(m_header->biYPelsPerMeter); }
    // The colour of a pixel as R, G, B.
    void Rgb(const BYTE* row, long x, BYTE out[3]) const;
    // True when a palette picture's table is grey (R = G = B) running 0..255 evenly.
    bool GreyTable() const;
    SIZE_T TotalBytes() const;

private:
    HGLOBAL m_block = nullptr;
    const BITMAPINFOHEADER* m_header = nullptr;
    const RGBQUAD* m_table = nullptr;
    const BYTE* m_pixels = nullptr;
    long m_width = 0, m_height = 0;
    int m_bits = 0;
    SIZE_T m_stride = 0;
};

// A 24-bit copy of any picture, or the picture converted to `bits` (1, 4, 8, 24) as the
// colour reduction does with its defaults. IMG_SUCCESS or a failure code.
int ConvertDepth(const PictureView& source, int bits, Picture& out);

} // namespace imaging
