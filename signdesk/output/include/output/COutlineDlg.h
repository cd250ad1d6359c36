#pragma once
// The Outline command's options (template 239): distance, count and six switches, kept for
// the program run, with a sample of the outline drawn in control 2770.
#include <mfc/CDialog.h>

struct OutlineOptions {
    float distance = 2.0f; // mm, 0.1..10000
    int count = 1;         // 1..100
    int bothSides = 0;     // 2660
    int outerOnly = 0;     // 2661
    int corner = 0;        // 2662
    int inward = 0;        // 2663
    int combined = 1;      // 2664
    int addSelected = 0;   // 2665
};

// The program's one record.
OutlineOptions& TheOutlineOptions();

class COutlineDlg : public CDialog {
public:
    enum { IDD = 239 };
    explicit COutlineDlg(CWnd* parent = nullptr);
    OutlineOptions values;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;
    void OnDrawItem(int id, LPDRAWITEMSTRUCT item);
    DECLARE_MESSAGE_MAP()

private:
    void Enable();
};
