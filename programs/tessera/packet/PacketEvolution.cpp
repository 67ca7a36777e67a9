// SPDX-License-Identifier: GPL-3.0-or-later
#include <packet/PacketEvolution.h>

#include <cmath>
#include <stdexcept>

namespace tessera {

PacketEvolution::PacketEvolution(ExactPacket packet, int stepsPerPeriod, Scheme scheme, double halfWidth,
                                 int intervals)
    : packet_(packet), scheme_(scheme), stepsPerPeriod_(stepsPerPeriod), halfWidth_(halfWidth) {
    if (stepsPerPeriod < kMinStepsPerPeriod || stepsPerPeriod > kMaxStepsPerPeriod)
        throw std::invalid_argument("the time step must be 2π/100 … 2π/25600");
    if (intervals < 3 || !(halfWidth > 0) || !std::isfinite(halfWidth))
        throw std::invalid_argument("the grid needs a width above zero and at least 3 intervals");
    dx_ = 2 * halfWidth / intervals;
    dt_ = ExactPacket::period() / stepsPerPeriod;
    const int n = intervals - 1; // interior points
    V_.resize(n);
    psi_.resize(n);
    work_.resize(n);
    std::vector<Complex> a(n);
    const double dx2 = dx_ * dx_;
    const Complex i(0, 1);
    for (int k = 0; k < n; ++k) {
        const double xk = x(k + 1);
        V_[k] = 0.5 * xk * xk;
        psi_[k] = packet_.initial(xk);
        a[k] = -2.0 - 2.0 * dx2 * V_[k] + 4.0 * i * dx2 / dt_;
    }
    factors_ = std::make_unique<ModifiedCholesky>(a);
    rhs_ = 8.0 * i * dx2 / dt_;
}

bool PacketEvolution::step() {
    if (blownUp_)
        return false;
    if (scheme_ == Scheme::CrankNicolson) {
        stepCrankNicolson();
    } else {
        stepExplicit();
        const double n = norm();
        blownUp_ = !(n <= kBlowUpNorm);
    }
    ++steps_;
    return true;
}

int PacketEvolution::advance(int n) {
    int made = 0;
    while (made < n && step())
        ++made;
    return made;
}

void PacketEvolution::stepCrankNicolson() {
    factors_->stepInPlace(rhs_, psi_, work_);
}

void PacketEvolution::stepExplicit() {
    const std::size_t n = psi_.size();
    const double kinetic = -0.5 / (dx_ * dx_);
    const Complex minusIDt(0, -dt_);
    for (std::size_t k = 0; k < n; ++k) {
        const Complex left = k > 0 ? psi_[k - 1] : Complex();
        const Complex right = k + 1 < n ? psi_[k + 1] : Complex();
        const Complex H = kinetic * (right - 2.0 * psi_[k] + left) + V_[k] * psi_[k];
        work_[k] = psi_[k] + minusIDt * H;
    }
    psi_.swap(work_);
}

PacketEvolution::Complex PacketEvolution::psi(int k) const {
    if (k < 0 || k >= points())
        throw std::out_of_range("no such grid point");
    if (k == 0 || k == points() - 1)
        return {};
    return psi_[std::size_t(k - 1)];
}

double PacketEvolution::norm() const {
    double sum = 0;
    for (const Complex& f : psi_)
        sum += std::norm(f);
    return sum * dx_;
}

double PacketEvolution::maxError() const {
    double worst = 0;
    const ExactPacket::Density exact = exactDensityNow();
    for (std::size_t k = 0; k < psi_.size(); ++k) {
        const double e = std::abs(std::norm(psi_[k]) - exact(x(int(k) + 1)));
        if (!(e <= worst))
            worst = e;
    }
    return worst;
}

} // namespace tessera
