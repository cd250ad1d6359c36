#pragma once
// A packed bitmap in one movable global memory block (header, colour table, bits), the form of
// BMP files and of the clipboard's CF_DIB. Inside it is always canonical: a 40-byte header,
// the depth's full colour table, bottom-up uncompressed rows of 1, 4, 8 or 24 bits. Outside
// bitmaps come in through one intake (Load, ChangeFromDIB, CreateFromClipboard) that reads
// the other common forms or refuses them with a named cause.

#include "rasterkit/DIBInterface.h"

class CFile;

class RASTERKIT_API CDib : public DIBInterface {
public:
    enum LoadError {
        LoadOk = 0,
        NotBMP,        // no "BM" magic, or not a bitmap header at all
        Truncated,     // the data end inside a header, the colour table or compressed bits
        HeaderSize,    // an information header of a size not read
        Dimensions,    // width or height zero, negative or too large
        ColorCount,    // colours used above the depth's count, or a depth not read
        Compression,   // a compression not read, or damaged compressed data
        BitsPastEnd,   // the bits lie outside the data (past the end or inside the header)
        NoMemory,      // the block could not be had
        ReadError,     // the file failed while reading
    };
    // Names the cause in English.
    static const char* LoadErrorText(LoadError e);

    CDib() = default;
    CDib(int w, int h, int bits) { Create(w, h, bits); }
    explicit CDib(void* packed) { ChangeFromDIB(packed); }
    CDib(CDib&& other) noexcept;
    CDib& operator=(CDib&& other) noexcept;
    ~CDib() override;

    void Destroy() override;

    // 0 for w or h below 1, a depth other than 1, 4, 8 or 24, or no memory.
    int Create(int w, int h, int bits);
    // Takes over the packed bitmap (a global memory handle); a form that is not canonical is
    // converted and the handle freed. Refused data are freed and leave the bitmap empty:
    // returns 0 and GetLoadError names the cause.
    int ChangeFromDIB(void* handle);
    // Unlocks and hands the block to the caller; the bitmap becomes empty.
    void* ChangeToDIB();
    // Forgets the block without freeing it.
    void Empty();
    bool IsEmpty() const { return m_hDib == nullptr; }
    bool IsGrayScale() const { return m_bGray; }
    LoadError GetLoadError() const { return m_loadError; }

    // A new movable block with a copy of the whole bitmap; null when empty or out of memory.
    void* Copy() const;
    // A new 24-bit packed bitmap of the same picture; null when empty or out of memory.
    void* Copy24();
    void CopyPaletteFrom(CDib& other);
    void GrayScale();
    // Grey, then a colour table running linearly from a to b (COLORREF). Turns the picture grey.
    void SetTransientPalette(COLORREF a, COLORREF b);

    // The file Save writes, plus 4; 0 when empty.
    unsigned GetBMPSize() const;
    // The file size written, or -1 (empty bitmap, file error).
    int Save(CFile& file);
    // 0, or -1 with the bitmap empty and GetLoadError naming the cause.
    int Load(CFile& file);
    // 1, or 0 when the clipboard holds no readable CF_DIB. Rows stay as stored (bottom-up).
    int CreateFromClipboard();

private:
    // Installs a canonical block, already checked.
    void Attach(HGLOBAL block);

    HGLOBAL m_hDib = nullptr;
    void* m_pPacked = nullptr;
    bool m_bGray = false;
    LoadError m_loadError = LoadOk;
};
