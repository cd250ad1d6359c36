#pragma once
// The port a driver writes its commands to, chosen by the device's Device text each time it
// is opened: a local printer (a raw spooler job), a serial, parallel or USB port served by
// the port library COMM32, "USB" served by a library of the driver's own, or a file. Which
// of them a driver serves, and how it writes, is its PortPolicy.
//
// A port that cannot be opened (with the device file and the system's reason where known),
// and a write that fails, are reported once and abort the job; later writes of that job are
// dropped. Every waiting loop polls the owner's abort state and asks the user after the
// time-out without progress; a Yes starts the time-out again.

#include <cstdio>
#include <string>

#include <comm32/Comm32.h>

class DriverResources;
class PlotterDriver;

// A port that a driver serves through a library of its own (a cutter maker's library, a
// USB pipe library) for the device "USB". The transport drives it as it drives the port
// library: Write may take part of the data or nothing, Read what has arrived.
class PortChannel {
public:
    // False when the device cannot be reached; `reason` then tells why.
    virtual bool Open(std::string& reason) = 0;
    virtual void Close() = 0;
    // Bytes taken (0: none now), negative on error.
    virtual int Write(const char* data, int length) = 0;
    // A request of an exchange (WriteWithTimeout), which must reach the device at once.
    virtual int WriteNow(const char* data, int length) { return Write(data, length); }
    // Bytes read (0: nothing came in time), negative on error.
    virtual int Read(char* buffer, int length) = 0;
    // Non-zero when everything written has left.
    virtual int IsReady() { return 1; }

protected:
    ~PortChannel() = default;
};

// What ports a driver serves and how it writes to them.
struct PortPolicy {
    int lptPorts = 4; // LPT1 … LPTn (with or without ':') go to the port library
    int comPorts = 8; // COM1 … COMn
    bool printers = true;
    bool usbThroughPortLibrary = true; // "USB" with a WindowsUSBID
    bool transmit = false;             // Transmit instead of BufferedTransmit
    long fixedTimeOut = -1;            // milliseconds; negative: the section's TimeOut
    bool textModeFile = false;         // a file port writes each LF as CR LF
    bool dosPortNames = false;         // LPT1.DOS and LPT2.DOS go to the port library too
    PortChannel* usbChannel = nullptr; // serves "USB" when set

    // Serial and parallel cutters: printers, LPT1-4 and COM1-4 through Transmit, files; a
    // write may go a fixed minute without progress before the user is asked.
    static PortPolicy SerialCutter() {
        PortPolicy p;
        p.comPorts = 4;
        p.usbThroughPortLibrary = false;
        p.transmit = true;
        p.fixedTimeOut = 60000;
        return p;
    }
};

class PortTransport {
public:
    enum class Kind { File, Printer, PortLibrary, Channel };

    PortTransport(PlotterDriver& driver, const DriverResources& texts);
    ~PortTransport();
    PortTransport(const PortTransport&) = delete;
    PortTransport& operator=(const PortTransport&) = delete;

    // Set before the port library is bound.
    void SetPolicy(const PortPolicy& policy) { policy_ = policy; }
    const PortPolicy& Policy() const { return policy_; }

    // Loads COMM32 and binds its entry points; a missing library is reported.
    void BindPortLibrary();
    bool HasPortLibrary() const { return open_ != nullptr; }

    // Opens the port named by device. usbId is the section's WindowsUSBID; iniPath and
    // section are handed to the port library; docName names the spooler job. The transmit
    // mode becomes 1. False (reported, job aborted) when the port cannot be opened. A file
    // is created or emptied, or with `append` written on behind what it holds.
    bool Open(const std::string& device, const std::string& usbId, const std::string& iniPath,
              const std::string& section, const char* docName, bool append = false);
    void Close();
    bool IsOpen() const { return isOpen_; }
    Kind GetKind() const { return kind_; }

    // A negative length writes up to the terminating zero.
    void Write(const char* data, int length);
    int WriteWithTimeout(unsigned milliseconds, const char* data, int length);
    int ReadWithTimeout(char* buffer, int size, unsigned milliseconds, const char* terminators);
    // Waits until the port library reports everything sent, or the job is aborted.
    void WaitUntilSent();

    // Whether the job was aborted by the user (not by a failure of the port) while the port
    // is open; and, while finishing, writes go out in spite of that abort: the end sequence
    // of an aborted job.
    bool UserAborted() const;
    void SetFinishing(bool on) { finishing_ = on; }
    // The rest of the job is dropped, as after a reported failure.
    void Refuse() { failed_ = true; }

    void SetTransmitMode(int mode) { transmitMode_ = mode; }
    int GetTransmitMode() const { return transmitMode_; }
    // The section's time-out; a driver with a fixed one keeps its own.
    void SetTimeOut(unsigned milliseconds);

    // The names that the port library serves: LPT1-4 and COM1-8, with or without ':'.
    static bool IsPortName(const std::string& upperCaseDevice);
    // The same, within the policy's numbers of LPT and COM ports.
    bool ServesPortName(const std::string& upperCaseDevice) const;

private:
    bool JobAborted();
    // Reports the message with `detail` in place of its "%s" (the device when null).
    void Fail(unsigned messageId, const char* detail = nullptr);
    // Asks whether to go on waiting; false aborts the job.
    bool AskToContinue();
    int Offer(const char* data, int length, int mode, bool now = false);
    int Take(char* buffer, int length);

    PlotterDriver& driver_;
    const DriverResources& texts_;

    HMODULE library_ = nullptr;
    OpenCommunicationProc open_ = nullptr;
    CloseCommunicationProc close_ = nullptr;
    BufferedTransmitProc transmit_ = nullptr;
    TransmitProc plainTransmit_ = nullptr; // optional; bound for drivers that use it
    ReceiveProc receive_ = nullptr;
    IsTransmissionReadyProc ready_ = nullptr;
    GetCommunicationErrorProc describeError_ = nullptr; // optional

    Kind kind_ = Kind::File;
    bool isOpen_ = false;
    bool failed_ = false; // reported; the rest of the job is dropped
    bool finishing_ = false;
    std::string device_;
    HANDLE port_ = nullptr; // printer or port-library handle
    std::FILE* file_ = nullptr;
    int transmitMode_ = 1;
    unsigned timeOut_ = 60000; // milliseconds
    PortPolicy policy_;
};
