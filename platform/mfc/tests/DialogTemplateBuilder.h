#pragma once
// In-memory dialog templates for the tests, in the DLGTEMPLATE layout the dialog manager
// reads (no font; class names and texts as strings).

#include <cstring>
#include <string>
#include <vector>

#include "win32/dialog.h"

class DialogTemplateBuilder {
public:
    DialogTemplateBuilder(DWORD style, short cx, short cy, const std::string& caption) {
        DLGTEMPLATE head{style, 0, 0, 0, 0, cx, cy};
        append(&head, sizeof head);
        word(0); // menu
        word(0); // dialog class
        text(caption);
    }

    DialogTemplateBuilder& control(const std::string& className, const std::string& title,
                                   WORD id, DWORD style, short x, short y, short cx, short cy) {
        while (bytes_.size() % 4 != 0) bytes_.push_back(0);
        DLGITEMTEMPLATE item{style | WS_CHILD | WS_VISIBLE, 0, x, y, cx, cy, id};
        append(&item, sizeof item);
        text(className);
        text(title);
        word(0); // no creation data
        WORD count;
        std::memcpy(&count, bytes_.data() + 8, 2);
        ++count;
        std::memcpy(bytes_.data() + 8, &count, 2);
        return *this;
    }

    LPCDLGTEMPLATE get() const { return reinterpret_cast<LPCDLGTEMPLATE>(bytes_.data()); }

private:
    void append(const void* p, std::size_t n) {
        const auto* b = static_cast<const BYTE*>(p);
        bytes_.insert(bytes_.end(), b, b + n);
    }
    void word(WORD w) { append(&w, sizeof w); }
    void text(const std::string& s) {
        for (unsigned char c : s) word(WORD(c));
        word(0);
    }
    std::vector<BYTE> bytes_;
};
