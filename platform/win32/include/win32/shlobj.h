#pragma once
// Special folders. The user's application data is $XDG_CONFIG_HOME (else ~/.config); the
// shared one is the first entry of $XDG_CONFIG_DIRS (else /etc/xdg).

#include "win32/base.h"

constexpr int CSIDL_APPDATA = 0x001a;
constexpr int CSIDL_COMMON_APPDATA = 0x0023;
constexpr int CSIDL_FLAG_CREATE = 0x8000;

// The folder without a trailing '/' into path (MAX_PATH characters). FALSE for another
// folder, for a user without $XDG_CONFIG_HOME and $HOME, or a folder name too long; with
// create, a missing folder is made (FALSE when that fails).
WIN32_API BOOL SHGetSpecialFolderPathA(HWND owner, LPSTR path, int csidl, BOOL create);

// Item lists name a folder. Here they only carry the folder's path: one comes from
// SHGetSpecialFolderLocation and is freed with ILFree.
struct ITEMIDLIST;
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;
using HRESULT = LONG;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = HRESULT(0x80004005u);
constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057u);

// The special folder of SHGetSpecialFolderPathA; E_FAIL (and a null list) where that gives
// FALSE, E_INVALIDARG without an out pointer.
WIN32_API HRESULT SHGetSpecialFolderLocation(HWND owner, int csidl, LPITEMIDLIST* list);
// The list's path (MAX_PATH characters); FALSE, with an empty path, for a null list.
WIN32_API BOOL SHGetPathFromIDListA(LPCITEMIDLIST list, LPSTR path);
WIN32_API void ILFree(LPITEMIDLIST list);
inline BOOL SHGetPathFromIDList(LPCITEMIDLIST l, LPSTR p) {
    return SHGetPathFromIDListA(l, p);
}
