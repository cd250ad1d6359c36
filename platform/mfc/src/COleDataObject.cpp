#include "mfc/COleDataObject.h"

#include "mfc/CException.h"
#include "mfc/CMemFile.h"
#include "win32/kernel.h"

BOOL COleDataObject::AttachClipboard() {
    m_bClipboard = TRUE;
    return TRUE;
}

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT cfFormat) const {
    return m_bClipboard && IsClipboardFormatAvailable(cfFormat);
}

CFile* COleDataObject::GetFileData(CLIPFORMAT cfFormat) const {
    if (!m_bClipboard || !IsClipboardFormatAvailable(cfFormat)) return nullptr;
    if (!OpenClipboard(nullptr)) return nullptr;
    CMemFile* file = nullptr;
    HANDLE mem = GetClipboardData(cfFormat);
    const void* data = mem ? GlobalLock(mem) : nullptr;
    if (data) {
        SIZE_T size = GlobalSize(mem);
        if (size <= 0xFFFFFFFFu) {
            file = new CMemFile;
            try {
                file->Write(data, UINT(size));
                file->SeekToBegin();
            } catch (CException* e) {
                e->Delete();
                delete file;
                file = nullptr;
            }
        }
        GlobalUnlock(mem);
    }
    CloseClipboard();
    return file;
}
