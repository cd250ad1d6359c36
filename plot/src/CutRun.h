#pragma once
// The cut page's operations on the device: the job run (Cut), Home and the cut-off, and
// the page's abort handler. The page supplies what the user sees through CutRunHost.

#include <mfc/CString.h>
#include <pathkit/AbortHandler.h>
#include <pathkit/BBox.h>

class CutSettings;
class PlotJob;
struct Plottable;

// The page's side: showing a sheet, the busy status, and the spool-job dialog.
class CutRunHost {
public:
    virtual ~CutRunHost() = default;
    // The current sheet changed (0-based): label, page data, preview.
    virtual void ShowSheet(int) {}
    // The busy text on or off.
    virtual void SetStatus(int) {}
    // Edits the spool texts; IDOK goes on.
    virtual int RunSpoolDialog();
};

// Polls the thread's queue during a run: Escape asks whether to stop (message 45), and a
// Yes aborts DRV's job; paint messages are let through, everything else dropped.
class CutAbortHandler : public AbortHandler {
public:
    void SetStage(const char* text, float from, float to) override;
    void SetProgress(float percent) override;
    void CheckAbort() override;
};

class CutRun {
public:
    enum Outcome {
        Finished,
        Refused,  // a check or the user stopped it before anything was sent
        Stopped,  // the user aborted while cutting
        Failed,   // the device failed; its driver has told why
        Declined, // the next sheet was declined
    };

    CutRun(PlotJob& job, CutSettings& settings, CutRunHost& host);

    Outcome Cut();
    Outcome Home();
    // Cuts across the media at `length` mm; count non-zero: at the cut speed.
    Outcome CutOff(float length, int count);

    // The extent of sheet n in millimetres: every copy or panel placed on it.
    floatBBox SheetBox(int sheet);
    // What stops a run before the device is bound; empty when nothing does. Told by Cut.
    CString CheckSettings();

    CutAbortHandler abortHandler;

private:
    bool Attach();
    void StartSheet();
    void Park(int headPos, const floatBBox& clip);
    void FollowHead();
    bool SheetsFit(int sheets, const floatBBox& clip);
    void SheetTexts(int sheet, int sheets);

    PlotJob& job_;
    CutSettings& settings_;
    CutRunHost& host_;
};
