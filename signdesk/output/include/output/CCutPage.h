#pragma once
// The cut page of the output sheet: picks the cutter, keeps its settings, places or measures
// the three registration points and cuts the contours of the printed copies.
#include <mfc/CControls.h>
#include <pathkit/AbortHandler.h>
#include <pathkit/Point.h>
#include <pathkit/TMatrix.h>

#include "output/CPreviewPage.h"

class CCutPage : public CPreviewPage {
public:
    enum { IDD = 1513 };
    explicit CCutPage(CPrintEngine& engine);

    bool IsLayoutEditable() override { return false; }

    void LoadPlotterSettings();
    void SavePlotterSettings();
    // Binds the current plotter; false, told, when its driver gives no cutter.
    bool AttachCurrentPlotter();
    void SetDefaultPoints();
    bool PointsPlaced() const;
    // The job name: the document's file name less its last extension, the untitled name
    // when there is none.
    CString JobName() const;

    // Picks the sheet of copies to cut (0 the first, limited to the sheets there are); another
    // sheet lies on the cutter anew, so its marks must be measured or accepted again.
    void SelectSheet(int index);

    // The buttons' actions.
    void Cut();
    void Calibrate();
    void MoveHome();
    void DeleteDevice();

    CComboBox plotters;
    int plotMode = 0;
    int editPoints = 0;
    CString currentPlotter;
    floatPoint points[3];
    floatTMatrix calibration;
    int pickedPoint = -1;
    int useSpooler = 0;
    int optimization = 1;
    float overcutting = 0;

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnPreviewMouse() override;
    void PaintPreview(CDC* dc, const RECT& rect) override;

private:
    // Escape during the cut asks whether to stop; paint keeps windows drawn; every other
    // message waits in the queue.
    class AbortPoll : public AbortHandler {
    public:
        void CheckAbort() override;
        bool userAborted = false;
    };
    void UpdateControls();
    // The sheet field, its spin range and the number of sheets.
    void ShowSheet();
    void ShowBusy(bool on);
    // Moves the head to the device origin and makes that the head.
    void MoveToOrigin();
    void SnapPoint(floatPoint& p);
    CString devicesPath;
    CString jobName_;
    AbortPoll abortPoll_;
    bool showingSheet_ = false;
};
