#pragma once
// The templates and controls of the selection tool's dialogs.

// Multiplicate: columns and rows (1-100) with their spins, the gaps (mm).
#define IDD_MULTIPLICATE 310
#define IDC_MUL_COLUMNS 2600
#define IDC_MUL_ROWS 2601
#define IDC_MUL_GAP_X 2602
#define IDC_MUL_GAP_Y 2603
#define IDC_MUL_COLUMNS_SPIN 2680
#define IDC_MUL_ROWS_SPIN 2681

// Guide-line properties: the anchor (mm) and the angle (degrees, -90 to 90).
#define IDD_GUIDE_LINE 359
#define IDC_GUIDE_X 2600
#define IDC_GUIDE_Y 2601
#define IDC_GUIDE_ANGLE 2602
