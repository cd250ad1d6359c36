// Accelerator tables: objects of the layer, their address is the handle.

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "win32/accelerator.h"
#include "win32/kernel.h"

struct HACCEL__ {
    std::vector<ACCEL> entries;
};

namespace {

std::mutex tablesLock;
std::set<HACCEL>& tables() {
    static auto* live = new std::set<HACCEL>;
    return *live;
}

bool live(HACCEL table) {
    std::lock_guard<std::mutex> guard(tablesLock);
    return table && tables().count(table);
}

HACCEL make(std::vector<ACCEL> entries) {
    if (entries.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto* table = new HACCEL__{std::move(entries)};
    std::lock_guard<std::mutex> guard(tablesLock);
    tables().insert(table);
    return table;
}

} // namespace

HACCEL LoadAcceleratorsA(HINSTANCE instance, LPCSTR name) {
    HRSRC found = FindResourceA(instance, name, RT_ACCELERATOR);
    if (!found) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(instance, found)));
    const DWORD size = SizeofResource(instance, found);
    std::vector<ACCEL> entries;
    for (DWORD at = 0; bytes && at + 8 <= size; at += 8) {
        auto word = [&](DWORD offset) { return WORD(bytes[at + offset] | (bytes[at + offset + 1] << 8)); };
        const WORD flags = word(0);
        entries.push_back(ACCEL{BYTE(flags & 0x7F), word(2), word(4)});
        if (flags & 0x80) break;
    }
    return make(std::move(entries));
}

HACCEL CreateAcceleratorTableA(const ACCEL* entries, int count) {
    if (!entries || count <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return make(std::vector<ACCEL>(entries, entries + count));
}

BOOL DestroyAcceleratorTable(HACCEL table) {
    {
        std::lock_guard<std::mutex> guard(tablesLock);
        if (!table || !tables().erase(table)) return FALSE;
    }
    delete table;
    return TRUE;
}

int CopyAcceleratorTableA(HACCEL table, LPACCEL entries, int count) {
    if (!live(table)) return 0;
    const int total = int(table->entries.size());
    if (!entries) return total;
    const int n = std::min(total, std::max(0, count));
    std::copy_n(table->entries.begin(), n, entries);
    return n;
}

int TranslateAcceleratorA(HWND hwnd, HACCEL table, const MSG* msg) {
    if (!msg || !live(table) || !IsWindow(hwnd)) return 0;
    const bool keyDown = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
    const bool character = msg->message == WM_CHAR || msg->message == WM_SYSCHAR;
    if (!keyDown && !character) return 0;
    BYTE modifiers = 0;
    if (GetKeyState(VK_SHIFT) < 0) modifiers |= FSHIFT;
    if (GetKeyState(VK_CONTROL) < 0) modifiers |= FCONTROL;
    if (GetKeyState(VK_MENU) < 0) modifiers |= FALT;
    std::vector<ACCEL> entries;
    {
        std::lock_guard<std::mutex> guard(tablesLock);
        entries = table->entries;
    }
    for (const ACCEL& a : entries) {
        bool match;
        if (a.fVirt & FVIRTKEY)
            match = keyDown && a.key == WORD(msg->wParam) &&
                    (a.fVirt & (FSHIFT | FCONTROL | FALT)) == modifiers;
        else
            match = character && a.key == WORD(msg->wParam) &&
                    ((a.fVirt & FALT) != 0) == ((modifiers & FALT) != 0);
        if (!match) continue;
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(a.cmd, 1), 0);
        return 1;
    }
    return 0;
}
