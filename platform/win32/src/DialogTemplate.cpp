#include "DialogTemplate.h"

#include "win32/nls.h"

#include <algorithm>
#include <cstring>

namespace sddlg {

namespace {

class Reader {
public:
    Reader(const BYTE* data, size_t size) : data_(data), size_(size) {}

    bool word(WORD& out) { return bytes(&out, 2); }
    bool dword(DWORD& out) { return bytes(&out, 4); }
    bool shortValue(short& out) { return bytes(&out, 2); }
    bool byte(BYTE& out) { return bytes(&out, 1); }
    bool skip(size_t n) {
        if (n > size_ - at_) return false;
        at_ += n;
        return true;
    }
    void alignDword() {
        size_t pad = (4 - (at_ % 4)) % 4;
        at_ = pad > size_ - at_ ? size_ : at_ + pad;
    }
    const BYTE* here() const { return data_ + at_; }

    // A UTF-16 string up to its NUL, as ANSI text.
    bool string(std::string& out) {
        std::u16string wide;
        for (;;) {
            WORD c = 0;
            if (!word(c)) return false;
            if (c == 0) break;
            wide.push_back(char16_t(c));
        }
        out.clear();
        if (wide.empty()) return true;
        int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
        if (n <= 0) return false;
        out.resize(size_t(n));
        WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), out.data(), n, nullptr, nullptr);
        return true;
    }

    // 0x0000: nothing; 0xFFFF: an ordinal follows; else a string.
    bool stringOrOrdinal(std::string& text, WORD& ordinal, bool& isOrdinal) {
        WORD first = 0;
        isOrdinal = false;
        if (!word(first)) return false;
        if (first == 0) {
            text.clear();
            return true;
        }
        if (first == 0xFFFF) {
            isOrdinal = true;
            return word(ordinal);
        }
        at_ -= 2;
        return string(text);
    }

private:
    bool bytes(void* out, size_t n) {
        if (n > size_ - at_) return false;
        std::memcpy(out, data_ + at_, n);
        at_ += n;
        return true;
    }

    const BYTE* data_;
    size_t size_;
    size_t at_ = 0;
};

const char* predefinedClass(WORD atom) {
    switch (atom) {
    case 0x0080:
        return "Button";
    case 0x0081:
        return "Edit";
    case 0x0082:
        return "Static";
    case 0x0083:
        return "ListBox";
    case 0x0084:
        return "ScrollBar";
    case 0x0085:
        return "ComboBox";
    default:
        return nullptr;
    }
}

bool fail(std::string* error, const char* text) {
    if (error) *error = text;
    return false;
}

} // namespace

std::optional<DialogTemplateData> readDialogTemplate(const BYTE* data, size_t size, std::string* error) {
    if (!data) {
        fail(error, "no template");
        return std::nullopt;
    }
    Reader r(data, size);
    DialogTemplateData d;
    WORD first = 0;
    WORD second = 0;
    if (!r.word(first) || !r.word(second)) {
        fail(error, "template header cut short");
        return std::nullopt;
    }
    bool extended = first == 1 && second == 0xFFFF;
    WORD count = 0;
    bool ok = true;
    if (extended) {
        DWORD helpId = 0;
        ok = r.dword(helpId) && r.dword(d.exStyle) && r.dword(d.style);
    } else {
        d.style = DWORD(first) | (DWORD(second) << 16);
        ok = r.dword(d.exStyle);
    }
    ok = ok && r.word(count) && r.shortValue(d.x) && r.shortValue(d.y) && r.shortValue(d.cx) &&
         r.shortValue(d.cy);
    bool ordinal = false;
    WORD classOrdinal = 0;
    ok = ok && r.stringOrOrdinal(d.menuName, d.menuOrdinal, ordinal);
    ok = ok && r.stringOrOrdinal(d.className, classOrdinal, ordinal);
    if (ok && ordinal) d.className = classOrdinal == 0x8002 ? "" : "#" + std::to_string(classOrdinal);
    ok = ok && r.string(d.caption);
    if (ok && (d.style & DS_SETFONT)) {
        ok = r.word(d.pointSize);
        if (extended) {
            WORD weight = 0;
            BYTE italic = 0;
            BYTE charset = 0;
            ok = ok && r.word(weight) && r.byte(italic) && r.byte(charset);
        }
        ok = ok && r.string(d.typeface);
    }
    if (!ok) {
        fail(error, "template header cut short");
        return std::nullopt;
    }
    for (WORD i = 0; i < count; ++i) {
        r.alignDword();
        TemplateItem item;
        if (extended) {
            DWORD helpId = 0;
            ok = r.dword(helpId) && r.dword(item.exStyle) && r.dword(item.style) &&
                 r.shortValue(item.x) && r.shortValue(item.y) && r.shortValue(item.cx) &&
                 r.shortValue(item.cy) && r.dword(item.id);
        } else {
            WORD id = 0;
            ok = r.dword(item.style) && r.dword(item.exStyle) && r.shortValue(item.x) &&
                 r.shortValue(item.y) && r.shortValue(item.cx) && r.shortValue(item.cy) && r.word(id);
            item.id = id;
        }
        WORD atom = 0;
        bool classIsAtom = false;
        ok = ok && r.stringOrOrdinal(item.className, atom, classIsAtom);
        if (ok && classIsAtom) {
            const char* name = predefinedClass(atom);
            if (!name) {
                fail(error, "item with an unknown predefined class");
                return std::nullopt;
            }
            item.className = name;
        }
        if (ok && item.className.empty()) {
            fail(error, "item without a class");
            return std::nullopt;
        }
        ok = ok && r.stringOrOrdinal(item.text, item.textOrdinal, item.textIsOrdinal);
        WORD extra = 0;
        ok = ok && r.word(extra);
        if (ok && extra > 0) {
            item.creationData = r.here() - 2;
            ok = r.skip(extra);
        }
        if (!ok) {
            fail(error, "dialog item cut short");
            return std::nullopt;
        }
        d.items.push_back(std::move(item));
    }
    return d;
}

} // namespace sddlg

int SdGetDialogTemplateCaption(const void* dialogTemplate, size_t size, LPSTR text, int maxCount) {
    if (text != nullptr && maxCount > 0) text[0] = '\0';
    if (dialogTemplate == nullptr) return 0;
    std::string error;
    const auto t = sddlg::readDialogTemplate(static_cast<const BYTE*>(dialogTemplate), size, &error);
    if (!t || text == nullptr || maxCount <= 0) return 0;
    const size_t n = std::min(t->caption.size(), size_t(maxCount - 1));
    std::memcpy(text, t->caption.data(), n);
    text[n] = '\0';
    return int(n);
}
