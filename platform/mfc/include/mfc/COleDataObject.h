#pragma once
// The data object of the clipboard, as the framework's OLE data transfer offers it: attached
// to the clipboard, it answers which formats are there and hands one format's data over as a
// memory file.

#include "mfc/export.h"
#include "win32/clipboard.h"

class CFile;

class MFC_API COleDataObject {
public:
    COleDataObject() = default;
    ~COleDataObject() { Release(); }
    COleDataObject(const COleDataObject&) = delete;
    COleDataObject& operator=(const COleDataObject&) = delete;

    BOOL AttachClipboard();
    void Release() { m_bClipboard = FALSE; }

    BOOL IsDataAvailable(CLIPFORMAT cfFormat) const;
    // A new memory file positioned at its start, holding a copy of the format's data; the
    // caller deletes it. NULL when not attached, when the format is not there, when the
    // clipboard is held open by another owner, or when memory runs out.
    CFile* GetFileData(CLIPFORMAT cfFormat) const;

private:
    BOOL m_bClipboard = FALSE;
};
