// The "Edit" class: one text with a selection, a limit, undo of the last change, and the
// notifications of the original (EN_UPDATE then EN_CHANGE for every change of the text,
// EN_MAXTEXT when typing meets the limit, EN_SETFOCUS / EN_KILLFOCUS).

#include <algorithm>
#include <cctype>
#include <cstring>

#include "ControlSupport.h"
#include "win32/clipboard.h"
#include "win32/kernel.h"

namespace sdctl {

namespace {

constexpr size_t defaultLimit = 32767;
constexpr size_t largestLimit = 0x7FFFFFFE;

struct EditState {
    std::string text;
    size_t anchor = 0; // the selection runs from anchor to caret
    size_t caret = 0;
    size_t limit = defaultLimit;
    bool modified = false;
    bool canUndo = false;
    std::string undoText;
    char passwordChar = 0;
    HFONT font = nullptr;
};

size_t selMin(const EditState& s) {
    return std::min(s.anchor, s.caret);
}
size_t selMax(const EditState& s) {
    return std::max(s.anchor, s.caret);
}

void changed(HWND hwnd) {
    notifyCommand(hwnd, EN_UPDATE);
    notifyCommand(hwnd, EN_CHANGE);
}

// Replaces the selection. Typing and EM_REPLACESEL keep the limit (what does not fit is
// cut, with EN_MAXTEXT); typing also keeps ES_NUMBER, ES_UPPERCASE and ES_LOWERCASE.
bool replaceSelection(HWND hwnd, EditState& s, std::string insert, bool typed, bool undoable) {
    DWORD style = styleOf(hwnd);
    if (typed && (style & ES_READONLY)) {
        MessageBeep(MB_OK);
        return false;
    }
    if (typed && (style & ES_NUMBER) &&
        !std::all_of(insert.begin(), insert.end(),
                     [](char c) { return c >= '0' && c <= '9'; })) {
        MessageBeep(MB_OK);
        return false;
    }
    if (style & (ES_UPPERCASE | ES_LOWERCASE))
        for (char& c : insert)
            c = char((style & ES_UPPERCASE) ? std::toupper(static_cast<unsigned char>(c))
                                            : std::tolower(static_cast<unsigned char>(c)));
    if (!(style & ES_MULTILINE)) {
        // A single line ends at the first line break.
        size_t end = insert.find_first_of("\r\n");
        if (end != std::string::npos) insert.resize(end);
    }
    size_t from = selMin(s);
    size_t to = selMax(s);
    size_t kept = s.text.size() - (to - from);
    if (kept + insert.size() > s.limit) {
        size_t room = s.limit > kept ? s.limit - kept : 0;
        insert.resize(room);
        notifyCommand(hwnd, EN_MAXTEXT);
        if (insert.empty() && from == to) return false;
    }
    if (undoable) {
        s.undoText = s.text;
        s.canUndo = true;
    }
    s.text.replace(from, to - from, insert);
    s.caret = s.anchor = from + insert.size();
    s.modified = true;
    changed(hwnd);
    return true;
}

void deleteSpan(HWND hwnd, EditState& s, bool forward) {
    if (styleOf(hwnd) & ES_READONLY) {
        MessageBeep(MB_OK);
        return;
    }
    if (s.anchor == s.caret) {
        if (forward) {
            if (s.caret >= s.text.size()) return;
            s.anchor = s.caret + (s.text.compare(s.caret, 2, "\r\n") == 0 ? 2 : 1);
        } else {
            if (s.caret == 0) return;
            s.anchor = s.caret - (s.caret >= 2 && s.text.compare(s.caret - 2, 2, "\r\n") == 0 ? 2 : 1);
        }
    }
    replaceSelection(hwnd, s, "", false, true);
}

void setSelection(EditState& s, LONG_PTR start, LONG_PTR end) {
    size_t length = s.text.size();
    if (start == -1) { // removes the selection, keeps the caret
        s.anchor = s.caret;
        return;
    }
    auto clampTo = [length](LONG_PTR v) { return v < 0 ? length : std::min<size_t>(size_t(v), length); };
    s.anchor = clampTo(start);
    s.caret = clampTo(end);
}

void copySelection(const EditState& s, HWND hwnd) {
    if (s.anchor == s.caret || s.passwordChar) return;
    std::string part = s.text.substr(selMin(s), selMax(s) - selMin(s));
    if (!OpenClipboard(hwnd)) return;
    EmptyClipboard();
    if (HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, part.size() + 1)) {
        if (auto* p = static_cast<char*>(GlobalLock(mem))) {
            std::memcpy(p, part.c_str(), part.size() + 1);
            GlobalUnlock(mem);
            if (!SetClipboardData(CF_TEXT, mem)) GlobalFree(mem);
        } else {
            GlobalFree(mem);
        }
    }
    CloseClipboard();
}

void paste(HWND hwnd, EditState& s) {
    if (!OpenClipboard(hwnd)) return;
    std::string text;
    if (HANDLE mem = GetClipboardData(CF_TEXT)) {
        if (auto* p = static_cast<const char*>(GlobalLock(mem))) {
            text.assign(p, strnlen(p, GlobalSize(mem)));
            GlobalUnlock(mem);
        }
    }
    CloseClipboard();
    if (!text.empty()) replaceSelection(hwnd, s, text, true, true);
}

// Line starts of a multi-line text (lines end at "\r\n").
std::vector<size_t> lineStarts(const std::string& text) {
    std::vector<size_t> starts{0};
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
        starts.push_back(at + 2);
    return starts;
}

size_t lineLength(const std::string& text, size_t start) {
    size_t end = text.find("\r\n", start);
    return (end == std::string::npos ? text.size() : end) - start;
}

void moveCaret(EditState& s, size_t to) {
    s.caret = to;
    if (GetKeyState(VK_SHIFT) >= 0) s.anchor = to;
}

LRESULT onKeyDown(HWND hwnd, EditState& s, WPARAM key) {
    switch (key) {
    case VK_LEFT:
        moveCaret(s, s.caret > 0 ? s.caret - 1 : 0);
        break;
    case VK_RIGHT:
        moveCaret(s, std::min(s.caret + 1, s.text.size()));
        break;
    case VK_HOME:
        moveCaret(s, 0);
        break;
    case VK_END:
        moveCaret(s, s.text.size());
        break;
    case VK_DELETE:
        if (GetKeyState(VK_SHIFT) < 0) {
            SendMessageA(hwnd, WM_CUT, 0, 0);
        } else {
            deleteSpan(hwnd, s, true);
        }
        break;
    default:
        break;
    }
    return 0;
}

LRESULT onChar(HWND hwnd, EditState& s, WPARAM code) {
    DWORD style = styleOf(hwnd);
    switch (code) {
    case 0x08:
        deleteSpan(hwnd, s, false);
        return 0;
    case 0x01: // Ctrl+A
        s.anchor = 0;
        s.caret = s.text.size();
        return 0;
    case 0x03:
        SendMessageA(hwnd, WM_COPY, 0, 0);
        return 0;
    case 0x16:
        SendMessageA(hwnd, WM_PASTE, 0, 0);
        return 0;
    case 0x18:
        SendMessageA(hwnd, WM_CUT, 0, 0);
        return 0;
    case 0x1A:
        SendMessageA(hwnd, EM_UNDO, 0, 0);
        return 0;
    case '\r':
        if ((style & ES_MULTILINE) && (style & ES_WANTRETURN))
            replaceSelection(hwnd, s, "\r\n", true, true);
        return 0;
    default:
        if (code >= 0x20 && code <= 0xFF)
            replaceSelection(hwnd, s, std::string(1, char(code)), true, true);
        return 0;
    }
}

} // namespace

static LRESULT editMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK editProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return handleAndInvalidate(hwnd, msg, wParam, lParam, editMessage,
                               {{WM_LBUTTONDOWN},
                                {WM_KEYDOWN},
                                {WM_CHAR},
                                {WM_CUT},
                                {WM_CLEAR},
                                {WM_PASTE},
                                {WM_UNDO},
                                {EM_UNDO},
                                {EM_SETSEL},
                                {EM_REPLACESEL},
                                {EM_SETREADONLY},
                                {EM_SETPASSWORDCHAR},
                                {EM_SCROLLCARET}});
}

static LRESULT editMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        EditState* s = attachState<EditState>(hwnd);
        auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (cs) s->text = textArgument(reinterpret_cast<LPARAM>(cs->lpszName));
        if (cs && (cs->style & ES_PASSWORD)) s->passwordChar = '*';
        if (!(cs && (cs->style & ES_MULTILINE))) {
            size_t end = s->text.find_first_of("\r\n");
            if (end != std::string::npos) s->text.resize(end);
        }
        return TRUE;
    }
    EditState* s = stateOf<EditState>(hwnd);
    if (!s) return DefWindowProcA(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_PAINT:
        SdPaintControl(hwnd, SdLookState{});
        return 0;
    case WM_NCDESTROY:
        detachState<EditState>(hwnd);
        return 0;
    case WM_SETTEXT: {
        s->text = textArgument(lParam);
        if (!(styleOf(hwnd) & ES_MULTILINE)) {
            size_t end = s->text.find_first_of("\r\n");
            if (end != std::string::npos) s->text.resize(end);
        }
        s->anchor = s->caret = 0;
        s->modified = false;
        s->canUndo = false;
        notifyCommand(hwnd, EN_UPDATE);
        if (!(styleOf(hwnd) & ES_MULTILINE)) notifyCommand(hwnd, EN_CHANGE);
        return TRUE;
    }
    case WM_GETTEXT:
        return copyOut(s->text, wParam, lParam);
    case WM_GETTEXTLENGTH:
        return LRESULT(s->text.size());
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s->font);
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_HASSETSEL | DLGC_WANTCHARS | DLGC_WANTARROWS;
        auto* m = reinterpret_cast<const MSG*>(lParam);
        DWORD style = styleOf(hwnd);
        if ((style & ES_MULTILINE) && (style & ES_WANTRETURN) && m && m->message == WM_KEYDOWN &&
            m->wParam == WPARAM(VK_RETURN))
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_SETFOCUS:
        notifyCommand(hwnd, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        notifyCommand(hwnd, EN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN:
        if (GetFocus() != hwnd) SetFocus(hwnd);
        return 0;
    case WM_KEYDOWN:
        return onKeyDown(hwnd, *s, wParam);
    case WM_CHAR:
        return onChar(hwnd, *s, wParam);
    case WM_COPY:
        copySelection(*s, hwnd);
        return 0;
    case WM_CUT:
        copySelection(*s, hwnd);
        if (s->anchor != s->caret && !s->passwordChar) deleteSpan(hwnd, *s, true);
        return 0;
    case WM_CLEAR:
        if (s->anchor != s->caret) deleteSpan(hwnd, *s, true);
        return 0;
    case WM_PASTE:
        paste(hwnd, *s);
        return 0;
    case WM_UNDO:
    case EM_UNDO: {
        if (!s->canUndo) return FALSE;
        std::swap(s->text, s->undoText);
        s->anchor = s->caret = s->text.size();
        s->modified = true;
        changed(hwnd);
        return TRUE;
    }
    case EM_CANUNDO:
        return s->canUndo;
    case EM_EMPTYUNDOBUFFER:
        s->canUndo = false;
        s->undoText.clear();
        return 0;
    case EM_GETSEL: {
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = DWORD(selMin(*s));
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = DWORD(selMax(*s));
        return LRESULT(MAKELONG(WORD(std::min<size_t>(selMin(*s), 0xFFFF)),
                                WORD(std::min<size_t>(selMax(*s), 0xFFFF))));
    }
    case EM_SETSEL:
        setSelection(*s, LONG_PTR(int(wParam)), LONG_PTR(int(lParam)));
        return 0;
    case EM_REPLACESEL:
        replaceSelection(hwnd, *s, textArgument(lParam), false, wParam != 0);
        return 0;
    case EM_LIMITTEXT:
        s->limit = wParam == 0 ? largestLimit : std::min<size_t>(wParam, largestLimit);
        return 0;
    case EM_GETLIMITTEXT:
        return LRESULT(s->limit);
    case EM_GETMODIFY:
        return s->modified;
    case EM_SETMODIFY:
        s->modified = wParam != 0;
        return 0;
    case EM_SETREADONLY: {
        DWORD style = styleOf(hwnd);
        SetWindowLongA(hwnd, GWL_STYLE, LONG(wParam ? style | ES_READONLY : style & ~ES_READONLY));
        return TRUE;
    }
    case EM_SETPASSWORDCHAR:
        s->passwordChar = char(wParam);
        return 0;
    case EM_GETPASSWORDCHAR:
        return static_cast<unsigned char>(s->passwordChar);
    case EM_SCROLLCARET:
        return TRUE;
    case EM_GETLINECOUNT:
        return LRESULT(lineStarts(s->text).size());
    case EM_LINEINDEX: {
        std::vector<size_t> starts = lineStarts(s->text);
        if (LONG_PTR(int(wParam)) == -1) {
            size_t line = size_t(std::upper_bound(starts.begin(), starts.end(), s->caret) - starts.begin()) - 1;
            return LRESULT(starts[line]);
        }
        return wParam < starts.size() ? LRESULT(starts[wParam]) : -1;
    }
    case EM_LINEFROMCHAR: {
        std::vector<size_t> starts = lineStarts(s->text);
        size_t at = LONG_PTR(int(wParam)) == -1 ? s->caret : size_t(wParam);
        return LRESULT(std::upper_bound(starts.begin(), starts.end(), at) - starts.begin()) - 1;
    }
    case EM_LINELENGTH: {
        std::vector<size_t> starts = lineStarts(s->text);
        size_t at = LONG_PTR(int(wParam)) == -1 ? s->caret : std::min<size_t>(wParam, s->text.size());
        size_t line = size_t(std::upper_bound(starts.begin(), starts.end(), at) - starts.begin()) - 1;
        return LRESULT(lineLength(s->text, starts[line]));
    }
    case EM_GETLINE: {
        // The buffer's first WORD holds its size; the line is copied without a NUL.
        std::vector<size_t> starts = lineStarts(s->text);
        auto* buffer = reinterpret_cast<char*>(lParam);
        if (!buffer || wParam >= starts.size()) return 0;
        WORD size = 0;
        std::memcpy(&size, buffer, sizeof size);
        size_t n = std::min<size_t>(lineLength(s->text, starts[wParam]), size);
        std::memcpy(buffer, s->text.data() + starts[wParam], n);
        return LRESULT(n);
    }
    case EM_GETRECT: {
        if (auto* r = reinterpret_cast<RECT*>(lParam)) GetClientRect(hwnd, r);
        return 0;
    }
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

} // namespace sdctl
