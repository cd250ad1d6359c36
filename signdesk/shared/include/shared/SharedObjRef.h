#pragma once
// Shared objects in archives. One table per archive maps the shared objects already written
// or read to their index, so that holders of one object still share it after loading:
//   u32 index into the table, or
//   u32 0xFFFFFFFF, then the object's record (the null tag for no object); the pointer,
//   null included, takes the next index on both sides.

#include "mfc/CArchive.h"
#include "mfc/CObArray.h"

class CSharedObj;

void WriteSharedObjRef(CArchive& ar, CSharedObj* pObj);
// The caller that keeps the pointer acquires it. An index past the table raises
// CArchiveException cause 5; a record that is not a shared object the class error (6).
CSharedObj* ReadSharedObjRef(CArchive& ar);

// The process-wide table.
CObArray& GetSharedObjTable();

// Held by whoever opens an archive that holds shared references (documents, clipboard):
// empties the table on entry and on exit, also when an exception passes. Objects read
// through the table that no holder acquired are deleted on exit.
class CSharedObjTableScope {
public:
    CSharedObjTableScope();
    ~CSharedObjTableScope();
    CSharedObjTableScope(const CSharedObjTableScope&) = delete;
    CSharedObjTableScope& operator=(const CSharedObjTableScope&) = delete;
};
