#pragma once
// The sheet settings: one set for the whole program, shared by every sheet view and by the
// document's grid snapping. Stored in the profile section "SheetSettings" (and the sheet
// size in "Settings").

#include <pathkit/Point.h>
#include <win32/base.h>

struct SheetSettings {
    // Sheet size, mm; the page runs from (0, 0) to (DocWidth, DocHeight), y up.
    static inline float DocWidth = 0;
    static inline float DocHeight = 0;
    // Grid origin and spacing, mm.
    static inline floatPoint GridOffs{0, 0};
    static inline floatPoint GridDens{0, 0};
    static inline BOOL SnapToGrid = FALSE;
    static inline BOOL Grid = FALSE;
    static inline BOOL LineGrid = FALSE;
    // Pick distance and snap distance, pixels.
    static inline int MouseSens = 3;
    static inline int SnapProximity = 8;
    static inline COLORREF BGColor = 0xFFFFFF;
    static inline COLORREF GridColor = 0xC0C0C0;

    // Reads the settings; gives the "GuideLines" value.
    static BOOL Load();
    // Writes them, with guideLines, and flushes the profile.
    static void Save(BOOL guideLines);
    // A spacing that is not a finite positive number counts as 25 mm.
    static float UsableSpacing(float spacing);
    // MouseSens, at least 1.
    static int UsableMouseSens();
};
