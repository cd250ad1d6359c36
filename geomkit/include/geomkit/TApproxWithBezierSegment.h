#pragma once
// Fits one cubic Bezier segment to a run of points by weighted least squares with parameter
// correction; the end points of the run are kept.

#include <vector>

#include "geomkit/WPont.h"
#include "geomkit/WSegment.h"
#include "mfc/CObject.h"

// How the points of a run get their curve parameters.
using PARAMETRIZATION_TYPE = int;
enum : PARAMETRIZATION_TYPE {
    eParamUniform = 0,        // the point index
    eParamCentripetal1 = 1,   // stored as 2
    eParamCentripetal = 2,    // square roots of the chord lengths
    eParamAffineChord = 3,    // affine-invariant chord length; a single run only
    eParamAffineModified = 4, // modified chord length on affine-invariant chords; a single run only
    eParamModifiedChord = 5,  // chord lengths with a turning term
};

using WPointArray = std::vector<WPont<float>>;

class GEOMKIT_API TApproxWithBezierSegment : public CObject {
public:
    TApproxWithBezierSegment();
    ~TApproxWithBezierSegment() override;

    // Prepares the distances of the whole sequence once; 0 for types 3 and 4 or no points.
    int FillDistancesArray(const WPointArray* points, PARAMETRIZATION_TYPE type);
    // The run points[first … last] and its parameters; 0 when they cannot be made.
    int Init(const WPointArray* points, int first, int last, PARAMETRIZATION_TYPE type);
    // 1 with the fitted segment and its errors; 0 when the normal equations are singular.
    int Approximation();
    // Sum of squared distances of the interior points from the fitted curve; also updates the
    // largest distance.
    double ComputeError();

    // a·x + b·y = e, c·x + d·y = f by elimination; 0 when a = 0 or d − b·c/a = 0.
    static int SolveLin2(double a, double b, double c, double d, double e, double f, double& x,
                         double& y);

    // 0 none, 1 to 4 the weighting tables.
    void SetWeighting(int type) { m_weighting = type; }
    // Constrains the first control vector to this direction; null frees it. Not owned.
    void SetDirection(const WVektor<float>* direction) { m_direction = direction; }

    const WSegment& GetSegment() const { return m_segment; }
    double GetSumSquaredError() const { return m_sumSquaredError; }
    double GetMaxError() const { return m_maxError; }
    // Factor of the constrained first control vector.
    double GetDirectionFactor() const { return m_alpha; }

protected:
    int MakeTheParamArray();
    void ComputeWeightsAndBasis();
    int Solve();
    void CorrectParameters();
    // Cumulative distances of points[first … last] by type into out (out[0] = 0).
    static int Distances(const WPointArray& points, int first, int last, PARAMETRIZATION_TYPE type,
                         std::vector<double>& out);

private:
    WSegment m_segment;
    int m_count;
    int m_corrections;
    double m_sumSquaredError;
    double m_maxError;
    int m_weighting;
    const WVektor<float>* m_direction;
    int m_first;
    int m_last;
    int m_distancesPrepared;
    std::vector<double> m_distances;
    std::vector<double> m_params;
    std::vector<double> m_weights;
    std::vector<double> m_b0, m_b1, m_b2, m_b3;
    const WPointArray* m_points;
    PARAMETRIZATION_TYPE m_type;
    double m_a11, m_a12, m_a22;
    double m_alpha;
};
