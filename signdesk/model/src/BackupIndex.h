#pragma once
// FindBackup's answers through an index by serial number, so that recording a step over a
// large design looks each object up once instead of searching the baseline for it.

#include <unordered_map>

#include "mfc/CObArray.h"

class BackupIndex {
public:
    // Indexes every record of the baseline but its last (the document record).
    explicit BackupIndex(CObArray& baseline);
    // As FindBackup (baseline, serial, hint). A baseline that holds a serial twice (only a
    // damaged design does) is searched, as there the hint decides which record is found.
    int Find(DWORD serial, int hint) const;
    // A record of that serial was inserted at index `at`, just before the document record.
    void Inserted(DWORD serial, int at);

private:
    CObArray& m_baseline;
    std::unordered_map<DWORD, int> m_index;
    bool m_bRepeats = false;
};
