#pragma once
// The clipboard: one per process, shared by every module. Data are handed over as global
// memory handles: SetClipboardData takes ownership, and the clipboard frees what it holds
// when it is emptied or a format is replaced. A window (or NULL for the calling process)
// opens it; while it is open, a different owner cannot open it.

#include "win32/base.h"

using CLIPFORMAT = WORD;

constexpr UINT CF_TEXT = 1;
constexpr UINT CF_BITMAP = 2;
constexpr UINT CF_METAFILEPICT = 3;
constexpr UINT CF_DIB = 8;
constexpr UINT CF_PALETTE = 9;
constexpr UINT CF_ENHMETAFILE = 14;
constexpr UINT CF_DIBV5 = 17;

constexpr DWORD ERROR_CLIPBOARD_NOT_OPEN = 1418;

// FALSE with ERROR_ACCESS_DENIED when another owner holds it open; the owner that holds it
// may open it again.
WIN32_API BOOL OpenClipboard(HWND newOwner);
// FALSE with ERROR_CLIPBOARD_NOT_OPEN when it is not open.
WIN32_API BOOL CloseClipboard();
// Frees every handle held and makes the opener the clipboard's owner; needs it open.
WIN32_API BOOL EmptyClipboard();
// Needs it open; the handle (NULL announces the format without data) replaces and frees the
// one held for that format. Returns the handle, or NULL on failure.
WIN32_API HANDLE SetClipboardData(UINT format, HANDLE mem);
// Needs it open; the handle stays the clipboard's.
WIN32_API HANDLE GetClipboardData(UINT format);
// Works whether it is open or not; while closed, another program's clipboard on the display
// is imported first, as opening does.
WIN32_API BOOL IsClipboardFormatAvailable(UINT format);
WIN32_API HWND GetClipboardOwner();

// Formats registered by name: the same number (from 0xC000) for the same name, compared
// without case, for the life of the process. 0 for a null or empty name.
WIN32_API UINT RegisterClipboardFormatA(LPCSTR name);
// Copies at most maxCount - 1 characters of a registered format's name; 0 for another format.
WIN32_API int GetClipboardFormatNameA(UINT format, LPSTR name, int maxCount);
// Bitmaps, palettes and metafiles are drawing-layer handles, not global memory: the drawing
// layer installs the function that deletes them (for CF_METAFILEPICT, the metafile inside
// the picture record, which the clipboard then frees as global memory). Without one such
// handles are left alone.
using SdClipboardHandleReleaser = void (*)(UINT format, HANDLE handle);
WIN32_API void SdSetClipboardHandleReleaser(SdClipboardHandleReleaser releaser);

inline UINT RegisterClipboardFormat(LPCSTR n) {
    return RegisterClipboardFormatA(n);
}
