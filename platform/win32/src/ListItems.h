#pragma once
// The items of a list box or of a combo box's list. An owner-drawn list without strings
// keeps the value passed for a string as the item's data and searches by it.

#include <string>
#include <vector>

#include "win32/controls.h"

namespace sdctl {

struct ListItem {
    std::string text;
    LPARAM data = 0;
    bool selected = false;
};

struct ListItems {
    std::vector<ListItem> items;
    bool hasStrings = true;
    bool sorted = false;
    int current = -1; // the selection (single) or caret

    int count() const { return int(items.size()); }
    bool valid(WPARAM index) const { return index < items.size(); }
    // -1 or past the end appends; returns the index or -1.
    int insert(LONG_PTR index, LPARAM value);
    int add(LPARAM value);
    // Returns the remaining count or -1.
    int remove(WPARAM index);
    // From the item after `start` (-1: from the first), wrapping; case-blind prefix or
    // whole-text match. -1 when nothing matches.
    int find(LONG_PTR start, LPARAM value, bool exact) const;

    // The item's text (its data in a list without strings) into the caller's buffer, and
    // its length; -1 for an index past the end.
    LRESULT getText(WPARAM index, LPARAM buffer) const;
    LRESULT getTextLength(WPARAM index) const;
    // -1 for an index past the end.
    LRESULT getData(WPARAM index) const { return valid(index) ? items[index].data : -1; }
    LRESULT setData(WPARAM index, LPARAM data) {
        if (!valid(index)) return -1;
        items[index].data = data;
        return TRUE;
    }
};

} // namespace sdctl
