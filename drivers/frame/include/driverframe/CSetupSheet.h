#pragma once
// A driver's setup sheet: the pages over one device section of Devices.ini. OK (or Apply)
// writes the keys that changed in one transaction: under the file's lock, to a fresh read,
// the file replaced once. A new name on the general page writes a copy of the section under
// that name, with the edits, and leaves the old one. A write that fails names the file and
// the reason and keeps the sheet open; a section gone meanwhile is written again whole only
// when the user agrees.

#include <mfc/CPropertySheet.h>

#include "driverframe/SetupValues.h"

class CSetupSheet : public CPropertySheet {
    DECLARE_DYNAMIC(CSetupSheet)
public:
    CSetupSheet(const char* caption, CWnd* parent, SetupValues& values);

    // The name the keys go to; the section's own when nobody renames it.
    void SetTargetName(const CString* name) { targetName_ = name; }

    // Writes what changed; FALSE keeps the sheet open (or, after the user declined to write
    // a vanished section again, ends it with IDCANCEL).
    BOOL Save();

    // Whether anything was written by OK or Apply.
    bool Saved() const { return saved_; }

    BOOL OnInitDialog() override;

private:
    // Writes the keys (every key with `whole`); a Win32 error, 0 on success.
    DWORD Write(bool whole, const std::string& target);

    SetupValues& values_;
    const CString* targetName_ = nullptr;
    bool saved_ = false;
};
