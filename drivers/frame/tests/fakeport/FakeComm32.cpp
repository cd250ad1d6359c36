// A port library with scripted behaviour, built as COMM32.so in a folder of its own.
#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include <comm32/Comm32.h>

#define FAKE_API extern "C" __attribute__((visibility("default")))

namespace {

struct FakePort {
    int acceptPerCall = INT_MAX;
    int readyAfter = 0;
    bool failOpen = false;
    int opens = 0;
    bool open = false;
    std::string section;
    std::string written;
    std::string reply;
    std::size_t replyAt = 0;
    int chunk = INT_MAX;
    int readyPolls = 0;
    int lastMode = -1;
    std::string error;
};

FakePort port;
HANDLE const kHandle = reinterpret_cast<HANDLE>(0x5150);

} // namespace

FAKE_API HANDLE OpenCommunication(LPCSTR, LPCSTR sectionName) {
    ++port.opens;
    port.section = sectionName ? sectionName : "";
    if (port.failOpen) return INVALID_HANDLE_VALUE;
    port.open = true;
    return kHandle;
}

FAKE_API int GetCommunicationError(char* text, int size) {
    if (!text || size <= 0) return 0;
    std::size_t n = std::min(port.error.size(), std::size_t(size - 1));
    port.error.copy(text, n);
    text[n] = '\0';
    return int(n);
}

FAKE_API void FakePortSetError(const char* text) {
    port.error = text ? text : "";
}

FAKE_API int CloseCommunication(HANDLE handle) {
    if (handle != kHandle || !port.open) return 0;
    port.open = false;
    return 1;
}

FAKE_API int BufferedTransmit(HANDLE handle, const char* data, int length, int mode) {
    if (handle != kHandle || !port.open || port.acceptPerCall < 0) return -1;
    port.lastMode = mode;
    int taken = std::min(length, port.acceptPerCall);
    port.written.append(data, std::size_t(taken));
    return taken;
}

FAKE_API int Receive(HANDLE handle, char* buffer, int length) {
    if (handle != kHandle || !port.open) return -1;
    std::size_t left = port.reply.size() - port.replyAt;
    int n = int(std::min<std::size_t>({left, std::size_t(length), std::size_t(port.chunk)}));
    std::memcpy(buffer, port.reply.data() + port.replyAt, std::size_t(n));
    port.replyAt += std::size_t(n);
    return n;
}

FAKE_API int IsTransmissionReady(HANDLE) {
    if (port.readyAfter < 0) return 0;
    return port.readyPolls++ >= port.readyAfter;
}

FAKE_API void FakePortReset() {
    port = FakePort();
}

FAKE_API void FakePortConfigure(int acceptPerCall, int readyAfter, int failOpen) {
    port.acceptPerCall = acceptPerCall;
    port.readyAfter = readyAfter;
    port.failOpen = failOpen != 0;
}

FAKE_API void FakePortSetReply(const char* data, int length, int chunk) {
    port.reply.assign(data, std::size_t(length));
    port.replyAt = 0;
    port.chunk = chunk > 0 ? chunk : INT_MAX;
}

FAKE_API int FakePortWritten(char* buffer, int size) {
    int n = std::min(int(port.written.size()), size);
    if (buffer && n > 0) std::memcpy(buffer, port.written.data(), std::size_t(n));
    return int(port.written.size());
}

FAKE_API int FakePortOpenCount() {
    return port.opens;
}

FAKE_API const char* FakePortLastSection() {
    return port.section.c_str();
}

FAKE_API int FakePortLastMode() {
    return port.lastMode;
}

FAKE_API int FakePortIsOpen() {
    return port.open;
}
