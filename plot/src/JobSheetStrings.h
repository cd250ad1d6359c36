#pragma once
// String ids of the plot library's resource module jobsheet-res.

// The driver plug-in has no Attach entry; %s the driver file, %s the device.
#define IDS_DRIVER_WITHOUT_ATTACH 49

// Binding failures, shown before anything else happens. %s the Devices.ini file.
#define IDS_NO_DEVICE_CHOSEN 1101
// %s the device section, %s the Devices.ini file.
#define IDS_DEVICE_NOT_DEFINED 1102
// %s the driver file, %s the device section and its file.
#define IDS_DRIVER_NOT_LOADED 1103
#define IDS_DRIVER_REFUSED 1104

// The plot sheet. %s the device.
#define IDS_DELETE_DEVICE 34
#define IDS_CONFIRM_ABORT 45
#define IDS_BUSY 46
#define IDS_NEXT_SHEET 50
#define IDS_JOB_FINISHED 51
#define IDS_CUT_NOT_ALLOWED 58
#define IDS_ALL_LAYERS 59
// One "%d": the layer; the layer is read back from where it stands.
#define IDS_LAYER 60
#define IDS_MEDIA_SIZE_UNREAD 61
// One "%d": the sheet from 1.
#define IDS_SHEET_LABEL 62
#define IDS_START_RESET 63
#define IDS_NO_MARKER_SHAPE 64
#define IDS_PANEL_MARKS_MOVE 65

// The cut run's refusals. %s the setting with its value and file, %s its range.
#define IDS_SETTING_OUT_OF_RANGE 1105
// %s why.
#define IDS_NO_PANELS 1106
#define IDS_NOTHING_TO_CUT 1107
// %s the sheet, %s its size and the cutting area.
#define IDS_SHEET_TOO_LARGE 1108
// %s the sheet where the cut stopped, %s the sheets of the job.
#define IDS_CUT_STOPPED 1109
#define IDS_PANEL_STEP_TOO_SMALL 1110
#define IDS_PANEL_TILE_TOO_SMALL 1111
#define IDS_PANEL_TOO_MANY 1112
