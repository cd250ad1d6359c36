#pragma once
// Ids of the sheet framework: its resources in the program's resource library and its
// commands.

// ---- resources ----
#define IDR_SHEET_MENU 2000          // submenu 0: units; submenu 1: the view's context menu
#define IDS_OUT_OF_MEMORY 2001       // the out-of-memory question (Retry, Cancel)
#define IDB_SHEET_TOOLBAR 2005       // the framework tool bar's images (and TOOLBAR resource)
#define IDB_SHEET_TOOLBAR_LARGE 2006 // the application frame's larger set
#define IDC_ZOOM_CURSOR 2500
#define IDC_CROSSHAIR_ANGLE_CURSOR 2501
#define IDC_HAND_OPEN 2517
#define IDC_HAND_CLOSED 2518
#define IDS_CROSSHAIR_ANGLE 40020    // status text with one double: the angle in degrees

// ---- commands ----
#define ID_ZOOM_TOOL 40000
#define ID_ZOOM_BACK 40001
#define ID_FIT_PAGE 40002
#define ID_FIT_WIDTH 40003
#define ID_REAL_SIZE 40004
#define ID_UNIT_MM 40005
#define ID_UNIT_CM 40006
#define ID_UNIT_INCH 40007
#define ID_SMALLER_PAGE 40008
#define ID_VIEW_SHEET_TOOLBAR 40009  // also the tool bar's control id
#define ID_VIEW_HRULER 40010         // also the horizontal ruler's control id
#define ID_VIEW_VRULER 40011         // also the vertical ruler's control id
#define ID_UNIT_PIXELS 40012
#define ID_SHEET_SETTINGS 40013
#define ID_GRID 40014
#define ID_CROSSHAIR 40015
#define ID_CROSSHAIR_ANGLE 40016
#define ID_CROSSHAIR_RESET 40017
#define ID_SNAP_TO_GRID 40018
#define ID_UNIT_CHANGED 40019        // sent to every window after the unit changed
#define ID_UNIT_TABLE_FIRST 40025    // the units of "Units.cfg", 40025 + index
#define ID_UNIT_TABLE_LAST 40044
#define ID_PAN_TOOL 40045
