#pragma once
// A bitmap context for a window's off-screen picture: its text, visibility and escape calls go
// to the attribute context (which is the section's own context until the caller sets another),
// where CDibDC keeps them on its memory handle.

#include "rasterkit/CDibDC.h"

class RASTERKIT_API CWndDibDC : public CDibDC {
    DECLARE_DYNAMIC(CWndDibDC)
public:
    CWndDibDC() = default;
    // A w x h section compatible with the screen.
    CWndDibDC(int w, int h);

    BOOL PtVisible(int x, int y) const override;
    BOOL RectVisible(const RECT* rect) const override;
    BOOL TextOut(int x, int y, LPCSTR text, int length) override;
    BOOL ExtTextOut(int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT length,
                    const INT* dx) override;
    int Escape(int escape, int inSize, LPCSTR in, LPVOID out) override;
};
