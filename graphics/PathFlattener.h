#pragma once

#include "CAGGraphicsPath.h"

#include <agg_curves.h>

// Vertex source that reads a CAGGraphicsPath and turns its curve vertices
// into line segments with AGG's subdividing curve converters, at the given
// approximation scale (device pixels per user unit). Reading stops at the
// first stop vertex, as every drawing does.
//
// Hostile data stays bounded: vertices with non-finite coordinates are
// dropped, finite ones are limited to +-kMaxCoordinate, and each curve is
// flattened at a scale lowered far enough that its
// control hull spans at most kMaxCurveExtent device units, so a curve with
// huge coordinates or under a huge zoom costs a few thousand segments at most
// instead of hanging.
class PathFlattener
{
public:
    static constexpr double kMaxCurveExtent = 1.0e6;
    static constexpr double kMaxCoordinate = 1.0e30;

    PathFlattener(const CAGGraphicsPath& path, double approximationScale);

    void rewind(unsigned pathId = 0);
    unsigned vertex(double* x, double* y);

private:
    bool readStored(double& x, double& y, unsigned& command);
    double curveScale(const double* xs, const double* ys, int count) const;

    const CAGGraphicsPath& m_path;
    double m_scale;
    int m_index = 0;
    int m_total = 0;
    bool m_stopped = false;
    bool m_hasLast = false;
    double m_lastX = 0.0, m_lastY = 0.0;
    enum class Curve { None, Cubic, Quadratic } m_curve = Curve::None;
    agg::curve3_div m_curve3;
    agg::curve4_div m_curve4;
};
