#pragma once
// The pages of the program's options sheet. Each holds copies of settings and exchanges them
// with its controls; the options command fills them and copies them back on OK.

#include <mfc/CPropertySheet.h>
#include <mfc/CString.h>

#include "app/OptionPageIds.h"

// Editing distances, mouse tolerances, default layer, autosave (template 171).
class CMiscPage : public CPropertyPage {
    DECLARE_DYNCREATE(CMiscPage)
public:
    CMiscPage();
    float dupDx = 0, dupDy = 0;
    UINT mouseSens = 0;
    float nudgeSmall = 0, nudgeLarge = 0;
    int defaultLayer = 0;
    UINT autoSave = 0;
    UINT snapProximity = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

// The formats put on the clipboard, the bitmap's depth and resolution (template 175).
class CClipboardPage : public CPropertyPage {
    DECLARE_DYNCREATE(CClipboardPage)
public:
    CClipboardPage();
    BOOL enableWPF = FALSE, enableWMF = FALSE, enableDIB = FALSE;
    int colourDepth = -1; // list index: 1, 4, 8, 24 bits
    int dpi = 150;
    BOOL enableEMF = FALSE;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
};

// Undo and work memory (template 184).
class CMemPage : public CPropertyPage {
    DECLARE_DYNCREATE(CMemPage)
public:
    CMemPage();
    UINT minUndoSteps = 0, maxUndoMem = 0, workMemSize = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

// Font and kerning folders, size and spacings of new text (template 265). Spacings are
// percent of the size.
class CTextPage : public CPropertyPage {
    DECLARE_DYNCREATE(CTextPage)
public:
    CTextPage();
    CString fontFolder, kerningFolder;
    float charSize = 100, lineSpacing = 120, charSpacing = 5, wordSpacing = 30;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnBrowseFonts();
    void OnBrowseKerning();
    void Browse(CString& folder);
    DECLARE_MESSAGE_MAP()
};
