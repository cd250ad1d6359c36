#pragma once
// Where a click hits a segment, within a tolerance. Initialised once, it may be asked of many
// segments in turn; each hit overwrites the clicked parameter. Copies share the clipper.

#include "geomkit/COXSPtr.h"
#include "geomkit/WPont.h"
#include "geomkit/WQuestionSegment.h"

class WClipBezierSegment;

class GEOMKIT_API WQSegmentClickOn : public WQuestionSegment {
public:
    WQSegmentClickOn();
    WQSegmentClickOn(const WQSegmentClickOn& q);
    WQSegmentClickOn& operator=(const WQSegmentClickOn& q);
    ~WQSegmentClickOn() override;

    void Initialize(const WPont<float>& p, float tol);
    // 1 on a hit, with the parameter stored. A click up to tol beyond the end of a line hits
    // with a parameter above 1; one before its start misses.
    int Answer(const WSegment* segment) override;
    float GetClickedParam() const { return m_param; }

private:
    int AnswerLine(const WSegment& segment);
    int AnswerCurve(const WSegment& segment);

    COXSPtr<WClipBezierSegment> m_clipper;
    WPont<float> m_click;
    float m_tol = 0;
    float m_param = -1;
};
