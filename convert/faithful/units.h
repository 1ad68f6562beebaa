// Units of the writer from page points: twips (1/20 pt), half-points, eighths of a point.
#ifndef MORVANE_CONVERT_FAITHFUL_UNITS_H
#define MORVANE_CONVERT_FAITHFUL_UNITS_H

#include <math.h>

namespace faithful {

// value × scale rounded, NaN to 0, pinned to [lo, hi].
inline int Scaled(double value, double scale, int lo, int hi)
{
    const double v = value * scale;
    if (!(v == v))
        return lo > 0 ? lo : (hi < 0 ? hi : 0);
    if (v <= lo)
        return lo;
    if (v >= hi)
        return hi;
    return (int)lround(v);
}

const int kMaxTwips = 31680 * 4;  // far beyond any page; keeps sums inside int

inline int Twips(double points)
{
    return Scaled(points, 20.0, -kMaxTwips, kMaxTwips);
}
inline int HalfPoints(double points)
{
    return Scaled(points, 2.0, 2, 3276);
}
inline int EighthPoints(double points)
{
    return Scaled(points, 8.0, 2, 96);
}

}  // namespace faithful

#endif
