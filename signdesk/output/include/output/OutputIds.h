#pragma once
// Resource ids of the output front end (the program's resource module).
#define IDS_OUT_NOTHING_TO_CUT 364
// The pass-through question is the view's string.
#define IDS_OUT_PASSTHROUGH_QUESTION 368
#define IDS_OUT_NEXT_PAGE 370
#define IDS_OUT_DELETE_DEVICE 379
#define IDS_OUT_BAD_TRIANGLE 380
#define IDS_OUT_POINT_NOT_MEASURED 381
#define IDS_OUT_DISTANCES_DIFFER 382
#define IDS_OUT_STOP_CALIBRATION 383
#define IDS_OUT_STOP_CUTTING 384
#define IDS_OUT_BUSY 385
#define IDS_OUT_TILED_NO_CUT 386
#define IDS_OUT_CUT_FINISHED 387
#define IDS_OUT_EDIT_POINTS 388
// Refusals of a layout that cannot be printed or cut.
#define IDS_OUT_NO_COPIES 3710
#define IDS_OUT_MARGINS_TOO_WIDE 3711
#define IDS_OUT_OVERLAP_TOO_LARGE 3712
#define IDS_OUT_TOO_MANY_TILES 3713
#define IDS_OUT_BAD_PRINTER 3714
#define IDS_OUT_NO_TILE_SELECTED 3715
// Failures during a run: "%s" printer, "%d" page, "%s" reason.
#define IDS_OUT_PRINT_FAILED 3716
#define IDS_OUT_REASON_START_DOC 3717
#define IDS_OUT_REASON_START_PAGE 3718
#define IDS_OUT_REASON_END_PAGE 3719
#define IDS_OUT_REASON_END_DOC 3720
#define IDS_OUT_REASON_BAND 3721
#define IDS_OUT_NO_PRINTER 3722
// Cutting stopped: "%d" copy, "%d" copies.
#define IDS_OUT_CUT_ABORTED 3723
#define IDS_OUT_CUT_PORT_FAILED 3724
#define IDS_OUT_CUT_NO_DRIVER 3725
#define IDS_OUT_CONTOURS_CLIPPED 3726
#define IDS_OUT_PRINT_TITLE 3727
#define IDS_OUT_SHEET_COUNT 3728
