#pragma once
// The one reader of dialog templates (DLGTEMPLATE and DLGTEMPLATEEX layouts).

#include <optional>
#include <string>
#include <vector>

#include "win32/dialog.h"

namespace sddlg {

struct TemplateItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    std::string className; // predefined atoms are turned into their names
    std::string text;
    bool textIsOrdinal = false;
    WORD textOrdinal = 0;
    const BYTE* creationData = nullptr; // the WORD size followed by the bytes, or null
};

struct DialogTemplateData {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string menuName;
    WORD menuOrdinal = 0;
    std::string className; // empty: the dialog class
    std::string caption;
    WORD pointSize = 0;
    std::string typeface;
    std::vector<TemplateItem> items;
};

// `size` bounds every read; nullopt for a template that does not fit or names no known
// class. In-memory templates pass their size as unknown (SIZE_MAX).
std::optional<DialogTemplateData> readDialogTemplate(const BYTE* data, size_t size, std::string* error);

} // namespace sddlg
