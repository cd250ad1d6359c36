#include "model/CUndoStep.h"

#include <cstring>

CUndoStep::CUndoStep(const char* name) : m_strName(name ? name : "") {
    m_nMemSize = DWORD(m_strName.GetLength()) + 32;
}

void CUndoStep::AddRecord(CBackup* pRecord) {
    m_records.Add(pRecord);
    m_nMemSize += pRecord->GetMemSize();
}
