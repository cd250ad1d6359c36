#pragma once
// The print options page (template 427): print-and-cut, the mark settings, the detail level,
// the colour profile and the printer set-up. It reads and writes section "General".
#include <mfc/CPropertySheet.h>
#include <shell/CColorSwatch.h>

class CPrintEngine;

class CPrintOptionsPage : public CPropertyPage {
public:
    enum { IDD = 427 };
    explicit CPrintOptionsPage(CPrintEngine& engine);

    void LoadSettings();
    void SaveSettings();

    int printAndCut = 0;
    float markerDistance = 0;
    int cropMarks = 0;
    int syncMarks = 0;
    int detail = 0;

protected:
    BOOL OnInitDialog() override;
    BOOL OnKillActive() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    // Takes the fields, lays the copies out again and saves.
    void TakeAndSave();
    void EnableFields();
    CPrintEngine& engine_;
    CColorSwatch swatch_;
};
