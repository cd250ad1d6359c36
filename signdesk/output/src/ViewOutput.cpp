#include "output/ViewOutput.h"

#include <mfc/CDC.h>
#include <mfc/CWinApp.h>
#include <settings/PathNames.h>
#include <win32/user.h>
#include <win32/wingdi.h>

#include "output/OutputIds.h"

CString JobNameFromPath(const char* documentPath) {
    CString name = GetPathFileName(documentPath ? documentPath : "");
    int dot = name.ReverseFind('.');
    if (dot >= 0 && dot + 1 < name.GetLength()) name = name.Left(dot);
    return name;
}

bool DecidePassThrough(CDC* dc, bool needsPicture) {
    if (!dc) return false;
    int escape = POSTSCRIPT_PASSTHROUGH;
    if (dc->Escape(QUERYESCSUPPORT, sizeof escape, reinterpret_cast<LPCSTR>(&escape), nullptr) <= 0)
        return false;
    if (!needsPicture) return true;
    return AfxMessageBox(IDS_OUT_PASSTHROUGH_QUESTION, MB_YESNO | MB_ICONQUESTION) == IDNO;
}
