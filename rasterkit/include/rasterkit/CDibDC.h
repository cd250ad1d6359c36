#pragma once
// A device context that draws into a DIB section of its own. When the section cannot be
// made the context has no handle: it draws nothing, and IsValid tells the caller.

#include <mfc/CDC.h>

#include "rasterkit/CDIBSection.h"

class RASTERKIT_API CDibDC : public CDC {
    DECLARE_DYNCREATE(CDibDC)
public:
    CDibDC() = default;
    // A section the size of ref's clip box, compatible with ref; the viewport is moved so
    // that the clip box's top-left corner is the section's (0, 0); ref's printing flag is kept.
    explicit CDibDC(CDC* ref);
    // The same over r instead of the clip box.
    CDibDC(CDC* ref, const RECT& r);
    // A w x h section compatible with the screen.
    CDibDC(int w, int h);
    ~CDibDC() override;

    BOOL IsValid() const { return m_hDC != nullptr && m_DIB.GetBits() != nullptr; }

    // On this context's own (memory) handle only.
    BOOL PtVisible(int x, int y) const override;
    BOOL RectVisible(const RECT* rect) const override;
    BOOL TextOut(int x, int y, LPCSTR text, int length) override;
    BOOL ExtTextOut(int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT length,
                    const INT* dx) override;
    int Escape(int escape, int inSize, LPCSTR in, LPVOID out) override;

    CDIBSection m_DIB;

protected:
    void Make(CDC* ref, const RECT& r);
    CDC* m_pRefDC = nullptr;
};
