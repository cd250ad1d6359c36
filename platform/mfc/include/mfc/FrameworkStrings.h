#pragma once
// The framework's own prompts (string ids of the framework's range) and the %1 / %2
// formatting of prompts.

#include "mfc/CString.h"

constexpr UINT AFX_IDP_PARSE_INT = 0xF110;          // 61712
constexpr UINT AFX_IDP_PARSE_REAL = 0xF111;         // 61713
constexpr UINT AFX_IDP_PARSE_INT_RANGE = 0xF112;    // 61714
constexpr UINT AFX_IDP_PARSE_REAL_RANGE = 0xF113;   // 61715
constexpr UINT AFX_IDP_PARSE_STRING_SIZE = 0xF114;  // 61716
constexpr UINT AFX_IDP_PARSE_RADIO_BUTTON = 0xF115; // 61717
constexpr UINT AFX_IDP_PARSE_BYTE = 0xF116;         // 61718
constexpr UINT AFX_IDP_PARSE_UINT = 0xF117;         // 61719
constexpr UINT AFX_IDP_FAILED_TO_OPEN_DOC = 0xF101; // 61697
constexpr UINT AFX_IDP_FAILED_TO_SAVE_DOC = 0xF102; // 61698
constexpr UINT AFX_IDP_ASK_TO_SAVE = 0xF103;        // 61699
// The all-files entry of the document file dialogs.
constexpr UINT AFX_IDS_ALLFILTER = 0xF120; // 61728

// The framework's text for a string id, or null. CString::LoadString falls back on it when
// the resource module has no string of that id.
MFC_API LPCSTR AfxFrameworkString(UINT nID);

// Each %1 (and %2) of the string resource nIDS (or of the text) replaced by the argument.
MFC_API void AfxFormatStrings(CString& rString, LPCSTR lpszFormat, LPCSTR const* rglpsz,
                              int nString);
MFC_API void AfxFormatString1(CString& rString, UINT nIDS, LPCSTR lpsz1);
MFC_API void AfxFormatString2(CString& rString, UINT nIDS, LPCSTR lpsz1, LPCSTR lpsz2);
