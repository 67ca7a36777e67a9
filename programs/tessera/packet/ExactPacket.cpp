// SPDX-License-Identifier: GPL-3.0-or-later
#include <packet/ExactPacket.h>

#include <cmath>
#include <numbers>
#include <stdexcept>

namespace tessera {

ExactPacket::ExactPacket(double A, double B) : A_(A), B_(B) {
    if (!std::isfinite(A) || !std::isfinite(B) || !(B > 0))
        throw std::invalid_argument("the packet needs a finite displacement and a width above zero");
}

double ExactPacket::initial(double x) const {
    const double d = (x - A_) / B_;
    return std::exp(-0.5 * d * d) / std::sqrt(B_ * std::sqrt(std::numbers::pi));
}

double ExactPacket::width(double t) const {
    const double c = std::cos(t);
    const double s = std::sin(t);
    return std::sqrt(B_ * B_ * c * c + s * s / (B_ * B_));
}

ExactPacket::Density ExactPacket::densityAt(double t) const {
    const double b = width(t);
    return Density(A_ * std::cos(t), b, std::sqrt(std::numbers::pi) * b);
}

double ExactPacket::period() { return 2 * std::numbers::pi; }

} // namespace tessera
