#pragma once
// Adaptive forward-differencing walk along a segment's parameter. Each point after the start is
// handed to OutPut with its parameter; OutPut may stop the walk. Steps run from about 0.0005 to
// just under 0.1; a step is halved while its chord turns more than 5° from the previous one.

#include "geomkit/WPont.h"
#include "geomkit/export.h"

class WSegment;

class GEOMKIT_API WSegmentSlicer {
public:
    explicit WSegmentSlicer(const WSegment* segment = nullptr);
    virtual ~WSegmentSlicer();

    void Initialize(const WSegment* segment) { m_segment = segment; }
    // Straight segments are cut into pieces of at most 0.25 too.
    void SetLineSlicing(int on) { m_lineSlicing = on; }

    // 1 when the walk reached the end, 0 when OutPut stopped it or there is no segment.
    int StartSlicing();

protected:
    // Non-zero to go on.
    virtual int OutPut(float t, const WPont<float>& p) = 0;

    int Slicer();
    int SliceLine();

    const WSegment* m_segment;
    double m_unused;      // 0.001
    double m_lineStepSq;  // square of the line slicing step 0.25
    double m_turnLimitSq; // cos² 5°
    int m_lineSlicing;
};

// Arc length of a segment up to a parameter limit.
class GEOMKIT_API WSegmentLength : public WSegmentSlicer {
public:
    explicit WSegmentLength(const WSegment* segment = nullptr, float limit = 1.0f);
    ~WSegmentLength() override;

    void Initialize(const WSegment* segment, float limit);
    // A limit other than −1 replaces the stored one; the stored limit is clamped to [0, 1].
    double GetLength(float limit = -1.0f);

protected:
    int OutPut(float t, const WPont<float>& p) override;

private:
    double m_length;
    double m_limit;
    WPont<float> m_last;
};

// Parameter at a given arc length, interpolated between the two slicer points around it.
class GEOMKIT_API WSegmentTParamAtArcLength : public WSegmentSlicer {
public:
    explicit WSegmentTParamAtArcLength(const WSegment* segment = nullptr);
    ~WSegmentTParamAtArcLength() override;

    // 1 with t; 0 with t = 0 when the segment is shorter than s or degenerate.
    int GetParamAtLength(double s, double& t);

protected:
    int OutPut(float t, const WPont<float>& p) override;

private:
    double m_target;
    WPont<float> m_last;
    double m_param;
    double m_length;
};
