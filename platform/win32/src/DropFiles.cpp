#include <cstring>
#include <string>
#include <vector>

#include "win32/shellapi.h"
#include "win32/user.h"

namespace {
// The paths of a drop that is whole: every offset inside the block, every path ended.
bool readPaths(HDROP drop, std::vector<std::string>& paths) {
    if (drop == nullptr) return false;
    const SIZE_T size = ::GlobalSize(drop);
    const char* base = static_cast<const char*>(::GlobalLock(drop));
    if (base == nullptr) return false;
    struct Unlock {
        HDROP drop;
        ~Unlock() { ::GlobalUnlock(drop); }
    } unlock{drop};
    if (size < sizeof(DROPFILES)) return false;
    DROPFILES header;
    std::memcpy(&header, base, sizeof header);
    if (header.fWide || header.pFiles < sizeof(DROPFILES) || header.pFiles >= size) return false;
    SIZE_T at = header.pFiles;
    while (at < size && base[at] != '\0') {
        const void* end = std::memchr(base + at, '\0', size - at);
        if (end == nullptr) return false;
        paths.emplace_back(base + at);
        at = SIZE_T(static_cast<const char*>(end) - base) + 1;
    }
    return at < size;
}
} // namespace

void DragAcceptFiles(HWND hwnd, BOOL accept) {
    const LONG ex = ::GetWindowLongA(hwnd, GWL_EXSTYLE);
    ::SetWindowLongA(hwnd, GWL_EXSTYLE,
                     accept ? (ex | LONG(WS_EX_ACCEPTFILES)) : (ex & ~LONG(WS_EX_ACCEPTFILES)));
}

UINT DragQueryFileA(HDROP drop, UINT iFile, LPSTR file, UINT cch) {
    std::vector<std::string> paths;
    if (!readPaths(drop, paths)) return 0;
    if (iFile == 0xFFFFFFFFu) return UINT(paths.size());
    if (iFile >= paths.size()) return 0;
    const UINT length = UINT(paths[iFile].size());
    if (file == nullptr) return length;
    if (cch == 0) return 0;
    const UINT n = length < cch - 1 ? length : cch - 1;
    std::memcpy(file, paths[iFile].data(), n);
    file[n] = '\0';
    return n;
}

BOOL DragQueryPoint(HDROP drop, POINT* pt) {
    if (drop == nullptr || pt == nullptr || ::GlobalSize(drop) < sizeof(DROPFILES)) return FALSE;
    DROPFILES header;
    std::memcpy(&header, ::GlobalLock(drop), sizeof header);
    ::GlobalUnlock(drop);
    *pt = header.pt;
    return !header.fNC;
}

void DragFinish(HDROP drop) {
    if (drop != nullptr) ::GlobalFree(drop);
}

HDROP SdMakeDropFiles(const char* const* paths, int count, POINT pt) {
    SIZE_T size = sizeof(DROPFILES) + 1;
    for (int i = 0; i < count; ++i)
        size += std::strlen(paths[i]) + 1;
    HGLOBAL block = ::GlobalAlloc(GHND, size);
    if (block == nullptr) return nullptr;
    char* base = static_cast<char*>(::GlobalLock(block));
    DROPFILES header{DWORD(sizeof(DROPFILES)), pt, FALSE, FALSE};
    std::memcpy(base, &header, sizeof header);
    char* at = base + sizeof(DROPFILES);
    for (int i = 0; i < count; ++i) {
        const size_t n = std::strlen(paths[i]) + 1;
        std::memcpy(at, paths[i], n);
        at += n;
    }
    *at = '\0';
    ::GlobalUnlock(block);
    return block;
}
