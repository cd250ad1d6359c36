// Putting a bitmap on a device, with dithering for 8-bit screens, and the matching palette.

#include <new>
#include <vector>

#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>
#include <mfc/CPreviewDC.h>

#include "HalfToneTable.h"
#include "rasterkit/CDib.h"
#include "rasterkit/CDibDC.h"

void DIBInterface::Paint(CDC* dc, int xs, int ys, int ws, int hs, int xd, int yd, int wd, int hd,
                         int dither) {
    if (!dc || !m_pInfo || !m_pBits) return;
    const bool screen = !dc->IsPrinting() || dc->IsKindOf(RUNTIME_CLASS(CPreviewDC));
    const bool dithering = dither != 0 && screen && dc->GetDeviceCaps(BITSPIXEL) == 8 &&
                           !dc->IsKindOf(RUNTIME_CLASS(CDibDC));
    CDib reduced;
    DIBInterface* picture = this;
    if (dithering && reduced.Create(m_width, m_height, 8)) {
        if (dither == 1)
            OrderedDither(*this, reduced, 0, 0, 0, 0);
        else if (dither == 2)
            FSDither(*this, reduced, 0, 0, 0, 0);
        picture = &reduced;
    }
    dc->SetStretchBltMode(COLORONCOLOR);
    // Bottom-up bits: both calls count the source's y from the bottom row, and the bits hold
    // every scan line of the picture.
    const int fromBottom = picture->m_height - ys - hs;
    if (ws == wd && hs == hd)
        ::SetDIBitsToDevice(dc->m_hDC, xd, yd, DWORD(wd), DWORD(hd), xs, fromBottom, 0,
                            UINT(picture->m_height), picture->m_pBits, picture->m_pInfo,
                            DIB_RGB_COLORS);
    else
        ::StretchDIBits(dc->m_hDC, xd, yd, wd, hd, xs, fromBottom, ws, hs, picture->m_pBits,
                        picture->m_pInfo, DIB_RGB_COLORS, SRCCOPY);
}

void DIBInterface::Paint(CDC* dc, const RECT& source, const RECT& destination, int dither) {
    Paint(dc, source.left, source.top, source.right - source.left, source.bottom - source.top,
          destination.left, destination.top, destination.right - destination.left,
          destination.bottom - destination.top, dither);
}

int DIBInterface::GetHalfTonePalette(CPalette* palette) {
    if (!palette) return 0;
    HDC screen = ::CreateCompatibleDC(nullptr);
    const int depth = screen ? ::GetDeviceCaps(screen, BITSPIXEL) : 0;
    if (screen) ::DeleteDC(screen);
    if (depth < 8) return 0;
    std::vector<BYTE> memory;
    try {
        memory.resize(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    } catch (const std::bad_alloc&) {
        return 0;
    }
    LOGPALETTE* lp = reinterpret_cast<LOGPALETTE*>(memory.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = 256;
    PALETTEENTRY* entries = lp->palPalEntry; // 256 of them in this block
    for (int i = 0; i < 256; ++i)
        entries[i] = PALETTEENTRY{kHalfToneTable[i][0], kHalfToneTable[i][1],
                                          kHalfToneTable[i][2], kHalfToneTable[i][3]};
    HPALETTE h = ::CreatePalette(lp);
    if (!h) return 0;
    const BOOL attached = palette->Attach(h);
    if (!attached) ::DeleteObject(h);
    return attached;
}
