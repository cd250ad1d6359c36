// The entry points of the port library, bound by name by the cutter drivers.

#include "comm32/Comm32.h"

#include <algorithm>
#include <string>
#include <type_traits>

#include "PortHandleTable.h"
#include "PortOpener.h"
#include "win32/kernel.h"

#define COMM32_ENTRY extern "C" __attribute__((visibility("default")))

namespace {

comm32::PortHandleTable& ports() {
    static comm32::PortHandleTable table;
    return table;
}

} // namespace

COMM32_ENTRY HANDLE OpenCommunication(LPCSTR iniPath, LPCSTR sectionName) {
    auto port = comm32::openPortOf(iniPath, sectionName, comm32::PortEnvironment::fromProcess());
    return port ? ports().add(std::move(port)) : INVALID_HANDLE_VALUE;
}

COMM32_ENTRY int GetCommunicationError(char* text, int size) {
    if (!text || size <= 0) return 0;
    const std::string failure = comm32::lastOpenFailure();
    const std::size_t n = std::min(failure.size(), std::size_t(size - 1));
    failure.copy(text, n);
    text[n] = '\0';
    return int(n);
}

COMM32_ENTRY int DescribePort(LPCSTR device, LPCSTR usbId, char* text, int size) {
    std::string description;
    int flags = comm32::describePort(device ? device : "", usbId ? usbId : "",
                                     comm32::PortEnvironment::fromProcess(), description);
    if (text && size > 0) {
        const std::size_t n = std::min(description.size(), std::size_t(size - 1));
        description.copy(text, n);
        text[n] = '\0';
    }
    return flags;
}

COMM32_ENTRY int CloseCommunication(HANDLE port) {
    return ports().remove(port) ? 1 : 0;
}

COMM32_ENTRY int BufferedTransmit(HANDLE port, const char* data, int length, int /*mode*/) {
    auto open = ports().find(port);
    return open ? open->transmit(data, length) : -1;
}

COMM32_ENTRY int Transmit(HANDLE port, const char* data, int length) {
    return BufferedTransmit(port, data, length, 1);
}

COMM32_ENTRY int Receive(HANDLE port, char* buffer, int length) {
    auto open = ports().find(port);
    return open ? open->receive(buffer, length) : -1;
}

COMM32_ENTRY int IsTransmissionReady(HANDLE port) {
    auto open = ports().find(port);
    return !open || open->transmissionReady() ? 1 : 0;
}

static_assert(std::is_same_v<decltype(&OpenCommunication), OpenCommunicationProc>);
static_assert(std::is_same_v<decltype(&CloseCommunication), CloseCommunicationProc>);
static_assert(std::is_same_v<decltype(&BufferedTransmit), BufferedTransmitProc>);
static_assert(std::is_same_v<decltype(&Transmit), TransmitProc>);
static_assert(std::is_same_v<decltype(&Receive), ReceiveProc>);
static_assert(std::is_same_v<decltype(&IsTransmissionReady), IsTransmissionReadyProc>);
static_assert(std::is_same_v<decltype(&GetCommunicationError), GetCommunicationErrorProc>);
