#pragma once
// Framework object around a window handle.

#include "mfc/CCmdTarget.h"

class MFC_API CWnd : public CCmdTarget {
    DECLARE_DYNCREATE(CWnd)
public:
    CWnd() = default;
    ~CWnd() override;

    // Null-safe: a null CWnd* gives a null handle (sanitizer builds still report the call).
    HWND GetSafeHwnd() const;

    HWND m_hWnd = nullptr;
};
