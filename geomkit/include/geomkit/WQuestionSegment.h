#pragma once
// A question that a segment answers for itself (WSegment::Question).

#include "geomkit/WObject.h"

class WSegment;

class GEOMKIT_API WQuestionSegment : public WObject {
public:
    ~WQuestionSegment() override;
    virtual int Answer(const WSegment* segment) = 0;

protected:
    WQuestionSegment() = default;
    WQuestionSegment(const WQuestionSegment&) = default;
    WQuestionSegment& operator=(const WQuestionSegment&) = default;
};
