#include "UsbPipes.h"

#include <algorithm>
#include <cstring>
#include <string>

#include <driverframe/DriverResources.h>
#include <win32/kernel.h>
#include <win32/module.h>
#include <win32/user.h>

#include "EmberStrings.h"

namespace {

constexpr DWORD kWriteWait = 100; // milliseconds a write may take before it counts as pending
constexpr DWORD kReadWait = 1000; // milliseconds a read waits for the cutter's reply
constexpr int kReplyChunk = 64;
// A cutter that keeps talking must not hold a write for ever: the drain reads at most this
// many chunks.
constexpr int kMostDrainedChunks = 1024;

template <class Proc> Proc Entry(HMODULE library, LPCSTR name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

void CloseIfOpen(HANDLE& handle) {
    if (handle != INVALID_HANDLE_VALUE && handle) CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
}

} // namespace

UsbPipes::UsbPipes(const DriverResources& texts) : texts_(texts) {}

UsbPipes::~UsbPipes() {
    Close();
    if (library_) FreeLibrary(library_);
}

void UsbPipes::BindLibrary() {
    library_ = LoadLibraryA("summausb.dll");
    if (library_) {
        openFile_ = Entry<SummaOpenFileProc>(library_, "open_file");
        error_ = Entry<SummaErrorProc>(library_, "summausb_error"); // optional
    }
    if (!openFile_) texts_.Show(IDS_NO_PIPE_LIBRARY, MB_OK | MB_ICONEXCLAMATION);
}

bool UsbPipes::Open(std::string& reason) {
    Close();
    if (!openFile_) {
        reason = "The USB pipe library summausb is not available.";
        return false;
    }
    auto why = [&](const char* fallback) {
        char text[512] = "";
        if (error_) error_(text, int(sizeof text));
        reason = *text ? text : fallback;
    };
    commands_ = openFile_("PIPE00", 0);
    if (commands_ == INVALID_HANDLE_VALUE || !commands_) {
        commands_ = INVALID_HANDLE_VALUE;
        why("The cutter on USB cannot be opened.");
        return false;
    }
    replies_ = openFile_("PIPE01", 0);
    if (replies_ == INVALID_HANDLE_VALUE || !replies_) {
        replies_ = INVALID_HANDLE_VALUE;
        why("The cutter's reply pipe cannot be opened.");
        CloseIfOpen(commands_);
        return false;
    }
    writeEvent_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    readEvent_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    return true;
}

void UsbPipes::Close() {
    if (writing_) {
        // Only a job that was given up leaves a write under way.
        CancelIo(commands_);
        DWORD n = 0;
        GetOverlappedResult(commands_, &writeOp_, &n, TRUE);
        writing_ = false;
    }
    CloseIfOpen(commands_);
    CloseIfOpen(replies_);
    if (writeEvent_) CloseHandle(writeEvent_);
    if (readEvent_) CloseHandle(readEvent_);
    writeEvent_ = readEvent_ = nullptr;
    writeDone_ = false;
    arrived_.clear();
}

bool UsbPipes::FinishWrite(DWORD milliseconds) {
    WaitForSingleObject(writeEvent_, milliseconds);
    DWORD n = 0;
    if (!GetOverlappedResult(commands_, &writeOp_, &n, FALSE)) {
        if (GetLastError() == ERROR_IO_INCOMPLETE) return false;
        n = DWORD(writeOp_.InternalHigh);
    }
    writing_ = false;
    writeDone_ = true;
    written_ = n;
    return true;
}

int UsbPipes::Write(const char* data, int length) {
    if (commands_ == INVALID_HANDLE_VALUE || !data || length < 0) return -1;
    if (writing_ && !FinishWrite(kWriteWait)) return 0;
    if (writeDone_) {
        writeDone_ = false;
        // The transport offers the bytes it was told were not taken again: those of the
        // write that has completed meanwhile count for this call.
        const std::size_t n = std::min<std::size_t>(written_, writeBuffer_.size());
        if (n > 0 && n <= std::size_t(length) && std::memcmp(writeBuffer_.data(), data, n) == 0)
            return int(n);
    }
    if (length == 0) return 0;
    Drain();
    writeBuffer_.assign(data, std::size_t(length));
    writeOp_ = OVERLAPPED{};
    writeOp_.hEvent = writeEvent_;
    DWORD n = 0;
    if (WriteFile(commands_, writeBuffer_.data(), DWORD(length), &n, &writeOp_)) return int(n);
    const DWORD error = GetLastError();
    if (error == ERROR_IO_PENDING) {
        writing_ = true;
        if (!FinishWrite(kWriteWait)) return 0;
        writeDone_ = false;
        return int(written_);
    }
    const std::string number = std::to_string(error);
    return texts_.Show(IDS_PIPE_WRITE_ERROR, MB_YESNO | MB_ICONQUESTION, number.c_str()) == IDYES
               ? 0
               : -1;
}

int UsbPipes::ReadChunk(DWORD milliseconds) {
    readOp_ = OVERLAPPED{};
    readOp_.hEvent = readEvent_;
    DWORD n = 0;
    if (!ReadFile(replies_, readBuffer_, kReplyChunk, &n, &readOp_)) {
        if (GetLastError() != ERROR_IO_PENDING) return -1;
        WaitForSingleObject(readEvent_, milliseconds);
        if (!GetOverlappedResult(replies_, &readOp_, &n, FALSE)) {
            if (GetLastError() != ERROR_IO_INCOMPLETE) return -1;
            // Nothing more in time: the read is cancelled before any other starts, keeping
            // what it had taken.
            CancelIo(replies_);
            GetOverlappedResult(replies_, &readOp_, &n, TRUE);
            n = DWORD(readOp_.InternalHigh);
        }
    }
    arrived_.append(readBuffer_, std::min<DWORD>(n, kReplyChunk));
    return int(n);
}

void UsbPipes::Drain() {
    arrived_.clear();
    for (int i = 0; i < kMostDrainedChunks && ReadChunk(0) > 0; ++i)
        arrived_.clear();
    arrived_.clear();
}

int UsbPipes::Read(char* buffer, int length) {
    if (replies_ == INVALID_HANDLE_VALUE || !buffer) return -1;
    if (length <= 0) return 0;
    if (arrived_.empty() && ReadChunk(kReadWait) < 0) return -1;
    const int n = int(std::min<std::size_t>(arrived_.size(), std::size_t(length)));
    std::memcpy(buffer, arrived_.data(), std::size_t(n));
    arrived_.erase(0, std::size_t(n));
    return n;
}

int UsbPipes::IsReady() {
    return !writing_ || FinishWrite(kWriteWait) ? 1 : 0;
}
