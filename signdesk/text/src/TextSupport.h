#pragma once
// Small pieces the text classes share.

#include <cmath>

#include "mfc/CString.h"
#include "pathkit/Path.h"
#include "pathkit/TMatrix.h"

class CMenu;
class CTextObj;

// A string of the resource library, or the fallback when the library has none.
CString LoadTextString(UINT id, const char* fallback);

inline bool IsFiniteMatrix(const floatTMatrix& m) {
    return std::isfinite(m.m11) && std::isfinite(m.m12) && std::isfinite(m.m21) &&
           std::isfinite(m.m22) && std::isfinite(m.dx) && std::isfinite(m.dy);
}

// No sub-paths and empty boxes.
inline void EmptyOutline(Path& p) {
    p.ClosePath();
    p.subPaths.Reset();
    p.ctrlBox = floatBBox();
    p.accBox = floatBBox();
}

// A separator and the text context item (its text from the resource library's text menu).
void AppendTextContextItem(CMenu* pMenu);

// Appends every character's outline of the text to out, in text order (no union).
void AppendCharacterOutlines(CTextObj& text, Path& out);
