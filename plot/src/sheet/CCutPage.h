#pragma once
// The cut page: the device, the overcut, optimisation, plot mode, spooling and where the head
// is left; the sheets of the job in a preview; Cut, Home and the cut-off.

#include "../CutRun.h"
#include "../PlotSettings.h"
#include "CDisplayPage.h"
#include "CutPageDialogs.h"

namespace plotsheet {

class CCutPage : public CDisplayPage, public CutRunHost {
public:
    CCutPage();

    int CanEditLayout() override { return 0; }
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;

    // CutRunHost
    void ShowSheet(int sheet) override;
    void SetStatus(int on) override;
    int RunSpoolDialog() override;

    CutSettings settings;
    int sheets = 1;
    int current = 0;
    floatBBox sheetBox; // mm

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void DrawPreview(CDC& dc) override;

    void OnDeviceChange();
    void OnSetup();
    void OnDelete();
    void OnPrevious();
    void OnNext();
    void OnCut();
    void OnHome();
    void OnCutOff();
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void FillDevices();
    void ShowLabel();
    void ReadHeadOption();

    CSpoolJobDialog spoolDialog_;
    int disableLeaveHeadAt_ = 0;
};

} // namespace plotsheet
