// SPDX-License-Identifier: GPL-3.0-or-later
// The bound levels of the finite spherical well V = -V0 for r < a, 0 beyond: the
// energies where the inner solution r j_l(k r) and the outer r k_l(kappa r) (the
// decaying modified spherical Bessel function) meet with equal logarithmic
// derivatives at r = a, k = sqrt(2(E + V0)), kappa = sqrt(-2E). Closed forms for
// l = 0..2.
#pragma once

#include <vector>

namespace brindle {

// x j_l'(x) k_l(y) - y k_l'(y) j_l(x) with x = k a, y = kappa a: zero exactly at a
// level, finite everywhere inside (-V0, 0) (no poles, unlike the quotient of the
// logarithmic derivatives). l = 0..2; std::invalid_argument otherwise.
double wellMatching(double E, int l, double V0, double a);

// Every bound level of angular momentum l, lowest first, found by a scan of the
// matching function's sign changes and bisection to full precision.
std::vector<double> wellLevels(int l, double V0, double a);

} // namespace brindle
