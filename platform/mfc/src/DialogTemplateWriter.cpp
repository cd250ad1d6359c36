#include "DialogTemplateWriter.h"

namespace sddlg {

std::vector<BYTE> BuildTemplate(DWORD style, short cx, short cy, const char* caption,
                                const std::vector<Item>& items) {
    std::vector<BYTE> out;
    auto append = [&out](const void* p, std::size_t n) {
        const auto* b = static_cast<const BYTE*>(p);
        out.insert(out.end(), b, b + n);
    };
    auto word = [&append](WORD w) { append(&w, 2); };
    auto text = [&word](const char* s) {
        for (; *s != '\0'; ++s) word(WORD(static_cast<unsigned char>(*s)));
        word(0);
    };
    DLGTEMPLATE head{style, 0, WORD(items.size()), 0, 0, cx, cy};
    append(&head, sizeof head);
    word(0); // no menu
    word(0); // the dialog class
    text(caption);
    for (const Item& item : items) {
        while (out.size() % 4 != 0) out.push_back(0);
        DLGITEMTEMPLATE t{item.style | WS_CHILD | WS_VISIBLE, 0, item.x, item.y, item.cx, item.cy,
                          WORD(item.id)};
        append(&t, sizeof t);
        text(item.cls);
        text(item.title);
        word(0);
    }
    return out;
}

} // namespace sddlg
