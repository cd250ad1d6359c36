#pragma once
// A list box whose items carry a check box: an owner-drawn list (LBS_OWNERDRAWFIXED with
// LBS_HASSTRINGS) that draws the box before each text. A click on the box, or the space bar
// on the selected item, toggles it and tells the parent CLBN_CHKCHANGE.

#include <vector>

#include "mfc/CControls.h"

constexpr WORD CLBN_CHKCHANGE = 40;

class MFC_API CCheckListBox : public CListBox {
    DECLARE_DYNAMIC(CCheckListBox)

public:
    // 0 clear, 1 checked. An index outside the list is ignored (SetCheck) or answers 0.
    void SetCheck(int nIndex, int nCheck);
    int GetCheck(int nIndex) const;

    // The list's own operations, keeping the checks beside the items (new items clear).
    int AddString(LPCSTR lpszItem);
    int InsertString(int nIndex, LPCSTR lpszItem);
    int DeleteString(UINT nIndex);
    void ResetContent();

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;

    // The width of the check area at the left of each item, pixels.
    static constexpr int BoxWidth = 14;

protected:
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    DECLARE_MESSAGE_MAP()

private:
    void Toggle(int index);
    std::vector<int> checks_;
};
