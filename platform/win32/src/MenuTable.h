#pragma once
// The menu table's reset, for the test hooks.

namespace sdmenu {

// Forgets every menu and every window's menu.
void resetMenus();

} // namespace sdmenu
