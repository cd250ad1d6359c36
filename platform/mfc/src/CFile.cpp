#include "mfc/CFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FileErrors.h"
#include "NativePath.h"
#include "mfc/CFileException.h"

IMPLEMENT_DYNAMIC(CFile, CObject)

namespace {

constexpr LONG kErrorPathNotFound = 3;
constexpr LONG kErrorInvalidHandle = 6;
constexpr LONG kErrorInvalidParameter = 87;
constexpr LONG kErrorNegativeSeek = 131;
constexpr LONG kErrorAlreadyExists = 183;

// The Win32 error for errno after an operation on path: a missing folder is a bad path, a
// missing file in an existing folder is a missing file.
LONG osErrorFor(int error, const std::string& path) {
    if (error == ENOENT) {
        const std::size_t slash = path.find_last_of('/');
        if (slash != std::string::npos && slash != 0) {
            struct stat st {};
            const std::string folder = path.substr(0, slash);
            if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
                return kErrorPathNotFound;
            }
        }
    }
    return LONG(win32ErrorForErrno(error));
}

[[noreturn]] void throwFor(int error, const std::string& path, const CString& name) {
    const LONG osError = osErrorFor(error, path);
    AfxThrowFileException(CFileException::OsErrorToException(osError), osError, name);
}

// Files without any write permission stand for read-only files, which are not written or
// removed, whoever asks.
bool isReadOnlyFile(const struct stat& st) {
    return S_ISREG(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

CFile::CFile() : m_hFile(hFileNull), m_bCloseOnDelete(FALSE) {}

CFile::CFile(int hFile) : m_hFile(hFile), m_bCloseOnDelete(FALSE) {}

CFile::CFile(LPCSTR lpszFileName, UINT nOpenFlags) : CFile() {
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error)) {
        AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
    }
}

CFile::~CFile() {
    if (m_hFile != hFileNull && m_bCloseOnDelete) Abort();
}

BOOL CFile::Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
    if (m_hFile != hFileNull) Abort();
    const std::string path = toNativePath(lpszFileName);
    m_strFileName = path.c_str();

    auto fail = [&](LONG osError) {
        if (pError != nullptr) {
            pError->m_cause = CFileException::OsErrorToException(osError);
            pError->m_lOsError = osError;
            pError->m_strFileName = m_strFileName;
        }
        m_strFileName.Empty();
        return FALSE;
    };

    int flags = O_CLOEXEC;
    bool writing = true;
    switch (nOpenFlags & 3) {
    case modeRead:
        flags |= O_RDONLY;
        writing = false;
        break;
    case modeWrite:
        flags |= O_WRONLY;
        break;
    case modeReadWrite:
        flags |= O_RDWR;
        break;
    default:
        return fail(kErrorInvalidParameter);
    }
    if (path.empty()) return fail(LONG(win32ErrorForErrno(ENOENT)));
    if (nOpenFlags & modeCreate) {
        flags |= O_CREAT;
        if ((nOpenFlags & modeNoTruncate) == 0) flags |= O_TRUNC;
    }

    struct stat st {};
    if (writing && ::stat(path.c_str(), &st) == 0 && isReadOnlyFile(st)) {
        return fail(LONG(win32ErrorForErrno(EACCES)));
    }
    int fd;
    do {
        fd = ::open(path.c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return fail(osErrorFor(errno, path));
    // Folders are not files.
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return fail(LONG(win32ErrorForErrno(EISDIR)));
    }
    m_hFile = fd;
    m_bCloseOnDelete = TRUE;
    return TRUE;
}

void CFile::ThrowErrno(int nErrno) const {
    throwFor(nErrno, toNativePath(m_strFileName), m_strFileName);
}

namespace {

void requireOpen(const CFile& file) {
    if (file.m_hFile == CFile::hFileNull) {
        AfxThrowFileException(CFileException::invalidFile, kErrorInvalidHandle, file.m_strFileName);
    }
}

// EBADF on an open descriptor means it was not opened for that direction.
[[noreturn]] void throwIo(const CFile& file, int error) {
    if (error == EBADF) {
        AfxThrowFileException(CFileException::accessDenied, LONG(win32ErrorForErrno(EACCES)),
                              file.m_strFileName);
    }
    throwFor(error, std::string(), file.m_strFileName);
}

} // namespace

UINT CFile::Read(void* lpBuf, UINT nCount) {
    requireOpen(*this);
    BYTE* out = static_cast<BYTE*>(lpBuf);
    UINT done = 0;
    while (done < nCount) {
        const ssize_t got = ::read(m_hFile, out + done, nCount - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            throwIo(*this, errno);
        }
        if (got == 0) break;
        done += UINT(got);
    }
    return done;
}

void CFile::Write(const void* lpBuf, UINT nCount) {
    requireOpen(*this);
    const BYTE* in = static_cast<const BYTE*>(lpBuf);
    UINT done = 0;
    while (done < nCount) {
        const ssize_t put = ::write(m_hFile, in + done, nCount - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            throwIo(*this, errno);
        }
        if (put == 0) throwIo(*this, ENOSPC);
        done += UINT(put);
    }
}

std::uint64_t CFile::Seek(std::int64_t lOff, UINT nFrom) {
    requireOpen(*this);
    int whence;
    switch (nFrom) {
    case begin:
        whence = SEEK_SET;
        break;
    case current:
        whence = SEEK_CUR;
        break;
    case end:
        whence = SEEK_END;
        break;
    default:
        AfxThrowFileException(CFileException::badSeek, kErrorInvalidParameter, m_strFileName);
    }
    const off_t at = ::lseek(m_hFile, off_t(lOff), whence);
    if (at < 0) {
        if (errno == EINVAL) {
            AfxThrowFileException(CFileException::badSeek, kErrorNegativeSeek, m_strFileName);
        }
        throwIo(*this, errno);
    }
    return std::uint64_t(at);
}

std::uint64_t CFile::GetLength() const {
    requireOpen(*this);
    struct stat st {};
    if (::fstat(m_hFile, &st) != 0) throwIo(*this, errno);
    return std::uint64_t(st.st_size);
}

void CFile::SetLength(std::uint64_t dwNewLen) {
    requireOpen(*this);
    if (dwNewLen > std::uint64_t(LLONG_MAX)) {
        AfxThrowFileException(CFileException::badSeek, kErrorInvalidParameter, m_strFileName);
    }
    if (::ftruncate(m_hFile, off_t(dwNewLen)) != 0) throwIo(*this, errno);
}

std::uint64_t CFile::GetPosition() const {
    requireOpen(*this);
    const off_t at = ::lseek(m_hFile, 0, SEEK_CUR);
    if (at < 0) throwIo(*this, errno);
    return std::uint64_t(at);
}

void CFile::Flush() {
    requireOpen(*this);
}

void CFile::Close() {
    const int fd = m_hFile;
    m_hFile = hFileNull;
    m_bCloseOnDelete = FALSE;
    const CString name = m_strFileName;
    m_strFileName.Empty();
    if (fd != hFileNull && ::close(fd) != 0 && errno != EINTR) {
        throwFor(errno, std::string(), name);
    }
}

void CFile::Abort() {
    if (m_hFile != hFileNull) ::close(m_hFile);
    m_hFile = hFileNull;
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
}

void CFile::SetFilePath(LPCSTR lpszNewName) {
    m_strFileName = toNativePath(lpszNewName).c_str();
}

CString CFile::GetFileName() const {
    const CString path = GetFilePath();
    const int slash = std::max(path.ReverseFind('/'), path.ReverseFind('\\'));
    return path.Mid(slash + 1);
}

CString CFile::GetFileTitle() const {
    const CString name = GetFileName();
    const int dot = name.ReverseFind('.');
    return dot < 0 ? name : name.Left(dot);
}

void CFile::Rename(LPCSTR lpszOldName, LPCSTR lpszNewName) {
    const std::string from = toNativePath(lpszOldName);
    const std::string to = toNativePath(lpszNewName);
    // The new name must not exist yet, as on the original platform.
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return;
    int error = errno;
    if (error == EINVAL || error == ENOSYS) {
        struct stat st {};
        if (::lstat(to.c_str(), &st) == 0) {
            error = EEXIST;
        } else if (::rename(from.c_str(), to.c_str()) == 0) {
            return;
        } else {
            error = errno;
        }
    }
    if (error == EEXIST) {
        AfxThrowFileException(CFileException::accessDenied, kErrorAlreadyExists, lpszOldName);
    }
    throwFor(error, from, lpszOldName);
}

void CFile::Remove(LPCSTR lpszFileName) {
    const std::string path = toNativePath(lpszFileName);
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && isReadOnlyFile(st)) throwFor(EACCES, path, lpszFileName);
    if (::unlink(path.c_str()) != 0) throwFor(errno, path, lpszFileName);
}

BOOL CFile::GetStatus(LPCSTR lpszFileName, CFileStatus& rStatus) {
    const std::string path = toNativePath(lpszFileName);
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return FALSE;
    rStatus.m_ctime = std::int64_t(st.st_ctime);
    rStatus.m_mtime = std::int64_t(st.st_mtime);
    rStatus.m_atime = std::int64_t(st.st_atime);
    rStatus.m_size = std::int64_t(st.st_size);
    BYTE attribute = S_ISDIR(st.st_mode) ? BYTE(directory) : BYTE(archive);
    if (isReadOnlyFile(st)) attribute |= readOnly;
    const std::size_t slash = path.find_last_of('/');
    if (path[slash == std::string::npos ? 0 : slash + 1] == '.') attribute |= hidden;
    rStatus.m_attribute = attribute;
    char* full = ::realpath(path.c_str(), nullptr);
    std::snprintf(rStatus.m_szFullName, sizeof rStatus.m_szFullName, "%s",
                  full != nullptr ? full : path.c_str());
    std::free(full);
    return TRUE;
}

void CFile::SetStatus(LPCSTR lpszFileName, const CFileStatus& status) {
    const std::string path = toNativePath(lpszFileName);
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) throwFor(errno, path, lpszFileName);
    if (S_ISREG(st.st_mode)) {
        mode_t mode = st.st_mode & 07777;
        if (status.m_attribute & readOnly) {
            mode &= ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH);
        } else if (isReadOnlyFile(st)) {
            mode |= S_IWUSR;
        }
        if (mode != (st.st_mode & 07777) && ::chmod(path.c_str(), mode) != 0) {
            throwFor(errno, path, lpszFileName);
        }
    }
    if (status.m_mtime != 0 || status.m_atime != 0) {
        struct timespec times[2];
        times[0].tv_sec = time_t(status.m_atime);
        times[0].tv_nsec = status.m_atime != 0 ? 0 : UTIME_OMIT;
        times[1].tv_sec = time_t(status.m_mtime);
        times[1].tv_nsec = status.m_mtime != 0 ? 0 : UTIME_OMIT;
        if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) throwFor(errno, path, lpszFileName);
    }
}
