#pragma once
// Used by the code generated from resource sources (cmake/sd_resources.cmake): lays out
// DIALOG and MENU statements as the in-memory templates of the original, so that resource
// templates and templates built in memory have one reader. Texts arrive in code page 1252
// and are stored in UTF-16.

#include <initializer_list>
#include <vector>

#include "win32/dialog.h"

namespace sdrc {

using Bytes = std::vector<unsigned char>;

struct DialogItem {
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    WORD id;
    const char* className;
    const char* text;
};

struct MenuEntry {
    int depth;        // 0 for the top level
    bool popup;       // a popup: its entries follow, one level deeper
    bool separator;
    WORD flags;       // MF_GRAYED, MF_CHECKED, ...
    WORD id;
    const char* text;
};

inline void putWord(Bytes& b, unsigned v) {
    b.push_back(static_cast<unsigned char>(v & 0xFF));
    b.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

inline void putDword(Bytes& b, unsigned long v) {
    putWord(b, unsigned(v & 0xFFFF));
    putWord(b, unsigned((v >> 16) & 0xFFFF));
}

// Code page 1252 to UTF-16.
inline void putText(Bytes& b, const char* text) {
    static const unsigned short high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); p && *p; ++p)
        putWord(b, *p >= 0x80 && *p < 0xA0 ? high[*p - 0x80] : *p);
    putWord(b, 0);
}

inline WORD predefinedAtom(const char* name) {
    struct Entry {
        const char* name;
        WORD atom;
    };
    static const Entry entries[] = {{"BUTTON", 0x80}, {"EDIT", 0x81},      {"STATIC", 0x82},
                                    {"LISTBOX", 0x83}, {"SCROLLBAR", 0x84}, {"COMBOBOX", 0x85}};
    for (const Entry& e : entries) {
        const char* a = e.name;
        const char* b = name;
        while (*a && *b && (*b == *a || *b == *a + ('a' - 'A')))
            ++a, ++b;
        if (!*a && !*b) return e.atom;
    }
    return 0;
}

inline Bytes dialog(DWORD style, DWORD exStyle, short x, short y, short cx, short cy,
                    const char* className, const char* caption, int pointSize, const char* face,
                    std::initializer_list<DialogItem> items) {
    Bytes b;
    putDword(b, style);
    putDword(b, exStyle);
    putWord(b, unsigned(items.size()));
    for (short v : {x, y, cx, cy})
        putWord(b, static_cast<unsigned short>(v));
    putWord(b, 0);
    if (className && *className)
        putText(b, className);
    else
        putWord(b, 0);
    putText(b, caption);
    if (style & DS_SETFONT) {
        putWord(b, unsigned(pointSize));
        putText(b, face);
    }
    for (const DialogItem& item : items) {
        while (b.size() % 4)
            b.push_back(0);
        putDword(b, item.style);
        putDword(b, item.exStyle);
        for (short v : {item.x, item.y, item.cx, item.cy})
            putWord(b, static_cast<unsigned short>(v));
        putWord(b, item.id);
        if (WORD atom = predefinedAtom(item.className)) {
            putWord(b, 0xFFFF);
            putWord(b, atom);
        } else {
            putText(b, item.className);
        }
        putText(b, item.text);
        putWord(b, 0);
    }
    return b;
}

// A MENUITEMTEMPLATEHEADER (version 0, offset 0), then the entries; the last entry of each
// level carries MF_END.
inline Bytes menu(std::initializer_list<MenuEntry> entries) {
    constexpr WORD popupFlag = 0x0010;
    constexpr WORD endFlag = 0x0080;
    Bytes b;
    putWord(b, 0);
    putWord(b, 0);
    std::vector<MenuEntry> list(entries);
    for (size_t i = 0; i < list.size(); ++i) {
        const MenuEntry& e = list[i];
        bool last = true;
        for (size_t j = i + 1; j < list.size() && list[j].depth >= e.depth; ++j)
            if (list[j].depth == e.depth) {
                last = false;
                break;
            }
        WORD flags = WORD(e.flags | (e.popup ? popupFlag : 0) | (last ? endFlag : 0));
        putWord(b, flags);
        if (!e.popup) putWord(b, e.separator ? 0 : e.id);
        putText(b, e.separator ? "" : e.text);
    }
    return b;
}

} // namespace sdrc
