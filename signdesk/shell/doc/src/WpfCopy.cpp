// The text path copy that Save can drop into the spool folder.

#include <cstdio>

#include <mfc/CWaitCursor.h>
#include <mfc/CWinApp.h>
#include <pathkit/ColorWPFWriter.h>
#include <pathkit/Path.h>

#include "doc/COStreamOut.h"
#include "doc/CSignDoc.h"

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

void CSignDoc::WriteDesignWpf(ColorWPFWriter& writer, const floatTMatrix& m, int selectedOnly) {
    m_sheet.WriteColorPaths(writer, m, selectedOnly, 0);
}
