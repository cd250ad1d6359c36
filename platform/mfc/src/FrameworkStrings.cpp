#include "mfc/FrameworkStrings.h"

#include <cstring>

#include "mfc/FrameworkIds.h"

LPCSTR AfxFrameworkString(UINT nID) {
    switch (nID) {
    case AFX_IDP_PARSE_INT:
        return "Please enter a whole number.";
    case AFX_IDP_PARSE_REAL:
        return "Please enter a number.";
    case AFX_IDP_PARSE_INT_RANGE:
        return "Please enter a whole number from %1 to %2.";
    case AFX_IDP_PARSE_REAL_RANGE:
        return "Please enter a number from %1 to %2.";
    case AFX_IDP_PARSE_STRING_SIZE:
        return "Please enter no more than %1 characters.";
    case AFX_IDP_PARSE_RADIO_BUTTON:
        return "Please choose one of the options.";
    case AFX_IDP_PARSE_BYTE:
        return "Please enter a whole number from 0 to 255.";
    case AFX_IDP_PARSE_UINT:
        return "Please enter a whole number that is not negative.";
    case AFX_IDP_FAILED_TO_OPEN_DOC:
        return "Failed to open document.";
    case AFX_IDP_FAILED_TO_SAVE_DOC:
        return "Failed to save document.";
    case AFX_IDP_ASK_TO_SAVE:
        return "Save changes to %1?";
    case AFX_IDS_ALLFILTER:
        return "All files (*.*)";
    case AFX_IDS_IDLEMESSAGE:
        return "Ready";
    case AFX_IDS_UNTITLED:
        return "Untitled";
    case ID_INDICATOR_EXT:
        return "EXT";
    case ID_INDICATOR_CAPS:
        return "CAP";
    case ID_INDICATOR_NUM:
        return "NUM";
    case ID_INDICATOR_SCRL:
        return "SCRL";
    case ID_INDICATOR_OVR:
        return "OVR";
    default:
        return nullptr;
    }
}

void AfxFormatStrings(CString& rString, LPCSTR lpszFormat, LPCSTR const* rglpsz, int nString) {
    CString result;
    for (const char* p = lpszFormat; p != nullptr && *p != '\0'; ++p) {
        if (p[0] == '%' && p[1] >= '1' && p[1] <= '9') {
            const int index = p[1] - '1';
            if (index < nString && rglpsz[index] != nullptr) result += rglpsz[index];
            ++p;
        } else {
            result += *p;
        }
    }
    rString = result;
}

void AfxFormatString1(CString& rString, UINT nIDS, LPCSTR lpsz1) {
    CString format;
    format.LoadString(nIDS);
    AfxFormatStrings(rString, format, &lpsz1, 1);
}

void AfxFormatString2(CString& rString, UINT nIDS, LPCSTR lpsz1, LPCSTR lpsz2) {
    CString format;
    format.LoadString(nIDS);
    LPCSTR args[2] = {lpsz1, lpsz2};
    AfxFormatStrings(rString, format, args, 2);
}
