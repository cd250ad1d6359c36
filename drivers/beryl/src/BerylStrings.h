#pragma once
// Ids of the messages of the driver that cuts through the maker's library.

#define IDS_NO_CUTTER_LIBRARY 30
#define IDS_CUTTER_NOT_READY 31
#define IDS_BLOCK_REFUSED 32
