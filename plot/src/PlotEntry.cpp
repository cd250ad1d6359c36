// The Plot entry points: the resource module, the marker shape, the unit, and the sheet.

#include <string>

#include <mfc/CString.h>
#include <mfc/CWinApp.h>
#include <mfc/FrameworkIds.h>
#include <pathkit/ColorPath.h>
#include <pathkit/ColorWPFReader.h>
#include <pathkit/Exceptions.h>
#include <pathkit/FileStreams.h>
#include <settings/CUnit.h>
#include <settings/ProgramFolders.h>
#include <win32/module.h>

#include "JobSheetResources.h"
#include "JobSheetStrings.h"
#include "PlotJob.h"
#include "PlotUnit.h"
#include "plot/Plot.h"
#include "plot/Plottable.h"
#include "plot/Plotter.h"
#include "sheet/CCutPage.h"
#include "sheet/CLayoutPage.h"
#include "sheet/CPlotSheet.h"
#include "sheet/CSettingsPage.h"
#include "sheet/CTilePage.h"

namespace {

// The custom unit's name while a host's table unit is in use.
std::string customUnitName;

// The first path with outlines in the program folder's marker library.
bool LoadMarkerShape() {
    CString file = GetProgramDir() + "marker.mlb";
    FileInStream in(file);
    if (!in.IsOpen()) return false;
    try {
        ColorWPFReader reader(in, 0);
        for (int guard = 0; guard < 10000; ++guard) {
            ColorPath shape;
            if (!reader.Read(shape)) break;
            if (shape.subPaths.Filled()) {
                shape.Close();
                shape.Prepare();
                Job.SetMarkerShape(shape);
                return true;
            }
        }
    } catch (const RuntimeError&) {
    } catch (const Eof&) {
    }
    return false;
}

void RunSheet(CWnd* parent, Plottable* design) {
    HINSTANCE previous = AfxGetResourceHandle();
    HMODULE resources = LoadLibraryA(JobSheetModule);
    if (!resources) {
        AfxMessageBox("Unable to find jobsheet-res.DLL", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    AfxSetResourceHandle(HINSTANCE(resources));

    Job.SetMarkerShape(Path());
    if (!LoadMarkerShape())
        AfxMessageBox(JobSheetText(IDS_NO_MARKER_SHAPE, "The marker library holds no shape."),
                      MB_OK | MB_ICONEXCLAMATION);

    {
        plotsheet::CPlotSheet sheet("Cut", parent);
        plotsheet::CLayoutPage layout;
        plotsheet::CSettingsPage settings;
        plotsheet::CTilePage tiles;
        plotsheet::CCutPage cut;
        sheet.AddPage(&layout);
        sheet.AddPage(&settings);
        sheet.AddPage(&tiles);
        sheet.AddPage(&cut);

        // A new design is shown with all its layers.
        Job.layerFilter = PlotJob::AllLayers;
        Job.SetDesign(design);
        const char* name = design ? design->getJobName() : nullptr;
        CString jobName = name ? name : "";
        if (jobName.IsEmpty()) {
            CString untitled;
            if (!untitled.LoadString(AFX_IDS_UNTITLED)) untitled = "Untitled";
            jobName = untitled;
        }
        DRV.jobName = jobName;
        sheet.DoModal();
        // The host's paths are its own: nothing of them stays.
        Job.SetDesign(nullptr);
    }
    Job.SetMarkerShape(Path());
    AfxSetResourceHandle(previous);
    FreeLibrary(resources);
}

} // namespace

void Plot(CWnd* parent, Plottable* design, int unit) {
    PlotUnit.unit = std::uint32_t(unit >= 0 && unit <= CUnit::CUSTOM ? unit : CUnit::MM);
    RunSheet(parent, design);
}

void Plot(CWnd* parent, Plottable* design, CUnit* unit) {
    if (unit) {
        if (unit->unit <= CUnit::CUSTOM) {
            PlotUnit.unit = unit->unit;
            PlotUnit.mmPerUnit = unit->mmPerUnit;
            customUnitName = unit->customName ? unit->customName : "unit";
        } else {
            // A unit of the host's own table: Plot knows the built-in units only.
            PlotUnit.unit = CUnit::CUSTOM;
            PlotUnit.mmPerUnit = float(unit->ToMM(1));
            customUnitName = unit->GetName();
        }
        PlotUnit.customName = customUnitName.c_str();
    }
    RunSheet(parent, design);
}
