#pragma once
// The port a driver writes its commands to, chosen by the device's Device text each time it
// is opened: a local printer (a raw spooler job), a serial, parallel or USB port served by
// the port library COMM32, or a file.
//
// A port that cannot be opened (with the device file and the system's reason where known),
// and a write that fails, are reported once and abort the job; later writes of that job are
// dropped. Every waiting loop polls the owner's abort state and asks the user after TimeOut without
// progress; a Yes starts the time-out again.

#include <cstdio>
#include <string>

#include <comm32/Comm32.h>

class DriverResources;
class PlotterDriver;

class PortTransport {
public:
    enum class Kind { File, Printer, PortLibrary };

    PortTransport(PlotterDriver& driver, const DriverResources& texts);
    ~PortTransport();
    PortTransport(const PortTransport&) = delete;
    PortTransport& operator=(const PortTransport&) = delete;

    // Loads COMM32 and binds its entry points; a missing library is reported.
    void BindPortLibrary();
    bool HasPortLibrary() const { return open_ != nullptr; }

    // Opens the port named by device. usbId is the section's WindowsUSBID; iniPath and
    // section are handed to the port library; docName names the spooler job. The transmit
    // mode becomes 1. False (reported, job aborted) when the port cannot be opened.
    bool Open(const std::string& device, const std::string& usbId, const std::string& iniPath,
              const std::string& section, const char* docName);
    void Close();
    bool IsOpen() const { return isOpen_; }
    Kind GetKind() const { return kind_; }

    // A negative length writes up to the terminating zero.
    void Write(const char* data, int length);
    int WriteWithTimeout(unsigned milliseconds, const char* data, int length);
    int ReadWithTimeout(char* buffer, int size, unsigned milliseconds, const char* terminators);
    // Waits until the port library reports everything sent, or the job is aborted.
    void WaitUntilSent();

    void SetTransmitMode(int mode) { transmitMode_ = mode; }
    int GetTransmitMode() const { return transmitMode_; }
    void SetTimeOut(unsigned milliseconds) { timeOut_ = milliseconds; }

    // The 24 names that the port library serves: LPT1-4 and COM1-8, with or without ':'.
    static bool IsPortName(const std::string& upperCaseDevice);

private:
    bool JobAborted();
    // Reports the message with `detail` in place of its "%s" (the device when null).
    void Fail(unsigned messageId, const char* detail = nullptr);
    // Asks whether to go on waiting; false aborts the job.
    bool AskToContinue();

    PlotterDriver& driver_;
    const DriverResources& texts_;

    HMODULE library_ = nullptr;
    OpenCommunicationProc open_ = nullptr;
    CloseCommunicationProc close_ = nullptr;
    BufferedTransmitProc transmit_ = nullptr;
    ReceiveProc receive_ = nullptr;
    IsTransmissionReadyProc ready_ = nullptr;
    GetCommunicationErrorProc describeError_ = nullptr; // optional

    Kind kind_ = Kind::File;
    bool isOpen_ = false;
    bool failed_ = false; // reported; the rest of the job is dropped
    std::string device_;
    HANDLE port_ = nullptr; // printer or port-library handle
    std::FILE* file_ = nullptr;
    int transmitMode_ = 1;
    unsigned timeOut_ = 60000; // milliseconds
};
