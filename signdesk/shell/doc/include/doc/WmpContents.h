#pragma once
// The "Contents" stream of a .wmp file.

#include <win32/base.h>

class CFile;

// The stream as a memory file at its start: a compound file's "Contents", or a plain file's
// bytes. A compound file without the stream raises the archive exception missingStream, a
// damaged one the generic archive exception, a file that cannot be read the file exception;
// each with the path.
CFile* OpenWmpContents(LPCSTR path);
