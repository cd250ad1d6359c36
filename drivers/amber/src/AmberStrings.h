#pragma once
// Ids of the messages of the record-language driver, beside the frame's.

#define IDS_AMBER_NO_PORT_LIBRARY 2
#define IDS_AMBER_PAUSE 3
#define IDS_AMBER_CAPTION 6
#define IDS_AMBER_BAD_STEP_SIZE 7
#define IDS_AMBER_TEMPLATE_TOO_LONG 13
#define IDS_AMBER_REWRITE_FAILED 33
