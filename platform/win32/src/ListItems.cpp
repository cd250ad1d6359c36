#include "ListItems.h"

#include "ControlSupport.h"

namespace sdctl {

int ListItems::insert(LONG_PTR index, LPARAM value) {
    ListItem item;
    if (hasStrings)
        item.text = textArgument(value);
    else
        item.data = value;
    if (index < 0 || size_t(index) > items.size()) index = LONG_PTR(items.size());
    items.insert(items.begin() + index, item);
    if (current >= index) ++current;
    return int(index);
}

int ListItems::add(LPARAM value) {
    if (!sorted || !hasStrings) return insert(-1, value);
    std::string text = textArgument(value);
    size_t at = 0;
    while (at < items.size() && compareNoCase(items[at].text, text) <= 0)
        ++at;
    return insert(LONG_PTR(at), value);
}

int ListItems::remove(WPARAM index) {
    if (!valid(index)) return -1;
    items.erase(items.begin() + LONG_PTR(index));
    if (current == int(index))
        current = -1;
    else if (current > int(index))
        --current;
    return count();
}

int ListItems::find(LONG_PTR start, LPARAM value, bool exact) const {
    int n = count();
    if (n == 0) return -1;
    int first = (start < 0 || start >= n) ? 0 : int(start) + 1;
    std::string text = hasStrings ? textArgument(value) : std::string();
    for (int k = 0; k < n; ++k) {
        int i = (first + k) % n;
        const ListItem& item = items[size_t(i)];
        bool match = !hasStrings ? item.data == value
                     : exact     ? compareNoCase(item.text, text) == 0
                                 : startsWithNoCase(item.text, text);
        if (match) return i;
    }
    return -1;
}

LRESULT ListItems::getText(WPARAM index, LPARAM buffer) const {
    if (!valid(index)) return -1;
    if (!hasStrings) {
        if (buffer) *reinterpret_cast<LPARAM*>(buffer) = items[index].data;
        return sizeof(LPARAM);
    }
    return copyOut(items[index].text, items[index].text.size() + 1, buffer);
}

LRESULT ListItems::getTextLength(WPARAM index) const {
    if (!valid(index)) return -1;
    return hasStrings ? LRESULT(items[index].text.size()) : LRESULT(sizeof(LPARAM));
}

} // namespace sdctl
