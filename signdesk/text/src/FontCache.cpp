#include "text/FontCache.h"

#include <cstring>
#include <set>
#include <string>

#include "TextSupport.h"
#include "mfc/CWinApp.h"
#include "text/FontRegistry.h"
#include "text/GeneralFont.h"
#include "text/TextResourceIds.h"
#include "text/TextSettings.h"
#ifdef SIGNDESK_TEXT_TRUETYPE
#include "text/TrueTypeFont.h"
#endif
#include "win32/user.h"

namespace {

// Names the user was told about in this process.
std::set<std::string>& WarnedNames() {
    static std::set<std::string> names;
    return names;
}

// The message text with the two names put in place of its first two "%s"; nothing else of
// the text is read as a format.
CString SubstitutionMessage(const CString& requested, const CString& used) {
    const CString format =
        LoadTextString(IDS_FONT_SUBSTITUTED,
                       "The font \"%s\" is not available.\nThe font \"%s\" is used instead.");
    const char* names[2] = {requested, used};
    CString text;
    int given = 0;
    for (const char* p = format; *p != 0; ++p) {
        if (p[0] == '%' && p[1] == 's' && given < 2) {
            text += names[given++];
            ++p;
        } else {
            text += *p;
        }
    }
    return text;
}

GeneralFont* MakeStandIn() {
    CString fallback = DefaultFont;
    if (fallback.IsEmpty()) fallback = LoadTextString(IDS_DEFAULT_FONT, "DejaVu Sans Book");
    if (GeneralFont* font = CreateFontByName(fallback)) return font;
#ifdef SIGNDESK_TEXT_TRUETYPE
    auto* font = new TrueTypeFont;
    font->fontName = GetFirstTrueTypeFace();
    return font;
#else
    auto* font = new GeneralFont;
    font->fontName = fallback;
    return font;
#endif
}

} // namespace

CString LoadTextString(UINT id, const char* fallback) {
    CString s;
    if (!s.LoadString(id) || s.IsEmpty()) s = fallback;
    return s;
}

CFontCache::~CFontCache() = default;

GeneralFont* CFontCache::GetFont(int index) const {
    return static_cast<GeneralFont*>(GetAt(index));
}

int CFontCache::Find(const char* requested) const {
    for (int i = 0; i < m_requested.GetSize(); ++i)
        if (std::strcmp(m_requested[i], requested) == 0) return i;
    return -1;
}

int CFontCache::AddFont(const char* requested, GeneralFont* font) {
    m_requested.Add(requested);
    return Add(font);
}

int GetFontIndex(const CString& name, CFontCache& cache) {
    const int found = cache.Find(name);
    if (found >= 0) return found;
    // An empty name (no font chosen, or an index past a text's names) would match any
    // installed face: it takes the stand-in, and nothing was lost to tell the user about.
    if (name.IsEmpty()) return cache.AddFont(name, MakeStandIn());
    if (GeneralFont* font = CreateFontByName(name)) return cache.AddFont(name, font);
    GeneralFont* standIn = MakeStandIn();
    const int index = cache.AddFont(name, standIn);
    if (WarnedNames().insert(std::string(static_cast<const char*>(name))).second)
        AfxMessageBox(SubstitutionMessage(name, standIn->fontName), MB_OK);
    return index;
}
