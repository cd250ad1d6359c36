#include "mfc/CCommandLineInfo.h"

#include <strings.h>

void CCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast) {
    if (bFlag) {
        if (strcasecmp(pszParam, "pt") == 0) {
            m_nShellCommand = FilePrintTo;
            m_printToLeft = 3;
        } else if (strcasecmp(pszParam, "p") == 0) {
            m_nShellCommand = FilePrint;
        } else if (strcasecmp(pszParam, "dde") == 0) {
            m_nShellCommand = FileDDE;
        } else if (strcasecmp(pszParam, "unregister") == 0 ||
                   strcasecmp(pszParam, "unregserver") == 0) {
            m_nShellCommand = AppUnregister;
        } else if (strcasecmp(pszParam, "Embedding") == 0) {
            m_bRunEmbedded = TRUE;
            m_bShowSplash = FALSE;
        } else if (strcasecmp(pszParam, "Automation") == 0) {
            m_bRunAutomated = TRUE;
            m_bShowSplash = FALSE;
        } else if (strcasecmp(pszParam, "nologo") == 0) {
            m_bShowSplash = FALSE;
        }
    } else if (m_strFileName.IsEmpty()) {
        m_strFileName = pszParam;
        if (m_nShellCommand == FileNew) m_nShellCommand = FileOpen;
    } else if (m_printToLeft == 3) {
        m_strPrinterName = pszParam;
        --m_printToLeft;
    } else if (m_printToLeft == 2) {
        m_strDriverName = pszParam;
        --m_printToLeft;
    } else if (m_printToLeft == 1) {
        m_strPortName = pszParam;
        --m_printToLeft;
    }
    if (bLast && m_nShellCommand == FileNew && !m_strFileName.IsEmpty()) m_nShellCommand = FileOpen;
    if (bLast && (m_bRunEmbedded || m_bRunAutomated)) m_nShellCommand = FileNothing;
}
