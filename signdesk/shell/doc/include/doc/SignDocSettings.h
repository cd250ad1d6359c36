#pragma once
// The application settings the document reads: one record for the program, filled from the
// profile at start-up and written back at exit.

#include <mfc/CString.h>
#include <win32/base.h>

struct SignDocSettings {
    // Document folder: File Open starts there; open and save of a .wtp move it.
    static inline CString WMPPath;
    // Text path copy on Save.
    static inline CString SpoolDirectory;
    static inline CString Plotman;
    static inline int AutoCut = 1;
    static inline int ClippathOnly = 0;
    // Autosave interval, minutes (0: off).
    static inline int AutoSave = 0;
    // Documents are saved with a preview picture while set.
    static inline BOOL ShowFilePreview = TRUE;
    static inline int Detail = 2;
    static inline COLORREF SelectionColor = 0x0000FF;
    static inline BOOL SnapToObject = FALSE;
    static inline BOOL SnapToCorners = FALSE;
    static inline BOOL SnapToGuideLines = FALSE;
    // Clipboard formats offered on Copy.
    static inline BOOL EnableWPF = TRUE;
    static inline BOOL EnableWMF = TRUE;
    static inline BOOL EnableEMF = TRUE;
    static inline BOOL EnableDIB = TRUE;
    static inline int DPI = 300;
    // The copied bitmap's depth: 0..3 for 1, 4, 8 or 24 bits.
    static inline int ColourDepth = 2;

    // Reads every key from section "Settings" (defaults where a key is missing).
    static void Load();
    // Writes every key back.
    static void Save();
};
