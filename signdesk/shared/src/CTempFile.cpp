#include "shared/CTempFile.h"

#include <cstdio>

#include <win32/kernel.h>

CTempFile::CTempFile() {
    char folder[MAX_PATH] = "", name[MAX_PATH] = "";
    if (GetTempPathA(MAX_PATH, folder) == 0 || GetTempFileNameA(folder, "Tmp", 0, name) == 0)
        return;
    m_name = name;
    if (!Open(name, CFile::modeCreate | CFile::modeReadWrite)) {
        std::remove(name);
        m_name.Empty();
    }
}

CTempFile::~CTempFile() {
    if (IsOpen()) Abort();
    if (!m_name.IsEmpty()) std::remove(m_name);
}
