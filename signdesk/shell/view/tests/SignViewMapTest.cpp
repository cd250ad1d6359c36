// The view's message map: its own entries, before the framework's.

#include <gtest/gtest.h>

#include <sheet/COleSheetView.h>

#include "view/CSignView.h"
#include "view/SignViewIds.h"

namespace {

struct ViewMapProbe : CSignView {
    static const AFX_MSGMAP* Map() { return GetThisMessageMap(); }
};

int CountEntries(const AFX_MSGMAP* map) {
    int n = 0;
    while (map->lpEntries[n].pfn != nullptr)
        ++n;
    return n;
}

} // namespace

TEST(SignViewMap, NinetyOneEntriesBeforeTheSheetViewsMap) {
    const AFX_MSGMAP* map = ViewMapProbe::Map();
    EXPECT_EQ(CountEntries(map), 91);
    ASSERT_NE(map->pfnGetBaseMap, nullptr);
    struct SheetProbe : COleSheetView {
        static const AFX_MSGMAP* Map() { return GetThisMessageMap(); }
    };
    EXPECT_EQ(map->pfnGetBaseMap(), SheetProbe::Map());
}
