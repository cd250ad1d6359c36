#include "summausb/SummaUsb.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <unistd.h>

#include <cutterlink/CutterLink.h>
#include <win32/fileio.h>
#include <win32/kernel.h>

#include "PipePump.h"

namespace {

// The cutter of the current job. A cutter with a node is shared by the two pipes through
// duplicates of its descriptor and let go as soon as both are handed out (the handles keep
// it open); one reached through libusb stays with the pump.
struct Cutter {
    std::mutex mutex;
    std::unique_ptr<cutterlink::Link> link;
    std::unique_ptr<PipePump> pump;
    bool handedOut[2] = {false, false};
    std::string lastError;

    void Reset() {
        pump.reset();
        link.reset();
        handedOut[0] = handedOut[1] = false;
    }
};

Cutter& TheCutter() {
    static Cutter cutter;
    return cutter;
}

int PipeIndex(const char* name) {
    if (!name) return -1;
    if (std::strcmp(name, "PIPE00") == 0) return 0;
    if (std::strcmp(name, "PIPE01") == 0) return 1;
    return -1;
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) HANDLE open_file(const char* name, int) {
    Cutter& c = TheCutter();
    std::lock_guard lock(c.mutex);
    c.lastError.clear();
    const int pipe = PipeIndex(name);
    if (pipe < 0) {
        c.lastError = std::string("The USB pipe \"") + (name ? name : "") +
                      "\" does not exist; the cutter has PIPE00 and PIPE01.";
        return INVALID_HANDLE_VALUE;
    }
    // A pipe asked for again starts a new job on a freshly opened cutter.
    if (c.handedOut[pipe]) c.Reset();
    if (!c.link && !c.pump) {
        auto link = std::make_unique<cutterlink::Link>();
        if (!link->Open("summausb", c.lastError)) return INVALID_HANDLE_VALUE;
        if (link->Descriptor() < 0)
            c.pump = std::make_unique<PipePump>(link.release());
        else
            c.link = std::move(link);
    }
    int fd = -1;
    if (c.pump)
        fd = pipe == 0 ? c.pump->CommandsEnd() : c.pump->RepliesEnd();
    else
        fd = ::dup(c.link->Descriptor());
    if (fd < 0) {
        c.lastError = "The USB pipe cannot be set up: out of system resources.";
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = SdFileHandleFromDescriptor(fd, TRUE);
    if (handle == INVALID_HANDLE_VALUE) {
        ::close(fd);
        c.lastError = "The USB pipe cannot be set up.";
        return INVALID_HANDLE_VALUE;
    }
    c.handedOut[pipe] = true;
    if (c.link && c.handedOut[0] && c.handedOut[1]) c.link.reset();
    return handle;
}

__attribute__((visibility("default"))) int summausb_error(char* text, int size) {
    if (!text || size <= 0) return 0;
    Cutter& c = TheCutter();
    std::lock_guard lock(c.mutex);
    int n = int(std::min<std::size_t>(c.lastError.size(), std::size_t(size - 1)));
    std::memcpy(text, c.lastError.data(), std::size_t(n));
    text[n] = '\0';
    return n;
}

} // extern "C"
