#pragma once
// The program's private control drag: a control the user drags from sends these to its
// target (the main frame, which hands them to the drop target under the cursor). wParam:
// the key flags with MK_LBUTTON or MK_RBUTTON; lParam: the source control object (CWnd*).

#include <win32/base.h>

constexpr UINT WM_CTRLDROP = 0x4F9;
constexpr UINT WM_CTRLDRAGOVER = 0x4FA;
