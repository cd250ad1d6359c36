#pragma once
// The framework's drawing objects over the drawing layer's handles: the object owns its
// handle and deletes it when destroyed. Header-only; users link the drawing layer.

#include "mfc/CObject.h"
#include "win32/wingdi.h"

class CGdiObject : public CObject {
public:
    CGdiObject() = default;
    ~CGdiObject() override { DeleteObject(); }

    // Takes over the handle; FALSE for a null handle.
    BOOL Attach(HGDIOBJ handle) {
        if (!handle) return FALSE;
        m_hObject = handle;
        return TRUE;
    }
    HGDIOBJ Detach() {
        HGDIOBJ handle = m_hObject;
        m_hObject = nullptr;
        return handle;
    }
    BOOL DeleteObject() {
        if (!m_hObject) return FALSE;
        BOOL done = ::DeleteObject(m_hObject);
        m_hObject = nullptr;
        return done;
    }
    HGDIOBJ GetSafeHandle() const { return m_hObject; }

    HGDIOBJ m_hObject = nullptr;
};

class CPalette : public CGdiObject {
public:
    BOOL CreatePalette(const LOGPALETTE* palette) { return Attach(::CreatePalette(palette)); }
    operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }
};
