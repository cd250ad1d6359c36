#pragma once
// The fonts of one layout: each font made once, under the name the text asked for.

#include "mfc/CString.h"
#include "mfc/CStringArray.h"
#include "model/CSignObjArray.h"

class GeneralFont;

class CFontCache : public CSignObjArray {
public:
    CFontCache() = default;
    ~CFontCache() override;

    GeneralFont* GetFont(int index) const;
    // The index of the font made for that requested name, or -1.
    int Find(const char* requested) const;
    // Appends the font (the cache owns it) under the requested name; returns its index.
    int AddFont(const char* requested, GeneralFont* font);

private:
    CStringArray m_requested;
};

// The index in the cache of the font for `name`, made when the cache has none yet. A name no
// font list knows gets a stand-in in the cache only: the DefaultFont setting's font, else
// the resource library's default font, else the first installed face; the text keeps the
// requested name, so it comes back once the font is installed. The user is told once per
// name and process (message 272); an empty name takes the stand-in silently. Never fails.
int GetFontIndex(const CString& name, CFontCache& cache);
