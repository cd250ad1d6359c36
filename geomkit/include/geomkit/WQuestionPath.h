#pragma once
// A question that a path answers for itself (WPath::Question).

#include "geomkit/WObject.h"

class WPath;

class GEOMKIT_API WQuestionPath : public WObject {
public:
    ~WQuestionPath() override;
    virtual int Answer(WPath* path) = 0;

protected:
    WQuestionPath() = default;
    WQuestionPath(const WQuestionPath&) = default;
    WQuestionPath& operator=(const WQuestionPath&) = default;
};
