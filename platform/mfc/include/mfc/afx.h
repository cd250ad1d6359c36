#pragma once
// Every class of the application framework.

#include "mfc/CArchive.h"
#include "mfc/CArchiveException.h"
#include "mfc/CCmdTarget.h"
#include "mfc/CException.h"
#include "mfc/CFile.h"
#include "mfc/CFileException.h"
#include "mfc/CMemFile.h"
#include "mfc/CObArray.h"
#include "mfc/CObject.h"
#include "mfc/CPtrArray.h"
#include "mfc/CRuntimeClass.h"
#include "mfc/CString.h"
#include "mfc/CStringArray.h"
#include "mfc/CWinApp.h"
#include "mfc/CWinThread.h"
#include "mfc/CWnd.h"
