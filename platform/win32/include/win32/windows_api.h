#pragma once
// Everything of the Windows stand-in that the system's code calls.

#include "win32/accelerator.h"
#include "win32/base.h"
#include "win32/clipboard.h"
#include "win32/controls.h"
#include "win32/dialog.h"
#include "win32/menu.h"
#include "win32/fileio.h"
#include "win32/findfile.h"
#include "win32/kernel.h"
#include "win32/module.h"
#include "win32/nls.h"
#include "win32/resource.h"
#include "win32/setupapi.h"
#include "win32/user.h"
#include "win32/winspool.h"
