// Ids shared by the test resource source and the tests.
#define IDS_GREETING 1
#define IDS_ESCAPES 2
#define IDS_LIST_CHARS 0x10 // characters CMake lists and C literals treat specially
#define IDS_ANSI (100)
#define IDS_EMPTY 101
#define IDS_LAST 65535
#define IDR_RAW 7
#define IDR_BLOB 8
#define IDD_SETTINGS 500
#define IDD_BROKEN 501
#define IDD_UNKNOWN_CLASS 502
#define IDC_WIDTH 510
#define IDC_WIDTH_SPIN 511
#define IDC_UNIT 512
#define IDC_MIRROR 513
#define IDC_FAST 514
#define IDC_SLOW 515
#define IDC_SPEED 516
#define IDR_MAIN 520
#define ID_FILE_OPEN 521
#define ID_FILE_EXIT 522
#define ID_VIEW_GRID 523
#define IDR_BROKEN_POPUP 530
#define IDR_NO_END 531
#define IDR_BAD_VERSION 532
#define IDR_BAD_OFFSET 533
