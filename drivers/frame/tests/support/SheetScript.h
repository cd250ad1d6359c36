#pragma once
// Working a driver's setup sheet from a dialog script: its pages by index, their controls by
// id, as a user would.

#include <string>

#include <mfc/CPropertySheet.h>
#include <testing/DialogDriver.h>

namespace sheetscript {

inline CPropertySheet* Sheet(HWND sheet) {
    return static_cast<CPropertySheet*>(CWnd::FromHandle(sheet));
}

// Shows the page and returns its window.
inline HWND Page(HWND sheet, int index) {
    CPropertySheet* s = Sheet(sheet);
    s->SetActivePage(index);
    return s->GetPage(index)->m_hWnd;
}

inline bool Type(HWND sheet, int page, int control, const std::string& text) {
    return sdtest::Type(Page(sheet, page), control, text);
}

inline bool Click(HWND sheet, int page, int control) {
    return sdtest::Click(Page(sheet, page), control);
}

inline std::string Text(HWND sheet, int page, int control) {
    return sdtest::TextOf(Page(sheet, page), control);
}

inline bool Shown(HWND sheet, int page, int control) {
    HWND item = ::GetDlgItem(Page(sheet, page), control);
    return item && ::IsWindowVisible(item);
}

inline bool Enabled(HWND sheet, int page, int control) {
    HWND item = ::GetDlgItem(Page(sheet, page), control);
    return item && ::IsWindowEnabled(item);
}

inline void Ok(HWND sheet) {
    sdtest::Click(sheet, IDOK);
}

inline void Cancel(HWND sheet) {
    sdtest::Click(sheet, IDCANCEL);
}

} // namespace sheetscript
