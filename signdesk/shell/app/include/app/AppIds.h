#pragma once
// Resource and command ids of the program's frame, application object and palette bar.
// Shared by the code and the resource library's source.

// Menu, tool bar, accelerators and document strings of the main frame.
#define IDR_MAINFRAME 103
#define IDR_SIGN_TOOLBAR 117
#define IDD_PALETTE_BAR 161
#define ID_VIEW_PALETTE_BAR 162
#define IDR_PALETTE_MENU 178

#define IDS_OLE_INIT_FAILED 101
#define IDS_MAIN_TOOLBAR 170
#define IDS_TOOL_OPTIONS_BAR 172
#define IDS_TEMPLATE_1 174
#define IDS_TEMPLATE_2 176
#define IDS_TEMPLATE_3 177
#define IDS_TEMPLATE_4 179
#define IDS_OPTIONS_TITLE 181
#define IDS_SIGN_TOOLBAR 206
#define IDS_TEMPLATE_5 228
#define IDS_TEMPLATE_6 229
#define IDS_NOTICE 248
#define IDS_FONT_FOLDER 281
// The text part's default font name.
#define IDS_DIMENSION_FONT 282
#define IDS_PALETTE_FOLDER 336
#define IDS_SHEET_TOOLBAR 2007

// Commands.
#define ID_VIEW_SIGN_TOOLBAR 32905
#define ID_VIEW_TOOL_OPTIONS 32906
#define ID_COLORS_CHANGED 32856
#define ID_OPTIONS 32889
#define ID_WIDTH_CHANGED 32894
#define ID_AUTOSAVE 32931
#define ID_DO_NOTHING 32932
#define ID_SHOW_NOTICE 32947
#define ID_LOAD_DEFAULT_PALETTE 33051
#define ID_PLUGIN_DIRECTORIES 33056
#define ID_FLAT_LOOK 33059
#define ID_COLOR_CORRECTION 33087
#define ID_REDRAW_ALL 33120
#define ID_DISABLED_COMMAND 33124
#define ID_REDRAW_ALL_2 33127

#define ID_CLEAR_COLORS 32899
#define IDS_DEFAULT_PALETTE_FAILED 334

// The palette bar's items (dialog 161).
#define IDC_PAL_WIDTH 1023
#define IDC_PAL_GRID 1096
#define IDC_PAL_NOCOLOR 1097
#define IDC_PAL_SWATCH 1098
#define IDC_PAL_BACK 1099
#define IDC_PAL_FORWARD 1100
#define IDC_PAL_OPTIONS 1113
#define IDC_PAL_ROWS 1128
#define IDC_PAL_BACK_PAGE 51101
#define IDC_PAL_FORWARD_PAGE 51102
// Its cursors: copy, delete and move within the grid; a drop of another source's colour.
#define IDC_PAL_COPY 342
#define IDC_PAL_DELETE 343
#define IDC_PAL_MOVE 344
#define IDC_PAL_DROP 190

// Its commands.
#define ID_PASTE_PALETTE 32897
#define ID_COLOR_RGB 32933
#define ID_COLOR_CMYK 32935
#define ID_SHOW_COLOUR_EDITOR 33045
#define ID_COLOR_HLS 33046
#define ID_OPEN_PALETTE 33047
#define ID_SAVE_PALETTE 33048
#define ID_NAME_COLOR 33049
#define ID_IMPORT_CMYK 33050
#define ID_PALETTE_EDITOR 33053
#define ID_PRINT_PALETTE 33109
// The colour editor's "take this colour" command.
#define ID_COLOUR_EDITOR_TAKE 333

#define IDS_PALETTE_FILTER 333
#define IDS_CMYK_FILTER 335
#define IDS_CHART_DOCUMENT 365
#define IDS_CHART_PAGE_TOO_SMALL 366

// The palette editor (dialog 346) and the colour name dialog (341).
#define IDD_PALETTE_NAME 341
#define IDD_PALETTE_EDITOR 346
#define IDC_PE_INDEX 2600
#define IDC_PN_NAME 2600
#define IDC_PE_COUNT 2601
#define IDC_PE_INDEX_SPIN 2680
#define IDC_PE_COUNT_SPIN 2681
#define IDC_PE_START 2700
#define IDC_PE_END 2701
#define IDC_PE_INSERT 2702
#define IDC_PE_DELETE 2703
#define IDC_PE_APPEND 2704
