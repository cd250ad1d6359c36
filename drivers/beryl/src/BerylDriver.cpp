#include "BerylDriver.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <type_traits>

#include <driverframe/DriverResources.h>
#include <driverframe/DriverStrings.h>
#include <plotterdriver/DriverOwner.h>
#include <settings/CIniFile.h>
#include <win32/kernel.h>
#include <win32/module.h>
#include <win32/resource.h>
#include <win32/user.h>

#include "BerylStrings.h"

namespace {

constexpr std::size_t kBlockSize = 4096;
constexpr int kFirstPolls = 5000; // polls for "E" before the user is asked
constexpr int kMorePolls = 20000; // after each Yes
const char kReady = 'E';
const char kLastCommand[] = "SP0;";

EmitterSwitches BerylSwitches() {
    EmitterSwitches s;
    s.autoCalibrate = false;
    s.exchange = EmitterSwitches::Exchange::UsbPrefix;
    return s;
}

PortPolicy BerylPolicy(PortChannel* cutter) {
    PortPolicy p;
    p.lptPorts = 0;
    p.comPorts = 0;
    p.usbThroughPortLibrary = false;
    p.usbChannel = cutter;
    return p;
}

template <class Proc> Proc Entry(HMODULE library, LPCSTR name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

} // namespace

BerylPort::BerylPort(BerylDriver& driver) : driver_(driver) {}

BerylPort::~BerylPort() {
    if (library_) FreeLibrary(library_);
}

void BerylPort::BindLibrary() {
    library_ = LoadLibraryA("PcutLib.dll");
    if (library_) {
        open_ = Entry<PcutOpenProc>(library_, MAKEINTRESOURCE(1));
        close_ = Entry<PcutCloseProc>(library_, MAKEINTRESOURCE(2));
        write_ = Entry<PcutWriteProc>(library_, MAKEINTRESOURCE(4));
        readByte_ = Entry<PcutReadByteProc>(library_, MAKEINTRESOURCE(5));
        error_ = Entry<PcutLibErrorProc>(library_, "PcutLibError"); // optional
    }
    if (!open_ || !close_ || !write_ || !readByte_) {
        open_ = nullptr;
        driver_.texts_.Show(IDS_NO_CUTTER_LIBRARY, MB_OK | MB_ICONEXCLAMATION);
    }
}

bool BerylPort::Aborted() const {
    return driver_.owner && driver_.owner->IsAborted();
}

bool BerylPort::Open(std::string& reason) {
    if (!open_) {
        reason = "The cutter library PcutLib is not available.";
        return false;
    }
    if (open_(0) != 1) {
        char text[512] = "";
        if (error_) error_(text, int(sizeof text));
        reason = *text ? text : "The cutter cannot be opened.";
        return false;
    }
    cutterOpen_ = true;
    // A job file of this job alone: created new under a unique name, so that no other job
    // and no file planted in the shared folder can be mixed into it.
    char folder[MAX_PATH] = "", name[MAX_PATH] = "";
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder || !GetTempFileNameA(folder, "cdb", 0, name)) {
        reason = std::string("The job file cannot be created in ") +
                 (*folder ? folder : "the temporary folder") + ".";
        CloseCutter();
        return false;
    }
    jobPath_ = name;
    job_ = std::fopen(name, "r+b");
    if (!job_) {
        reason = jobPath_ + ": " + std::strerror(errno);
        RemoveJobFile();
        CloseCutter();
        return false;
    }
    jobWritten_ = false;
    return true;
}

void BerylPort::Close() {
    if (Aborted()) {
        if (cutterOpen_) Send(driver_.EndCommand());
    } else if (jobWritten_ && cutterOpen_) {
        // The cutter gets its pause before the job, on the layer's clock.
        const DWORD start = GetTickCount();
        for (DWORD waited = 0; waited < DWORD(std::max(driver_.pause_, 0L));
             waited = GetTickCount() - start)
            Sleep(std::min<DWORD>(DWORD(driver_.pause_) - waited, 10));
        Replay();
    }
    RemoveJobFile();
    CloseCutter();
}

void BerylPort::Replay() {
    if (std::fflush(job_) != 0 || std::fseek(job_, 0, SEEK_SET) != 0) {
        driver_.texts_.Show(IDS_WRITE_FAILED, MB_OK | MB_ICONSTOP, jobPath_.c_str());
        driver_.Abort();
        return;
    }
    std::string block, command;
    for (int c; (c = std::fgetc(job_)) != EOF;) {
        command += char(c);
        if (c != ';') continue;
        block += command;
        const bool last = command == kLastCommand;
        command.clear();
        if (Aborted()) {
            Send(driver_.EndCommand());
            return;
        }
        if (last) break;
        if (block.size() >= kBlockSize) {
            if (!Send(block.substr(0, kBlockSize))) return;
            block.erase(0, kBlockSize);
        }
    }
    if (std::ferror(job_)) {
        driver_.texts_.Show(IDS_WRITE_FAILED, MB_OK | MB_ICONSTOP, jobPath_.c_str());
        driver_.Abort();
        return;
    }
    Send(block + command);
}

int BerylPort::Write(const char* data, int length) {
    if (!job_ || length < 0) return -1;
    if (std::fwrite(data, 1, std::size_t(length), job_) != std::size_t(length)) return -1;
    jobWritten_ = true;
    return length;
}

int BerylPort::WriteNow(const char* data, int length) {
    if (length < 0) return -1;
    return Send(std::string(data, std::size_t(length))) ? length : -1;
}

// One byte a call: the reader stops at the reply's terminator, and the cutter's ready byte
// behind it stays on the line for the next block.
int BerylPort::Read(char* buffer, int length) {
    if (!cutterOpen_) return -1;
    if (length <= 0) return 0;
    int result = readByte_(buffer, 0, 1);
    return result == 1 ? 1 : result == 2 ? 0 : -1;
}

bool BerylPort::Send(const std::string& bytes) {
    for (std::size_t at = 0; at < bytes.size(); at += kBlockSize) {
        std::size_t size = std::min(kBlockSize, bytes.size() - at);
        if (!SendBlock(bytes.data() + at, int(size))) return false;
    }
    return true;
}

bool BerylPort::SendBlock(const char* data, int length) {
    if (!cutterOpen_) return false;
    if (!WaitUntilReady()) return false;
    if (write_(data, length) != 1) {
        driver_.Abort();
        CloseCutter();
        driver_.texts_.Show(IDS_BLOCK_REFUSED, MB_OK | MB_ICONSTOP);
        return false;
    }
    return true;
}

bool BerylPort::WaitUntilReady() {
    int allowed = kFirstPolls;
    for (int polls = 0;; ++polls) {
        if (polls >= allowed) {
            if (driver_.texts_.Show(IDS_CUTTER_NOT_READY, MB_YESNO | MB_ICONQUESTION) != IDYES) {
                driver_.Abort();
                CloseCutter();
                return false;
            }
            allowed += kMorePolls;
        }
        char byte = 0;
        int result = readByte_(&byte, 0, 1);
        if (result == 1 && byte == kReady) return true;
        if (result != 1 && result != 2) {
            // The library lost the cutter.
            driver_.Abort();
            CloseCutter();
            driver_.texts_.Show(IDS_BLOCK_REFUSED, MB_OK | MB_ICONSTOP);
            return false;
        }
    }
}

void BerylPort::CloseCutter() {
    if (cutterOpen_) close_(0);
    cutterOpen_ = false;
}

void BerylPort::RemoveJobFile() {
    if (job_) std::fclose(job_);
    job_ = nullptr;
    if (!jobPath_.empty()) DeleteFileA(jobPath_.c_str());
    jobPath_.clear();
}

BerylDriver::BerylDriver(const DriverResources& texts)
    : TemplateEmitter(texts, BerylSwitches(), BerylPolicy(&cutter_)), cutter_(*this) {
    defaultToolOffset_ = 0;
    defaultDevice_ = "USB";
    setup_.pause = true;
    setup_.usbLibrary = "PcutLib";
    cutter_.BindLibrary();
}

BerylDriver::~BerylDriver() {
    // The port must close while the cutter it may replay to still exists.
    Exit();
}

void BerylDriver::SectionLoaded(CIniFile& ini) {
    TemplateEmitter::SectionLoaded(ini);
    pause_ = long(int(ini.GetInt(SectionName().c_str(), "Pause", 500)));
}

std::string BerylDriver::EndCommand() const {
    if (section_[Cmd::End].IsEmpty()) return " ";
    char text[CommandTemplate::MaxCommandLength + 1];
    return section_[Cmd::End].Format(text) ? std::string(text) : std::string(" ");
}
