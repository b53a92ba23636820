#include "PathFlattener.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMinScale = 1.0e-6;
constexpr double kMaxScale = 1.0e6;

bool finite2(double x, double y)
{
    return std::isfinite(x) && std::isfinite(y);
}

} // namespace

PathFlattener::PathFlattener(const CAGGraphicsPath& path, double approximationScale)
    : m_path(path)
{
    double s = std::isfinite(approximationScale) ? std::fabs(approximationScale) : 1.0;
    m_scale = std::clamp(s, kMinScale, kMaxScale);
    rewind();
}

void PathFlattener::rewind(unsigned)
{
    m_index = 0;
    m_total = m_path.vertexCount();
    m_stopped = false;
    m_hasLast = false;
    m_curve = Curve::None;
}

bool PathFlattener::readStored(double& x, double& y, unsigned& command)
{
    if (m_index >= m_total)
        return false;
    command = m_path.storage().vertex(unsigned(m_index), &x, &y);
    ++m_index;
    // Past this bound the subdivision's midpoints overflow to infinity and
    // its flatness tests, then NaN, never end a recursion.
    if (std::isfinite(x))
        x = std::clamp(x, -kMaxCoordinate, kMaxCoordinate);
    if (std::isfinite(y))
        y = std::clamp(y, -kMaxCoordinate, kMaxCoordinate);
    return true;
}

double PathFlattener::curveScale(const double* xs, const double* ys, int count) const
{
    double minX = xs[0], maxX = xs[0], minY = ys[0], maxY = ys[0];
    for (int i = 1; i < count; ++i) {
        minX = std::min(minX, xs[i]);
        maxX = std::max(maxX, xs[i]);
        minY = std::min(minY, ys[i]);
        maxY = std::max(maxY, ys[i]);
    }
    const double extent = std::max(maxX - minX, maxY - minY);
    if (!(extent * m_scale > kMaxCurveExtent))
        return m_scale;
    return std::max(kMaxCurveExtent / extent, 1.0e-300);
}

unsigned PathFlattener::vertex(double* x, double* y)
{
    for (;;) {
        if (m_curve != Curve::None) {
            const unsigned command = m_curve == Curve::Cubic ? m_curve4.vertex(x, y) : m_curve3.vertex(x, y);
            if (!agg::is_stop(command)) {
                m_lastX = *x;
                m_lastY = *y;
                return agg::path_cmd_line_to;
            }
            m_curve = Curve::None;
        }
        if (m_stopped)
            return agg::path_cmd_stop;

        double vx, vy;
        unsigned command;
        if (!readStored(vx, vy, command) || agg::is_stop(command)) {
            m_stopped = true;
            return agg::path_cmd_stop;
        }
        if (agg::is_end_poly(command)) {
            *x = vx;
            *y = vy;
            return command;
        }
        if (command == agg::path_cmd_curve3 || command == agg::path_cmd_curve4) {
            // Gather the control and end vertices; a malformed run ends early.
            const int needed = command == agg::path_cmd_curve4 ? 3 : 2;
            double xs[4], ys[4];
            int got = 1;
            xs[1] = vx;
            ys[1] = vy;
            while (got < needed) {
                double nx, ny;
                unsigned next;
                const int before = m_index;
                if (!readStored(nx, ny, next) || next != command) {
                    m_index = before;
                    break;
                }
                ++got;
                xs[got] = nx;
                ys[got] = ny;
            }
            bool finite = true;
            for (int i = 1; i <= got; ++i)
                finite = finite && finite2(xs[i], ys[i]);
            if (!finite)
                continue;
            if (!m_hasLast) {
                // A curve without a start point: begin at its end.
                *x = m_lastX = xs[got];
                *y = m_lastY = ys[got];
                m_hasLast = true;
                return agg::path_cmd_move_to;
            }
            xs[0] = m_lastX;
            ys[0] = m_lastY;
            if (got < needed) {
                *x = m_lastX = xs[got];
                *y = m_lastY = ys[got];
                return agg::path_cmd_line_to;
            }
            const double scale = curveScale(xs, ys, needed + 1);
            if (command == agg::path_cmd_curve4) {
                m_curve4.approximation_scale(scale);
                m_curve4.init(xs[0], ys[0], xs[1], ys[1], xs[2], ys[2], xs[3], ys[3]);
                m_curve4.vertex(x, y);  // the start point, already emitted
                m_curve = Curve::Cubic;
            } else {
                m_curve3.approximation_scale(scale);
                m_curve3.init(xs[0], ys[0], xs[1], ys[1], xs[2], ys[2]);
                m_curve3.vertex(x, y);
                m_curve = Curve::Quadratic;
            }
            continue;
        }
        if (!finite2(vx, vy))
            continue;
        if (command != agg::path_cmd_move_to && !m_hasLast)
            command = agg::path_cmd_move_to;
        m_hasLast = true;
        *x = m_lastX = vx;
        *y = m_lastY = vy;
        return command;
    }
}
