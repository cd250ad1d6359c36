// The program's one application object.
#include "app/CSignApp.h"

CSignApp theApp;
