#pragma once
// One named undo step: its records, owned, and the bytes they account for.

#include "mfc/CString.h"
#include "model/CBackup.h"
#include "model/COwnedObArray.h"

class CBackup;

class CUndoStep : public CObject {
public:
    explicit CUndoStep(const char* name);
    void AddRecord(CBackup* pRecord);
    CBackup* GetRecord(int i) const { return static_cast<CBackup*>(m_records.GetAt(i)); }

    COwnedObArray m_records;
    DWORD m_nMemSize;
    CString m_strName;
};
