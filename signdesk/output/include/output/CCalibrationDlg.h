#pragma once
// Head positioning and calibration (template 429): the user jogs the cutter's head (or its
// laser pointer) onto the three printed registration marks and records each, or lets the
// device find them. OK takes the measurement only when it is usable.
#include <mfc/CDialog.h>
#include <pathkit/AbortHandler.h>
#include <pathkit/Point.h>

class Plotter;

class CCalibrationDlg : public CDialog {
public:
    enum { IDD = 429 };
    CCalibrationDlg(Plotter& plotter, const floatPoint targets[3], CWnd* parent = nullptr);

    // Jogs by (dx, dy) steps as the buttons and arrow keys do.
    void Jog(LONG dx, LONG dy);
    // Records measured point i (0..2) at the shown position.
    void Record(int i);
    // The step a jog makes now (Ctrl and Shift read from the keyboard).
    int CurrentJogStep() const;

    floatPoint targets[3];
    floatPoint measured[3];
    double laserX = 0;
    double laserY = 0;
    int laserAllowed = 0;
    int useLaser = 0;
    float shownX = 0;
    float shownY = 0;
    LONG limitX = 1000000;
    LONG limitY = 1000000;
    DWORD lastMoveTime = 0;
    int busy = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnOK() override;
    void OnUp();
    void OnDown();
    void OnLeft();
    void OnRight();
    void OnRecord1();
    void OnRecord2();
    void OnRecord3();
    void OnAutoSearch();
    void OnReadHead();
    void OnReset();
    void OnLaser();
    DECLARE_MESSAGE_MAP()

private:
    // Escape during a move asks whether to stop positioning.
    class EscapePoll : public AbortHandler {
    public:
        explicit EscapePoll(Plotter& p) : plotter(p) {}
        void CheckAbort() override;
        Plotter& plotter;
    };
    void RefreshShownPosition();
    void ShowRecorded(int i);
    void FocusCancel();
    Plotter& plotter_;
    bool moveMade_ = false;
};
