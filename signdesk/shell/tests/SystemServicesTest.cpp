// Menu item copies and the default printer's page.

#include <gtest/gtest.h>

#include <mfc/afx.h>
#include <win32/GdiTesting.h>
#include <win32/SpoolerTesting.h>

#include "shell/CopyMenuItem.h"
#include "shell/DefaultPrinterPage.h"
#include "testing/PlatformTest.h"

namespace {

using SystemServicesTest = PlatformTest;

std::string TextOf(CMenu& menu, int position) {
    CString text;
    menu.GetMenuString(UINT(position), text, MF_BYPOSITION);
    return std::string(text);
}

} // namespace

TEST_F(SystemServicesTest, MenuItemsAreCopiedByCommand) {
    CMenu source;
    ASSERT_TRUE(source.CreatePopupMenu());
    source.AppendMenu(MF_STRING, 201, "&Properties...");
    CMenu sub;
    ASSERT_TRUE(sub.CreatePopupMenu());
    sub.AppendMenu(MF_STRING, 202, "&Copy");
    source.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(sub.Detach()), "Edit");

    CMenu context;
    ASSERT_TRUE(context.CreatePopupMenu());
    CopyMenuItem(&source, &context, 202);
    CopyMenuItem(&source, &context, 201);
    CopyMenuItem(&source, &context, 999); // no such command: an empty item
    ASSERT_EQ(context.GetMenuItemCount(), 3);
    EXPECT_EQ(context.GetMenuItemID(0), 202u);
    EXPECT_EQ(TextOf(context, 0), "&Copy");
    EXPECT_EQ(TextOf(context, 1), "&Properties...");
    EXPECT_EQ(context.GetMenuItemID(2), 999u);
    EXPECT_EQ(TextOf(context, 2), "");
    CopyMenuItem(&source, nullptr, 201);
}

TEST_F(SystemServicesTest, DefaultPrinterPage) {
    SdInstallFakeSpooler();
    float values[6];
    std::uint8_t orientation = 77;
    std::uint16_t paper = 77;
    auto page = [&] {
        for (float& v : values)
            v = -5.0f;
        return GetDefaultPrinterPage(values[0], values[1], values[2], values[3], values[4],
                                     values[5], orientation, paper);
    };
    // No printer: -1 and nothing written; the default sheet is 500 x 250.
    EXPECT_EQ(page(), -1);
    EXPECT_EQ(values[0], -5.0f);
    EXPECT_EQ(orientation, 77);
    float w = 0, h = 0;
    EXPECT_EQ(GetDefaultPaperSize(w, h), -1);
    EXPECT_EQ(w, 500.0f);
    EXPECT_EQ(h, 250.0f);

    SdAddFakePrinter("Proof");
    {
        // Without an application the set-up is the first printer's own.
        EXPECT_EQ(page(), 0);
        EXPECT_EQ(orientation, 1);
        EXPECT_EQ(paper, 9);
        EXPECT_NEAR(values[0], 210.0f, 0.5f); // printable
        EXPECT_NEAR(values[1], 297.0f, 0.5f);
        EXPECT_NEAR(values[2], 210.0f, 0.5f); // paper
        EXPECT_NEAR(values[3], 297.0f, 0.5f);
        EXPECT_EQ(values[4], 0.0f);
        EXPECT_EQ(values[5], 0.0f);
        // The sheet is the paper with its sides exchanged.
        EXPECT_EQ(GetDefaultPaperSize(w, h), 0);
        EXPECT_EQ(w, values[3]);
        EXPECT_EQ(h, values[2]);
    }
    {
        // The application's set-up carries the orientation and paper size.
        CWinApp app("page");
        PRINTDLGA pd{};
        ASSERT_TRUE(app.GetPrinterDeviceDefaults(&pd));
        auto* mode = static_cast<DEVMODEA*>(::GlobalLock(pd.hDevMode));
        mode->dmOrientation = DMORIENT_LANDSCAPE;
        mode->dmPaperSize = 8; // A3
        mode->dmFields |= DM_ORIENTATION | DM_PAPERSIZE;
        ::GlobalUnlock(pd.hDevMode);
        EXPECT_EQ(page(), 0);
        EXPECT_EQ(orientation, 2);
        EXPECT_EQ(paper, 8);
        // A set-up that names neither gives portrait A4.
        mode = static_cast<DEVMODEA*>(::GlobalLock(pd.hDevMode));
        mode->dmFields &= ~(DM_ORIENTATION | DM_PAPERSIZE);
        ::GlobalUnlock(pd.hDevMode);
        EXPECT_EQ(page(), 0);
        EXPECT_EQ(orientation, 1);
        EXPECT_EQ(paper, 9);
        // No context for the printer: the measures of the last call that made one.
        const float paperHeight = values[3];
        SdGdiSetNoPrinter(true);
        EXPECT_EQ(page(), 0);
        EXPECT_EQ(values[3], paperHeight);
        SdGdiSetNoPrinter(false);
    }
    SdRemoveFakeSpooler();
}
