#pragma once
// The program's command line as the framework reads it: one file name, and the flags "/p"
// (print it), "/pt" (print it to the printer, driver and port that follow), "/dde",
// "/Embedding", "/Automation" and "/nologo".

#include "mfc/CString.h"

class MFC_API CCommandLineInfo {
public:
    enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppUnregister, FileNothing = -1 };

    CCommandLineInfo() = default;
    virtual ~CCommandLineInfo() = default;
    // One argument; bFlag when it began with '/' or '-' (stripped), bLast for the last one.
    virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);

    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    int m_nShellCommand = FileNew;
    CString m_strFileName;
    CString m_strPrinterName;
    CString m_strDriverName;
    CString m_strPortName;

private:
    // Arguments after "/pt" still to come: printer, driver, port.
    int m_printToLeft = 0;
};
