// 2-D affine matrices in PDF's row-vector convention: [x y 1] x M (ISO 32000-1, 8.3.3).
#ifndef HALVANE_GEOMETRY_H
#define HALVANE_GEOMETRY_H

#include <cmath>

namespace halvane {

struct Point {
    double x = 0, y = 0;
};

struct Matrix {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

    // this x m: apply this first, then m.
    Matrix Then(const Matrix& m) const
    {
        return Matrix{a * m.a + b * m.c, a * m.b + b * m.d,       c * m.a + d * m.c,
                      c * m.b + d * m.d, e * m.a + f * m.c + m.e, e * m.b + f * m.d + m.f};
    }
    Point Apply(double x, double y) const { return Point{x * a + y * c + e, x * b + y * d + f}; }
    // Transforms a direction (no translation).
    Point ApplyVector(double x, double y) const { return Point{x * a + y * c, x * b + y * d}; }
    bool IsFinite() const
    {
        return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d) && std::isfinite(e) &&
               std::isfinite(f);
    }
};

inline Matrix Translation(double x, double y)
{
    return Matrix{1, 0, 0, 1, x, y};
}

}  // namespace halvane

#endif
