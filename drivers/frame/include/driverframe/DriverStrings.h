#pragma once
// Ids of the message strings every driver's resource library holds. Plain defines, so that
// the resource sources can include this header.

#define IDS_SETUP_CAPTION 1
#define IDS_SEARCHING_MARKERS 13
#define IDS_PORT_TIMEOUT 14
#define IDS_BAD_STEP_SIZE 15
#define IDS_NEGATIVE_COORDINATE 16
#define IDS_NO_PORT_LIBRARY 17
#define IDS_OPEN_FAILED 20
#define IDS_WRITE_FAILED 21
#define IDS_COMMAND_TOO_LONG 22
#define IDS_PORT_UNAVAILABLE 23
#define IDS_BAD_CUTTING_AREA 24
