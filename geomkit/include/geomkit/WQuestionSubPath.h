#pragma once
// A question that a sub-path answers for itself (WSubPath::Question).

#include "geomkit/WObject.h"

template <class TNodeT, class TSegmentT> class WSubPath;
class TNode;
class WNode;
class WSegment;

class GEOMKIT_API WQuestionSubPath : public WObject {
public:
    ~WQuestionSubPath() override;
    // −1 unless a question handles sub-paths of linked nodes.
    virtual int Answer(WSubPath<TNode, WSegment>* subPath);
    virtual int Answer(WSubPath<WNode, WSegment>* subPath) = 0;

protected:
    WQuestionSubPath() = default;
    WQuestionSubPath(const WQuestionSubPath&) = default;
    WQuestionSubPath& operator=(const WQuestionSubPath&) = default;
};
