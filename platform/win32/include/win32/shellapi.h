#pragma once
// Files dropped on a window: WM_DROPFILES carries an HDROP, a global block that starts with
// DROPFILES and holds the paths one after another, each ended by a 0, the list by another 0.

#include "win32/base.h"
#include "win32/kernel.h"

using HDROP = HGLOBAL;

struct DROPFILES {
    DWORD pFiles; // offset of the first path
    POINT pt;     // drop point in the window's client coordinates
    BOOL fNC;
    BOOL fWide; // 0: ANSI paths
};

// The window gets WS_EX_ACCEPTFILES (or loses it).
WIN32_API void DragAcceptFiles(HWND hwnd, BOOL accept);
// iFile 0xFFFFFFFF: the number of paths. With a null buffer the length of path iFile;
// otherwise path iFile copied into file (at most cch - 1 characters, ended by 0) and the
// number of characters copied. 0 for a bad handle or index.
WIN32_API UINT DragQueryFileA(HDROP drop, UINT iFile, LPSTR file, UINT cch);
WIN32_API BOOL DragQueryPoint(HDROP drop, POINT* pt);
// Frees the block.
WIN32_API void DragFinish(HDROP drop);
// Test hook and the display backend's: a new drop of the paths at pt.
WIN32_API HDROP SdMakeDropFiles(const char* const* paths, int count, POINT pt);
