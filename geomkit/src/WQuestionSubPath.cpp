#include "geomkit/WQuestionSubPath.h"

WQuestionSubPath::~WQuestionSubPath() = default;

int WQuestionSubPath::Answer(WSubPath<TNode, WSegment>*) {
    return -1;
}
