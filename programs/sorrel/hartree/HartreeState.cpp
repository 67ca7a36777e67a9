#include <hartree/HartreeState.h>

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

HartreeState::HartreeState(double inwardStart) : inwardStart_(inwardStart) {
    const double A = std::sqrt(4.0 * aTrial * aTrial * aTrial);
    for (int i = 0; i <= Npts + 1; ++i) {
        const double ri = r(i);
        rR_(i) = ri * A * std::exp(-aTrial * ri);
    }
}

// Hartree potential of one electron's charge cloud u², by two trapezoid sums:
//   V_H(r) = (1/r)·∫₀ʳ u² dr' + ∫ᵣ^∞ u²/r' dr',   Vtot = −Znuc/r + V_H.
// The outer integral is first parked in Vtot(j) and added in the second pass.
void HartreeState::buildPotential() {
    double S = 0.5 * rR_(Npts + 2) * rR_(Npts + 2);
    for (int j = Npts + 1; j >= 1; --j) {
        const double f = rR_(j) * rR_(j) / r(j);
        Vtot_(j) = (0.5 * f + S) * h;
        S = S + f;
    }
    VH_(0) = S * h; // kept, not used further

    S = 0.5 * rR_(0) * rR_(0);
    for (int i = 1; i <= Npts + 1; ++i) {
        const double ri = r(i);
        VH_(i) = (0.5 * rR_(i) * rR_(i) + S) * h / ri + Vtot_(i);
        Vtot_(i) = VH_(i) - Znuc / ri;
        S = S + rR_(i) * rR_(i);
    }
}

// One eigenvalue step in the fixed potential: Numerov outward to iMatch+1 and inward
// from Npts+1 to iMatch−1, scale the inward solution onto the outward one at rMatch,
// take the first-order correction from the slope mismatch, and store the normalised
// matched solution as the new orbital.
void HartreeState::innerStep() {
    const double c = h2over12;

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
    for (int i = 1; i <= Npts + 1; ++i)
        sum = sum + rR_(i) * rR_(i) * VH_(i);
    return h * sum;
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
            eps_ = eps_ + dEps_;
            if (observer.innerLine(view) == Flow::Stop)
                return RunOutcome::Stopped;
            if (belowTolerance(dEps_, innerTolerance(nIter_)))
                break;
            kIter_ += 1;
        }

        // 5. Cycle energy.
        kIter_ = 0;
        Etotal_ = 2.0 * eps_ - Vc_;
        if (observer.cycleLine(view) == Flow::Stop)
            return RunOutcome::Stopped;

        // 6. Self-consistency test on the orbital energy.
        nIter_ += 1;
        const double delta = eps_ - epsOld_;
        epsOld_ = eps_;
        if (belowTolerance(delta, outerTolerance()))
            break;
    }

    // Final report: E = 2ε₁ₛ − J.
    Vc_ = coulombEnergy();
    Etotal_ = 2.0 * epsOld_ - Vc_;
    if (observer.finalReport(view) == Flow::Stop)
        return RunOutcome::Stopped;
    return RunOutcome::Completed;
}

} // namespace sorrel
