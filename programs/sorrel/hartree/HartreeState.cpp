// SPDX-License-Identifier: GPL-3.0-or-later
#include <hartree/HartreeState.h>

#include <algorithm>
#include <cmath>

namespace sorrel {

static_assert(HartreeState::iMatch == 310);
static_assert(HartreeState::iMatch * HartreeState::h == HartreeState::rMatch);
static_assert(nint(2.5) == 2 && nint(3.5) == 4 && nint(-2.5) == -2 && nint(-2.6) == -3);

double innerTolerance(int nIter) {
    return nIter <= 2 ? 2.0 * std::pow(10.0, -3.0) : 2.0 * std::pow(10.0, -6.0);
}

double outerTolerance() { return 2.0 / std::pow(10.0, 5.0); }

bool belowTolerance(double value, double tolerance) { return std::fabs(value) < tolerance; }

int paletteEntry(int colourIndex) {
    constexpr int entries = 15;
    const int k = (colourIndex - 1) % entries;
    return (k < 0 ? k + entries : k) + 1;
}

int HartreeSetup::iMatch() const { return nint(rMatch * Npts / rMax); }

HartreeSetup HartreeSetup::forCharge(int Z, int gridFactor) {
    if (Z < kMinCharge || Z > kMaxCharge)
        throw std::invalid_argument("the nuclear charge Z must be an integer from 1 to 10");
    if (gridFactor < 1)
        throw std::invalid_argument("the grid factor must be at least 1");
    HartreeSetup s;
    // Orbital size relative to helium's; exactly 1 for Z = 2.
    const double size = HartreeState::aTrial / (Z - 5.0 / 16.0);
    s.Z = Z;
    s.Npts = HartreeState::Npts * gridFactor;
    s.rMax = HartreeState::rMax * size;
    s.rMatch = HartreeState::rMatch * size;
    s.firstEps = -1.0 / (size * size);
    if (Z == 1) {
        // H⁻ is bound by only 0.046 hartree: its orbital reaches far beyond the scaled
        // grid, the first corrections overshoot past ε = 0, and plain iteration swings
        // between a compact and a diffuse orbital. It gets a grid 2.5 times as long
        // (same step), half-way mixing of the potential and a bounded step.
        s = s.extended(2.5);
        s.mixing = 0.5;
        s.boundStep = 0.5;
    }
    return s;
}

HartreeSetup HartreeSetup::extended(double factor) const {
    HartreeSetup s = *this;
    s.Npts = nint(Npts * factor);
    s.rMax = rMax * s.Npts / Npts;
    return s;
}

HartreeState::HartreeState(double inwardStart) : HartreeState(HartreeSetup{}, inwardStart) {}

HartreeState::HartreeState(const HartreeSetup& setup, double inwardStart)
    : setup_(setup), npts_(setup.Npts), h_(setup.h()), c_(h_ * h_ / 12.0), iMatch_(setup.iMatch()),
      inwardStart_(inwardStart), rR_(0, npts_ + 2), Vtot_(0, npts_ + 1), VH_(0, npts_ + 1),
      yOut_(0, iMatch_ + 1), zIn_(iMatch_ - 1, npts_ + 1), eps_(setup.firstEps), epsOld_(setup.firstEps) {
    if (setup.Z < kMinCharge || setup.Z > kMaxCharge)
        throw std::invalid_argument("the nuclear charge Z must be an integer from 1 to 10");
    if (!(h_ > 0.0) || iMatch_ < 2 || iMatch_ + 2 > npts_)
        throw std::invalid_argument("the grid has no room for the matching point");
    const double a = setup.aTrial();
    const double A = std::sqrt(4.0 * a * a * a);
    for (int i = 0; i <= npts_ + 1; ++i) {
        const double ri = radius(i);
        rR_(i) = ri * A * std::exp(-a * ri);
    }
}

// Hartree potential of one electron's charge cloud u², by two trapezoid sums:
//   V_H(r) = (1/r)·∫₀ʳ u² dr' + ∫ᵣ^∞ u²/r' dr',   Vtot = −Znuc/r + V_H.
// The outer integral is first parked in Vtot(j) and added in the second pass.
void HartreeState::buildPotential() {
    const int N = npts_;
    const double h = h_;
    const double Z = setup_.Z;
    double S = 0.5 * rR_(N + 2) * rR_(N + 2);
    for (int j = N + 1; j >= 1; --j) {
        const double f = rR_(j) * rR_(j) / radius(j);
        Vtot_(j) = (0.5 * f + S) * h;
        S = S + f;
    }
    VH_(0) = S * h; // kept, not used further

    S = 0.5 * rR_(0) * rR_(0);
    for (int i = 1; i <= N + 1; ++i) {
        const double ri = radius(i);
        VH_(i) = (0.5 * rR_(i) * rR_(i) + S) * h / ri + Vtot_(i);
        Vtot_(i) = VH_(i) - Z / ri;
        S = S + rR_(i) * rR_(i);
    }

    // Mixing: the electron moves in a blend of this potential and the last cycle's, which
    // calms the swing between a too compact and a too diffuse orbital of a weakly bound
    // ion. V_H keeps the orbital's own potential for the Coulomb energy.
    if (setup_.mixing < 1.0) {
        const double a = setup_.mixing;
        const bool first = mixedVH_.empty();
        if (first)
            mixedVH_.assign(std::size_t(N + 2), 0.0);
        for (int i = 1; i <= N + 1; ++i) {
            double& mixed = mixedVH_[std::size_t(i)];
            mixed = first ? VH_(i) : a * VH_(i) + (1.0 - a) * mixed;
            Vtot_(i) = mixed - Z / radius(i);
        }
    }
}

// One eigenvalue step in the fixed potential: Numerov outward to iMatch+1 and inward
// from Npts+1 to iMatch−1, scale the inward solution onto the outward one at rMatch,
// take the first-order correction from the slope mismatch, and store the normalised
// matched solution as the new orbital.
void HartreeState::innerStep() {
    const double c = c_;
    const double h = h_;
    const int Npts = npts_;
    const int iMatch = iMatch_;

    // Outward. The k² values roll along: kPrev = k²(i−1), kCur = k²(i), kNext = k²(i+1).
    yOut_(0) = 0.0;
    yOut_(1) = 0.1;
    double kPrev = k2(1);
    double kCur = k2(2);
    yOut_(2) = 2.0 * (1.0 - 5.0 * c * kPrev) * yOut_(1) / (1.0 + c * kCur);
    for (int i = 2; i <= iMatch; ++i) {
        const double kNext = k2(i + 1);
        yOut_(i + 1) =
            (2.0 * (1.0 - 5.0 * c * kCur) * yOut_(i) - (1.0 + c * kPrev) * yOut_(i - 1)) / (1.0 + c * kNext);
        kPrev = kCur;
        kCur = kNext;
    }
    double Sy = 0.5 * yOut_(0) * yOut_(0) + yOut_(1) * yOut_(1);
    for (int i = 2; i <= iMatch; ++i)
        Sy = Sy + yOut_(i) * yOut_(i);
    Sy = (Sy - 0.5 * yOut_(iMatch) * yOut_(iMatch)) * h;
    const double yPrime = (yOut_(iMatch + 1) - yOut_(iMatch - 1)) / (2.0 * h);

    // Inward. Here kPrev = k²(i+1), kCur = k²(i), kNext = k²(i−1).
    zIn_(Npts + 1) = 0.0;
    zIn_(Npts) = inwardStart_;
    kPrev = k2(Npts + 1);
    kCur = k2(Npts);
    for (int i = Npts; i >= iMatch; --i) {
        const double kNext = k2(i - 1);
        zIn_(i - 1) =
            (2.0 * (1.0 - 5.0 * c * kCur) * zIn_(i) - (1.0 + c * kPrev) * zIn_(i + 1)) / (1.0 + c * kNext);
        kPrev = kCur;
        kCur = kNext;
    }
    double Sz = 0.0;
    for (int i = Npts; i >= iMatch; --i)
        Sz = Sz + zIn_(i) * zIn_(i);
    Sz = (Sz - 0.5 * zIn_(iMatch) * zIn_(iMatch)) * h;
    const double zPrime = (zIn_(iMatch + 1) - zIn_(iMatch - 1)) / (2.0 * h);

    // Matching: δε = u(r_m)·[u'_out − u'_in] / (2·∫u² dr).
    const double s = yOut_(iMatch) / zIn_(iMatch);
    const double D = yPrime - s * zPrime;
    const double Q = s * s * Sz + Sy;
    dEps_ = 0.5 * yOut_(iMatch) * D / Q;
    if (!std::isfinite(dEps_) || !(Q > 0.0))
        throw std::runtime_error("Hartree: eigenvalue correction is not a finite number");
    const double norm = std::sqrt(Q);

    for (int i = 0; i <= iMatch; ++i)
        rR_(i) = yOut_(i) / norm;
    for (int i = iMatch + 1; i <= Npts + 1; ++i)
        rR_(i) = s * zIn_(i) / norm;
}

double HartreeState::coulombEnergy() const {
    double sum = 0.0;
    for (int i = 1; i <= npts_ + 1; ++i)
        sum = sum + rR_(i) * rR_(i) * VH_(i);
    return h_ * sum;
}

int HartreeState::nodes() const {
    if (failure_.why == Failure::NodeInOrbital)
        return failure_.nodes;
    // Sign changes of u, ignoring values too small to carry a sign (the far tail).
    double peak = 0.0;
    for (int i = 1; i <= npts_; ++i)
        peak = std::max(peak, std::fabs(rR_(i)));
    const double floor = 1e-9 * peak;
    int count = 0;
    double last = 0.0;
    for (int i = 1; i <= npts_; ++i) {
        const double u = rR_(i);
        if (std::fabs(u) <= floor)
            continue;
        if (last != 0.0 && (u < 0.0) != (last < 0.0))
            ++count;
        last = u;
    }
    return count;
}

RunOutcome HartreeState::fail(HartreeObserver& observer, Failure why) {
    RunFailure f;
    f.why = why;
    f.Z = setup_.Z;
    f.rMax = setup_.rMax;
    f.rMatch = radius(iMatch_);
    f.nodes = nodes();
    f.eps = eps_;
    f.limit = why == Failure::CycleLimit ? setup_.cycleLimit : setup_.innerStepLimit;
    f.cycle = nIter_;
    failure_ = f;
    observer.runFailed(*this);
    return RunOutcome::Failed;
}

RunOutcome HartreeState::run() {
    HartreeObserver none;
    return run(none);
}

RunOutcome HartreeState::run(HartreeObserver& observer) {
    if (started_)
        throw std::logic_error("Hartree: the computation runs only once");
    started_ = true;
    const HartreeState& view = *this;

    for (;;) {
        // 1. Cycle curve of the orbital that enters this cycle.
        if (observer.cycleCurve(view) == Flow::Stop)
            return RunOutcome::Stopped;
        colourIndex_ += 1;

        // 2–3. Potential of the current orbital.
        buildPotential();
        if (observer.potential(view) == Flow::Stop)
            return RunOutcome::Stopped;

        // 4. Eigenvalue in the fixed potential.
        for (;;) {
            innerStep();
            if (observer.matchedSolution(view) == Flow::Stop)
                return RunOutcome::Stopped;
            Vc_ = coulombEnergy();
            // Far from the eigenvalue the first-order correction can overshoot past 0;
            // with a bound step it then goes part of the way to 0 instead.
            if (setup_.boundStep > 0.0 && !(eps_ + dEps_ < 0.0))
                dEps_ = -setup_.boundStep * eps_;
            eps_ = eps_ + dEps_;
            // A bound orbital has ε < 0; anything else is a state of the box the grid makes.
            if (!(eps_ < 0.0))
                return fail(observer, Failure::UnboundOrbital);
            if (observer.innerLine(view) == Flow::Stop)
                return RunOutcome::Stopped;
            if (belowTolerance(dEps_, setup_.innerTol(nIter_)))
                break;
            kIter_ += 1;
            if (kIter_ == setup_.innerStepLimit)
                return fail(observer, Failure::InnerStepLimit);
        }
        // The 1s orbital has no node; one with a node is another solution.
        if (nodes() != 0)
            return fail(observer, Failure::NodeInOrbital);

        // 5. Cycle energy.
        kIter_ = 0;
        Etotal_ = 2.0 * eps_ - Vc_;
        if (observer.cycleLine(view) == Flow::Stop)
            return RunOutcome::Stopped;

        // 6. Self-consistency test on the orbital energy.
        nIter_ += 1;
        const double delta = eps_ - epsOld_;
        epsOld_ = eps_;
        if (belowTolerance(delta, setup_.outerTol))
            break;
        if (nIter_ == setup_.cycleLimit)
            return fail(observer, Failure::CycleLimit);
    }

    // Final report: E = 2ε₁ₛ − J.
    Vc_ = coulombEnergy();
    Etotal_ = 2.0 * epsOld_ - Vc_;
    if (!(Etotal_ < 0.0))
        return fail(observer, Failure::UnboundOrbital);
    if (observer.finalReport(view) == Flow::Stop)
        return RunOutcome::Stopped;
    return RunOutcome::Completed;
}

} // namespace sorrel
