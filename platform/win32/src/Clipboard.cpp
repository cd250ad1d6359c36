#include <map>
#include <mutex>

#include "win32/ClipboardTesting.h"
#include "win32/DisplayBackend.h"
#include "win32/clipboard.h"
#include "win32/kernel.h"

namespace {

struct ClipboardState {
    std::mutex lock;
    bool open = false;
    HWND opener = nullptr;
    HWND owner = nullptr;
    std::map<UINT, HANDLE> data; // format -> global memory handle (may be NULL)
    bool emptied = false;        // since it was opened: the display's clipboard becomes ours
};

ClipboardState& State() {
    static ClipboardState* state = new ClipboardState; // lives as long as the process
    return *state;
}

SdClipboardHandleReleaser releaser = nullptr;

// Each format's handle as what it is: drawing-layer objects through the releaser, the rest
// as global memory.
void Release(UINT format, HANDLE mem) {
    if (mem == nullptr) return;
    switch (format) {
    case CF_BITMAP:
    case CF_PALETTE:
    case CF_ENHMETAFILE:
        if (releaser) releaser(format, mem);
        return;
    case CF_METAFILEPICT:
        if (releaser) releaser(format, mem);
        GlobalFree(mem);
        return;
    default:
        GlobalFree(mem);
    }
}

void FreeAll(ClipboardState& s) {
    for (auto& [format, mem] : s.data)
        Release(format, mem);
    s.data.clear();
}

} // namespace

BOOL OpenClipboard(HWND newOwner) {
    ClipboardState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.open && s.opener != newOwner) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    const bool first = !s.open;
    s.open = true;
    s.opener = newOwner;
    s.lock.unlock();
    if (first) SdDisplayClipboardImport();
    s.lock.lock();
    return TRUE;
}

BOOL CloseClipboard() {
    ClipboardState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.open) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return FALSE;
    }
    s.open = false;
    s.opener = nullptr;
    const bool emptied = s.emptied;
    s.emptied = false;
    s.lock.unlock();
    if (emptied) SdDisplayClipboardOwned();
    s.lock.lock();
    return TRUE;
}

void SdClipboardReplaceForeign(const UINT* formats, const HANDLE* mems, int count) {
    ClipboardState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    FreeAll(s);
    s.owner = nullptr;
    for (int i = 0; i < count; ++i) {
        auto [it, added] = s.data.emplace(formats[i], mems[i]);
        if (!added && mems[i]) GlobalFree(mems[i]);
    }
}

BOOL EmptyClipboard() {
    ClipboardState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.open) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return FALSE;
    }
    FreeAll(s);
    s.owner = s.opener;
    s.emptied = true;
    return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE mem) {
    ClipboardState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.open) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return nullptr;
    }
    if (format == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto it = s.data.find(format);
    if (it != s.data.end()) {
        if (it->second && it->second != mem) Release(format, it->second);
        it->second = mem;
    } else {
        s.data.emplace(format, mem);
    }
    return mem;
}

HANDLE GetClipboardData(UINT format) {
    ClipboardState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.open) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return nullptr;
    }
    auto it = s.data.find(format);
    return it == s.data.end() ? nullptr : it->second;
}

BOOL IsClipboardFormatAvailable(UINT format) {
    ClipboardState& s = State();
    s.lock.lock();
    const bool open = s.open;
    s.lock.unlock();
    // Another program's clipboard is what a paste would get (opening imports it too).
    if (!open) SdDisplayClipboardImport();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.data.count(format) ? TRUE : FALSE;
}

HWND GetClipboardOwner() {
    ClipboardState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.owner;
}

void SdResetClipboard() {
    ClipboardState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    FreeAll(s);
    s.open = false;
    s.opener = nullptr;
    s.owner = nullptr;
    s.emptied = false;
}

void SdSetClipboardHandleReleaser(SdClipboardHandleReleaser r) {
    releaser = r;
}
