#pragma once
// A file in the system's temporary folder, named "Tmp…" and unique, opened for reading and
// writing; closed and deleted with the object.

#include <mfc/CFile.h>
#include <mfc/CString.h>

class CTempFile : public CFile {
public:
    // IsOpen tells whether a file could be made.
    CTempFile();
    ~CTempFile() override;
    bool IsOpen() const { return m_hFile >= 0; }
    const CString& GetName() const { return m_name; }
    int Handle() const { return m_hFile; }

private:
    CString m_name;
};
