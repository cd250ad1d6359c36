#include <algorithm>
#include <cerrno>
#include <vector>
#include <chrono>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "KernelFiles.h"
#include "UsbInterfacePath.h"
#include "win32/KernelTesting.h"
#include "win32/fileio.h"
#include "win32/kernel.h"

namespace {

// Real time a peer on another thread gets to answer while the fake clock runs.
constexpr int fakeClockGraceMilliseconds = 10;

struct Operation {
    bool write = false;
    char* buffer = nullptr;
    DWORD size = 0;
};

struct KernelObject {
    std::mutex mutex;
    bool isEvent = false;
    // event
    bool manualReset = false;
    bool signalled = false;
    // file
    int fd = -1;
    bool overlapped = false;
    std::map<OVERLAPPED*, Operation> inFlight;
};

std::mutex tableMutex;
std::map<HANDLE, std::shared_ptr<KernelObject>>& table() {
    static std::map<HANDLE, std::shared_ptr<KernelObject>> objects;
    return objects;
}

HANDLE addObject(std::shared_ptr<KernelObject> object) {
    std::lock_guard lock(tableMutex);
    HANDLE handle = object.get();
    table()[handle] = std::move(object);
    return handle;
}

std::shared_ptr<KernelObject> objectOf(HANDLE handle) {
    std::lock_guard lock(tableMutex);
    auto it = table().find(handle);
    if (it != table().end()) return it->second;
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

void setEvent(HANDLE handle) {
    if (!handle) return;
    std::shared_ptr<KernelObject> event;
    {
        std::lock_guard lock(tableMutex);
        auto it = table().find(handle);
        if (it == table().end() || !it->second->isEvent) return;
        event = it->second;
    }
    std::lock_guard lock(event->mutex);
    event->signalled = true;
}

void resetEvent(HANDLE handle) {
    std::shared_ptr<KernelObject> event;
    {
        std::lock_guard lock(tableMutex);
        auto it = table().find(handle);
        if (it == table().end() || !it->second->isEvent) return;
        event = it->second;
    }
    std::lock_guard lock(event->mutex);
    event->signalled = false;
}

// poll() with a deadline in real time, restarted after signals.
short pollFor(int fd, short events, int milliseconds) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        pollfd watch{fd, events, 0};
        int n = ::poll(&watch, 1, milliseconds);
        if (n > 0) return watch.revents;
        if (n == 0 || errno != EINTR) return 0;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        milliseconds = left.count() > 0 ? int(left.count()) : 0;
    }
}

void finish(OVERLAPPED* overlapped, DWORD error) {
    overlapped->Internal = error;
    setEvent(overlapped->hEvent);
}

// Moves what can be moved now; true when the operation has completed (the OVERLAPPED then
// holds its result).
bool progress(int fd, OVERLAPPED* overlapped, Operation& op) {
    for (;;) {
        const DWORD done = DWORD(overlapped->InternalHigh);
        ssize_t n = op.write ? ::write(fd, op.buffer + done, op.size - done)
                             : ::read(fd, op.buffer + done, op.size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) return false;
            // A terminal whose far end is gone reads as the end of the line.
            if (!op.write && errno == EIO) {
                finish(overlapped, ERROR_SUCCESS);
                return true;
            }
            finish(overlapped, win32ErrorFromErrno(errno));
            return true;
        }
        overlapped->InternalHigh = done + DWORD(n);
        if (!op.write || n == 0 || overlapped->InternalHigh == op.size) {
            finish(overlapped, ERROR_SUCCESS);
            return true;
        }
    }
}

// One pass over the operations in flight: whether one (or `onlyFor`) completed. `events`
// receives what the rest wait for.
bool stepAll(KernelObject& file, OVERLAPPED* onlyFor, short& events) {
    bool completed = false;
    events = 0;
    for (auto it = file.inFlight.begin(); it != file.inFlight.end();) {
        if (progress(file.fd, it->first, it->second)) {
            completed = completed || !onlyFor || it->first == onlyFor;
            it = file.inFlight.erase(it);
        } else {
            events |= it->second.write ? POLLOUT : POLLIN;
            ++it;
        }
    }
    return completed;
}

// Progresses the operations in flight on the file, waiting at most `milliseconds` (the
// layer's clock) until one (or `onlyFor`) completes; whether it did. Under the fake clock the
// descriptor is watched for a short real moment and the time then passes by Sleep. The
// object's lock is held.
bool progressFile(KernelObject& file, DWORD milliseconds, OVERLAPPED* onlyFor = nullptr) {
    const bool fake = SdFakeClockInstalled();
    const DWORD start = GetTickCount();
    bool graced = false;
    for (;;) {
        short events = 0;
        if (stepAll(file, onlyFor, events)) return true;
        if (events == 0) return !onlyFor;
        int wait = 1000;
        if (milliseconds != INFINITE && fake) {
            if (graced) {
                Sleep(milliseconds);
                return stepAll(file, onlyFor, events);
            }
            graced = true;
            wait = fakeClockGraceMilliseconds;
        } else if (milliseconds != INFINITE) {
            DWORD spent = GetTickCount() - start;
            if (spent >= milliseconds) return false;
            wait = int(std::min<DWORD>(milliseconds - spent, 1000));
        }
        short ready = pollFor(file.fd, events, wait);
        if (ready & (POLLERR | POLLNVAL | POLLHUP)) {
            if (stepAll(file, onlyFor, events)) return true;
            for (auto& entry : file.inFlight) finish(entry.first, ERROR_WRITE_FAULT);
            file.inFlight.clear();
            return true;
        }
    }
}

std::shared_ptr<KernelObject> fileOf(HANDLE handle) {
    auto object = objectOf(handle);
    if (object && object->isEvent) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return object;
}

BOOL transfer(HANDLE handle, void* buffer, DWORD size, LPDWORD moved, LPOVERLAPPED overlapped,
              bool write) {
    auto file = fileOf(handle);
    if (!file) return FALSE;
    if (moved) *moved = 0;
    if ((!buffer && size > 0) || (file->overlapped && !overlapped) ||
        (!overlapped && !moved)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard lock(file->mutex);
    Operation op{write, static_cast<char*>(buffer), size};
    if (!overlapped) {
        // Waits as long as it takes; a read ends with the first bytes that arrive.
        OVERLAPPED own{};
        while (!progress(file->fd, &own, op))
            pollFor(file->fd, write ? POLLOUT : POLLIN, 1000);
        *moved = DWORD(own.InternalHigh);
        if (own.Internal != ERROR_SUCCESS) {
            SetLastError(DWORD(own.Internal));
            return FALSE;
        }
        return TRUE;
    }
    if (file->inFlight.count(overlapped)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!file->overlapped && ::lseek(file->fd, 0, SEEK_CUR) >= 0)
        ::lseek(file->fd, off_t(overlapped->Offset) | (off_t(overlapped->OffsetHigh) << 32), SEEK_SET);
    overlapped->Internal = ERROR_IO_PENDING;
    overlapped->InternalHigh = 0;
    resetEvent(overlapped->hEvent);
    if (!progress(file->fd, overlapped, op)) {
        file->inFlight[overlapped] = op;
        SetLastError(ERROR_IO_PENDING);
        return FALSE;
    }
    if (moved) *moved = DWORD(overlapped->InternalHigh);
    if (overlapped->Internal != ERROR_SUCCESS) {
        SetLastError(DWORD(overlapped->Internal));
        return FALSE;
    }
    return TRUE;
}

void makeRaw(int fd) {
    termios line{};
    if (::tcgetattr(fd, &line) != 0) return;
    ::cfmakeraw(&line);
    line.c_cflag |= CLOCAL | CREAD;
    ::tcsetattr(fd, TCSANOW, &line);
}

} // namespace

HANDLE CreateFileA(LPCSTR fileName, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition,
                   DWORD flags, HANDLE) {
    if (!fileName || !*fileName || disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string path;
    if (isUsbInterfacePath(fileName)) {
        path = usbInterfaceNode(fileName);
        if (path.empty()) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return INVALID_HANDLE_VALUE;
        }
        disposition = OPEN_EXISTING;
    } else {
        path = nativePath(fileName);
    }
    int mode = (access & GENERIC_READ) && (access & GENERIC_WRITE) ? O_RDWR
               : (access & GENERIC_WRITE)                          ? O_WRONLY
                                                                   : O_RDONLY;
    switch (disposition) {
    case CREATE_NEW: mode |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS: mode |= O_CREAT | O_TRUNC; break;
    case OPEN_ALWAYS: mode |= O_CREAT; break;
    case TRUNCATE_EXISTING: mode |= O_TRUNC; break;
    default: break;
    }
    int fd = ::open(path.c_str(), mode | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    if (fd < 0) {
        SetLastError(win32ErrorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    if (::isatty(fd)) makeRaw(fd);
    auto file = std::make_shared<KernelObject>();
    file->fd = fd;
    file->overlapped = (flags & FILE_FLAG_OVERLAPPED) != 0;
    return addObject(std::move(file));
}

HANDLE SdFileHandleFromDescriptor(int fd, BOOL overlapped) {
    const int flags = fd < 0 ? -1 : ::fcntl(fd, F_GETFL);
    if (flags < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_HANDLE_VALUE;
    }
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    auto file = std::make_shared<KernelObject>();
    file->fd = fd;
    file->overlapped = overlapped != FALSE;
    return addObject(std::move(file));
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED overlapped) {
    return transfer(file, buffer, toRead, read, overlapped, false);
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written,
               LPOVERLAPPED overlapped) {
    return transfer(file, const_cast<void*>(buffer), toWrite, written, overlapped, true);
}

BOOL GetOverlappedResult(HANDLE handle, LPOVERLAPPED overlapped, LPDWORD transferred, BOOL wait) {
    auto file = fileOf(handle);
    if (!file) return FALSE;
    if (!overlapped) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    {
        std::lock_guard lock(file->mutex);
        if (file->inFlight.count(overlapped)) {
            if (wait) {
                while (file->inFlight.count(overlapped))
                    progressFile(*file, INFINITE, overlapped);
            } else {
                progressFile(*file, 0, overlapped);
            }
        }
        if (file->inFlight.count(overlapped)) {
            SetLastError(ERROR_IO_INCOMPLETE);
            return FALSE;
        }
    }
    if (transferred) *transferred = DWORD(overlapped->InternalHigh);
    if (overlapped->Internal != ERROR_SUCCESS) {
        SetLastError(DWORD(overlapped->Internal));
        return FALSE;
    }
    return TRUE;
}

BOOL CancelIo(HANDLE handle) {
    auto file = fileOf(handle);
    if (!file) return FALSE;
    std::lock_guard lock(file->mutex);
    for (auto& [overlapped, op] : file->inFlight) {
        (void)op;
        finish(overlapped, ERROR_OPERATION_ABORTED);
    }
    file->inFlight.clear();
    return TRUE;
}

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR) {
    auto event = std::make_shared<KernelObject>();
    event->isEvent = true;
    event->manualReset = manualReset != FALSE;
    event->signalled = initialState != FALSE;
    return addObject(std::move(event));
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    auto object = objectOf(handle);
    if (!object) return WAIT_FAILED;
    auto takeEvent = [&]() {
        std::lock_guard lock(object->mutex);
        if (!object->signalled) return false;
        if (!object->manualReset) object->signalled = false;
        return true;
    };
    if (!object->isEvent) {
        std::lock_guard lock(object->mutex);
        if (!object->inFlight.empty()) progressFile(*object, milliseconds);
        return object->inFlight.empty() ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
    }
    if (takeEvent()) return WAIT_OBJECT_0;
    // The operation that will set the event, found among the files' operations in flight.
    std::shared_ptr<KernelObject> file;
    OVERLAPPED* operation = nullptr;
    std::vector<std::shared_ptr<KernelObject>> files;
    {
        std::lock_guard lock(tableMutex);
        for (auto& entry : table())
            if (!entry.second->isEvent) files.push_back(entry.second);
    }
    for (auto& candidate : files) {
        {
            std::lock_guard fileLock(candidate->mutex);
            for (auto& [overlapped, op] : candidate->inFlight) {
                (void)op;
                if (overlapped->hEvent == handle) {
                    file = candidate;
                    operation = overlapped;
                }
            }
        }
    }
    if (!file) {
        if (milliseconds == INFINITE) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return WAIT_FAILED;
        }
        Sleep(milliseconds);
        return takeEvent() ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
    }
    {
        std::lock_guard lock(file->mutex);
        if (file->inFlight.count(operation)) progressFile(*file, milliseconds, operation);
    }
    return takeEvent() ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

BOOL CloseHandle(HANDLE handle) {
    std::shared_ptr<KernelObject> object;
    {
        std::lock_guard lock(tableMutex);
        auto it = table().find(handle);
        if (it == table().end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        object = it->second;
        table().erase(it);
    }
    if (!object->isEvent) {
        std::lock_guard lock(object->mutex);
        for (auto& [overlapped, op] : object->inFlight) {
            (void)op;
            finish(overlapped, ERROR_OPERATION_ABORTED);
        }
        object->inFlight.clear();
        ::close(object->fd);
    }
    return TRUE;
}
