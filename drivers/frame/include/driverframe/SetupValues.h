#pragma once
// The keys of a device section as a setup sheet edits them. Each key is loaded as the driver
// reads it (an absent key shows the default the driver applies) and is written back only
// when the value the driver would read from the edit differs from what it reads now; so an
// untouched sheet leaves the file byte for byte as it was, and "1Fh" or "0.10" stay as typed.

#include <map>
#include <string>
#include <vector>

#include <mfc/CString.h>

class CIniFile;
class ProfileTransaction;

class SetupValues {
public:
    enum class Kind { Text, Int, Float };
    struct Field {
        Kind kind = Kind::Text;
        std::string key;
        // The value as shown and edited.
        CString text;
        int number = 0;
        float real = 0;
        // Float only: shown = millimetres (or the stored number) × scale.
        double scale = 1;
        // What was shown at loading, and whether the section held the key.
        std::string loadedText;
        int loadedNumber = 0;
        float loadedReal = 0;
        bool present = false;
        // Written whenever it differs from the file (Driver and fixed keys), even when absent.
        bool fixed = false;
        // Float: a length, changed only when it differs in thousandths of a millimetre.
        bool length = false;
        // Keys written together: a change of either writes both.
        std::string partner;
    };

    SetupValues(std::string iniPath, std::string section);

    Field& AddText(CIniFile& ini, const char* key, const char* def);
    Field& AddInt(CIniFile& ini, const char* key, int def);
    Field& AddFloat(CIniFile& ini, const char* key, double def, double scale = 1);
    // A key given its value outright, written when it is absent or differs.
    Field& AddFixed(CIniFile& ini, const char* key, const char* value);

    Field* Find(const std::string& key);
    const Field* Find(const std::string& key) const;
    bool Has(const std::string& key) const { return Find(key) != nullptr; }

    // Whether the edit changes what the driver reads.
    static bool Changed(const Field& field);
    // The text written for the field: numbers in their shortest exact form, texts inside a
    // pair of quotes when blanks around them or enclosing quotes would be lost on reading.
    static std::string StoredText(const Field& field);

    // Adds to `edits` the keys that changed (every key with `whole`) for section `section`.
    // Returns how many.
    int Collect(ProfileTransaction& edits, const std::string& section, bool whole) const;

    // After a write: what is shown is what the file holds, in section `section`.
    void MarkSaved(const std::string& section);

    const std::string& IniPath() const { return iniPath_; }
    const std::string& Section() const { return section_; }

private:
    Field& Add(const char* key, Kind kind);

    std::string iniPath_;
    std::string section_;
    std::map<std::string, Field> fields_;
    std::vector<std::string> order_;
};
