// The text path copy that Save can drop into the spool folder.

#include <cstdio>

#include <mfc/CWaitCursor.h>
#include <mfc/CWinApp.h>
#include <model/CObjIterator.h>
#include <model/CPathObj.h>
#include <pathkit/ColorWPFWriter.h>
#include <pathkit/Path.h>
#include <pathkit/PathCombination.h>
#include <shell/GeometryRecords.h>

#include "doc/COStreamOut.h"
#include "doc/CSignDoc.h"
#include "doc/SignDocSettings.h"

#include <sheet/SheetSettings.h>

BOOL CSignDoc::WriteWpfCopy(LPCSTR path, int selectedOnly) {
    CWaitCursor wait;
    const std::string target = path;
    const std::string temp = target + ".part";
    bool ok = false;
    {
        COStreamOut out(temp.c_str());
        if (out.Good()) {
            ColorWPFWriter writer(out, 0.0f);
            Path frame;
            const float w = SheetSettings::DocWidth, h = SheetSettings::DocHeight;
            frame.MoveTo(floatPoint(0, 0));
            frame.LineTo(floatPoint(w, 0));
            frame.LineTo(floatPoint(w, h));
            frame.LineTo(floatPoint(0, h));
            frame.ClosePath();
            writer << frame;
            WriteDesignWpf(writer, floatTMatrix(), selectedOnly);
            ok = out.Flush() == 0 && out.Good() && out.Close() == 0;
        }
    }
    if (ok && std::rename(temp.c_str(), target.c_str()) == 0) return TRUE;
    std::remove(temp.c_str());
    CString text;
    text.LoadString(SignDocIds::WriteCopyFailed);
    AfxMessageBox(text + path, MB_ICONEXCLAMATION);
    return FALSE;
}

namespace {

// Every leaf of the design's top-level objects (only the selected ones when asked).
template <class F> void ForEachLeaf(CSign& sheet, int selectedOnly, F&& visit) {
    for (int i = 0; i < sheet.GetSize(); ++i) {
        CSignObj* top = sheet.GetObj(i);
        if (top == nullptr || (selectedOnly && !top->m_bSelected)) continue;
        CObArray root;
        root.Add(top);
        CObjIterator it(&root);
        for (it.First(); CSignObj* leaf = it.Current(); it.Next())
            visit(*leaf);
        root.RemoveAll();
    }
}

} // namespace

void CSignDoc::WriteDesignWpf(ColorWPFWriter& writer, const floatTMatrix& m, int selectedOnly) {
    if (!SignDocSettings::ClippathOnly) {
        m_sheet.WriteColorPaths(writer, m, selectedOnly, 0);
        return;
    }
    // The outer contours of every cut-and-outer object, united into one cut path.
    Path outlines;
    ForEachLeaf(m_sheet, selectedOnly, [&](CSignObj& obj) {
        Path* path = obj.GetPath();
        if (!obj.m_bFlag1 || !obj.m_bFlag2 || path == nullptr) return;
        Path copy(*path);
        Path outer;
        FilterSubPaths(copy, outer, 0);
        outlines.Concat(outer);
    });
    CPathObj united;
    SumTo(outlines, united.m_path);
    united.SetColor(0);
    united.m_bFlag1 = 1;
    united.RefreshBBox();
    united.BuildColorPath(writer, m, united.GetLayer(), 0);
    ForEachLeaf(m_sheet, selectedOnly, [&](CSignObj& obj) {
        if (obj.m_bFlag1 && !obj.m_bFlag2 && obj.GetPath() != nullptr)
            obj.BuildColorPath(writer, m, obj.GetLayer(), 0);
    });
}
