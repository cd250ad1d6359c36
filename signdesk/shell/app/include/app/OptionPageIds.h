#pragma once
// The options sheet's pages in the program's resource library: templates and controls.

#define IDD_MISC_PAGE 171
#define IDD_CLIPBOARD_PAGE 175
#define IDD_MEM_PAGE 184
#define IDD_TEXT_PAGE 265

// The ten resolutions of the clipboard page's list.
#define IDS_CLIPBOARD_DPI_FIRST 238
#define IDS_CLIPBOARD_DPI_LAST 247
#define IDS_CURVE_FILE_CHANGED 363

// Miscellaneous page.
#define IDC_NUDGE_SMALL 2600
#define IDC_NUDGE_LARGE 2601
#define IDC_DUP_DX 2602
#define IDC_DUP_DY 2603
#define IDC_MOUSE_SENS 2604
#define IDC_SNAP_PROXIMITY 2605
#define IDC_DEFAULT_LAYER 2607
#define IDC_AUTOSAVE 2608

// Clipboard page.
#define IDC_ENABLE_WPF 2660
#define IDC_ENABLE_WMF 2661
#define IDC_ENABLE_DIB 2662
#define IDC_ENABLE_EMF 2663
#define IDC_COLOUR_DEPTH 2720
#define IDC_CLIPBOARD_DPI 2721

// Memory page.
#define IDC_MIN_UNDO_STEPS 2600
#define IDC_MAX_UNDO_MEM 2601
#define IDC_WORK_MEM_SIZE 2602

// Text page.
#define IDC_FONT_FOLDER 2600
#define IDC_KERNING_FOLDER 2601
#define IDC_CHAR_SIZE 2602
#define IDC_LINE_SPACING 2603
#define IDC_CHAR_SPACING 2605
#define IDC_WORD_SPACING 2606
#define IDC_LINE_SPACING_SPIN 2683
#define IDC_CHAR_SPACING_SPIN 2685
#define IDC_WORD_SPACING_SPIN 2686
#define IDC_BROWSE_FONTS 2700
#define IDC_BROWSE_KERNING 2701
