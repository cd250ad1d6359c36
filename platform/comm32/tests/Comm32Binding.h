#pragma once
// The port library as a driver binds it: loaded by name from the program folder, entry
// points looked up by name.

#include <algorithm>
#include <string>

#include "comm32/Comm32.h"
#include "win32/kernel.h"
#include "win32/module.h"

struct Comm32Binding {
    explicit Comm32Binding(const char* moduleName = "COMM32.DLL")
        : module(LoadLibraryA(moduleName)) {
        if (!module) return;
        open = Entry<OpenCommunicationProc>("OpenCommunication");
        close = Entry<CloseCommunicationProc>("CloseCommunication");
        bufferedTransmit = Entry<BufferedTransmitProc>("BufferedTransmit");
        transmit = Entry<TransmitProc>("Transmit");
        receive = Entry<ReceiveProc>("Receive");
        isTransmissionReady = Entry<IsTransmissionReadyProc>("IsTransmissionReady");
    }
    // Through void (*)(), the generic function pointer, to the entry's own type.
    template <class Proc> Proc Entry(const char* name) const {
        return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    }
    ~Comm32Binding() {
        if (module) FreeLibrary(module);
    }
    Comm32Binding(const Comm32Binding&) = delete;
    Comm32Binding& operator=(const Comm32Binding&) = delete;

    bool complete() const {
        return module && open && close && bufferedTransmit && transmit && receive &&
               isTransmissionReady;
    }

    // Offers all bytes until the port has taken them, at most `passes` calls; the bytes taken.
    int transmitAll(HANDLE port, const std::string& bytes, int passes = 100) const {
        std::size_t done = 0;
        while (done < bytes.size() && passes-- > 0) {
            int n = bufferedTransmit(port, bytes.data() + done, int(bytes.size() - done), 0);
            if (n < 0) return n;
            done += std::size_t(n);
        }
        return int(done);
    }

    // Reads until `count` bytes came or `passes` calls brought nothing more.
    std::string receiveCount(HANDLE port, std::size_t count, int passes = 40) const {
        std::string text;
        char buffer[256];
        while (text.size() < count && passes-- > 0) {
            int n = receive(port, buffer, int(std::min(sizeof buffer, count - text.size())));
            if (n < 0) break;
            text.append(buffer, std::size_t(n));
        }
        return text;
    }

    HMODULE module;
    OpenCommunicationProc open = nullptr;
    CloseCommunicationProc close = nullptr;
    BufferedTransmitProc bufferedTransmit = nullptr;
    TransmitProc transmit = nullptr;
    ReceiveProc receive = nullptr;
    IsTransmissionReadyProc isTransmissionReady = nullptr;
};
