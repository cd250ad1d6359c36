#pragma once
// Templates and controls of the bitmap dialogs: the raster save options, the bitmap sheet's
// three pages and the slider dialog.

#define IDD_BITMAP_SAVE_OPTIONS 165
#define IDD_SLIDER_VALUE 186
#define IDD_BMP_EFFECTS 314
#define IDD_BMP_COLOR_RES 315
#define IDD_BMP_RESIZE 317

// Raster save options.
#define IDC_BSO_FORMATS 2730
#define IDC_BSO_VARIANTS 2720
#define IDC_BSO_DEPTH_1 2640
#define IDC_BSO_DEPTH_4 2641
#define IDC_BSO_DEPTH_8 2642
#define IDC_BSO_DEPTH_16 2643
#define IDC_BSO_DEPTH_24 2644
#define IDC_BSO_DEPTH_32 2645
#define IDC_BSO_QUALITY_BUTTON 2621
#define IDC_BSO_PRESETS 2721
#define IDC_BSO_QUALITY 2600
#define IDC_BSO_QUALITY_SCROLL 1002
#define IDC_BSO_PIXEL_WIDTH 1023
#define IDC_BSO_PIXEL_HEIGHT 1024
#define IDC_BSO_RESOLUTION 1052
