#include "BackupIndex.h"

#include "model/CBackup.h"

BackupIndex::BackupIndex(CObArray& baseline) : m_baseline(baseline) {
    const int end = baseline.GetSize() - 1;
    if (end > 0) m_index.reserve(std::size_t(end));
    for (int i = 0; i < end; ++i)
        Inserted(static_cast<CBackup*>(baseline.GetAt(i))->m_nSerial, i);
}

int BackupIndex::Find(DWORD serial, int hint) const {
    if (m_bRepeats) return FindBackup(m_baseline, serial, hint);
    if (m_baseline.GetSize() < 2) return -1;
    const auto it = m_index.find(serial);
    return it == m_index.end() ? -1 : it->second;
}

void BackupIndex::Inserted(DWORD serial, int at) {
    if (!m_index.emplace(serial, at).second) m_bRepeats = true;
}
