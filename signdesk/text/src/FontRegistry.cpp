#include "text/FontRegistry.h"

#include <cstring>

#include "text/GeneralFont.h"
#include "text/TarvelFont.h"
#ifdef SIGNDESK_TEXT_TRUETYPE
#include "text/TrueTypeFont.h"
#endif

CStringArray NativeFontNames;
CStringArray NativeFontPaths;
CStringArray IsfFontNames;
CStringArray IsfFontPaths;
CStringArray TrueTypeFaceNames;
CString FontDirectory;
CString KerningDirectory;

int FindFontName(const CStringArray& list, const char* name) {
    if (name == nullptr) return -1;
    for (int i = 0; i < list.GetSize(); ++i)
        if (std::strcmp(list[i], name) == 0) return i;
    return -1;
}

int AddFontName(CStringArray& list, const char* name) {
    int i = FindFontName(list, name);
    return i >= 0 ? i : list.Add(name);
}

int FindATMFont(const char*) {
    return -1;
}

GeneralFont* CreateFontByName(const char* name) {
    if (name == nullptr) return nullptr;
    GeneralFont* font = nullptr;
    if (FindFontName(NativeFontNames, name) >= 0) font = new TarvelFont;
    // No type manager: FindATMFont never succeeds, so no ATMFont is made.
#ifdef SIGNDESK_TEXT_TRUETYPE
    else if (FindTrueTypeFace(name) == 0)
        font = new TrueTypeFont;
#endif
    if (font == nullptr) return nullptr;
    font->fontName = name;
    font->Load();
    return font;
}
