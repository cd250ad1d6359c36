#pragma once
// Ids of the messages of the GP-GL USB driver.

#define IDS_CUTTER_NOT_FOUND 30
