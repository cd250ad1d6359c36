#pragma once
// Whether a point lies inside a path: inside an odd number of its sub-paths, so that holes work.

#include "geomkit/COXSPtr.h"
#include "geomkit/WPont.h"
#include "geomkit/WQInsideSubPath.h"
#include "geomkit/WQuestionPath.h"

class GEOMKIT_API WQInsidePath : public WQuestionPath {
public:
    WQInsidePath();
    ~WQInsidePath() override;

    void Initialize(const WPont<float>& p);
    int Answer(WPath* path) override;

private:
    float m_x;
    float m_y;
    COXSPtr<WQInsideSubPath> m_subPathQuestion;
};
