// main(): the framework's entry. Without "--snapshot FILE" the program connects to the
// display; with it the run is headless and the framework's run hands the main window here
// once start-up is done, to be written as that PNG. Exit status: 0 after a normal run, 1 when
// start-up ended early, 2 when the picture could not be written, 3 when no display could be
// opened (4, from the window layer, when the display was lost).
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <imaging/ImagingToolkit.h>
#include <mfc/CWinApp.h>
#include <win32/DisplayBackend.h>
#include <win32/kernel.h>
#include <win32/user.h>
#include <win32/wingdi.h>

namespace {
std::string snapshotPath;
std::string programName = "program";

// The window as PrintWindow composes it, as a packed 24-bit bitmap (bottom-up rows).
std::vector<unsigned char> composeWindow(HWND hwnd, int& width, int& height) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    width = r.right - r.left;
    height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<unsigned char> packed;
    if (bitmap != nullptr && bits != nullptr) {
        HGDIOBJ old = ::SelectObject(dc, bitmap);
        if (::PrintWindow(hwnd, dc, 0)) {
            const size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
            packed.resize(sizeof(BITMAPINFOHEADER) + stride * size_t(height));
            BITMAPINFOHEADER header = info.bmiHeader;
            header.biSizeImage = DWORD(stride * size_t(height));
            std::memcpy(packed.data(), &header, sizeof header);
            std::memcpy(packed.data() + sizeof header, bits, stride * size_t(height));
        }
        ::SelectObject(dc, old);
    }
    if (bitmap != nullptr) ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return packed;
}

bool writeFile(const std::string& path, const void* data, size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool written = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && written;
}

int writeSnapshot(HWND mainWnd) {
    char title[512] = "";
    ::GetWindowTextA(mainWnd, title, sizeof title);
    int width = 0, height = 0;
    std::vector<unsigned char> packed = composeWindow(mainWnd, width, height);
    HGLOBAL png = nullptr;
    DWORD pngSize = 0;
    bool ok = !packed.empty() &&
              ImgEncode(packed.data(), packed.size(), IMG_FORMAT_PNG, &png, &pngSize) == 0;
    if (ok) {
        ok = writeFile(snapshotPath, ::GlobalLock(png), pngSize);
        ::GlobalUnlock(png);
    }
    if (png != nullptr) ::GlobalFree(png);
    if (!ok) {
        std::fprintf(stderr, "%s: cannot write the picture %s\n", programName.c_str(),
                     snapshotPath.c_str());
        return 2;
    }
    std::printf("%s: \"%s\" written to %s, %d x %d pixels\n", programName.c_str(), title,
                snapshotPath.c_str(), width, height);
    return 0;
}

// The program's file name, whole: a name with a '.' keeps it.
std::string exeName(const char* argv0) {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    std::string full = n > 0 ? std::string(path, size_t(n)) : std::string(argv0 ? argv0 : "");
    const size_t slash = full.find_last_of('/');
    return slash == std::string::npos ? full : full.substr(slash + 1);
}
} // namespace

int main(int argc, char** argv) {
    std::vector<char*> args;
    args.push_back(argc > 0 ? argv[0] : nullptr);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--snapshot") == 0) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "--snapshot needs a file name\n");
                return 1;
            }
            snapshotPath = argv[++i];
            continue;
        }
        args.push_back(argv[i]);
    }
    programName = exeName(argc > 0 ? argv[0] : nullptr);
    if (CWinApp* app = AfxGetApp(); app != nullptr && app->m_pszExeName == nullptr)
        app->m_pszExeName = strdup(programName.c_str());
    if (snapshotPath.empty()) {
        char reason[512] = "";
        if (!SdConnectDisplay(nullptr, reason, sizeof reason)) {
            std::fprintf(stderr, "%s: no display: %s\n", programName.c_str(), reason);
            return 3;
        }
    }
    SdSetHeadlessHook(&writeSnapshot);
    return AfxWinMain(int(args.size()), args.data());
}
