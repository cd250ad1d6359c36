#pragma once
// The sheet size dialog's template and controls in the program's resource library.

#define IDD_SHEET_SIZE 2003
#define IDC_GRID_OFFSET_X 2502
#define IDC_GRID_OFFSET_Y 2503
#define IDC_GRID_DENSITY_Y 2504
#define IDC_GRID_DENSITY_X 2505
#define IDC_GRID_COLOR 2506
#define IDC_SHEET_COLOR 2507
#define IDC_SHEET_WIDTH 2509
#define IDC_SHEET_HEIGHT 2510
#define IDC_PRINTER_PAGE 2511
#define IDC_LANDSCAPE 2514
#define IDC_STD_SHEETS 2515
#define IDC_STORE_DEFAULT 2516
#define IDC_LINE_GRID 2519
