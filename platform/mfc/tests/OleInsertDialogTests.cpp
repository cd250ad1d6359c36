// The insert-object dialog: its preselected choice, the file choice, and an empty type list.

#include <gtest/gtest.h>

#include "mfc/COleInsertDialog.h"
#include "testing/DialogDriver.h"
#include "testing/PlatformTest.h"
#include "win32/controls.h"

using OleInsertDialogTest = PlatformTest;

TEST_F(OleInsertDialogTest, CreateNewIsPreselectedAndNoObjectTypeIsOffered) {
    COleInsertDialog dialog(IOF_SELECTCREATENEW);
    SetDialogScriptForClass("COleInsertDialog", [](HWND hwnd) {
        EXPECT_EQ(::IsDlgButtonChecked(hwnd, SD_INSERT_CREATE_NEW), UINT(BST_CHECKED));
        EXPECT_EQ(::IsDlgButtonChecked(hwnd, SD_INSERT_FROM_FILE), UINT(BST_UNCHECKED));
        EXPECT_EQ(::SendDlgItemMessageA(hwnd, SD_INSERT_TYPES, LB_GETCOUNT, 0, 0), 0);
        sdtest::Click(hwnd, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetSelectionType(), UINT(COleInsertDialog::createNewItem));
    EXPECT_TRUE(dialog.GetTypeName().IsEmpty());
}

TEST_F(OleInsertDialogTest, FromFileGivesTheTypedPath) {
    COleInsertDialog dialog(IOF_SELECTCREATENEW);
    SetDialogScriptForClass("COleInsertDialog", [](HWND hwnd) {
        sdtest::Click(hwnd, SD_INSERT_FROM_FILE);
        sdtest::Type(hwnd, SD_INSERT_FILE, "/tmp/picture.bmp");
        sdtest::Click(hwnd, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetSelectionType(), UINT(COleInsertDialog::insertFromFile));
    EXPECT_EQ(std::string(LPCSTR(dialog.GetPathName())), "/tmp/picture.bmp");
}

TEST_F(OleInsertDialogTest, CancelLeavesNothingChosen) {
    COleInsertDialog dialog(IOF_SELECTCREATEFROMFILE);
    SetDialogScriptForClass("COleInsertDialog", [](HWND hwnd) {
        EXPECT_EQ(::IsDlgButtonChecked(hwnd, SD_INSERT_FROM_FILE), UINT(BST_CHECKED));
        sdtest::Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(dialog.GetPathName().IsEmpty());
}
