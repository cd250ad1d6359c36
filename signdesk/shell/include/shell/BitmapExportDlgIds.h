#pragma once
// The bitmap export dialog's template and controls in the program's resource library.

#define IDD_BITMAP_EXPORT 221
#define IDC_EXPORT_PIXEL_WIDTH 1023
#define IDC_EXPORT_PIXEL_HEIGHT 1024
#define IDC_EXPORT_RESOLUTION 1052
