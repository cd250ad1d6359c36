// The edit control: its text one line or many (wrapped at spaces unless it scrolls
// sideways), the selection in the highlight colours while it shows, the caret where the
// focus is, password characters, read-only and disabled backgrounds through WM_CTLCOLOR*.
// A line too long for the field scrolls so that the caret stays in view.

#include <algorithm>
#include <utility>
#include <vector>

#include "ControlLook.h"

namespace sdlook {

namespace {

constexpr int margin = 1; // pixels between the border and the text on either side

// Widths by byte, measured once per paint: a run's extent is the sum of its characters'.
struct Widths {
    HDC dc;
    int cache[256] = {};
    bool known[256] = {};
    int of(unsigned char c) {
        if (!known[c]) {
            SIZE s{};
            const char ch = char(c);
            GetTextExtentPoint32A(dc, &ch, 1, &s);
            cache[c] = int(s.cx);
            known[c] = true;
        }
        return cache[c];
    }
};
thread_local Widths* widths = nullptr;

int extent(HDC, const std::string& text, std::size_t from, std::size_t to) {
    int w = 0;
    for (std::size_t i = from; i < to && i < text.size(); ++i)
        w += widths->of(static_cast<unsigned char>(text[i]));
    return w;
}

// Draws text[from, to) at x, leaving out the characters wholly outside [left, right).
void visibleText(HDC dc, int x, int y, const std::string& text, std::size_t from, std::size_t to,
                 int left, int right) {
    std::size_t a = from;
    while (a < to && x + widths->of(static_cast<unsigned char>(text[a])) <= left)
        x += widths->of(static_cast<unsigned char>(text[a++]));
    std::size_t b = a;
    for (int at = x; b < to && at < right; ++b)
        at += widths->of(static_cast<unsigned char>(text[b]));
    if (b > a) TextOutA(dc, x, y, text.data() + a, int(b - a));
}

// Lines as [begin, end) ranges of the text; a wrapped line ends after its last space.
std::vector<std::pair<std::size_t, std::size_t>> layoutLines(HDC dc, const std::string& text,
                                                             bool multiLine, bool wrap, int width) {
    std::vector<std::pair<std::size_t, std::size_t>> lines;
    if (!multiLine) {
        lines.emplace_back(0, text.size());
        return lines;
    }
    std::size_t start = 0;
    while (true) {
        std::size_t end = text.find('\n', start);
        const bool last = end == std::string::npos;
        if (last) end = text.size();
        std::size_t stop = end;
        if (stop > start && text[stop - 1] == '\r') --stop;
        std::size_t from = start;
        if (wrap) {
            // Greedy: as many words as fit; a word wider than the field stands alone.
            while (extent(dc, text, from, stop) > width) {
                std::size_t cut = from, fit = std::string::npos;
                while (true) {
                    std::size_t space = text.find(' ', cut);
                    if (space == std::string::npos || space >= stop) break;
                    if (extent(dc, text, from, space) > width) break;
                    fit = space + 1;
                    cut = space + 1;
                }
                if (fit == std::string::npos || fit <= from) break;
                lines.emplace_back(from, fit);
                from = fit;
            }
        }
        lines.emplace_back(from, stop);
        if (last) break;
        start = end + 1;
    }
    return lines;
}

} // namespace

void paintEdit(HWND hwnd, HDC dc) {
    const DWORD style = styleOf(hwnd);
    const RECT client = clientOf(hwnd);
    const bool enabled = IsWindowEnabled(hwnd);
    const bool readOnly = style & ES_READONLY;
    FontScope font(dc, controlFont(hwnd));
    HBRUSH brush =
        controlColour(hwnd, dc, readOnly || !enabled ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
    FillRect(dc, &client, brush);
    const COLORREF textColour = enabled ? GetTextColor(dc) : GetSysColor(COLOR_GRAYTEXT);

    std::string text = windowText(hwnd);
    const char password = char(SendMessageA(hwnd, EM_GETPASSWORDCHAR, 0, 0));
    if (password) std::fill(text.begin(), text.end(), password);
    DWORD selStart = 0, selEnd = 0;
    SendMessageA(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart),
                 reinterpret_cast<LPARAM>(&selEnd));
    selStart = std::min<DWORD>(selStart, DWORD(text.size()));
    selEnd = std::min<DWORD>(selEnd, DWORD(text.size()));
    const bool focused = GetFocus() == hwnd;
    const bool showSelection = (focused || (style & ES_NOHIDESEL)) && selEnd > selStart;

    TEXTMETRICA tm{};
    if (!GetTextMetricsA(dc, &tm)) return;
    Widths measured{dc};
    widths = &measured;
    const int lineHeight = std::max<int>(1, int(tm.tmHeight));
    const int width = std::max(0, int(client.right - client.left) - 2 * margin);
    const bool multiLine = style & ES_MULTILINE;
    const auto lines =
        layoutLines(dc, text, multiLine, multiLine && !(style & ES_AUTOHSCROLL), width);

    // The caret's line and the first line shown: the caret's line stays in view.
    const std::size_t caret = std::min<std::size_t>(selEnd, text.size());
    std::size_t caretLine = 0;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].first <= caret) caretLine = i;
    const int visibleLines = std::max(1, int(client.bottom - client.top) / lineHeight);
    const std::size_t first =
        caretLine + 1 > std::size_t(visibleLines) ? caretLine + 1 - std::size_t(visibleLines) : 0;

    IntersectClipRect(dc, int(client.left), int(client.top), int(client.right), int(client.bottom));
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    int caretX = -1, caretY = 0;
    for (std::size_t i = first; i < lines.size(); ++i) {
        const int y = int(client.top) + margin + int(i - first) * lineHeight;
        if (y >= client.bottom) break;
        const auto [begin, end] = lines[i];
        const int lineWidth = extent(dc, text, begin, end);
        int x = int(client.left) + margin;
        const DWORD align = style & (ES_CENTER | ES_RIGHT);
        if (align == ES_CENTER)
            x += (width - lineWidth) / 2;
        else if (align == ES_RIGHT)
            x += width - lineWidth;
        if (i == caretLine) {
            // Scrolled sideways so that the caret is inside the field.
            const int caretAt = x + extent(dc, text, begin, caret);
            const int limit = int(client.right) - margin - 1;
            if (caretAt > limit) x -= caretAt - limit;
            caretX = x + extent(dc, text, begin, caret);
            caretY = y;
        }
        const std::size_t a = std::clamp<std::size_t>(selStart, begin, end);
        const std::size_t b = std::clamp<std::size_t>(selEnd, begin, end);
        const int xa = x + extent(dc, text, begin, a), xb = x + extent(dc, text, begin, b);
        SetTextColor(dc, textColour);
        const int left = int(client.left), right = int(client.right);
        if (!showSelection || a == b) {
            visibleText(dc, x, y, text, begin, end, left, right);
            continue;
        }
        visibleText(dc, x, y, text, begin, a, left, right);
        fillSys(dc, RECT{std::max(xa, left - 1), y, std::min(xb, right + 1), y + lineHeight},
                COLOR_HIGHLIGHT);
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        visibleText(dc, xa, y, text, a, b, left, right);
        SetTextColor(dc, textColour);
        visibleText(dc, xb, y, text, b, end, left, right);
    }
    // The caret: an inverted line as tall as the font, where the focus is.
    if (focused && caretX >= 0) PatBlt(dc, caretX, caretY, 1, lineHeight, DSTINVERT);
    widths = nullptr;
}

} // namespace sdlook
