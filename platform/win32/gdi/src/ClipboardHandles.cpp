// The clipboard deletes the drawing layer's handles (bitmaps, palettes, metafiles) through
// the layer itself; installed when the layer is loaded.

#include "win32/clipboard.h"
#include "win32/kernel.h"
#include "win32/wingdi.h"
#include "win32/wingdi_meta.h"

namespace {

void ReleaseClipboardHandle(UINT format, HANDLE handle) {
    switch (format) {
    case CF_BITMAP:
    case CF_PALETTE:
        DeleteObject(static_cast<HGDIOBJ>(handle));
        break;
    case CF_ENHMETAFILE:
        DeleteEnhMetaFile(static_cast<HENHMETAFILE>(handle));
        break;
    case CF_METAFILEPICT:
        // The record stays the clipboard's; its metafile is ours.
        if (auto* pict = static_cast<METAFILEPICT*>(GlobalLock(handle))) {
            if (pict->hMF) DeleteMetaFile(pict->hMF);
            pict->hMF = nullptr;
            GlobalUnlock(handle);
        }
        break;
    default:
        break;
    }
}

const bool installed = (SdSetClipboardHandleReleaser(ReleaseClipboardHandle), true);

} // namespace
