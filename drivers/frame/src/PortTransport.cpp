#include "driverframe/PortTransport.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <type_traits>

#include <plotterdriver/DeviceFile.h>
#include <plotterdriver/DriverOwner.h>
#include <plotterdriver/PlotterDriver.h>
#include <win32/kernel.h>
#include <win32/module.h>
#include <win32/user.h>
#include <win32/winspool.h>

#include "driverframe/DriverResources.h"
#include "driverframe/DriverStrings.h"
#include "driverframe/PrinterNames.h"

namespace {

// Pause between passes that made no progress, in milliseconds.
constexpr DWORD kPollPause = 10;

const char* const kPortNames[] = {"LPT1",  "LPT2",  "LPT3",  "LPT4",  "COM1",  "COM2",
                                  "COM3",  "COM4",  "COM5",  "COM6",  "COM7",  "COM8",
                                  "LPT1:", "LPT2:", "LPT3:", "LPT4:", "COM1:", "COM2:",
                                  "COM3:", "COM4:", "COM5:", "COM6:", "COM7:", "COM8:"};

std::string UpperCase(std::string text) {
    for (char& c : text)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Stored paths may use either separator.
std::string NativeFilePath(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

DWORD Elapsed(DWORD since) {
    return GetTickCount() - since;
}

} // namespace

PortTransport::PortTransport(PlotterDriver& driver, const DriverResources& texts)
    : driver_(driver), texts_(texts) {}

PortTransport::~PortTransport() {
    Close();
    if (library_) FreeLibrary(library_);
}

void PortTransport::BindPortLibrary() {
    library_ = LoadLibraryA("COMM32.DLL");
    if (!library_) {
        texts_.Show(IDS_NO_PORT_LIBRARY, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    auto bind = [this](auto& entry, const char* name) {
        // Through void (*)(), the type that converts to any function pointer type.
        entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(
            reinterpret_cast<void (*)()>(GetProcAddress(library_, name)));
        return entry != nullptr;
    };
    bool complete = bind(open_, "OpenCommunication") & bind(close_, "CloseCommunication") &
                    bind(transmit_, "BufferedTransmit") & bind(receive_, "Receive") &
                    bind(ready_, "IsTransmissionReady");
    if (policy_.transmit) complete &= bind(plainTransmit_, "Transmit");
    // Not among the entries every port library has: its reasons make the messages clearer.
    describeError_ = reinterpret_cast<GetCommunicationErrorProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(library_, "GetCommunicationError")));
    if (!complete) {
        // A library without every entry point serves no port at all.
        open_ = nullptr;
        close_ = nullptr;
        transmit_ = nullptr;
        plainTransmit_ = nullptr;
        receive_ = nullptr;
        ready_ = nullptr;
        describeError_ = nullptr;
        texts_.Show(IDS_NO_PORT_LIBRARY, MB_OK | MB_ICONEXCLAMATION);
    }
}

bool PortTransport::IsPortName(const std::string& upperCaseDevice) {
    for (const char* name : kPortNames)
        if (upperCaseDevice == name) return true;
    return false;
}

bool PortTransport::ServesPortName(const std::string& upperCaseDevice) const {
    if (policy_.dosPortNames && (upperCaseDevice == "LPT1.DOS" || upperCaseDevice == "LPT2.DOS"))
        return upperCaseDevice[3] - '0' <= policy_.lptPorts;
    if (!IsPortName(upperCaseDevice)) return false;
    int number = upperCaseDevice[3] - '0';
    return upperCaseDevice.compare(0, 3, "LPT") == 0 ? number <= policy_.lptPorts
                                                     : number <= policy_.comPorts;
}

void PortTransport::SetTimeOut(unsigned milliseconds) {
    timeOut_ = policy_.fixedTimeOut >= 0 ? unsigned(policy_.fixedTimeOut) : milliseconds;
}

bool PortTransport::Open(const std::string& device, const std::string& usbId,
                         const std::string& iniPath, const std::string& section,
                         const char* docName, bool append) {
    Close();
    failed_ = false;
    device_ = device;
    transmitMode_ = 1;
    bool usb = device == "USB" && !usbId.empty() && policy_.usbThroughPortLibrary;
    if (policy_.fixedTimeOut >= 0) timeOut_ = unsigned(policy_.fixedTimeOut);

    if (policy_.printers && IsLocalPrinter(device)) {
        kind_ = Kind::Printer;
        HANDLE printer = nullptr;
        if (!OpenPrinterA(device.c_str(), &printer, nullptr) || !printer) {
            Fail(IDS_OPEN_FAILED);
            return false;
        }
        DOC_INFO_1A doc{const_cast<LPSTR>(docName ? docName : ""), nullptr,
                        const_cast<LPSTR>("RAW")};
        if (!StartDocPrinterA(printer, 1, reinterpret_cast<LPBYTE>(&doc))) {
            ClosePrinter(printer);
            Fail(IDS_OPEN_FAILED);
            return false;
        }
        if (!StartPagePrinter(printer)) {
            EndDocPrinter(printer);
            ClosePrinter(printer);
            Fail(IDS_OPEN_FAILED);
            return false;
        }
        port_ = printer;
    } else if (device == "USB" && policy_.usbChannel) {
        kind_ = Kind::Channel;
        std::string reason;
        if (!policy_.usbChannel->Open(reason)) {
            Fail(IDS_OPEN_FAILED, reason.empty() ? nullptr : reason.c_str());
            return false;
        }
    } else if (usb || ServesPortName(UpperCase(device)) || IsDeviceFile(device)) {
        kind_ = Kind::PortLibrary;
        if (!open_) {
            Fail(IDS_PORT_UNAVAILABLE);
            return false;
        }
        HANDLE port = open_(iniPath.c_str(), section.c_str());
        if (port == INVALID_HANDLE_VALUE || !port) {
            char reason[512] = "";
            if (describeError_) describeError_(reason, int(sizeof reason));
            Fail(IDS_OPEN_FAILED, *reason ? reason : nullptr);
            return false;
        }
        port_ = port;
    } else {
        kind_ = Kind::File;
        const std::string path = NativeFilePath(device);
        file_ = std::fopen(path.c_str(), append ? "ab" : "wb");
        if (!file_) {
            const std::string reason = path + ": " + std::strerror(errno);
            Fail(IDS_OPEN_FAILED, reason.c_str());
            return false;
        }
    }
    isOpen_ = true;
    return true;
}

void PortTransport::Close() {
    if (!isOpen_) return;
    isOpen_ = false;
    switch (kind_) {
    case Kind::Printer: {
        EndPagePrinter(port_);
        // The queue takes the job only here.
        bool handedOver = EndDocPrinter(port_);
        ClosePrinter(port_);
        if (!handedOver) Fail(IDS_WRITE_FAILED);
        break;
    }
    case Kind::PortLibrary:
        close_(port_);
        break;
    case Kind::Channel:
        policy_.usbChannel->Close();
        break;
    case Kind::File:
        // Buffered output reaches the file only here: a full disk shows now.
        if (std::fclose(file_) != 0) Fail(IDS_WRITE_FAILED);
        file_ = nullptr;
        break;
    }
    port_ = nullptr;
}

bool PortTransport::JobAborted() {
    if (failed_) return true;
    if (!driver_.owner) return false;
    // Polled even while finishing, so that the user's messages keep flowing.
    int aborted = driver_.owner->IsAborted();
    return aborted && !finishing_;
}

bool PortTransport::UserAborted() const {
    return isOpen_ && !failed_ && driver_.owner && driver_.owner->aborted;
}

void PortTransport::Fail(unsigned messageId, const char* detail) {
    if (failed_) return;
    failed_ = true;
    texts_.Show(messageId, MB_OK | MB_ICONEXCLAMATION, detail ? detail : device_.c_str());
    driver_.Abort();
}

bool PortTransport::AskToContinue() {
    if (texts_.Show(IDS_PORT_TIMEOUT, MB_YESNO | MB_ICONQUESTION, device_.c_str()) == IDYES)
        return true;
    failed_ = true;
    driver_.Abort();
    return false;
}

void PortTransport::Write(const char* data, int length) {
    if (!isOpen_ || !data || JobAborted()) return;
    std::size_t size = length < 0 ? std::strlen(data) : std::size_t(length);
    if (size == 0) return;
    switch (kind_) {
    case Kind::Printer: {
        DWORD written = 0;
        if (!WritePrinter(port_, const_cast<char*>(data), DWORD(size), &written) || written != size)
            Fail(IDS_WRITE_FAILED);
        break;
    }
    case Kind::File:
        if (policy_.textModeFile) {
            std::string text;
            for (std::size_t i = 0; i < size; ++i) {
                if (data[i] == '\n') text += '\r';
                text += data[i];
            }
            if (std::fwrite(text.data(), 1, text.size(), file_) != text.size())
                Fail(IDS_WRITE_FAILED);
        } else if (std::fwrite(data, 1, size, file_) != size) {
            Fail(IDS_WRITE_FAILED);
        }
        break;
    case Kind::PortLibrary:
    case Kind::Channel: {
        DWORD start = GetTickCount();
        std::size_t done = 0;
        while (done < size) {
            // A user's abort drops a command not yet begun; one begun is finished, so that
            // the cutter never holds half a command.
            if (JobAborted() && (failed_ || done == 0)) return;
            int rest = int(std::min<std::size_t>(size - done, 0x7FFFFFFF));
            int taken = Offer(data + done, rest, transmitMode_);
            if (taken < 0) {
                Fail(IDS_WRITE_FAILED);
                return;
            }
            done += std::size_t(std::min(taken, rest));
            if (taken > 0) continue;
            if (Elapsed(start) >= timeOut_) {
                if (!AskToContinue()) return;
                start = GetTickCount();
            } else {
                Sleep(kPollPause);
            }
        }
        break;
    }
    }
}

int PortTransport::WriteWithTimeout(unsigned milliseconds, const char* data, int length) {
    if (!isOpen_ || !data || failed_) return 0;
    std::size_t size = length < 0 ? std::strlen(data) : std::size_t(length);
    if (kind_ != Kind::PortLibrary && kind_ != Kind::Channel) {
        if (size > 0) Write(data, int(size));
        return failed_ ? 0 : 1;
    }
    DWORD start = GetTickCount();
    std::size_t done = 0;
    while (done < size) {
        int rest = int(std::min<std::size_t>(size - done, 0x7FFFFFFF));
        int taken = Offer(data + done, rest, 1, true);
        if (taken < 0) return 0;
        done += std::size_t(std::min(taken, rest));
        if (done < size) {
            if (Elapsed(start) >= milliseconds) return 0;
            if (taken == 0) Sleep(kPollPause);
        }
    }
    return 1;
}

int PortTransport::ReadWithTimeout(char* buffer, int size, unsigned milliseconds,
                                   const char* terminators) {
    if (!isOpen_ || (kind_ != Kind::PortLibrary && kind_ != Kind::Channel) || !buffer || size <= 0)
        return -1;
    // Without a time-out of its own a read waits at most the section's TimeOut.
    if (milliseconds == 0) milliseconds = timeOut_;
    DWORD start = GetTickCount();
    int sum = 0;
    int remaining = size;
    while (remaining > 0) {
        int n = Take(buffer + sum, remaining);
        if (n < 0) return -1;
        n = std::min(n, remaining);
        sum += n;
        if (terminators) {
            for (int i = 0; i < sum; ++i)
                if (buffer[i] == '\0' || std::strchr(terminators, buffer[i])) return i;
        }
        if (Elapsed(start) >= milliseconds) break;
        remaining -= n;
        if (n == 0) Sleep(1);
    }
    return sum;
}

void PortTransport::WaitUntilSent() {
    if (!isOpen_ || (kind_ != Kind::PortLibrary && kind_ != Kind::Channel) || failed_) return;
    DWORD start = GetTickCount();
    while (!(kind_ == Kind::Channel ? policy_.usbChannel->IsReady() : ready_(port_))) {
        if (JobAborted()) return;
        if (Elapsed(start) >= timeOut_) {
            if (!AskToContinue()) return;
            start = GetTickCount();
        } else {
            Sleep(kPollPause);
        }
    }
}

int PortTransport::Offer(const char* data, int length, int mode, bool now) {
    if (kind_ == Kind::Channel)
        return now ? policy_.usbChannel->WriteNow(data, length)
                   : policy_.usbChannel->Write(data, length);
    return policy_.transmit ? plainTransmit_(port_, data, length)
                            : transmit_(port_, data, length, mode);
}

int PortTransport::Take(char* buffer, int length) {
    if (kind_ == Kind::Channel) return policy_.usbChannel->Read(buffer, length);
    return receive_(port_, buffer, length);
}
