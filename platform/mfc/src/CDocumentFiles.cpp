// The document's file operations: open through its Serialize, and a save that never
// destroys the file it replaces.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "mfc/CArchive.h"
#include "mfc/CDocument.h"
#include "mfc/CException.h"
#include "mfc/CFile.h"
#include "mfc/CFileException.h"
#include "mfc/CWinApp.h"
#include "mfc/FrameworkStrings.h"

namespace {

std::string NativePath(LPCSTR path) {
    std::string s = path ? path : "";
    for (char& c : s)
        if (c == '\\') c = '/';
    return s;
}

// A new, empty file beside target, named after it; empty when none can be made.
std::string MakeTemporaryBeside(const std::string& target) {
    std::string pattern = target + ".XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) return std::string();
    ::close(fd);
    return pattern;
}

} // namespace

CFile* CDocument::GetFile(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
    CFile* file = new CFile;
    if (!file->Open(lpszFileName, nOpenFlags, pError)) {
        delete file;
        return nullptr;
    }
    return file;
}

void CDocument::ReleaseFile(CFile* pFile, BOOL bAbort) {
    if (pFile == nullptr) return;
    if (bAbort)
        pFile->Abort();
    else
        pFile->Close();
    delete pFile;
}

void CDocument::ReportSaveLoadException(LPCSTR, CException* e, BOOL, UINT nIDPDefault) {
    char text[512] = "";
    if (e != nullptr && e->GetErrorMessage(text, sizeof text) && text[0] != '\0') {
        AfxMessageBox(text, MB_ICONEXCLAMATION);
        return;
    }
    AfxMessageBox(nIDPDefault, MB_ICONEXCLAMATION);
}

BOOL CDocument::OnOpenDocument(LPCSTR lpszPathName) {
    CFileException fe;
    CFile* file = GetFile(lpszPathName, CFile::modeRead | CFile::shareDenyWrite, &fe);
    if (file == nullptr) {
        ReportSaveLoadException(lpszPathName, &fe, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        return FALSE;
    }
    DeleteContents();
    SetModifiedFlag();
    try {
        CArchive ar(file, CArchive::load | CArchive::bNoFlushOnDelete);
        ar.m_pDocument = this;
        ar.m_strFileName = lpszPathName;
        Serialize(ar);
        ar.Close();
        ReleaseFile(file, FALSE);
    } catch (CException* e) {
        ReleaseFile(file, TRUE);
        DeleteContents();
        ReportSaveLoadException(lpszPathName, e, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        e->Delete();
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCSTR lpszPathName) {
    const std::string target = NativePath(lpszPathName);
    const std::string temp = MakeTemporaryBeside(target);
    if (temp.empty()) {
        CFileException fe(CFileException::ErrnoToException(errno), errno, lpszPathName);
        ReportSaveLoadException(lpszPathName, &fe, TRUE, AFX_IDP_FAILED_TO_SAVE_DOC);
        return FALSE;
    }
    CFileException fe;
    CFile* file = GetFile(temp.c_str(), CFile::modeCreate | CFile::modeReadWrite, &fe);
    if (file == nullptr) {
        std::remove(temp.c_str());
        fe.m_strFileName = lpszPathName;
        ReportSaveLoadException(lpszPathName, &fe, TRUE, AFX_IDP_FAILED_TO_SAVE_DOC);
        return FALSE;
    }
    try {
        {
            CArchive ar(file, CArchive::store | CArchive::bNoFlushOnDelete);
            ar.m_pDocument = this;
            ar.m_strFileName = lpszPathName;
            try {
                Serialize(ar);
                ar.Close();
            } catch (...) {
                ar.Abort();
                throw;
            }
        }
        file->Flush();
        if (file->m_hFile >= 0 && ::fsync(file->m_hFile) != 0 && errno != EINVAL)
            CFileException::ThrowErrno(errno, lpszPathName);
        // The replaced file's permissions stay with the name; a new file gets the usual
        // ones rather than the temporary file's private mode.
        struct stat st;
        if (file->m_hFile >= 0) {
            if (::stat(target.c_str(), &st) == 0) {
                (void)::fchmod(file->m_hFile, st.st_mode & 07777);
            } else {
                const mode_t mask = ::umask(0);
                ::umask(mask);
                (void)::fchmod(file->m_hFile, 0666 & ~mask);
            }
        }
        ReleaseFile(file, FALSE);
        file = nullptr;
        if (::rename(temp.c_str(), target.c_str()) != 0)
            CFileException::ThrowErrno(errno, lpszPathName);
    } catch (CException* e) {
        if (file != nullptr) ReleaseFile(file, TRUE);
        std::remove(temp.c_str());
        ReportSaveLoadException(lpszPathName, e, TRUE, AFX_IDP_FAILED_TO_SAVE_DOC);
        e->Delete();
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::DoSave(LPCSTR lpszPathName, BOOL bReplace) {
    if (lpszPathName == nullptr || *lpszPathName == '\0') return FALSE;
    if (!OnSaveDocument(lpszPathName)) return FALSE;
    if (bReplace) SetPathName(lpszPathName);
    return TRUE;
}
