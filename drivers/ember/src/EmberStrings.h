#pragma once
// Ids of the messages of the driver that cuts through the USB pipe library.

#define IDS_NO_PIPE_LIBRARY 30
#define IDS_PIPE_WRITE_ERROR 31
