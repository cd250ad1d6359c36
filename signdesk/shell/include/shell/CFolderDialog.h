#pragma once
// The folder chooser: the old-style save dialog on the program's template 1536 with the
// file controls hidden and the file name "Junk". The chosen folder is the directory part of
// the returned path (GetPathDirectory of GetPathName).

#include <mfc/CFileDialog.h>

class CFolderDialog : public CFileDialog {
public:
    static constexpr UINT TemplateId = 1536;

    explicit CFolderDialog(CWnd* pParentWnd = nullptr);

protected:
    BOOL OnInitDialog() override;
    // The first paint selects the first entry of the folder list.
    void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    BOOL selectFirstPending = FALSE;
};
