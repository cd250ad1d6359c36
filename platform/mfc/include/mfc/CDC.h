#pragma once
// The framework's device context: a drawing-layer context it may own. Header-only; users
// link the drawing layer.

#include "mfc/CObject.h"
#include "win32/wingdi.h"

class CDC : public CObject {
public:
    CDC() = default;
    ~CDC() override {
        if (m_hDC && owned) ::DeleteDC(m_hDC);
    }

    // A memory context compatible with other (null: the screen).
    BOOL CreateCompatibleDC(CDC* other) {
        m_hDC = ::CreateCompatibleDC(other ? other->m_hDC : nullptr);
        owned = m_hDC != nullptr;
        return owned;
    }
    BOOL Attach(HDC dc) {
        if (!dc) return FALSE;
        m_hDC = dc;
        owned = false;
        return TRUE;
    }
    HDC Detach() {
        HDC dc = m_hDC;
        m_hDC = nullptr;
        owned = false;
        return dc;
    }
    HDC GetSafeHdc() const { return m_hDC; }
    int SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }

    HDC m_hDC = nullptr;

private:
    bool owned = false;
};
