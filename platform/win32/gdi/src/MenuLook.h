#pragma once
// How menus look: the menu bar's items in a line, popup menus as a raised box of items with
// check marks, separators, submenu arrows and accelerator texts after a tab.

#include <string>
#include <vector>

#include "LookPaint.h"
#include "win32/menu.h"
#include "win32/nls.h"

namespace sdlook {

// The items' rectangles along a menu bar lying at `bar` (dc coordinates).
std::vector<RECT> menuBarLayout(HDC dc, HMENU menu, const RECT& bar);
// `highlighted`: the position of the item shown selected (-1 none).
void paintMenuBar(HDC dc, HMENU menu, const RECT& bar, int highlighted);

// The items' rectangles of a popup menu whose box has its top left at 0, 0, and the box's size.
std::vector<RECT> popupMenuLayout(HDC dc, HMENU menu, SIZE* size);
void paintPopupMenu(HDC dc, HMENU menu, int highlighted);

// Grey text with its highlight a pixel down and right: a disabled item.
void stateTextOf(HDC dc, const std::string& text, RECT r, UINT format);

} // namespace sdlook
