// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The wave packet of ExactPacket evolved on a grid by the schemes of tessera's pages,
// in units with ħ = m = ω = 1:
//  - Crank–Nicolson: (1 + ½iHΔt) gⁿ = 2fⁿ solved as the tridiagonal system
//    gⁿ_{k+1} + a_k gⁿ_k + gⁿ_{k−1} = bⁿ_k with a_k = −2 − 2(Δx)²V_k + 4i(Δx)²/Δt and
//    bⁿ_k = 8i(Δx)²/Δt fⁿ_k by the modified Cholesky method, then fⁿ⁺¹ = gⁿ − fⁿ;
//  - explicit: fⁿ⁺¹ = (1 − iHΔt) fⁿ, which amplifies every component (by
//    √(1 + (EΔt)²) for energy E, most the grid's highest) and so blows up.
// H is −½ ∂²/∂x² by three-point differences plus V = x²/2; the wave function is
// zero at both ends of the grid. Δt is a whole fraction of the period, so that
// every period ends on a step.

#include <packet/ExactPacket.h>
#include <packet/ModifiedCholesky.h>

#include <complex>
#include <memory>
#include <vector>

namespace tessera {

enum class Scheme { CrankNicolson, Explicit };

// The page's packet: displaced by A = 2, with oriel's width B = 0.7/α (α = 1).
inline constexpr double kDisplacement = 2.0;
inline constexpr double kPacketWidth = 0.7;
// The grid: x from −10 to 10 in 2000 intervals (Δx = 0.01).
inline constexpr double kGridHalfWidth = 10.0;
inline constexpr int kGridIntervals = 2000;
// Δt = 2π / 3200 unless halved or doubled, within 2π/25600 … 2π/100.
inline constexpr int kStepsPerPeriod = 3200;
inline constexpr int kMinStepsPerPeriod = 100;
inline constexpr int kMaxStepsPerPeriod = 25600;
// The explicit scheme is stopped once ∫|Ψ|²dx passes this, far below overflow.
inline constexpr double kBlowUpNorm = 1e6;

class PacketEvolution {
public:
    using Complex = std::complex<double>;

    // The packet at t = 0 on the grid, to be advanced by `scheme` with Δt = 2π/steps
    // (steps within kMinStepsPerPeriod … kMaxStepsPerPeriod; std::invalid_argument
    // otherwise, as for fewer than 3 intervals).
    explicit PacketEvolution(ExactPacket packet = ExactPacket(kDisplacement, kPacketWidth),
                             int stepsPerPeriod = kStepsPerPeriod, Scheme scheme = Scheme::CrankNicolson,
                             double halfWidth = kGridHalfWidth, int intervals = kGridIntervals);

    const ExactPacket& packet() const { return packet_; }
    Scheme scheme() const { return scheme_; }
    int stepsPerPeriod() const { return stepsPerPeriod_; }
    double dt() const { return dt_; }
    double dx() const { return dx_; }
    // Grid points x_0 … x_n (n = intervals); Ψ is zero at x_0 and x_n.
    int points() const { return int(psi_.size()) + 2; }
    double x(int k) const { return -halfWidth_ + k * dx_; }

    // Advances one step. False, without changing anything, once the wave function has
    // blown up (the explicit scheme; see blownUp).
    bool step();
    // Advances `n` steps, stopping early at a blow-up; returns the steps made.
    int advance(int n);
    long steps() const { return steps_; }
    double t() const { return double(steps_) * dt_; }

    // Ψ at grid point k (0 at both ends), |Ψ|² there.
    Complex psi(int k) const;
    double density(int k) const { return std::norm(psi(k)); }
    // ∫|Ψ|²dx by the grid's sum Δx Σ|Ψ_k|².
    double norm() const;
    // The exact density at grid point k at the present time.
    double exactDensity(int k) const { return packet_.density(x(k), t()); }
    // The exact density at the present time, for any x.
    ExactPacket::Density exactDensityNow() const { return packet_.densityAt(t()); }
    // max_k | |Ψ_k|² − |Ψ(x_k, t)|² | over the grid.
    double maxError() const;
    // Whether the norm has passed kBlowUpNorm (or is no longer a number): no step is
    // taken after that.
    bool blownUp() const { return blownUp_; }

    // The factorisation of the Crank–Nicolson matrix for this grid and Δt.
    const ModifiedCholesky& factors() const { return *factors_; }

private:
    void stepCrankNicolson();
    void stepExplicit();

    ExactPacket packet_;
    Scheme scheme_;
    int stepsPerPeriod_;
    double halfWidth_;
    double dx_;
    double dt_;
    std::vector<double> V_;    // interior points 1 … n−1
    std::vector<Complex> psi_; // interior points 1 … n−1
    std::vector<Complex> work_;
    std::unique_ptr<ModifiedCholesky> factors_;
    Complex rhs_; // 8i(Δx)²/Δt
    long steps_ = 0;
    bool blownUp_ = false;
};

} // namespace tessera
