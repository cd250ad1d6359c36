#pragma once
// The cutter behind the USB pipe library summausb, as a port of the transport: commands go
// out through pipe "PIPE00", replies come in through "PIPE01", both with overlapped I/O.
//
// A write first drains the replies nobody asked for, then writes; one still under way after
// 100 ms counts as nothing taken yet and is waited for (100 ms) at the next call, which the
// transport makes with the same bytes, before another starts. A read takes what arrives
// within 1000 ms; a read still under way then is cancelled. Each OVERLAPPED serves one
// operation at a time and its buffer lives with it.

#include <string>

#include <driverframe/PortTransport.h>
#include <summausb/SummaUsb.h>
#include <win32/fileio.h>

class DriverResources;

class UsbPipes : public PortChannel {
public:
    explicit UsbPipes(const DriverResources& texts);
    ~UsbPipes();
    UsbPipes(const UsbPipes&) = delete;
    UsbPipes& operator=(const UsbPipes&) = delete;

    // Loads the library; a missing one is reported.
    void BindLibrary();

    bool Open(std::string& reason) override;
    void Close() override;
    int Write(const char* data, int length) override;
    int Read(char* buffer, int length) override;
    int IsReady() override;

private:
    // Waits up to `milliseconds` for the write under way; false while it still is.
    bool FinishWrite(DWORD milliseconds);
    // Reads one chunk, waiting up to `milliseconds`: the bytes that came (kept in arrived_),
    // -1 on error.
    int ReadChunk(DWORD milliseconds);
    void Drain();

    const DriverResources& texts_;
    HMODULE library_ = nullptr;
    SummaOpenFileProc openFile_ = nullptr;
    SummaErrorProc error_ = nullptr;

    HANDLE commands_ = INVALID_HANDLE_VALUE;
    HANDLE replies_ = INVALID_HANDLE_VALUE;
    HANDLE writeEvent_ = nullptr;
    HANDLE readEvent_ = nullptr;
    OVERLAPPED writeOp_{};
    OVERLAPPED readOp_{};
    bool writing_ = false;
    std::string writeBuffer_; // the bytes of the write under way
    DWORD written_ = 0;       // bytes of a write that completed between calls
    bool writeDone_ = false;
    char readBuffer_[64] = {};
    std::string arrived_; // reply bytes read but not yet handed out
};
