#include "mfc/CFileDialog.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fnmatch.h>
#include <system_error>
#include <unistd.h>
#include <vector>

#include "mfc/CControls.h"
#include "mfc/CWinApp.h"

IMPLEMENT_DYNAMIC(CFileDialog, CDialog)

BEGIN_MESSAGE_MAP(CFileDialog, CDialog)
    ON_CONTROL(LBN_DBLCLK, lst2, OnFolderOpen)
    ON_CONTROL(LBN_DBLCLK, lst1, OnFileDblClk)
    ON_CONTROL(CBN_SELCHANGE, cmb1, OnTypeChange)
    ON_CONTROL(LBN_SELCHANGE, lst1, OnFileSelChange)
END_MESSAGE_MAP()

namespace fs = std::filesystem;

namespace {

// The framework's template: the standard controls of the old-style dialog.
std::vector<BYTE> builtInTemplate() {
    std::vector<BYTE> bytes;
    auto append = [&bytes](const void* p, std::size_t n) {
        const auto* b = static_cast<const BYTE*>(p);
        bytes.insert(bytes.end(), b, b + n);
    };
    auto word = [&append](WORD w) { append(&w, 2); };
    auto text = [&word](const char* s) {
        for (; *s != '\0'; ++s) word(WORD(static_cast<unsigned char>(*s)));
        word(0);
    };
    struct Item {
        const char* cls;
        const char* title;
        int id;
        DWORD style;
        short x, y, cx, cy;
    };
    const Item items[] = {
        {"Static", "File &name:", stc3, 0, 6, 6, 76, 9},
        {"Edit", "", edt1, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 6, 16, 90, 12},
        {"ListBox", "", lst1, WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_SORT | LBS_NOTIFY, 6, 32,
         90, 68},
        {"Static", "&Folders:", -1, 0, 110, 6, 92, 9},
        {"Static", "", stc1, SS_NOPREFIX, 110, 18, 92, 9},
        {"ListBox", "", lst2, WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY, 110, 32, 92, 68},
        {"Static", "List files of &type:", stc2, 0, 6, 104, 90, 9},
        {"ComboBox", "", cmb1, WS_BORDER | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST, 6, 114,
         90, 36},
        {"Static", "Dri&ves:", -1, 0, 110, 104, 92, 9},
        {"ComboBox", "", cmb2, WS_BORDER | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST, 110, 114,
         92, 68},
        {"Button", "OK", IDOK, WS_TABSTOP | BS_DEFPUSHBUTTON, 208, 6, 50, 14},
        {"Button", "Cancel", IDCANCEL, WS_TABSTOP, 208, 24, 50, 14},
        {"Button", "&Help", pshHelp, WS_TABSTOP, 208, 46, 50, 14},
        {"Button", "&Read only", chx1, WS_TABSTOP | BS_AUTOCHECKBOX, 208, 68, 50, 12},
    };
    DLGTEMPLATE head{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0,
                     WORD(sizeof items / sizeof items[0]), 0, 0, 264, 134};
    append(&head, sizeof head);
    word(0);
    word(0);
    text("");
    for (const Item& item : items) {
        while (bytes.size() % 4 != 0) bytes.push_back(0);
        DLGITEMTEMPLATE t{item.style | WS_CHILD | WS_VISIBLE, 0, item.x, item.y, item.cx,
                          item.cy, WORD(item.id)};
        append(&t, sizeof t);
        text(item.cls);
        text(item.title);
        word(0);
    }
    return bytes;
}

const std::vector<BYTE>& defaultTemplate() {
    static const std::vector<BYTE> bytes = builtInTemplate();
    return bytes;
}

std::string nameOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool hasWildcard(const std::string& s) {
    return s.find_first_of("*?") != std::string::npos;
}

bool matches(const std::string& patterns, const std::string& name) {
    std::size_t start = 0;
    while (start <= patterns.size()) {
        std::size_t end = patterns.find(';', start);
        if (end == std::string::npos) end = patterns.size();
        std::string pattern = patterns.substr(start, end - start);
        pattern.erase(0, pattern.find_first_not_of(' '));
        // "*.*" names every file, with an extension or not.
        if (pattern == "*.*" || pattern == "*") return true;
        if (!pattern.empty() && fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

// The child template's procedure: what its controls tell it goes on to the file dialog.
INT_PTR childTemplateProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return FALSE;
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
        ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT,
                            ::SendMessageA(::GetParent(hwnd), message, wParam, lParam));
        return TRUE;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        // Colour answers are the returned brush itself.
        return INT_PTR(::SendMessageA(::GetParent(hwnd), message, wParam, lParam));
    default:
        return FALSE;
    }
}

} // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName,
                         DWORD dwFlags, LPCSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog) {
    m_pParentWnd = pParentWnd;
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = sizeof m_szFileName;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = sizeof m_szFileTitle;
    m_ofn.Flags = dwFlags;
    m_ofn.lpstrDefExt = lpszDefExt;
    m_ofn.nFilterIndex = 1;
    if (lpszFileName != nullptr) std::snprintf(m_szFileName, sizeof m_szFileName, "%s", lpszFileName);
    if (lpszFilter != nullptr) {
        // "a|b|c|d||" becomes the NUL-separated list the dialog reads.
        m_strFilter = lpszFilter;
        std::string filter(static_cast<LPCSTR>(m_strFilter), std::size_t(m_strFilter.GetLength()));
        std::replace(filter.begin(), filter.end(), '|', '\0');
        filter.push_back('\0');
        filter.push_back('\0');
        m_strFilter = CString(filter.data(), int(filter.size()));
        m_ofn.lpstrFilter = m_strFilter;
    }
}

CFileDialog::~CFileDialog() = default;

bool CFileDialog::hasChildTemplate() const {
    return (m_ofn.Flags & OFN_EXPLORER) && (m_ofn.Flags & OFN_ENABLETEMPLATE) &&
           m_ofn.lpTemplateName != nullptr;
}

LPCDLGTEMPLATE CFileDialog::FindTemplate(int* templateId) const {
    *templateId = 0;
    if (!hasChildTemplate() && (m_ofn.Flags & OFN_ENABLETEMPLATE) &&
        m_ofn.lpTemplateName != nullptr) {
        HINSTANCE module = m_ofn.hInstance != nullptr ? m_ofn.hInstance : AfxGetResourceHandle();
        HRSRC found = ::FindResourceA(module, m_ofn.lpTemplateName, RT_DIALOG);
        if (found == nullptr) return nullptr;
        if (IS_INTRESOURCE(m_ofn.lpTemplateName))
            *templateId = int(reinterpret_cast<UINT_PTR>(m_ofn.lpTemplateName));
        return static_cast<LPCDLGTEMPLATE>(::LockResource(::LoadResource(module, found)));
    }
    return reinterpret_cast<LPCDLGTEMPLATE>(defaultTemplate().data());
}

INT_PTR CFileDialog::DoModal() {
    m_ofn.hwndOwner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    std::error_code error;
    std::string start;
    if (m_ofn.lpstrInitialDir != nullptr && *m_ofn.lpstrInitialDir != '\0') {
        start = m_ofn.lpstrInitialDir;
    } else {
        const std::string file = m_ofn.lpstrFile != nullptr ? m_ofn.lpstrFile : "";
        const auto slash = file.find_last_of("/\\");
        if (slash != std::string::npos) start = file.substr(0, slash == 0 ? 1 : slash);
    }
    if (start.empty() || !fs::is_directory(start, error)) start = fs::current_path(error).string();
    m_folder = fs::absolute(start, error).lexically_normal().string();
    if (m_folder.size() > 1 && m_folder.back() == '/') m_folder.pop_back();
    return CDialog::DoModal();
}

void CFileDialog::PreInitDialog() {
    if (m_ofn.lpstrTitle != nullptr) SetWindowText(m_ofn.lpstrTitle);
    else if (GetWindowTextLength() == 0) SetWindowText(m_bOpenFileDialog ? "Open" : "Save As");
    if (HWND help = ::GetDlgItem(m_hWnd, pshHelp); help && !(m_ofn.Flags & OFN_SHOWHELP))
        ::ShowWindow(help, SW_HIDE);
    if (HWND readOnly = ::GetDlgItem(m_hWnd, chx1)) {
        if (m_ofn.Flags & OFN_HIDEREADONLY) ::ShowWindow(readOnly, SW_HIDE);
        ::SendMessageA(readOnly, BM_SETCHECK, (m_ofn.Flags & OFN_READONLY) ? 1 : 0, 0);
    }
    if (HWND types = ::GetDlgItem(m_hWnd, cmb1)) {
        for (LPCSTR p = m_ofn.lpstrFilter; p != nullptr && *p != '\0';) {
            ::SendMessageA(types, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p));
            p += std::strlen(p) + 1;
            if (*p == '\0') break;
            p += std::strlen(p) + 1;
        }
        const int index = m_ofn.nFilterIndex > 0 ? int(m_ofn.nFilterIndex) - 1 : 0;
        ::SendMessageA(types, CB_SETCURSEL, WPARAM(index), 0);
    }
    if (HWND name = ::GetDlgItem(m_hWnd, edt1))
        ::SetWindowTextA(name, nameOf(m_ofn.lpstrFile != nullptr ? m_ofn.lpstrFile : "").c_str());
    fillLists();
    if (hasChildTemplate()) createChildTemplate();
}

void CFileDialog::createChildTemplate() {
    m_hWndChild = nullptr;
    HINSTANCE module = m_ofn.hInstance != nullptr ? m_ofn.hInstance : AfxGetResourceHandle();
    HRSRC found = ::FindResourceA(module, m_ofn.lpTemplateName, RT_DIALOG);
    if (found == nullptr) return;
    auto child = static_cast<LPCDLGTEMPLATE>(::LockResource(::LoadResource(module, found)));
    if (child == nullptr) return;
    m_hWndChild = ::CreateDialogIndirectParamA(module, child, m_hWnd, childTemplateProc, 0);
    if (m_hWndChild == nullptr) return;
    // Below the standard controls, the dialog grown to hold it.
    RECT client{}, inner{}, outer{};
    ::GetClientRect(m_hWnd, &client);
    ::GetClientRect(m_hWndChild, &inner);
    ::SetWindowPos(m_hWndChild, nullptr, 0, client.bottom, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(m_hWndChild, SW_SHOWNA);
    ::GetWindowRect(m_hWnd, &outer);
    const int grow = int(inner.right) - int(client.right);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, outer.right - outer.left + (grow > 0 ? grow : 0),
                   outer.bottom - outer.top + inner.bottom,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string CFileDialog::currentPatterns() const {
    const int index = m_hWnd != nullptr
                          ? int(::SendDlgItemMessageA(m_hWnd, cmb1, CB_GETCURSEL, 0, 0))
                          : int(m_ofn.nFilterIndex) - 1;
    int i = 0;
    for (LPCSTR p = m_ofn.lpstrFilter; p != nullptr && *p != '\0'; ++i) {
        LPCSTR pattern = p + std::strlen(p) + 1;
        if (*pattern == '\0') break;
        if (i == std::max(index, 0)) return pattern;
        p = pattern + std::strlen(pattern) + 1;
    }
    return "*.*";
}

void CFileDialog::fillLists() {
    std::error_code error;
    m_folderEntries.clear();
    HWND folders = ::GetDlgItem(m_hWnd, lst2);
    HWND files = ::GetDlgItem(m_hWnd, lst1);
    if (folders != nullptr) ::SendMessageA(folders, LB_RESETCONTENT, 0, 0);
    if (files != nullptr) ::SendMessageA(files, LB_RESETCONTENT, 0, 0);
    // The way down from the root, then the subfolders.
    std::vector<std::string> chain;
    for (fs::path p = m_folder;; p = p.parent_path()) {
        chain.push_back(p.string());
        if (p == p.root_path() || p.parent_path() == p) break;
    }
    std::reverse(chain.begin(), chain.end());
    for (const std::string& path : chain) {
        m_folderEntries.push_back(path);
        if (folders != nullptr) {
            const std::string shown = path == "/" ? "/" : nameOf(path);
            ::SendMessageA(folders, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
        }
    }
    const int current = int(m_folderEntries.size()) - 1;
    std::vector<std::string> subfolders;
    std::vector<std::string> names;
    const std::string patterns = currentPatterns();
    for (fs::directory_iterator it(m_folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.') continue;
        std::error_code kind;
        if (it->is_directory(kind)) subfolders.push_back(name);
        else if (matches(patterns, name)) names.push_back(name);
    }
    std::sort(subfolders.begin(), subfolders.end());
    for (const std::string& name : subfolders) {
        m_folderEntries.push_back((fs::path(m_folder) / name).string());
        if (folders != nullptr)
            ::SendMessageA(folders, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    if (folders != nullptr) ::SendMessageA(folders, LB_SETCURSEL, WPARAM(current), 0);
    if (files != nullptr)
        for (const std::string& name : names)
            ::SendMessageA(files, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SetDlgItemText(stc1, m_folder.c_str());
}

bool CFileDialog::openFolder(const std::string& folder) {
    std::error_code error;
    if (!fs::is_directory(folder, error)) return false;
    m_folder = fs::absolute(folder, error).lexically_normal().string();
    if (m_folder.size() > 1 && m_folder.back() == '/') m_folder.pop_back();
    fillLists();
    return true;
}

void CFileDialog::OnFolderOpen() {
    const int index = int(::SendDlgItemMessageA(m_hWnd, lst2, LB_GETCURSEL, 0, 0));
    if (index >= 0 && index < int(m_folderEntries.size())) openFolder(m_folderEntries[std::size_t(index)]);
}

void CFileDialog::OnFileDblClk() {
    const int index = int(::SendDlgItemMessageA(m_hWnd, lst1, LB_GETCURSEL, 0, 0));
    if (index < 0) return;
    char name[512] = {};
    if (::SendDlgItemMessageA(m_hWnd, lst1, LB_GETTEXTLEN, WPARAM(index), 0) >= LRESULT(sizeof name))
        return;
    ::SendDlgItemMessageA(m_hWnd, lst1, LB_GETTEXT, WPARAM(index), reinterpret_cast<LPARAM>(name));
    SetDlgItemText(edt1, name);
    OnOK();
}

void CFileDialog::OnTypeChange() {
    fillLists();
}

void CFileDialog::OnFileSelChange() {
    const int index = int(::SendDlgItemMessageA(m_hWnd, lst1, LB_GETCURSEL, 0, 0));
    if (index < 0) return;
    char name[512] = {};
    if (::SendDlgItemMessageA(m_hWnd, lst1, LB_GETTEXTLEN, WPARAM(index), 0) >=
        LRESULT(sizeof name))
        return;
    ::SendDlgItemMessageA(m_hWnd, lst1, LB_GETTEXT, WPARAM(index), reinterpret_cast<LPARAM>(name));
    SetDlgItemText(edt1, name);
    OnFileNameChange();
}

void CFileDialog::OnFileNameChange() {}

CString CFileDialog::GetCurrentFilePath() const {
    CString typed;
    if (m_hWnd != nullptr) GetDlgItemText(edt1, typed);
    std::string text(typed);
    if (text.empty()) return CString();
    std::replace(text.begin(), text.end(), '\\', '/');
    const fs::path path = text.front() == '/' ? fs::path(text) : fs::path(m_folder) / text;
    return CString(path.lexically_normal().string().c_str());
}

BOOL CFileDialog::OnFileNameOK() {
    return FALSE;
}

void CFileDialog::OnOK() {
    // Enter on the folder list opens the folder chosen there.
    const HWND folders = ::GetDlgItem(m_hWnd, lst2);
    if (folders != nullptr && ::GetFocus() == folders) {
        const int index = int(::SendMessageA(folders, LB_GETCURSEL, 0, 0));
        if (index >= 0 && index < int(m_folderEntries.size()) &&
            m_folderEntries[std::size_t(index)] != m_folder) {
            openFolder(m_folderEntries[std::size_t(index)]);
            return;
        }
    }
    CString typed;
    GetDlgItemText(edt1, typed);
    std::string text(typed);
    text.erase(0, text.find_first_not_of(' '));
    while (!text.empty() && text.back() == ' ') text.pop_back();
    if (text.empty()) {
        ::MessageBeep(0);
        return;
    }
    if (hasWildcard(text)) {
        // A pattern typed into the name field filters the file list.
        const std::string folder = text.find_first_of("/\\") != std::string::npos
                                       ? text.substr(0, text.find_last_of("/\\"))
                                       : std::string();
        if (!folder.empty() && !openFolder(folder)) return;
        const std::string pattern = nameOf(text);
        HWND files = ::GetDlgItem(m_hWnd, lst1);
        ::SendMessageA(files, LB_RESETCONTENT, 0, 0);
        std::error_code error;
        std::vector<std::string> names;
        for (fs::directory_iterator it(m_folder, error), end; !error && it != end;
             it.increment(error)) {
            std::error_code kind;
            const std::string name = it->path().filename().string();
            if (!it->is_directory(kind) && matches(pattern, name)) names.push_back(name);
        }
        for (const std::string& name : names)
            ::SendMessageA(files, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        return;
    }
    std::replace(text.begin(), text.end(), '\\', '/');
    fs::path path = text.front() == '/' ? fs::path(text) : fs::path(m_folder) / text;
    path = path.lexically_normal();
    std::error_code error;
    if (fs::is_directory(path, error)) {
        openFolder(path.string());
        SetDlgItemText(edt1, "");
        return;
    }
    if (!path.has_extension() && m_ofn.lpstrDefExt != nullptr && *m_ofn.lpstrDefExt != '\0')
        path += std::string(".") + m_ofn.lpstrDefExt;
    const std::string full = path.string();
    const bool exists = fs::exists(path, error);
    if ((m_ofn.Flags & OFN_PATHMUSTEXIST) && !fs::is_directory(path.parent_path(), error)) {
        MessageBox((full + "\nThe folder does not exist.").c_str(), nullptr,
                   MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (m_bOpenFileDialog && (m_ofn.Flags & OFN_FILEMUSTEXIST) && !exists) {
        MessageBox((full + "\nFile not found.").c_str(), nullptr, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (!m_bOpenFileDialog && (m_ofn.Flags & OFN_OVERWRITEPROMPT) && exists &&
        MessageBox((full + " already exists.\nDo you want to replace it?").c_str(), nullptr,
                   MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    if (m_ofn.lpstrFile == nullptr || full.size() + 1 > m_ofn.nMaxFile) {
        MessageBox("The path is too long.", nullptr, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    std::memcpy(m_ofn.lpstrFile, full.c_str(), full.size() + 1);
    const std::string name = nameOf(full);
    m_ofn.nFileOffset = WORD(full.size() - name.size());
    const auto dot = name.find_last_of('.');
    m_ofn.nFileExtension = dot == std::string::npos ? WORD(full.size())
                                                    : WORD(m_ofn.nFileOffset + dot + 1);
    if (m_ofn.lpstrFileTitle != nullptr && m_ofn.nMaxFileTitle > 0)
        std::snprintf(m_ofn.lpstrFileTitle, m_ofn.nMaxFileTitle, "%s", name.c_str());
    const int type = int(::SendDlgItemMessageA(m_hWnd, cmb1, CB_GETCURSEL, 0, 0));
    if (type >= 0) m_ofn.nFilterIndex = DWORD(type + 1);
    if (HWND readOnly = ::GetDlgItem(m_hWnd, chx1)) {
        if (::SendMessageA(readOnly, BM_GETCHECK, 0, 0)) m_ofn.Flags |= OFN_READONLY;
        else m_ofn.Flags &= ~OFN_READONLY;
    }
    if (OnFileNameOK()) return;
    CDialog::OnOK();
}

CString CFileDialog::GetPathName() const {
    return CString(m_ofn.lpstrFile);
}

CString CFileDialog::GetFileName() const {
    return CString(nameOf(m_ofn.lpstrFile != nullptr ? m_ofn.lpstrFile : "").c_str());
}

CString CFileDialog::GetFileExt() const {
    const std::string name = nameOf(m_ofn.lpstrFile != nullptr ? m_ofn.lpstrFile : "");
    const auto dot = name.find_last_of('.');
    return dot == std::string::npos ? CString() : CString(name.substr(dot + 1).c_str());
}

CString CFileDialog::GetFileTitle() const {
    const std::string name = nameOf(m_ofn.lpstrFile != nullptr ? m_ofn.lpstrFile : "");
    const auto dot = name.find_last_of('.');
    return CString(name.substr(0, dot).c_str());
}

BOOL CFileDialog::GetReadOnlyPref() const {
    return (m_ofn.Flags & OFN_READONLY) != 0;
}
