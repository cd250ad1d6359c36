#pragma once
// Common base of every curve-library class with virtual operations: the framework object plus
// the library's own archive hook.

#include "geomkit/export.h"
#include "mfc/CObject.h"

class KArchive;

class GEOMKIT_API WObject : public CObject {
public:
    ~WObject() override;

    using CObject::Serialize;

    virtual int IsNullObject() const;  // 0
    virtual int IsValidObject() const; // 1
    // Writes or reads the object's record; nothing for classes without one.
    virtual void Serialize(KArchive& ar);
    virtual int CanSerialize() const; // 1

protected:
    WObject() = default;
    // CObject is not copyable; derived value-like classes copy their own fields.
    WObject(const WObject&) : CObject() {}
    WObject& operator=(const WObject&) { return *this; }
};
