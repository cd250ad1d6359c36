#include "geomkit/WObject.h"

WObject::~WObject() = default;

int WObject::IsNullObject() const {
    return 0;
}

int WObject::IsValidObject() const {
    return 1;
}

void WObject::Serialize(KArchive&) {}

int WObject::CanSerialize() const {
    return 1;
}
