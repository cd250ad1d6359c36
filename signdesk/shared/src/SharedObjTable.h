#pragma once
// Inside the library: a shared object being destroyed leaves the archive table.

class CSharedObj;

void ForgetSharedObj(CSharedObj* pObj);
