// Ids shared by the framework tests' resource source and the tests.
#define IDD_JOB 100
#define IDC_COUNT 101
#define IDC_WIDTH 102
#define IDC_NAME 103
#define IDC_KIND 104
#define IDC_MIRROR 105
#define IDC_LEFT 106
#define IDC_CENTRE 107
#define IDC_RIGHT 108
#define IDC_SPIN 109
#define IDC_COPIES 110
#define IDC_SLIDER 111
#define IDC_SIZE 112
#define IDR_CONTEXT 200
#define ID_PROPERTIES 201
#define ID_COPY 202
#define ID_PASTE 203
