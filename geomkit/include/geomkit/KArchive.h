#pragma once
// Archive interface of the curve library. The library only calls it: an implementation
// decides whether it stores or loads and how each kind of value is encoded.

#include "geomkit/export.h"
#include "win32/base.h"

class GEOMKIT_API KArchive {
public:
    virtual ~KArchive();

    // Non-zero when the archive stores.
    virtual int IsStoring() const = 0;

    virtual KArchive& StoreCount(int count) = 0;
    virtual KArchive& StoreDouble(double value) = 0;
    virtual KArchive& StoreFloat(float value) = 0;
    virtual void StoreVersion(int version) = 0;
    virtual void StoreByte(BYTE value) = 0;

    virtual KArchive& LoadCount(int& count) = 0;
    virtual KArchive& LoadDouble(double& value) = 0;
    virtual KArchive& LoadFloat(float& value) = 0;
    virtual void LoadVersion(int& version) = 0;
    virtual void LoadByte(BYTE& value) = 0;

protected:
    KArchive() = default;
    KArchive(const KArchive&) = default;
    KArchive& operator=(const KArchive&) = default;
};
