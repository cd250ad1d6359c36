#include "doc/CWMPDocMan.h"

#include <algorithm>
#include <memory>
#include <string>

#include <mfc/CDC.h>
#include <mfc/CException.h>
#include <mfc/CFile.h>
#include <mfc/CWinApp.h>
#include <pathkit/TMatrix.h>
#include <rasterkit/CDIBSection.h>
#include <shell/HalftonePalette.h>

#include "doc/CPreviewFileDlg.h"
#include "doc/CSignDoc.h"
#include "doc/DocumentPreview.h"
#include "doc/WmpContents.h"

namespace {

// The manager's dialog: the selected document's stored preview in the pane.
class DocumentPreviewDlg : public CPreviewFileDlg {
public:
    using CPreviewFileDlg::CPreviewFileDlg;
    ~DocumentPreviewDlg() override = default;

protected:
    void OnFileNameChange() override;
    void DrawPreview(CDC* pDC, const RECT* area) override;

private:
    std::unique_ptr<CDIBSection> m_picture;
    bool m_bValid = false;
};

void DocumentPreviewDlg::OnFileNameChange() {
    CPreviewFileDlg::OnFileNameChange();
    m_picture.reset();
    m_bValid = false;
    const CString path = GetCurrentFilePath();
    const CString ext = DocFileExtension(path);
    try {
        std::unique_ptr<CFile> file;
        if (ext == "WTP") {
            file = std::make_unique<CFile>(LPCSTR(path), CFile::modeRead | CFile::shareDenyWrite);
        } else if (ext == "WMP") {
            file.reset(OpenWmpContents(path));
        }
        if (file) {
            auto picture = std::make_unique<CDIBSection>();
            if (ReadDocumentPreview(*file, *picture) && picture->GetBits() != nullptr) {
                m_picture = std::move(picture);
                m_bValid = true;
            }
        }
    } catch (CException* e) {
        // Told; the dialog stays open with an empty pane.
        e->ReportError();
        e->Delete();
    }
    UpdatePreview();
}

void DocumentPreviewDlg::DrawPreview(CDC* pDC, const RECT* area) {
    pDC->FillSolidRect(area, ::GetSysColor(COLOR_WINDOW));
    if (!m_bValid || !m_picture) return;
    const int w = m_picture->GetWidth(), h = m_picture->GetHeight();
    if (w < 1 || h < 1) return;
    // The picture fitted into the pane, proportions kept, centred.
    floatTMatrix m;
    TransferBBox(
        floatBBox(0, 0, float(w), float(h)),
        floatBBox(float(area->left), float(area->top), float(area->right), float(area->bottom)), m,
        0, 1, 0, 0, 0);
    float x0 = 0, y0 = 0, x1 = float(w), y1 = float(h);
    m.Transform(x0, y0);
    m.Transform(x1, y1);
    const RECT target{LONG(std::min(x0, x1) + 0.5f), LONG(std::min(y0, y1) + 0.5f),
                      LONG(std::max(x0, x1) + 0.5f), LONG(std::max(y0, y1) + 0.5f)};
    CPalette* palette = GetAppPalette();
    CPalette* old = palette ? pDC->SelectPalette(palette, FALSE) : nullptr;
    if (palette) pDC->RealizePalette();
    m_picture->Paint(pDC, RECT{0, 0, w, h}, target, 0);
    if (old) pDC->SelectPalette(old, FALSE);
}

} // namespace

CWMPDocMan::~CWMPDocMan() = default;

void AppendFilterSuffix(CString& filter, CDocTemplate* pTemplate, CString* pstrDefaultExt) {
    CString name, ext;
    if (pTemplate == nullptr || !pTemplate->GetDocString(name, CDocTemplate::filterName) ||
        !pTemplate->GetDocString(ext, CDocTemplate::filterExt))
        return;
    if (pstrDefaultExt != nullptr && pstrDefaultExt->IsEmpty())
        *pstrDefaultExt = ext[0] == '.' ? ext.Mid(1) : ext;
    filter += name + "|*" + ext + "|";
}

BOOL CWMPDocMan::DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags,
                                  BOOL bOpenFileDialog, CDocTemplate* pTemplate) {
    CString entries, defaultExt;
    if (pTemplate != nullptr) {
        AppendFilterSuffix(entries, pTemplate, nullptr);
    } else {
        for (int i = 0; i < GetDocTemplateCount(); ++i)
            AppendFilterSuffix(entries, GetDocTemplate(i), &defaultExt);
    }
    const CString filter =
        DocumentFileFilter(entries.IsEmpty() ? nullptr : LPCSTR(entries), bOpenFileDialog);
    const CString proposed = ProposedDocumentName(fileName);
    DocumentPreviewDlg dialog(bOpenFileDialog, defaultExt.IsEmpty() ? nullptr : LPCSTR(defaultExt),
                              proposed.IsEmpty() ? nullptr : LPCSTR(proposed),
                              OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | lFlags, filter,
                              AfxGetMainWnd());
    CString title;
    if (nIDSTitle != 0 && title.LoadString(nIDSTitle)) dialog.m_ofn.lpstrTitle = title;
    if (dialog.DoModal() != IDOK) return FALSE;
    fileName = dialog.GetPathName();
    return TRUE;
}

BOOL PromptDocumentFileName(CString& fileName, BOOL bOpen, CDocTemplate* pTemplate,
                            UINT nIDSTitle) {
    CWinApp* app = AfxGetApp();
    if (auto* manager = dynamic_cast<CWMPDocMan*>(app ? app->m_pDocManager : nullptr))
        return manager->DoPromptFileName(fileName, nIDSTitle, 0, bOpen, pTemplate);
    CWMPDocMan own;
    return own.DoPromptFileName(fileName, nIDSTitle, 0, bOpen, pTemplate);
}
