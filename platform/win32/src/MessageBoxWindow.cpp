#include "MessageBoxWindow.h"

#include <algorithm>
#include <cstdint>

#include "win32/dialog.h"
#include "win32/icon.h"
#include "win32/nls.h"

namespace sdctl {

namespace {

// Sizes in dialog units (4 to the average character's width, 8 to its height).
constexpr int kMargin = 7;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 4;
constexpr int kMaxTextWidth = 280;
constexpr int kLineHeight = 8;
// A character's width counted a little wide, so that a wrapped text never needs more lines
// than the box has.
constexpr int kCharWidthTimes4 = 19; // 4.75 units

const char* buttonText(int id) {
    switch (id) {
    case IDOK:
        return "OK";
    case IDCANCEL:
        return "Cancel";
    case IDABORT:
        return "&Abort";
    case IDRETRY:
        return "&Retry";
    case IDIGNORE:
        return "&Ignore";
    case IDYES:
        return "&Yes";
    case IDNO:
        return "&No";
    case IDTRYAGAIN:
        return "&Try Again";
    case IDCONTINUE:
        return "&Continue";
    default:
        return "";
    }
}

// A DLGTEMPLATE with its items, built word by word.
class TemplateWriter {
public:
    void dialog(DWORD style, int items, int cx, int cy, const std::string& caption) {
        words(DLGTEMPLATE{style, 0, WORD(items), 0, 0, short(cx), short(cy)});
        data.push_back(0); // no menu
        data.push_back(0); // the dialog class
        text(caption);
    }
    void item(DWORD style, int x, int y, int cx, int cy, int id, WORD classAtom,
              const std::string& title) {
        if (data.size() % 2) data.push_back(0); // items start on a DWORD
        words(DLGITEMTEMPLATE{style, 0, short(x), short(y), short(cx), short(cy), WORD(id)});
        data.push_back(0xFFFF);
        data.push_back(classAtom);
        text(title);
        data.push_back(0); // no creation data
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(data.data()); }

private:
    template <class T> void words(const T& value) {
        const auto* p = reinterpret_cast<const WORD*>(&value);
        data.insert(data.end(), p, p + sizeof value / sizeof(WORD));
    }
    void text(const std::string& s) {
        const int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), int(s.size()), nullptr, 0);
        std::vector<WCHAR> wide(size_t(std::max(n, 0)));
        if (n > 0) MultiByteToWideChar(CP_ACP, 0, s.c_str(), int(s.size()), wide.data(), n);
        for (WCHAR c : wide)
            data.push_back(WORD(c));
        data.push_back(0);
    }
    std::vector<WORD> data;
};

struct BoxState {
    std::vector<int> buttons;
    int focused = 0;
    LPCSTR icon = nullptr;
};

// The system icon of MB_ICON* bits, or null.
LPCSTR iconOf(UINT bits) {
    switch (bits & MB_ICONMASK) {
    case MB_ICONHAND:
        return IDI_HAND;
    case MB_ICONQUESTION:
        return IDI_QUESTION;
    case MB_ICONEXCLAMATION:
        return IDI_EXCLAMATION;
    case MB_ICONASTERISK:
        return IDI_ASTERISK;
    default:
        return nullptr;
    }
}

constexpr int kIconId = 0x0FFF;

INT_PTR CALLBACK boxProc(HWND box, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        auto* state = reinterpret_cast<BoxState*>(lParam);
        SetWindowLongPtrA(box, DWLP_USER, lParam);
        if (state->icon)
            SendDlgItemMessageA(box, kIconId, STM_SETICON,
                                reinterpret_cast<WPARAM>(LoadIconA(nullptr, state->icon)), 0);
        SetFocus(GetDlgItem(box, state->focused));
        return FALSE;
    }
    if (msg != WM_COMMAND) return FALSE;
    auto* state = reinterpret_cast<BoxState*>(GetWindowLongPtrA(box, DWLP_USER));
    if (!state) return FALSE;
    int id = LOWORD(wParam);
    const auto& b = state->buttons;
    if (id == IDCANCEL && std::find(b.begin(), b.end(), IDCANCEL) == b.end())
        id = b.size() == 1 && b[0] == IDOK ? IDOK : 0;
    if (std::find(b.begin(), b.end(), id) != b.end()) EndDialog(box, id);
    return TRUE;
}

} // namespace

int runMessageBoxWindow(HWND owner, const std::string& text, const std::string& caption,
                        const std::vector<int>& buttons, size_t defaultIndex, UINT icon) {
    const LPCSTR iconName = iconOf(icon);
    // The text's lines, each paragraph wrapped at the widest line the box allows.
    int widest = 0, lines = 0;
    const int maxChars = kMaxTextWidth * 4 / kCharWidthTimes4;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        int chars = int(end - start);
        if (chars > 0 && text[end - 1] == '\r') --chars;
        widest = std::max(widest, std::min(chars, maxChars));
        lines += std::max(1, (chars + maxChars - 1) / maxChars);
        // A wrap breaks between words: allow one line more per wrapped paragraph.
        if (chars > maxChars) ++lines;
        start = end + 1;
    }
    const int count = int(buttons.size());
    const int rowWidth = count * kButtonWidth + (count - 1) * kButtonGap;
    const int textWidth = std::max(widest * kCharWidthTimes4 / 4 + 2, 1);
    // The icon's 32 x 32 pixels in dialog units of the 6 x 13 base, rounded up.
    const int iconCx = iconName ? (32 * 4 + 5) / 6 : 0, iconCy = iconName ? (32 * 8 + 12) / 13 : 0;
    const int textLeft = kMargin + (iconName ? iconCx + kMargin : 0);
    const int cx = std::max(textLeft - kMargin + textWidth, rowWidth) + 2 * kMargin;
    const int textHeight = lines * kLineHeight;
    const int buttonsTop = kMargin + std::max(textHeight, iconCy) + kMargin;
    const int cy = buttonsTop + kButtonHeight + kMargin;

    TemplateWriter t;
    t.dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFOREGROUND,
             count + 1 + (iconName ? 1 : 0), cx, cy, caption);
    if (iconName)
        t.item(WS_VISIBLE | SS_ICON, kMargin, kMargin, iconCx, iconCy, kIconId, 0x0082, "");
    // The text beside the icon is centred on it when it is a single line.
    const int textTop =
        iconName && textHeight < iconCy ? kMargin + (iconCy - textHeight) / 2 : kMargin;
    t.item(WS_VISIBLE | SS_LEFT | SS_NOPREFIX, textLeft, textTop, cx - textLeft - kMargin,
           textHeight, 0xFFFF, 0x0082, text);
    int x = (cx - rowWidth) / 2;
    for (int i = 0; i < count; ++i) {
        const DWORD kind = size_t(i) == defaultIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        t.item(WS_VISIBLE | WS_TABSTOP | kind | (i == 0 ? WS_GROUP : 0), x, buttonsTop,
               kButtonWidth, kButtonHeight, buttons[size_t(i)], 0x0080,
               buttonText(buttons[size_t(i)]));
        x += kButtonWidth + kButtonGap;
    }
    BoxState state{buttons, buttons[std::min(defaultIndex, buttons.size() - 1)], iconName};
    const INT_PTR answer =
        DialogBoxIndirectParamA(nullptr, t.get(), owner, boxProc, reinterpret_cast<LPARAM>(&state));
    return answer > 0 ? int(answer) : 0;
}

} // namespace sdctl
