#include "pcutlib/PcutLib.h"

#include <algorithm>
#include <cstring>
#include <string>

#include <cutterlink/CutterLink.h>
#include <win32/module.h>

namespace {

constexpr int kWriteMilliseconds = 5000;
constexpr int kByteMilliseconds = 1;

cutterlink::Link link;
std::string lastError;

int PcutOpen(int) {
    lastError.clear();
    return link.Open("PcutLib", lastError) ? 1 : 0;
}

int PcutClose(int) {
    link.Close();
    return 1;
}

int PcutWrite(const char* data, int length) {
    return link.Write(data, length, kWriteMilliseconds) ? 1 : 0;
}

int PcutReadByte(char* byte, int, int) {
    if (!byte || !link.IsOpen()) return 0;
    int n = link.Read(byte, 1, kByteMilliseconds);
    return n == 1 ? 1 : n == 0 ? 2 : 0;
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) int PcutLibError(char* text, int size) {
    if (!text || size <= 0) return 0;
    int n = int(std::min<std::size_t>(lastError.size(), std::size_t(size - 1)));
    std::memcpy(text, lastError.data(), std::size_t(n));
    text[n] = '\0';
    return n;
}

__attribute__((visibility("default"))) extern const SdOrdinalEntry SdOrdinalTable[];
const SdOrdinalEntry SdOrdinalTable[] = {
    {1, reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&PcutOpen))},
    {2, reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&PcutClose))},
    {4, reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&PcutWrite))},
    {5, reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&PcutReadByte))},
    {0, nullptr},
};

} // extern "C"
