// The program folder's sample design, opened as File Open opens it and seen in the view.

#include <gtest/gtest.h>

#include <sheet/SheetSettings.h>

#include "SignViewTestSupport.h"

TEST_F(SignViewTest, TheSampleDesignOpensIntoTheViewAndIsSeen) {
    StartApp();
    ASSERT_EQ(app->OpenDocumentFile(SAMPLE_DESIGN), doc);
    EXPECT_EQ(view->GetSignDoc(), doc);
    ASSERT_EQ(doc->m_sheet.GetSize(), 7);
    EXPECT_EQ(SheetSettings::DocWidth, 700.0f);
    const SdGdiImage picture = Picture();
    auto at = [&](float x, float y) {
        const CPoint p = Client(x, y);
        return picture.at(p.x, p.y);
    };
    // The panel, a letter on it (the middle of the I's stem), the star, the page outside.
    EXPECT_EQ(at(40, 200), RGB(16, 48, 112));
    const floatBBox& letterI = *doc->m_sheet.GetObj(2)->GetBBox();
    EXPECT_EQ(at((letterI.left + letterI.right) / 2, (letterI.bottom + letterI.top) / 2),
              RGB(255, 255, 255));
    EXPECT_EQ(at(610, 205), RGB(255, 204, 0));
    EXPECT_EQ(at(10, 10), SheetSettings::BGColor);
}
