// Ids shared by the test resource source and the tests.
#define IDS_GREETING 1
#define IDS_ESCAPES 2
#define IDS_LIST_CHARS 0x10 // characters CMake lists and C literals treat specially
#define IDS_ANSI (100)
#define IDS_EMPTY 101
#define IDS_LAST 65535
#define IDR_RAW 7
#define IDR_BLOB 8
