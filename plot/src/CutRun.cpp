#include "CutRun.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <mfc/CWinApp.h>
#include <pathkit/ColorPath.h>
#include <pathkit/SubPath.h>
#include <settings/CIniFile.h>
#include <win32/kernel.h>
#include <win32/user.h>

#include "JobSheetResources.h"
#include "JobSheetStrings.h"
#include "PlotJob.h"
#include "PlotSettings.h"
#include "plot/PlotIni.h"
#include "plot/PlotPath.h"
#include "plot/Plottable.h"
#include "plot/Plotter.h"

namespace {

std::string Number(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

int Tell(UINT id, const char* fallback, const std::string& first = {},
         const std::string& second = {}, UINT type = MB_OK | MB_ICONEXCLAMATION) {
    return AfxMessageBox(JobSheetText(id, fallback, first.c_str(), second.c_str()), type);
}

LONG Round(float v) {
    return LONG(std::floor(v + 0.5f));
}

} // namespace

int CutRunHost::RunSpoolDialog() {
    return IDOK;
}

void CutAbortHandler::SetStage(const char*, float f, float t) {
    from = f;
    to = t;
}

void CutAbortHandler::SetProgress(float) {}

void CutAbortHandler::CheckAbort() {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return;
    if (msg.message == WM_KEYDOWN && msg.wParam == WPARAM(VK_ESCAPE)) {
        MessageBeep(0);
        if (Tell(IDS_CONFIRM_ABORT, "Do you want to stop cutting?", {}, {},
                 MB_YESNO | MB_ICONQUESTION) == IDYES) {
            DRV.aborted = 1;
            aborted = 1;
        }
    } else if (msg.message == WM_PAINT) {
        DispatchMessageA(&msg);
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT &&
               PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    } else if (msg.message == WM_QUIT) {
        // The main loop's, not ours.
        PostQuitMessage(int(msg.wParam));
    }
}

CutRun::CutRun(PlotJob& job, CutSettings& settings, CutRunHost& host)
    : job_(job), settings_(settings), host_(host) {}

floatBBox CutRun::SheetBox(int sheet) {
    std::vector<PlotJob::SheetItem> items;
    job_.Arrange(items);
    floatBBox box;
    bool first = true;
    for (const PlotJob::SheetItem& item : items) {
        if (item.sheet != sheet) continue;
        floatBBox r(item.x, item.y, item.x + item.w, item.y + item.h);
        if (first)
            box = r;
        else
            box += r;
        first = false;
    }
    return box;
}

CString CutRun::CheckSettings() {
    CString plotIni = GetPlotIni();
    CIniFile ini(plotIni);
    struct Range {
        const char* key;
        float lo, hi;
    };
    // The pages' ranges; a file edited by hand may hold anything.
    const Range ranges[] = {
        {"overlapX", 0, 50},       {"overlapY", 0, 50},    {"panelMarkLength", 0, 20},
        {"panelMarkWidth", 0, 20}, {"markerSize", 5, 100}, {"weedDx", 0, 100},
        {"weedDy", 0, 100},        {"HeadPos", 0, 5},
    };
    for (const Range& r : ranges) {
        CString text = ini.GetCString("General", r.key, "");
        if (text.IsEmpty()) continue;
        double v = ini.GetFloat("General", r.key, r.lo);
        bool whole = std::string(r.key) != "HeadPos" || v == std::floor(v);
        if (v >= r.lo && v <= r.hi && whole) continue;
        std::string what = std::string(r.key) + " = " + static_cast<const char*>(text) + " in " +
                           static_cast<const char*>(plotIni);
        return JobSheetText(IDS_SETTING_OUT_OF_RANGE, "The setting %s lies outside its range %s.",
                            what.c_str(), (Number(r.lo) + " to " + Number(r.hi)).c_str());
    }
    if (!(OverCutting >= 0 && OverCutting <= 10)) {
        std::string what =
            "Overcutting = " + Number(OverCutting) + " mm in " + static_cast<const char*>(plotIni);
        return JobSheetText(IDS_SETTING_OUT_OF_RANGE, "The setting %s lies outside its range %s.",
                            what.c_str(), "0 to 10 mm");
    }
    if (int fault = job_.tiles.getFault()) {
        UINT why = fault == TileTable::StepTooSmall   ? IDS_PANEL_STEP_TOO_SMALL
                   : fault == TileTable::TileTooSmall ? IDS_PANEL_TILE_TOO_SMALL
                                                      : IDS_PANEL_TOO_MANY;
        CString reason = JobSheetText(why, "the panel settings leave no panel.");
        return JobSheetText(IDS_NO_PANELS, "The job cannot be cut in panels: %s", reason);
    }
    return CString();
}

bool CutRun::Attach() {
    return AttachSelectedDevice(settings_.currentPlotter, &abortHandler) == 0;
}

void CutRun::SheetTexts(int sheet, int sheets) {
    char text[64];
    std::snprintf(text, sizeof text, "%d/%d", sheet + 1, sheets);
    DRV.sheetText = text;
    floatBBox box = SheetBox(sheet);
    std::snprintf(text, sizeof text, "%d x %d", int(std::floor(box.right - box.left + 0.5f)),
                  int(std::floor(box.top - box.bottom + 0.5f)));
    DRV.sheetSizeText = text;
}

void CutRun::StartSheet() {
    DRV.HPStart();
    DRV.HPEnd();
    DRV.headX = DRV.headY = 0;
    DRV.Start(settings_.plotMode == 0);
    // The first speed in plot mode, the second in cut mode.
    DRV.SetSpeed(settings_.plotMode == 0);
}

bool CutRun::SheetsFit(int sheets, const floatBBox& clip) {
    float step = DRV.GetStepSize();
    float width = (clip.right - clip.left) * step, length = (clip.top - clip.bottom) * step;
    for (int i = 0; i < sheets; ++i) {
        floatBBox b = SheetBox(i);
        // A twentieth of a millimetre for rounding.
        if (b.right <= width + 0.05f && b.top <= length + 0.05f && b.left >= -0.05f &&
            b.bottom >= -0.05f)
            continue;
        std::string size = Number(std::round((b.right - b.left) * 10) / 10) + " x " +
                           Number(std::round((b.top - b.bottom) * 10) / 10) + " mm, area " +
                           Number(std::round(width * 10) / 10) + " x " +
                           Number(std::round(length * 10) / 10) + " mm";
        return Tell(IDS_SHEET_TOO_LARGE, "Sheet %s is larger than the cutting area (%s). Cut it?",
                    std::to_string(i + 1), size, MB_YESNO | MB_ICONQUESTION) == IDYES;
    }
    return true;
}

void CutRun::Park(int headPos, const floatBBox& clip) {
    floatBBox e = job_.extentBox;
    // The extent is the whole box of every path cut; the head stays on the media.
    e.left = std::clamp(std::max(e.left, 0.0f), clip.left, clip.right);
    e.right = std::clamp(std::max(e.right, 0.0f), clip.left, clip.right);
    e.bottom = std::clamp(std::max(e.bottom, 0.0f), clip.bottom, clip.top);
    e.top = std::clamp(std::max(e.top, 0.0f), clip.bottom, clip.top);
    switch (headPos) {
    case 0:
        DRV.Home();
        break;
    case 1:
        DRV.MoveTo(Round(e.left), Round(e.bottom));
        break;
    case 2:
        DRV.MoveTo(Round(e.right), Round(e.bottom));
        break;
    case 3:
        DRV.MoveTo(Round(e.left), Round(e.top));
        break;
    case 4:
        DRV.MoveTo(Round(e.right), Round(e.top));
        break;
    case 5:
        DRV.MoveTo(0, Round(e.top));
        break;
    default:
        break;
    }
}

void CutRun::FollowHead() {
    if (DRV.aborted) return;
    bool wasTiled = job_.IsTiled();
    int copies = job_.copies;
    float step = DRV.GetStepSize();
    job_.contentX = float(DRV.headX) * step;
    job_.contentY = float(DRV.headY) * step;
    job_.copies = 1;
    job_.notifyTileChange(0);
    if (!wasTiled && job_.IsTiled()) {
        if (settings_.headPos == 2 || settings_.headPos == 4) job_.contentX = 0;
        if (settings_.headPos == 2) job_.contentY += job_.getContentHeight();
        job_.notifyTileChange(0);
        if (job_.IsTiled()) {
            Tell(IDS_START_RESET, "The next job starts at the media origin again.");
            job_.contentX = job_.contentY = 0;
            job_.copies = copies;
            job_.notifyTileChange(0);
        }
    }
    if (job_.copies != copies) {
        job_.copies = copies;
        job_.notifyTileChange(0);
    }
}

CutRun::Outcome CutRun::Cut() {
    CString why = CheckSettings();
    if (!why.IsEmpty()) {
        AfxMessageBox(why, MB_OK | MB_ICONEXCLAMATION);
        return Refused;
    }
    if (job_.design && !job_.design->isCutAllowed()) {
        Tell(IDS_CUT_NOT_ALLOWED, "This design may not be cut.");
        return Refused;
    }
    floatBBox bounds;
    job_.getBounds(bounds);
    bool anything = false;
    {
        ColorPath** paths;
        int n = job_.GetPaths(paths);
        for (int i = 0; i < n && !anything; ++i) {
            if (!paths[i] || !job_.PassesLayer(*paths[i]) ||
                !job_.IsColourEnabled(paths[i]->colour))
                continue;
            paths[i]->Validate(SP_ACCBOX_INVALID | SP_CTRLBOX_INVALID);
            anything = paths[i]->subPaths.Filled() > 0;
        }
        if (job_.registrationMarkers)
            for (const PlotJob::Marker& m : job_.markers)
                anything = anything || m.used;
    }
    if (!anything) {
        Tell(IDS_NOTHING_TO_CUT, "There is nothing to cut.");
        return Refused;
    }
    if (DRV.useSpooler) {
        if (host_.RunSpoolDialog() != IDOK) return Refused;
        settings_.Save();
    }

    const int sheets = job_.GetSheetCount();
    host_.ShowSheet(0);
    // A tiled roll job cuts its panels once.
    DRV.copies = job_.IsTiled() && !job_.manualFeed ? 1 : job_.copies;
    SheetTexts(0, sheets);

    abortHandler.aborted = 0;
    if (!Attach()) {
        // Told by the binding; nothing is sent.
        DRV.Detach();
        return Failed;
    }
    const floatBBox clip(std::min(0L, long(DRV.GetMaxXStep())), 0,
                         std::max(0L, long(DRV.GetMaxXStep())), float(DRV.GetMaxYStep()));
    if (!SheetsFit(sheets, clip)) {
        DRV.Detach();
        return Refused;
    }
    const bool port = !DRV.isPlotFile();
    const bool spooling = DRV.useSpooler != 0;
    const int leaveHead = !DeviceSettings(settings_.currentPlotter).DisableLeaveHeadAt();

    host_.SetStatus(1);
    DRV.Init(1);
    StartSheet();

    int sheet = 0;
    bool declined = false;
    for (; sheet < sheets; ++sheet) {
        if (DRV.aborted) break; // the job could not be opened
        if (sheet > 0) {
            host_.ShowSheet(sheet);
            if (spooling) {
                DRV.Exit();
            } else {
                host_.SetStatus(0);
                if (Tell(IDS_NEXT_SHEET, "Cut the next sheet?", {}, {},
                         MB_YESNO | MB_ICONQUESTION) != IDYES) {
                    declined = true;
                    if (port) {
                        host_.SetStatus(1);
                        DRV.Exit();
                    }
                    break;
                }
            }
            host_.SetStatus(1);
            SheetTexts(sheet, sheets);
            if (spooling || port)
                DRV.Init(1);
            else
                DRV.SetHeadPos();
            StartSheet();
        }
        job_.RunSheet(clip, sheet);
        // Where the cut stopped, the rest of the job is skipped.
        if (DRV.aborted) break;
        if (sheet == sheets - 1 && leaveHead) Park(settings_.headPos, clip);
        // Each spool job file is a job of its own, ended like one.
        if (port || spooling) DRV.End();
        host_.SetStatus(0);
    }

    if (DRV.aborted) {
        // The sheet begun is closed (its driver ends what it began); a spooled sheet that
        // stopped is no job for the spooler.
        CString spoolFile = DRV.spoolFile;
        DRV.Exit();
        if (spooling && !spoolFile.IsEmpty()) DeleteFileA(spoolFile);
        DRV.spoolFile = "";
        bool user = abortHandler.aborted != 0;
        DRV.Detach();
        host_.SetStatus(0);
        if (!user) return Failed;
        Tell(IDS_CUT_STOPPED, "The cut was stopped in sheet %s of %s.", std::to_string(sheet + 1),
             std::to_string(sheets));
        return Stopped;
    }
    host_.SetStatus(1);
    if (!port && !spooling) DRV.End();
    host_.SetStatus(0);
    DRV.spoolFile = "";
    DRV.Detach();
    Tell(IDS_JOB_FINISHED, "The job is finished.", {}, {}, MB_OK | MB_ICONINFORMATION);
    FollowHead();
    return declined ? Declined : Finished;
}

CutRun::Outcome CutRun::Home() {
    abortHandler.aborted = 0;
    if (!Attach()) {
        DRV.Detach();
        return Failed;
    }
    host_.SetStatus(1);
    DRV.Init(1);
    DRV.HPStart();
    DRV.HPEnd();
    DRV.headX = DRV.headY = 0;
    DRV.Home();
    DRV.Reset();
    DRV.Exit();
    host_.SetStatus(0);
    bool failed = DRV.aborted != 0;
    DRV.headX = DRV.headY = 0;
    FollowHead();
    DRV.Detach();
    return failed ? Failed : Finished;
}

CutRun::Outcome CutRun::CutOff(float length, int count) {
    abortHandler.aborted = 0;
    if (!Attach()) {
        DRV.Detach();
        return Failed;
    }
    host_.SetStatus(1);
    DRV.Init(1);
    DRV.headX = DRV.headY = 0;
    DRV.Home();
    DRV.Reset();
    DRV.SetSpeed(count != 0);
    LONG l = DRV.InSteps(length);
    DRV.MoveTo(0, l);
    DRV.LineTo(0, l);
    DRV.Home();
    DRV.Reset();
    DRV.Exit();
    host_.SetStatus(0);
    bool failed = DRV.aborted != 0;
    DRV.headX = DRV.headY = 0;
    FollowHead();
    DRV.Detach();
    return failed ? Failed : Finished;
}
