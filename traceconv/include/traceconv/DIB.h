#pragma once
// The tracer's handle on a packed bitmap: header, colour table and bits in one movable
// global memory block. The accessors that read the header or the bits need the object
// locked; they answer 0 or null for a pixel outside the bits or the block.

#include <mfc/CObject.h>
#include <win32/kernel.h>
#include <win32/wingdi.h>

#include "traceconv/export.h"

using HDIB = HGLOBAL;

class CDC;
class CPalette;

class TRACECONV_API DIB : public CObject {
public:
    DIB() = default;
    ~DIB() override;

    void Lock();
    void UnLock();
    int IsLoaded() const { return hDIB != nullptr; }
    // Destroy, then hold the handle.
    void SetData(void* handle);
    // Forgets the handle without freeing it.
    void Empty();
    HDIB GetData() const { return hDIB; }
    // Unlocks when locked and frees the block.
    void Destroy();

    BITMAPINFO* BmpInfo() const { return info; }
    RGBQUAD* ColorTab() const;
    int BitsPerPixel() const;
    int Width() const;
    int Height() const;
    void* GetBits() const;
    unsigned long GetSize() const;
    // Bytes per scan line, padded to 4.
    int StorageWidth() const;
    // Entries of the colour table: 2, 16 or 256 by the bit count, or fewer when the info
    // header names fewer in use.
    int NumColorEntries() const;

    // y counts scan lines in storage order.
    void* GetPixelAddress(int x, int y) const;
    long GetPixel(int x, int y) const;
    void SetPixel(int x, int y, long value);

    // A logical palette (version 0x300) of the table's colours, attached to palette after
    // its former palette object is deleted; the result of attaching, 0 without colours or
    // when the palette cannot be had.
    int CreatePalette(CPalette& palette);
    // Copies the source rectangle (xs, ys, ws, hs; ys from the top of the picture) to the
    // destination rectangle, stretched where the sizes differ, colour on colour. Nothing
    // without a handle, or for a block that does not hold what its header promises.
    void Paint(CDC* dc, int xs, int ys, int ws, int hs, int xd, int yd, int wd, int hd);

    // Non-zero when the locked block is a bitmap the tracer can read safely: a 12-byte core
    // header or an info header of 40 bytes or more, bit count 1, 4, 8, 16, 24 or 32,
    // uncompressed, bottom-up, width and height 1 to 32,767, colour table and rows inside
    // the block.
    int IsTraceable() const;

    HDIB hDIB = nullptr;
    int lockCount = 0;
    BITMAPINFO* info = nullptr;

private:
    // The pixel's byte offset from the bits, or -1 outside the bitmap or the block.
    long long PixelOffset(int x, int y) const;
};

// Colours in the table as the header gives them: a 40-byte-or-larger info header's
// colours-used count when non-zero, else 2, 16 or 256 by the bit count (0 for other depths).
TRACECONV_API unsigned short DIBNumColors(char* header);
// Bytes of the colour table: DIBNumColors x 4 after an info header, x 3 after a core header.
TRACECONV_API unsigned short PaletteSize(char* header);
