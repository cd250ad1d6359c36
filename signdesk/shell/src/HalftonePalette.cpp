#include "shell/HalftonePalette.h"

#include <mfc/CClientDC.h>
#include <mfc/CGdiObject.h>
#include <mfc/CWnd.h>
#include <rasterkit/DIBInterface.h>

namespace {

CPalette* appPalette = nullptr;
int paletteUsers = 0;

} // namespace

BOOL AcquireHalftonePalette() {
    if (paletteUsers == 0) {
        appPalette = new CPalette;
        if (!DIBInterface::GetHalfTonePalette(appPalette)) {
            delete appPalette;
            appPalette = nullptr;
            return FALSE;
        }
    }
    ++paletteUsers;
    return TRUE;
}

CPalette* GetAppPalette() {
    return appPalette;
}

void ReleaseHalftonePalette() {
    if (paletteUsers <= 0) return;
    if (--paletteUsers == 0) {
        delete appPalette;
        appPalette = nullptr;
    }
}

BOOL RealizeAppPalette(CWnd& wnd) {
    CPalette* palette = GetAppPalette();
    if (palette == nullptr || wnd.m_hWnd == nullptr) return FALSE;
    CClientDC dc(&wnd);
    CPalette* old = dc.SelectPalette(palette, FALSE);
    const UINT changed = dc.RealizePalette();
    if (old) dc.SelectPalette(old, FALSE);
    if (changed == 0) return FALSE;
    wnd.Invalidate();
    return TRUE;
}
