#pragma once
// The template-language driver that reaches its cutter through the maker's library PcutLib
// for the device "USB". A job is written into a temporary job file of its own and replayed
// to the cutter when the port closes: after a pause, in blocks of 4096 bytes up to the
// first "SP0;", each block sent when the cutter has said "E" (it is ready).

#include <cstdio>
#include <string>

#include <driverframe/TemplateEmitter.h>
#include <pcutlib/PcutLib.h>

class BerylDriver;

// The cutter behind PcutLib, as a port of the transport.
class BerylPort : public PortChannel {
public:
    explicit BerylPort(BerylDriver& driver);
    ~BerylPort();
    BerylPort(const BerylPort&) = delete;
    BerylPort& operator=(const BerylPort&) = delete;

    // Loads the library; a missing one is reported.
    void BindLibrary();

    bool Open(std::string& reason) override;
    // Replays the job file to the cutter (or, after an abort, sends only End), deletes the
    // file and closes the cutter.
    void Close() override;
    // Into the job file.
    int Write(const char* data, int length) override;
    // Straight to the cutter, in a block of its own.
    int WriteNow(const char* data, int length) override;
    int Read(char* buffer, int length) override;

private:
    void Replay();
    // Sends the bytes in blocks of at most 4096, each after the cutter's "E"; false when the
    // cutter was given up (the job is then aborted and the cutter closed).
    bool Send(const std::string& bytes);
    bool SendBlock(const char* data, int length);
    bool WaitUntilReady();
    void CloseCutter();
    void RemoveJobFile();
    bool Aborted() const;

    BerylDriver& driver_;
    HMODULE library_ = nullptr;
    PcutOpenProc open_ = nullptr;
    PcutCloseProc close_ = nullptr;
    PcutWriteProc write_ = nullptr;
    PcutReadByteProc readByte_ = nullptr;
    PcutLibErrorProc error_ = nullptr;

    bool cutterOpen_ = false;
    std::FILE* job_ = nullptr;
    std::string jobPath_;
    bool jobWritten_ = false;
};

class BerylDriver : public TemplateEmitter {
public:
    explicit BerylDriver(const DriverResources& texts);
    ~BerylDriver();

protected:
    void SectionLoaded(CIniFile& ini) override;

private:
    friend class BerylPort;
    // The End template as sent (one blank when it is empty).
    std::string EndCommand() const;

    BerylPort cutter_;
    long pause_ = 500; // milliseconds before the job is replayed
};
