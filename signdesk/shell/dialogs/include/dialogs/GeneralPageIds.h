#pragma once
// The general page of the object properties: its template, controls and messages.

#define IDD_GENERAL_PAGE 106

#define IDC_GP_POS_X 1000
#define IDC_GP_POS_Y 1001
#define IDC_GP_SIZE_X 1003
#define IDC_GP_SIZE_Y 1004
#define IDC_GP_SCALE 1005
#define IDC_GP_KEEP_PROPORTIONS 1006
#define IDC_GP_SNAP 1007
#define IDC_GP_LAYER 1008
#define IDC_GP_APPLY_LAYER 1014
#define IDC_GP_OUTLINE_WIDTH 1023
#define IDC_GP_FIXED_WIDTH 1060
#define IDC_GP_APPLY_WIDTH 1062
#define IDC_GP_TRANSPARENCY 1140
#define IDC_GP_FLAG_B 2660
#define IDC_GP_FLAG_C 2662
#define IDC_GP_APPLY_FLAGS 2663
#define IDC_GP_APPLY_TRANSPARENCY 2665

// A scale outside [0, 100); a size outside (0.01, 100000).
#define IDS_GP_BAD_SCALE 187
#define IDS_GP_BAD_SIZE 189
