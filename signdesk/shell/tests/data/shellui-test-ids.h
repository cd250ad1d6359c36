// Ids shared by the shell's UI tests and their resource source.
#define IDD_MEASURE 300
#define IDC_LENGTH 301
#define IDC_SCALE 302
#define IDB_STRIP 310
