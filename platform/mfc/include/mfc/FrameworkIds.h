#pragma once
// The framework's own ids: command ids of its standard commands, control ids of its windows,
// its private messages and the string ids of its standard texts.

#include "win32/base.h"

// ---- commands ----
constexpr UINT ID_FILE_NEW = 0xE100;
constexpr UINT ID_FILE_OPEN = 0xE101;
constexpr UINT ID_FILE_CLOSE = 0xE102;
constexpr UINT ID_FILE_SAVE = 0xE103;
constexpr UINT ID_FILE_SAVE_AS = 0xE104;
constexpr UINT ID_FILE_PAGE_SETUP = 0xE105;
constexpr UINT ID_FILE_PRINT_SETUP = 0xE106;
constexpr UINT ID_FILE_PRINT = 0xE107;         // 57607
constexpr UINT ID_FILE_PRINT_DIRECT = 0xE108;  // 57608
constexpr UINT ID_FILE_PRINT_PREVIEW = 0xE109; // 57609
constexpr UINT ID_EDIT_CLEAR = 0xE120;
constexpr UINT ID_EDIT_COPY = 0xE122;
constexpr UINT ID_EDIT_CUT = 0xE123;
constexpr UINT ID_EDIT_PASTE = 0xE125;
constexpr UINT ID_EDIT_PASTE_LINK = 0xE126;
constexpr UINT ID_EDIT_PASTE_SPECIAL = 0xE127;
constexpr UINT ID_EDIT_UNDO = 0xE12B;
constexpr UINT ID_EDIT_REDO = 0xE12C;
constexpr UINT ID_OLE_INSERT_NEW = 0xE130;
constexpr UINT ID_OLE_EDIT_LINKS = 0xE131;
constexpr UINT ID_OLE_EDIT_CONVERT = 0xE132;
constexpr UINT ID_OLE_VERB_FIRST = 0xE210;
constexpr UINT ID_OLE_VERB_LAST = 0xE21F;
constexpr UINT ID_APP_ABOUT = 0xE140;
constexpr UINT ID_APP_EXIT = 0xE141;
constexpr UINT ID_HELP_FINDER = 0xE143;
constexpr UINT ID_CONTEXT_HELP = 0xE145;
constexpr UINT ID_HELP = 0xE146;
constexpr UINT ID_DEFAULT_HELP = 0xE147;
constexpr UINT ID_VIEW_TOOLBAR = 0xE800;
constexpr UINT ID_VIEW_STATUS_BAR = 0xE801;

// ---- status-bar indicators (their strings are the pane texts) ----
constexpr UINT ID_INDICATOR_EXT = 0xE700;
constexpr UINT ID_INDICATOR_CAPS = 0xE701;
constexpr UINT ID_INDICATOR_NUM = 0xE702;
constexpr UINT ID_INDICATOR_SCRL = 0xE703;
constexpr UINT ID_INDICATOR_OVR = 0xE704;

// ---- print preview ----
constexpr UINT AFX_ID_PREVIEW_CLOSE = 0xE300;
constexpr UINT AFX_ID_PREVIEW_NEXT = 0xE302;
constexpr UINT AFX_ID_PREVIEW_PREV = 0xE303;
constexpr UINT AFX_ID_PREVIEW_PRINT = 0xE304;

// ---- control ids of the framework's windows ----
constexpr UINT AFX_IDW_TOOLBAR = 0xE800;
constexpr UINT AFX_IDW_STATUS_BAR = 0xE801;
constexpr UINT AFX_IDW_DOCKBAR_TOP = 0xE81B;
constexpr UINT AFX_IDW_DOCKBAR_LEFT = 0xE81C;
constexpr UINT AFX_IDW_DOCKBAR_RIGHT = 0xE81D;
constexpr UINT AFX_IDW_DOCKBAR_BOTTOM = 0xE81E;
constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;
constexpr UINT AFX_IDW_PANE_LAST = 0xE9FF;
constexpr UINT AFX_IDW_PREVIEW_BAR = 0xE805;

// ---- the framework's private messages ----
constexpr UINT WM_SETMESSAGESTRING = 0x0362;
constexpr UINT WM_IDLEUPDATECMDUI = 0x0363;
constexpr UINT WM_INITIALUPDATE = 0x0364;

// ---- strings ----
constexpr UINT AFX_IDS_APP_TITLE = 0xE000;
constexpr UINT AFX_IDS_IDLEMESSAGE = 0xE001;
constexpr UINT AFX_IDS_UNTITLED = 0xE002;
