#pragma once
// An owner-drawn combo box whose entries show a 16 x 15 picture of a bitmap strip before
// their text (picture i at x = 16 * i of the strip). While the list is open, each newly
// highlighted entry is reported to the parent as CBN_SELCHANGE, so it follows the highlight.

#include <memory>
#include <vector>

#include <mfc/CControls.h>
#include <mfc/CGdiObject.h>
#include <mfc/CString.h>

class CBmpComboBox : public CComboBox {
    DECLARE_DYNCREATE(CBmpComboBox)
public:
    static constexpr int PictureWidth = 16;
    static constexpr int PictureHeight = 15;
    // The text starts this far right of the entry's left edge.
    static constexpr int TextIndent = 22;

    CBmpComboBox() = default;
    // The strip is the bitmap of that id in the resource module.
    explicit CBmpComboBox(UINT nBitmapID);
    ~CBmpComboBox() override;

    // The entry's index, or the list's negative error.
    int AddItem(LPCSTR text, DWORD imageIndex);
    // Empty for -1; an entry added without a picture gives its list text.
    void GetItemText(int index, CString& text) const;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    struct Item {
        DWORD imageIndex;
        CString text;
    };
    std::vector<std::unique_ptr<Item>> m_items;
    int m_nLastNotified = 0;
    CBitmap m_strip;
};
