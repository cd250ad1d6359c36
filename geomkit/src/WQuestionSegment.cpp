#include "geomkit/WQuestionSegment.h"

WQuestionSegment::~WQuestionSegment() = default;
