// Formatted text of the window layer: DrawText with prefixes, tabs, word breaks and
// ellipses; tabbed text; grayed text. Everything is measured and drawn through the selected
// font, so DT_CALCRECT sizes agree with the ink of the same call without it.

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "win32/userdraw.h"

namespace {

// One visual line: its characters after prefix processing, and the index of the underlined
// mnemonic within them (-1 for none).
struct TextLine {
    std::string text;
    int underline = -1;
};

// Widths by byte, measured once per call: the drawing layer's text extent is the sum of the
// characters' advances, so a run's width is the sum of its bytes' widths.
struct Measure {
    HDC dc;
    int tabWidth; // pixels; 0: tabs are ordinary characters
    mutable int cache[256] = {};
    mutable bool known[256] = {};
    int charWidth(unsigned char c) const {
        if (!known[c]) {
            SIZE size{};
            const char ch = char(c);
            GetTextExtentPoint32A(dc, &ch, 1, &size);
            cache[c] = int(size.cx);
            known[c] = true;
        }
        return cache[c];
    }
    // The pen position after s[from, to) starting at x (tabs relative to 0).
    int advance(const std::string& s, std::size_t from, std::size_t to, int x = 0) const {
        to = std::min(to, s.size());
        for (std::size_t i = from; i < to; ++i) {
            if (s[i] == '\t' && tabWidth > 0)
                x = (x / tabWidth + 1) * tabWidth;
            else
                x += charWidth(static_cast<unsigned char>(s[i]));
        }
        return x;
    }
    int width(const std::string& s, std::size_t from = 0,
              std::size_t to = std::string::npos) const {
        return advance(s, from, to);
    }
    // How many bytes of s fit in `limit` pixels.
    std::size_t fitting(const std::string& s, int limit) const {
        int x = 0;
        for (std::size_t i = 0; i < s.size(); ++i) {
            x = advance(s, i, i + 1, x);
            if (x > limit) return i;
        }
        return s.size();
    }
};

// Removes the prefix characters: "&&" is one '&', "&x" underlines x, a last lone '&' goes.
TextLine stripPrefixes(const std::string& s, bool prefixes) {
    TextLine line;
    if (!prefixes) {
        line.text = s;
        return line;
    }
    line.text.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') {
            line.text += s[i];
            continue;
        }
        if (i + 1 >= s.size()) break;
        if (s[i + 1] != '&') line.underline = int(line.text.size());
        line.text += s[++i];
    }
    return line;
}

// Breaks one paragraph at spaces so that each piece fits `limit` pixels; a word longer than
// the limit stands alone on its line. The spaces at a break are dropped.
std::vector<TextLine> wordBreak(const TextLine& para, int limit, const Measure& m) {
    std::vector<TextLine> out;
    const std::string& s = para.text;
    std::size_t start = 0;
    while (start < s.size()) {
        std::size_t end = start, lastFit = std::string::npos;
        int x = 0;
        while (end < s.size()) {
            std::size_t next = s.find(' ', end);
            if (next == std::string::npos) next = s.size();
            const int after = m.advance(s, end, next, x);
            if (after > limit && lastFit != std::string::npos) break;
            lastFit = next;
            x = after;
            end = next;
            if (end < s.size()) x = m.advance(s, end, end + 1, x), ++end; // past the space
        }
        std::size_t stop = lastFit == std::string::npos ? s.size() : lastFit;
        TextLine piece;
        piece.text = s.substr(start, stop - start);
        if (para.underline >= int(start) && para.underline < int(stop))
            piece.underline = para.underline - int(start);
        out.push_back(piece);
        start = stop;
        while (start < s.size() && s[start] == ' ')
            ++start;
    }
    if (out.empty()) out.push_back(TextLine{});
    return out;
}

// The line cut to fit `limit` with "..." at its end.
void endEllipsis(TextLine& line, int limit, const Measure& m) {
    if (m.width(line.text) <= limit) return;
    std::string kept =
        line.text.substr(0, m.fitting(line.text, std::max(0, limit - m.width("..."))));
    line.text = kept + "...";
    if (line.underline >= int(kept.size())) line.underline = -1;
}

// A path with its middle replaced by "...": the last component stays, as much of the start
// as fits stays before the dots.
void pathEllipsis(TextLine& line, int limit, const Measure& m) {
    if (m.width(line.text) <= limit) return;
    std::size_t slash = line.text.find_last_of("\\/");
    if (slash == std::string::npos) {
        endEllipsis(line, limit, m);
        return;
    }
    std::string tail = line.text.substr(slash);
    std::string head = line.text.substr(0, slash);
    head.resize(m.fitting(head, std::max(0, limit - m.width("..." + tail))));
    line.text = head + "..." + tail;
    line.underline = -1;
}

// Draws the line at x; characters starting at or right of `clipRight` are left out.
void drawLine(HDC dc, int x, int y, const TextLine& line, const Measure& m, int ascent,
              int clipRight) {
    std::size_t visible = line.text.size();
    if (x < clipRight)
        visible = std::min(
            visible,
            m.fitting(line.text, int(std::min<long long>(INT_MAX, (long long)clipRight - x))) + 1);
    else
        visible = 0;
    std::size_t run = 0;
    int pen = x;
    for (std::size_t i = 0; i <= visible; ++i) {
        if (i < visible && (line.text[i] != '\t' || m.tabWidth <= 0)) continue;
        if (i > run) TextOutA(dc, pen, y, line.text.data() + run, int(i - run));
        pen = x + m.advance(line.text, run, i + 1, pen - x);
        run = i + 1;
    }
    if (line.underline >= 0 && line.underline < int(line.text.size())) {
        const int from = x + m.width(line.text, 0, std::size_t(line.underline));
        const int to = x + m.width(line.text, 0, std::size_t(line.underline) + 1);
        HBRUSH ink = CreateSolidBrush(GetTextColor(dc));
        RECT r{from, y + ascent + 1, to, y + ascent + 2};
        FillRect(dc, &r, ink);
        DeleteObject(ink);
    }
}

int drawTextImpl(HDC dc, LPSTR text, int count, LPRECT rect, UINT format, DRAWTEXTPARAMS* params) {
    if (!dc || !rect) return 0;
    if (!text) count = 0;
    if (count < 0) count = int(std::strlen(text));
    TEXTMETRICA tm{};
    if (!GetTextMetricsA(dc, &tm)) {
        // No face: nothing can be measured or drawn.
        if (format & DT_CALCRECT) rect->right = rect->left, rect->bottom = rect->top;
        return 0;
    }
    const int lineHeight =
        int(tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0));
    const int average = std::max<int>(1, int(tm.tmAveCharWidth));
    int tabChars = 8;
    if (params && params->iTabLength > 0)
        tabChars = params->iTabLength;
    else if (format & DT_TABSTOP)
        tabChars = std::max(1, int((format >> 8) & 0xFF));
    Measure m{dc, (format & DT_EXPANDTABS) ? tabChars * average : 0};
    const int leftMargin = params ? params->iLeftMargin : 0;
    const int rightMargin = params ? params->iRightMargin : 0;
    const int left = int(rect->left) + leftMargin;
    const int right = int(rect->right) - rightMargin;
    const int limit = std::max(0, right - left);
    const bool prefixes = !(format & DT_NOPREFIX);
    if (params) params->uiLengthDrawn = UINT(count);

    std::vector<TextLine> lines;
    const std::string all(text ? text : "", std::size_t(count));
    if (count == 0) {
        if (format & DT_CALCRECT) rect->right = rect->left, rect->bottom = rect->top;
        return 0;
    }
    std::vector<std::string> paragraphs;
    if (format & DT_SINGLELINE) {
        paragraphs.push_back(all);
    } else {
        std::size_t start = 0;
        for (std::size_t i = 0; i <= all.size(); ++i) {
            if (i < all.size() && all[i] != '\r' && all[i] != '\n') continue;
            paragraphs.push_back(all.substr(start, i - start));
            if (i + 1 < all.size() && all[i] == '\r' && all[i + 1] == '\n') ++i;
            start = i + 1;
        }
        // A final line break ends the last line; it does not open another.
        if (paragraphs.size() > 1 && paragraphs.back().empty()) paragraphs.pop_back();
    }
    for (const std::string& p : paragraphs) {
        TextLine stripped = stripPrefixes(p, prefixes);
        if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE)) {
            for (TextLine& piece : wordBreak(stripped, limit, m))
                lines.push_back(std::move(piece));
        } else {
            lines.push_back(std::move(stripped));
        }
    }
    if (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) {
        for (TextLine& line : lines) {
            if (format & DT_PATH_ELLIPSIS)
                pathEllipsis(line, limit, m);
            else
                endEllipsis(line, limit, m);
        }
        if ((format & DT_MODIFYSTRING) && text && lines.size() == 1) {
            // The buffer holds at least the text and the dots that replace part of it.
            std::size_t n = std::min<std::size_t>(lines[0].text.size(), std::size_t(count) + 4);
            std::memcpy(text, lines[0].text.data(), n);
            text[n] = 0;
        }
    }
    if (format & DT_PREFIXONLY) {
        for (TextLine& line : lines)
            line.text = line.underline >= 0 ? std::string(std::size_t(line.underline), ' ') +
                                                  line.text[std::size_t(line.underline)]
                                            : "";
    }
    if (format & DT_HIDEPREFIX)
        for (TextLine& line : lines)
            line.underline = -1;

    int widest = 0;
    std::vector<int> widths;
    for (const TextLine& line : lines) {
        widths.push_back(m.width(line.text));
        widest = std::max(widest, widths.back());
    }
    const int height = lineHeight * int(lines.size());
    if (format & DT_CALCRECT) {
        // One line keeps its alignment in the rectangle; the left edge never moves.
        rect->right = LONG(left + widest + rightMargin);
        rect->bottom = rect->top + height;
        return height;
    }

    int top = int(rect->top);
    int result = height;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            top = int(rect->top) + (int(rect->bottom - rect->top) - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            top = int(rect->bottom) - lineHeight;
        if (format & (DT_VCENTER | DT_BOTTOM)) result = top - int(rect->top) + lineHeight;
    }
    const int saved = SaveDC(dc);
    if (!(format & DT_NOCLIP))
        IntersectClipRect(dc, int(rect->left), int(rect->top), int(rect->right), int(rect->bottom));
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    for (std::size_t i = 0; i < lines.size(); ++i, top += lineHeight) {
        if (!(format & DT_NOCLIP) && top >= rect->bottom) break;
        int x = left;
        if (format & DT_CENTER)
            x = left + (limit - widths[i]) / 2;
        else if (format & DT_RIGHT)
            x = right - widths[i];
        drawLine(dc, x, top, lines[i], m, int(tm.tmAscent),
                 (format & DT_NOCLIP) ? INT32_MAX : int(rect->right));
    }
    RestoreDC(dc, saved);
    return result;
}

// The next tab stop after x (relative to the origin).
int nextStop(int x, int tabCount, const INT* tabs, int average) {
    if (tabCount <= 0 || !tabs) {
        const int w = 8 * average;
        return (x / w + 1) * w;
    }
    if (tabCount == 1) {
        const int w = std::max(1, tabs[0]);
        return (x / w + 1) * w;
    }
    for (int i = 0; i < tabCount; ++i)
        if (tabs[i] > x) return tabs[i];
    const int step = std::max(1, tabs[tabCount - 1] - tabs[tabCount - 2]);
    int stop = tabs[tabCount - 1];
    while (stop <= x)
        stop += step;
    return stop;
}

LONG tabbed(HDC dc, int x, int y, LPCSTR text, int count, int tabCount, const INT* tabs, int origin,
            bool draw) {
    if (!dc) return 0;
    if (!text) count = 0;
    if (count < 0) count = int(std::strlen(text));
    TEXTMETRICA tm{};
    if (!GetTextMetricsA(dc, &tm)) return 0;
    const int average = std::max<int>(1, int(tm.tmAveCharWidth));
    int pen = x;
    int run = 0;
    for (int i = 0; i <= count; ++i) {
        if (i < count && text[i] != '\t') continue;
        if (i > run) {
            SIZE size{};
            GetTextExtentPoint32A(dc, text + run, i - run, &size);
            if (draw) {
                const UINT align = GetTextAlign(dc);
                SetTextAlign(dc, align & ~TA_UPDATECP);
                TextOutA(dc, pen, y, text + run, i - run);
                SetTextAlign(dc, align);
            }
            pen += int(size.cx);
        }
        if (i < count) pen = origin + nextStop(pen - origin, tabCount, tabs, average);
        run = i + 1;
    }
    return LONG(MAKELONG(WORD(std::clamp(pen - x, 0, 0xFFFF)), WORD(tm.tmHeight)));
}

BOOL textProc(HDC dc, LPARAM data, int count) {
    return TextOutA(dc, 0, 0, reinterpret_cast<LPCSTR>(data), count);
}

} // namespace

int DrawTextA(HDC dc, LPCSTR text, int count, LPRECT rect, UINT format) {
    // Without DT_MODIFYSTRING the text is only read.
    return drawTextImpl(dc, const_cast<LPSTR>(text), count, rect, format & ~DT_MODIFYSTRING,
                        nullptr);
}

int DrawTextExA(HDC dc, LPSTR text, int count, LPRECT rect, UINT format, DRAWTEXTPARAMS* params) {
    if (params && params->cbSize != sizeof(DRAWTEXTPARAMS)) return 0;
    return drawTextImpl(dc, text, count, rect, format, params);
}

LONG TabbedTextOutA(HDC dc, int x, int y, LPCSTR text, int count, int tabCount, const INT* tabs,
                    int tabOrigin) {
    return tabbed(dc, x, y, text, count, tabCount, tabs, tabOrigin, true);
}

DWORD GetTabbedTextExtentA(HDC dc, LPCSTR text, int count, int tabCount, const INT* tabs) {
    return DWORD(tabbed(dc, 0, 0, text, count, tabCount, tabs, 0, false));
}

BOOL GrayStringA(HDC dc, HBRUSH brush, GRAYSTRINGPROC proc, LPARAM data, int count, int x, int y,
                 int width, int height) {
    if (!dc) return FALSE;
    if (!proc) {
        if (!data) return FALSE;
        if (count <= 0) count = int(std::strlen(reinterpret_cast<LPCSTR>(data)));
        proc = textProc;
    }
    if (width <= 0 || height <= 0) {
        if (proc != textProc) return FALSE; // the size of a procedure's drawing is unknown
        SIZE size{};
        if (!GetTextExtentPoint32A(dc, reinterpret_cast<LPCSTR>(data), count, &size)) return FALSE;
        if (width <= 0) width = int(size.cx);
        if (height <= 0) height = int(size.cy);
    }
    if (width <= 0 || height <= 0) return TRUE;
    // Keep the mask of a bad size from taking all memory: grayed text is a label's size.
    width = std::min(width, 8192);
    height = std::min(height, 8192);
    HDC mask = CreateCompatibleDC(dc);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(mask, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!mask || !bitmap || !bits) {
        if (bitmap) DeleteObject(bitmap);
        if (mask) DeleteDC(mask);
        return FALSE;
    }
    HGDIOBJ oldBitmap = SelectObject(mask, bitmap);
    HGDIOBJ oldFont = SelectObject(mask, GetCurrentObject(dc, OBJ_FONT));
    RECT all{0, 0, width, height};
    FillRect(mask, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(mask, RGB(0, 0, 0));
    SetBkMode(mask, TRANSPARENT);
    const BOOL drawn = proc(mask, data, count);
    if (drawn) {
        COLORREF colour = GetTextColor(dc);
        if (brush) {
            LOGBRUSH lb{};
            if (GetObjectA(brush, sizeof lb, &lb) == sizeof lb) colour = lb.lbColor;
        }
        HBRUSH ink = CreateSolidBrush(colour);
        const auto* px = static_cast<const DWORD*>(bits);
        for (int row = 0; row < height; ++row)
            for (int col = 0; col < width; ++col)
                if ((px[std::size_t(row) * std::size_t(width) + std::size_t(col)] & 0xFFFFFF) !=
                        0xFFFFFF &&
                    ((row + col) & 1) == 0) {
                    RECT dot{x + col, y + row, x + col + 1, y + row + 1};
                    FillRect(dc, &dot, ink);
                }
        DeleteObject(ink);
    }
    SelectObject(mask, oldFont);
    SelectObject(mask, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(mask);
    return drawn;
}
