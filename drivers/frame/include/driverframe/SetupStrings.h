#pragma once
// Ids of the setup sheets' prompts, which every driver's resource library holds
// (drivers/frame/res/setup-texts.rcx). Plain defines, so that resource sources can include
// this header. %1 and %2 take the arguments.

#define IDS_SETUP_TEMPLATE_TOO_LONG 40
#define IDS_SETUP_CHOOSE_VALUE 41
#define IDS_SETUP_NAME_EMPTY 42
#define IDS_SETUP_NAME_INVALID 43
#define IDS_SETUP_NAME_TAKEN 44
#define IDS_SETUP_SECTION_GONE 45
#define IDS_SETUP_SAVE_FAILED 46
#define IDS_SETUP_READ_ONLY 47
#define IDS_SETUP_DISK_FULL 48
#define IDS_SETUP_LOCKED 49
#define IDS_SETUP_NO_FOLDER 50
#define IDS_SETUP_ERROR 51
