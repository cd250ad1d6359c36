// Save, Save As and autosave.

#include <unistd.h>

#include <mfc/CArchive.h>
#include <mfc/CWinApp.h>
#include <mfc/FrameworkIds.h>
#include <mfc/FrameworkStrings.h>
#include <settings/ProgramFolders.h>

#include "doc/CPreviewFileDlg.h"
#include "doc/CSignDoc.h"
#include "doc/CWMPDocMan.h"
#include "doc/ISignDocFrame.h"
#include "doc/SignDocSettings.h"

namespace {

CString FileNamePart(const CString& path) {
    const char* s = path;
    const char* name = s;
    for (const char* p = s; *p; ++p)
        if (*p == '\\' || *p == '/') name = p + 1;
    return CString(name);
}

void RearmAutoSave() {
    if (CSignDoc::Frame) CSignDoc::Frame->SetAutoSaveTimer(-1);
}

} // namespace

void CSignDoc::OnFileSave() {
    if (!SignDocSettings::WMPPath.IsEmpty()) (void)::chdir(SignDocSettings::WMPPath);
    // A .wmp is never written: it gets a new name through Save As.
    if (DocFileExtension(GetPathName()) == "WMP") {
        if (Frame) Frame->PostFrameCommand(ID_FILE_SAVE_AS);
        return;
    }
    if (GetPathName().IsEmpty()) {
        OnFileSaveAs();
        return;
    }
    if (!DoSave(GetPathName())) return;
    if (SignDocSettings::AutoCut && m_sheet.GetSize() > 0) {
        if (SignDocSettings::SpoolDirectory.IsEmpty() || SignDocSettings::Plotman.IsEmpty()) return;
        CString name = FileNamePart(GetPathName());
        const int dot = name.ReverseFind('.');
        if (dot >= 0) name = name.Left(dot + 1) + "WPF";
        CString dir = SignDocSettings::SpoolDirectory;
        const char last = dir.IsEmpty() ? 0 : dir[dir.GetLength() - 1];
        if (last != '/' && last != '\\') dir += "/";
        WriteWpfCopy(dir + name, 0);
    }
    RearmAutoSave();
}

BOOL CSignDoc::SaveModified() {
    if (!IsModified()) return TRUE;
    CString name = GetPathName().IsEmpty() ? GetTitle() : FileNamePart(GetPathName());
    if (name.IsEmpty()) name.LoadString(AFX_IDS_UNTITLED);
    CString prompt;
    AfxFormatString1(prompt, AFX_IDP_ASK_TO_SAVE, name);
    switch (AfxMessageBox(prompt, MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDCANCEL:
        return FALSE;
    case IDYES:
        break;
    default:
        return TRUE;
    }
    // A .wmp is never written in place; an unnamed design needs a name.
    CString path = GetPathName();
    if (path.IsEmpty() || DocFileExtension(path) == "WMP") {
        if (!PromptSaveAsName(path)) return FALSE;
        return DoSave(path, TRUE);
    }
    return DoSave(path);
}

void CSignDoc::OnFileSaveAs() {
    CString path;
    if (!PromptSaveAsName(path)) return;
    DoSave(path, TRUE);
}

void CSignDoc::OnAutoSave() {
    if (Frame) Frame->RaiseAutoSaveBusy();
    if (IsModified() && m_sheet.GetSize() > 0) {
        if (m_strAutoSavePath.IsEmpty()) {
            CString name = FileNamePart(GetPathName());
            if (GetPathName().IsEmpty()) {
                name = "AutoSave.wtp";
            } else {
                const int dot = name.ReverseFind('.');
                if (dot >= 0)
                    name = name.Left(dot + 1) + "autosave." + name.Mid(dot + 1);
                else
                    name += ".autosave.";
            }
            CString folder = GetDataFolder();
            const char last = folder.IsEmpty() ? 0 : folder[folder.GetLength() - 1];
            if (!folder.IsEmpty() && last != '/' && last != '\\') folder += "/";
            m_strAutoSavePath = folder + name;
        }
        if (Frame) {
            CString text;
            text.LoadString(SignDocIds::AutoSavingPrompt);
            Frame->ShowStatusText(text + m_strAutoSavePath);
        }
        // A copy: the document keeps its own name, title and file path.
        const CString savedFolder = SignDocSettings::WMPPath;
        const CString savedFilePath = m_strFilePath;
        DoSave(m_strAutoSavePath, FALSE);
        m_strFilePath = savedFilePath;
        SignDocSettings::WMPPath = savedFolder;
        SetModifiedFlag();
    }
    RearmAutoSave();
    if (Frame) Frame->LowerAutoSaveBusy();
}

BOOL CSignDoc::PromptSaveAsName(CString& path) {
    path = GetPathName().IsEmpty() ? GetTitle() : GetPathName();
    return PromptDocumentFileName(path, FALSE, GetDocTemplate());
}
