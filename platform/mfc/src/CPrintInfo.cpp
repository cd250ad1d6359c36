#include "mfc/CPrintInfo.h"

#include "mfc/CPrintDialog.h"

CPrintInfo::CPrintInfo()
    : m_pPD(new CPrintDialog(FALSE, PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOSELECTION |
                                        PD_HIDEPRINTTOFILE | PD_RETURNDC)) {}

CPrintInfo::~CPrintInfo() {
    // The set-up handles are the application's; the context is the job's.
    if (m_pPD->m_pd.hDC != nullptr) ::DeleteDC(m_pPD->m_pd.hDC);
    delete m_pPD;
}

UINT CPrintInfo::GetFromPage() const {
    return (m_pPD->m_pd.Flags & PD_PAGENUMS) ? m_pPD->m_pd.nFromPage : m_nMinPage;
}

UINT CPrintInfo::GetToPage() const {
    return (m_pPD->m_pd.Flags & PD_PAGENUMS) ? m_pPD->m_pd.nToPage : m_nMaxPage;
}
