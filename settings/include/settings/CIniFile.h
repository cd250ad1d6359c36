#pragma once
// One object through which a profile (INI) file is read and written. Callers keep
// it on the stack around a group of reads or writes; the destructor flushes.

#include <mfc/CString.h>
#include <mfc/CStringArray.h>

class CIniFile {
public:
    CIniFile(const char* path, unsigned char clearReadOnly = 0);
    ~CIniFile();
    CIniFile(const CIniFile&) = delete;
    CIniFile& operator=(const CIniFile&) = delete;

    int Flush();
    unsigned GetString(const char* section, const char* key, const char* def, char* buffer,
                       unsigned size);
    unsigned GetInt(const char* section, const char* key, unsigned def);
    int WriteString(const char* section, const char* key, const char* value);
    int WriteInt(const char* section, const char* key, int value);
    CString GetCString(const char* section, const char* key, const char* def);
    double GetFloat(const char* section, const char* key, double def);
    void WriteFloat(const char* section, const char* key, double value);
    void GetSectionNames(CStringArray& names);

private:
    char* path;
};
