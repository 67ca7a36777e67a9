// SPDX-License-Identifier: GPL-3.0-or-later
#include <brindle/SphericalWell.h>

#include <cmath>
#include <stdexcept>

namespace brindle {

namespace {

// j_l(x) and x j_l'(x) from the closed forms of the spherical Bessel functions.
void besselJ(int l, double x, double& j, double& xdj) {
    const double s = std::sin(x), c = std::cos(x);
    const double j0 = s / x;
    const double j1 = s / (x * x) - c / x;
    switch (l) {
    case 0:
        j = j0;
        xdj = -x * j1; // j0' = -j1
        return;
    case 1:
        j = j1;
        xdj = x * j0 - 2.0 * j1; // j1' = j0 - 2 j1 / x
        return;
    case 2:
        j = (3.0 / (x * x) - 1.0) * s / x - 3.0 * c / (x * x);
        xdj = x * j1 - 3.0 * j; // j2' = j1 - 3 j2 / x
        return;
    default:
        throw std::invalid_argument("the well's levels are known for l = 0..2");
    }
}

// k_l(y) and y k_l'(y) of the decaying solution, without the common factor e^-y
// (it cancels in the matching function's zeros and keeps it finite).
void besselK(int l, double y, double& k, double& ydk) {
    const double k0 = 1.0 / y;
    const double k1 = 1.0 / y + 1.0 / (y * y);
    switch (l) {
    case 0:
        k = k0;
        ydk = -y * k1; // k0' = -k1
        return;
    case 1:
        k = k1;
        ydk = -y * k0 - 2.0 * k1; // k1' = -k0 - 2 k1 / y
        return;
    case 2:
        k = 1.0 / y + 3.0 / (y * y) + 3.0 / (y * y * y);
        ydk = -y * k1 - 3.0 * k; // k2' = -k1 - 3 k2 / y
        return;
    default:
        throw std::invalid_argument("the well's levels are known for l = 0..2");
    }
}

} // namespace

double wellMatching(double E, int l, double V0, double a) {
    const double x = std::sqrt(2.0 * (E + V0)) * a;
    const double y = std::sqrt(-2.0 * E) * a;
    double j, xdj, k, ydk;
    besselJ(l, x, j, xdj);
    besselK(l, y, k, ydk);
    // Scaled by y^(l+1) so that it stays finite as E approaches 0.
    return (xdj * k - ydk * j) * std::pow(y, l + 1);
}

std::vector<double> wellLevels(int l, double V0, double a) {
    std::vector<double> levels;
    constexpr int kSteps = 20000;
    const double bottom = -V0, top = 0.0;
    const double step = (top - bottom) / kSteps;
    double e0 = bottom + step / 2;
    double f0 = wellMatching(e0, l, V0, a);
    for (int i = 1; i < kSteps; ++i) {
        const double e1 = bottom + (i + 0.5) * step;
        const double f1 = wellMatching(e1, l, V0, a);
        if ((f0 < 0) != (f1 < 0)) {
            double lo = e0, hi = e1, flo = f0;
            for (int k = 0; k < 200 && hi - lo > 0; ++k) {
                const double mid = lo + (hi - lo) / 2;
                if (mid <= lo || mid >= hi)
                    break;
                const double fm = wellMatching(mid, l, V0, a);
                if ((fm < 0) == (flo < 0)) {
                    lo = mid;
                    flo = fm;
                } else {
                    hi = mid;
                }
            }
            levels.push_back(lo + (hi - lo) / 2);
        }
        e0 = e1;
        f0 = f1;
    }
    return levels;
}

} // namespace brindle
