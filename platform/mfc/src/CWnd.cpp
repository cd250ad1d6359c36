#include "mfc/CWnd.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "win32/shellapi.h"
#include <unordered_map>
#include <vector>

#include "WndState.h"
#include "mfc/CCmdUI.h"
#include "mfc/CDC.h"
#include "mfc/CMenu.h"
#include "mfc/CWinApp.h"
#include "win32/controls.h"

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

namespace sdwnd {

WndState& state() {
    static WndState s;
    return s;
}

WndState::~WndState() {
    for (auto& [h, w] : temporary) w->m_hWnd = nullptr;
    temporary.clear();
}

void deleteTemporaries() {
    WndState& s = state();
    if (s.tempLocks > 0) return;
    auto doomed = std::move(s.temporary);
    s.temporary.clear();
    for (auto& [h, w] : doomed) w->m_hWnd = nullptr;
}

} // namespace sdwnd

using sdwnd::state;

namespace {

// Keeps the message being handled and the temporary maps for one call of a procedure.
class CallScope {
public:
    CallScope(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) : saved_(state().current) {
        state().current = MSG{hWnd, nMsg, wParam, lParam, 0, {0, 0}};
        AfxLockTempMaps();
    }
    ~CallScope() {
        state().current = saved_;
        AfxUnlockTempMaps(FALSE);
    }
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;

private:
    MSG saved_;
};

// After WM_NCDESTROY the object lets go of its handle.
void forgetDestroyed(HWND hWnd) {
    auto it = state().permanent.find(hWnd);
    if (it == state().permanent.end()) return;
    CWnd* wnd = it->second;
    state().permanent.erase(it);
    if (wnd->m_hWnd == hWnd) wnd->m_hWnd = nullptr;
    wnd->PostNcDestroy();
}

} // namespace

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    {
        CallScope scope(hWnd, nMsg, wParam, lParam);
        result = pWnd->WindowProc(nMsg, wParam, lParam);
    }
    if (nMsg == WM_NCDESTROY) forgetDestroyed(hWnd);
    return result;
}

LRESULT AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
    if (wnd == nullptr && state().creating != nullptr) {
        // The first message of a window that CreateEx is making: attach it now.
        wnd = state().creating;
        state().creating = nullptr;
        wnd->Attach(hWnd);
    }
    if (wnd == nullptr) return ::DefWindowProcA(hWnd, nMsg, wParam, lParam);
    return AfxCallWndProc(wnd, hWnd, nMsg, wParam, lParam);
}

LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
    static std::unordered_map<std::string, std::string> names;
    char name[96];
    std::snprintf(name, sizeof name, "Afx:%x:%p:%p:%p", nClassStyle, static_cast<void*>(hCursor),
                  static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
    WNDCLASSA existing{};
    if (::GetClassInfoA(AfxGetInstanceHandle(), name, &existing)) return names[name].c_str();
    WNDCLASSA wc{};
    wc.style = nClassStyle;
    wc.lpfnWndProc = AfxWndProc;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hIcon = hIcon;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.lpszClassName = name;
    if (::RegisterClassA(&wc) == 0) return nullptr;
    std::string& kept = names[name];
    kept = name;
    return kept.c_str();
}

void AfxLockTempMaps() {
    ++state().tempLocks;
}

BOOL AfxUnlockTempMaps(BOOL bDeleteTemps) {
    sdwnd::WndState& s = state();
    if (s.tempLocks > 0 && --s.tempLocks == 0 && bDeleteTemps) {
        sdwnd::deleteTemporaries();
        AfxDeleteTempGdiObjects();
        AfxDeleteTempMenus();
        return TRUE;
    }
    return FALSE;
}

// ---- the object ----

CWnd::~CWnd() {
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) {
        // The window outlives nothing that owned it; WM_NCDESTROY finds no object any more.
        HWND hWnd = m_hWnd;
        if (m_pfnSuper != nullptr) UnsubclassWindow();
        else Detach();
        ::DestroyWindow(hWnd);
    }
}

HWND CWnd::GetSafeHwnd() const {
    // Callers rely on a null CWnd* giving a null handle; keep the compiler from assuming that
    // this is never null.
    const CWnd* self = this;
    asm("" : "+r"(self));
    return self == nullptr ? nullptr : self->m_hWnd;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    if (hWnd == nullptr) return nullptr;
    auto it = state().permanent.find(hWnd);
    return it != state().permanent.end() ? it->second : nullptr;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (hWnd == nullptr) return nullptr;
    if (CWnd* wnd = FromHandlePermanent(hWnd)) return wnd;
    auto& temporary = state().temporary;
    auto it = temporary.find(hWnd);
    if (it != temporary.end()) return it->second.get();
    auto wnd = sdwnd::makeTemporary(hWnd);
    wnd->m_hWnd = hWnd;
    CWnd* result = wnd.get();
    temporary.emplace(hWnd, std::move(wnd));
    return result;
}

BOOL CWnd::Attach(HWND hWndNew) {
    if (hWndNew == nullptr || !::IsWindow(hWndNew) || FromHandlePermanent(hWndNew) != nullptr)
        return FALSE;
    // A temporary wrapper of the same window goes.
    auto& temporary = state().temporary;
    if (auto it = temporary.find(hWndNew); it != temporary.end()) {
        if (state().tempLocks == 0) {
            it->second->m_hWnd = nullptr;
            temporary.erase(it);
        }
    }
    state().permanent[hWndNew] = this;
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr) {
        auto it = state().permanent.find(hWnd);
        if (it != state().permanent.end() && it->second == this) state().permanent.erase(it);
    }
    m_hWnd = nullptr;
    return hWnd;
}

// ---- creation ----

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (cs.lpszClass == nullptr) {
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, nullptr, nullptr, nullptr);
    }
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam) {
    if (m_hWnd != nullptr) return FALSE;
    CREATESTRUCT cs{lpParam, AfxGetInstanceHandle(), nIDorHMenu, hWndParent, nHeight, nWidth, y,
                    x, LONG(dwStyle), lpszWindowName, lpszClassName, dwExStyle};
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    CWnd* const savedCreating = state().creating;
    state().creating = this;
    HWND hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, DWORD(cs.style), cs.x,
                                  cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance,
                                  cs.lpCreateParams);
    const bool attachedEarly = state().creating != this;
    state().creating = savedCreating;
    if (hWnd == nullptr) {
        if (attachedEarly) Detach();
        PostNcDestroy();
        return FALSE;
    }
    if (!attachedEarly) {
        // A class with a procedure of its own: the object takes the window over now.
        if (!SubclassWindow(hWnd)) return FALSE;
    } else if (m_pfnSuper == nullptr) {
        WNDPROC proc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
        m_pfnSuper = proc == AfxWndProc ? ::DefWindowProcA : proc;
    }
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, (pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr),
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, void*) {
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

void CWnd::PostNcDestroy() {}

// ---- subclassing ----

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!Attach(hWnd)) return FALSE;
    WNDPROC old = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    // A window that already ran through AfxWndProc keeps the default procedure behind it.
    m_pfnSuper = old == AfxWndProc || old == nullptr ? ::DefWindowProcA : old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    HWND hWndControl = ::GetDlgItem((pParent != nullptr ? pParent->m_hWnd : nullptr), int(nID));
    return hWndControl != nullptr && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow() {
    if (m_hWnd == nullptr) return nullptr;
    if (m_pfnSuper != nullptr && m_pfnSuper != ::DefWindowProcA)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

// ---- message processing ----

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper != nullptr) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    const MSG& m = state().current;
    return DefWindowProc(m.message, m.wParam, m.lParam);
}

const MSG* CWnd::GetCurrentMessage() {
    return &state().current;
}

namespace {

bool isChildNotification(UINT message) {
    switch (message) {
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return true;
    default:
        return false;
    }
}

// The control a child notification comes from.
HWND notifyingChild(HWND self, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return item != nullptr && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_MEASUREITEM:
        return wParam != 0 ? ::GetDlgItem(self, int(wParam)) : nullptr;
    default:
        return reinterpret_cast<HWND>(lParam);
    }
}

} // namespace

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    LRESULT result = 0;
    BOOL handled = FALSE;
    if (message == WM_COMMAND) {
        handled = OnCommand(wParam, lParam);
        result = 1;
    } else if (message == WM_NOTIFY) {
        handled = OnNotify(wParam, lParam, &result);
    } else if (const AFX_MSGMAP_ENTRY* entry =
                   FindMessageEntry(GetMessageMap(), message, 0, 0)) {
        result = entry->pfn(this, AFX_MSGCALL{message, wParam, lParam, 0, 0, nullptr});
        handled = TRUE;
    } else if (isChildNotification(message)) {
        // Unhandled here: the control's own object may want it.
        HWND child = notifyingChild(m_hWnd, message, wParam, lParam);
        if (child != nullptr && child != m_hWnd && ReflectLastMsg(child, &result)) handled = TRUE;
    }
    if (handled && pResult != nullptr) *pResult = result;
    return handled;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT nID = LOWORD(DWORD(wParam));
    HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    int nCode = HIWORD(DWORD(wParam));
    if (hWndCtrl == nullptr) {
        // Menu item or accelerator: a command that has become disabled is not run.
        if (nID == 0) return FALSE;
        CTestCmdUI state;
        state.m_nID = nID;
        OnCmdMsg(nID, CN_UPDATE_COMMAND_UI, &state, nullptr);
        if (!state.m_bEnabled) return FALSE;
        nCode = CN_COMMAND;
    } else {
        if (hWndCtrl != m_hWnd && ReflectLastMsg(hWndCtrl)) return TRUE;
        if (nID == 0) return FALSE;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header == nullptr) return FALSE;
    if (header->hwndFrom != nullptr && header->hwndFrom != m_hWnd &&
        ReflectLastMsg(header->hwndFrom, pResult))
        return TRUE;
    AFX_NOTIFY notify{pResult, header};
    return OnCmdMsg(UINT(header->idFrom), int(MAKELONG(WORD(header->code), WM_NOTIFY)), &notify,
                    nullptr);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    LRESULT result = 0;
    BOOL handled = FALSE;
    if (message == WM_COMMAND) {
        const int code = HIWORD(DWORD(wParam));
        if (const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(
                GetMessageMap(), WM_COMMAND + WM_REFLECT_BASE, code, 0)) {
            entry->pfn(this, AFX_MSGCALL{message, wParam, lParam, LOWORD(DWORD(wParam)), code,
                                         nullptr});
            handled = TRUE;
        }
    } else if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        const int code = int(header->code);
        if (const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(
                GetMessageMap(), WM_NOTIFY + WM_REFLECT_BASE, code, 0)) {
            AFX_NOTIFY notify{&result, header};
            entry->pfn(this, AFX_MSGCALL{message, wParam, lParam, UINT(header->idFrom), code,
                                         &notify});
            handled = TRUE;
        }
    } else if (const AFX_MSGMAP_ENTRY* entry =
                   FindMessageEntry(GetMessageMap(), message + WM_REFLECT_BASE, 0, 0)) {
        result = entry->pfn(this, AFX_MSGCALL{message, wParam, lParam, 0, 0, nullptr});
        handled = TRUE;
    }
    if (handled && pResult != nullptr) *pResult = result;
    return handled;
}

BOOL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult) {
    CWnd* child = FromHandlePermanent(hWndChild);
    if (child == nullptr) return FALSE;
    const MSG& m = state().current;
    return child->OnChildNotify(m.message, m.wParam, m.lParam, pResult);
}

BOOL CWnd::SendChildNotifyLastMsg(LRESULT* pResult) {
    const MSG& m = state().current;
    return OnChildNotify(m.message, m.wParam, m.lParam, pResult);
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
    for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        if (CWnd* wnd = FromHandlePermanent(hWnd)) {
            if (wnd->PreTranslateMessage(pMsg)) return TRUE;
        }
        if (hWnd == hWndStop) break;
    }
    return FALSE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

namespace {

void sendToDescendants(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep,
                       BOOL bOnlyPerm) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(hWnd, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    for (HWND child : children) {
        if (!::IsWindow(child)) continue;
        if (bOnlyPerm) {
            if (CWnd* wnd = CWnd::FromHandlePermanent(child))
                AfxCallWndProc(wnd, child, message, wParam, lParam);
        } else {
            ::SendMessageA(child, message, wParam, lParam);
        }
        if (bDeep && ::IsWindow(child))
            sendToDescendants(child, message, wParam, lParam, bDeep, bOnlyPerm);
    }
}

} // namespace

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep,
                                    BOOL bOnlyPerm) {
    if (m_hWnd != nullptr) sendToDescendants(m_hWnd, message, wParam, lParam, bDeep, bOnlyPerm);
}

// ---- relations ----

CWnd* CWnd::GetDlgItem(int nID) const {
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

void CWnd::GetDlgItem(int nID, HWND* phWnd) const {
    *phWnd = ::GetDlgItem(m_hWnd, nID);
}

int CWnd::GetDlgCtrlID() const {
    return ::GetDlgCtrlID(m_hWnd);
}

int CWnd::SetDlgCtrlID(int nID) {
    return int(::SetWindowLongPtrA(m_hWnd, GWLP_ID, nID));
}

CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}

CWnd* CWnd::GetOwner() const {
    return FromHandle(::GetWindow(m_hWnd, GW_OWNER));
}

CWnd* CWnd::GetTopLevelParent() const {
    return FromHandle(::GetAncestor(m_hWnd, GA_ROOT));
}

CWnd* CWnd::GetWindow(UINT nCmd) const {
    return FromHandle(::GetWindow(m_hWnd, nCmd));
}

BOOL CWnd::IsChild(const CWnd* pWnd) const {
    return ::IsChild(m_hWnd, (pWnd != nullptr ? pWnd->m_hWnd : nullptr));
}

// ---- text, state, style ----

void CWnd::SetWindowText(LPCSTR lpszString) {
    ::SetWindowTextA(m_hWnd, lpszString);
}

int CWnd::GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const {
    return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount);
}

void CWnd::GetWindowText(CString& rString) const {
    const int length = ::GetWindowTextLengthA(m_hWnd);
    const int copied = ::GetWindowTextA(m_hWnd, rString.GetBuffer(length), length + 1);
    rString.ReleaseBuffer(copied);
}

int CWnd::GetWindowTextLength() const {
    return ::GetWindowTextLengthA(m_hWnd);
}

void CWnd::SetDlgItemText(int nID, LPCSTR lpszString) {
    if (HWND item = ::GetDlgItem(m_hWnd, nID)) ::SetWindowTextA(item, lpszString);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const {
    rString.Empty();
    if (HWND item = ::GetDlgItem(m_hWnd, nID)) FromHandle(item)->GetWindowText(rString);
    return rString.GetLength();
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    return ::EnableWindow(m_hWnd, bEnable);
}

BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    return ::ShowWindow(m_hWnd, nCmdShow);
}

BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}

DWORD CWnd::GetStyle() const {
    return DWORD(::GetWindowLongA(m_hWnd, GWL_STYLE));
}

DWORD CWnd::GetExStyle() const {
    return DWORD(::GetWindowLongA(m_hWnd, GWL_EXSTYLE));
}

namespace {

BOOL modifyStyle(HWND hWnd, int index, DWORD remove, DWORD add, UINT flags) {
    const DWORD style = DWORD(::GetWindowLongA(hWnd, index));
    const DWORD changed = (style & ~remove) | add;
    if (changed == style) return FALSE;
    ::SetWindowLongA(hWnd, index, LONG(changed));
    if (flags != 0)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}

} // namespace

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return modifyStyle(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

void CWnd::DragAcceptFiles(BOOL bAccept) {
    if (m_hWnd != nullptr) ::DragAcceptFiles(m_hWnd, bAccept);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return modifyStyle(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

// ---- geometry and painting ----

void CWnd::GetClientRect(LPRECT lpRect) const {
    ::GetClientRect(m_hWnd, lpRect);
}

void CWnd::GetWindowRect(LPRECT lpRect) const {
    ::GetWindowRect(m_hWnd, lpRect);
}

void CWnd::ClientToScreen(LPPOINT lpPoint) const {
    ::ClientToScreen(m_hWnd, lpPoint);
}

void CWnd::ClientToScreen(LPRECT lpRect) const {
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&lpRect->left));
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&lpRect->right));
}

void CWnd::ScreenToClient(LPPOINT lpPoint) const {
    ::ScreenToClient(m_hWnd, lpPoint);
}

void CWnd::ScreenToClient(LPRECT lpRect) const {
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&lpRect->left));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&lpRect->right));
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
    MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left,
               lpRect->bottom - lpRect->top, bRepaint);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    return ::SetWindowPos(m_hWnd, (pWndInsertAfter != nullptr ? pWndInsertAfter->m_hWnd : nullptr), x, y, cx, cy, nFlags);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
    RECT self{};
    ::GetWindowRect(m_hWnd, &self);
    const bool child = (GetStyle() & WS_CHILD) != 0;
    HWND center = pAlternateOwner != nullptr ? pAlternateOwner->m_hWnd : ::GetParent(m_hWnd);
    RECT area{0, 0, SD_SCREEN_WIDTH, SD_SCREEN_HEIGHT};
    if (child) {
        ::GetClientRect(::GetParent(m_hWnd), &area);
    } else if (center != nullptr && ::IsWindowVisible(center) && !::IsIconic(center)) {
        ::GetWindowRect(center, &area);
    }
    const int width = self.right - self.left;
    const int height = self.bottom - self.top;
    int x = (area.left + area.right) / 2 - width / 2;
    int y = (area.top + area.bottom) / 2 - height / 2;
    if (!child) {
        // A top-level window stays on the screen.
        x = std::max(0, std::min(x, SD_SCREEN_WIDTH - width));
        y = std::max(0, std::min(y, SD_SCREEN_HEIGHT - height));
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::Invalidate(BOOL bErase) {
    ::InvalidateRect(m_hWnd, nullptr, bErase);
}

void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) {
    ::InvalidateRect(m_hWnd, lpRect, bErase);
}

void CWnd::ValidateRect(LPCRECT lpRect) {
    ::ValidateRect(m_hWnd, lpRect);
}

void CWnd::UpdateWindow() {
    ::UpdateWindow(m_hWnd);
}

CDC* CWnd::GetDC() {
    return CDC::FromHandle(::GetDC(m_hWnd));
}

int CWnd::ReleaseDC(CDC* pDC) {
    return ::ReleaseDC(m_hWnd, pDC != nullptr ? pDC->m_hDC : nullptr);
}

// ---- focus, capture, timers ----

CWnd* CWnd::SetFocus() {
    return FromHandle(::SetFocus(m_hWnd));
}

CWnd* CWnd::GetFocus() {
    return FromHandle(::GetFocus());
}

CWnd* CWnd::SetCapture() {
    return FromHandle(::SetCapture(m_hWnd));
}

CWnd* CWnd::GetCapture() {
    return FromHandle(::GetCapture());
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer) {
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent) {
    return ::KillTimer(m_hWnd, nIDEvent);
}

int CWnd::MessageBox(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType) {
    if (lpszCaption == nullptr) {
        CWinApp* app = AfxGetApp();
        lpszCaption = app != nullptr && app->m_pszAppName != nullptr ? app->m_pszAppName : "";
    }
    return ::MessageBoxA(m_hWnd, lpszText, lpszCaption, nType);
}
