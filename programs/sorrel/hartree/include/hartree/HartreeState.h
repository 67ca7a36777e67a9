// SPDX-License-Identifier: GPL-3.0-or-later
// Hartree self-consistent-field computation of the ground state of helium and of
// the other two-electron ions, from H⁻ (Z = 1) to Ne⁸⁺ (Z = 10).
//
// Both electrons share one 1s orbital u(r) = r·R(r). Starting from the screened
// hydrogen-like orbital with exponent Z − 5/16 (27/16 for helium), each outer cycle builds the Hartree
// potential of the current orbital and solves
//     u''(r) = −k²(r)·u(r),   k²(r) = 2·(ε − V(r)),   V(r) = −Z/r + V_H(r)
// for the 1s eigenvalue by Numerov integration outward and inward, correcting ε
// from the kink of the matched solution at rMatch. The outer cycles stop when ε
// no longer changes; the report is ε₁ₛ, the Coulomb energy V_c and E = 2ε₁ₛ − V_c.
// Atomic units throughout. Plain C++ (no Qt): the window observes the run through
// HartreeObserver and draws what it reads.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace sorrel {

// Nearest integer, ties to even (the rounding used for grid indices).
constexpr int nint(double v) {
    const long long t = static_cast<long long>(v); // toward zero
    const double fl = static_cast<double>(t) > v ? static_cast<double>(t - 1) : static_cast<double>(t);
    const double frac = v - fl;
    const long long f = static_cast<long long>(fl);
    if (frac < 0.5)
        return static_cast<int>(f);
    if (frac > 0.5)
        return static_cast<int>(f + 1);
    return static_cast<int>(f % 2 == 0 ? f : f + 1);
}

// A real array with explicit index bounds lo..hi (both inclusive). Every access is
// checked: an index outside the bounds throws std::out_of_range, like a run-time
// "subscript out of range" error would end the computation.
class BoundedArray {
public:
    BoundedArray(int lo, int hi) : lo_(lo), hi_(hi), v_(static_cast<std::size_t>(hi - lo + 1), 0.0) {}
    int lo() const { return lo_; }
    int hi() const { return hi_; }
    double& operator()(int i) { return v_[slot(i)]; }
    double operator()(int i) const { return v_[slot(i)]; }

private:
    std::size_t slot(int i) const {
        if (i < lo_ || i > hi_)
            throw std::out_of_range("BoundedArray: index out of range");
        return static_cast<std::size_t>(i - lo_);
    }
    int lo_;
    int hi_;
    std::vector<double> v_;
};

// Convergence tests. Tolerances are formed as powers of ten with std::pow and then
// doubled; the test is a strict comparison, so a value exactly equal to the
// tolerance does not count as converged.
double innerTolerance(int nIter);                    // 2·10⁻³ while nIter ≤ 2, else 2·10⁻⁶
double outerTolerance();                             // 2/10⁵
bool belowTolerance(double value, double tolerance); // |value| < tolerance

// The lower plot has palette entries 1..15 for successive cycle curves. The run
// normally needs eight cycles; should it ever need more than fifteen, the colours
// wrap around: colourIndex 1..15 map to themselves, 16 → 1, 17 → 2, …, 30 → 15,
// 31 → 1, and so on. colourIndex must be ≥ 1 (it starts at 1 and only grows).
int paletteEntry(int colourIndex);

// The grid and the starting point of one run. Helium's constants (rMax 8, rMatch
// 0.6055, first ε −1.0) fit an orbital of size 1/(27/16); for another nuclear charge
// they are scaled with the orbital size 1/(Z − 5/16): lengths in proportion, the
// first ε with the inverse square. For Z = 2 every value stays exactly helium's.
struct HartreeSetup {
    int Z = 2;
    int Npts = 4096;                // grid intervals
    double rMax = 8.0;              // grid length
    double rMatch = 620.0 / 1024.0; // matching point
    double firstEps = -1.0;         // eps and epsOld before the first cycle
    // Limits of one run: more cycles than this, or more inner steps in one cycle,
    // end the run as not converging (helium needs 8 cycles of at most 3 steps).
    int cycleLimit = 40;
    int innerStepLimit = 60;
    // Convergence tests: the inner correction in cycles 0..2 and later, and the change
    // of ε over a cycle (helium's values by default).
    double innerTolEarly = innerTolerance(0);
    double innerTolLate = innerTolerance(3);
    double outerTol = outerTolerance();
    // Share of the new orbital's Hartree potential that enters the next cycle; the rest
    // is the potential of the cycle before (1: the new one alone).
    double mixing = 1.0;
    // A correction that would carry ε to 0 or above moves it only this share of the way
    // to 0 (0: no limit; the guard then ends the run).
    double boundStep = 0.0;

    double innerTol(int nIter) const { return nIter <= 2 ? innerTolEarly : innerTolLate; }

    double aTrial() const { return Z - 5.0 / 16.0; } // exponent of the first orbital
    double h() const { return rMax / Npts; }
    int iMatch() const;

    // Helium's grid scaled for nuclear charge Z (1..10), with gridFactor times as
    // many intervals over the same length.
    static HartreeSetup forCharge(int Z, int gridFactor = 1);
    // The same grid stretched `factor` times beyond its scaled length, with the
    // intervals stretched alike so that the step stays the same.
    HartreeSetup extended(double factor) const;
};

inline constexpr int kMinCharge = 1;
inline constexpr int kMaxCharge = 10;

class HartreeState;

// What the observer tells the run after a display step.
enum class Flow { Continue, Stop };

// Display steps D1..D6. Each is called at its fixed point of the run with read-only
// access to the state; returning Flow::Stop ends the run at once (the window does
// this when it is closed or Escape is pressed mid-run). The default does nothing.
class HartreeObserver {
public:
    virtual ~HartreeObserver() = default;
    // D1: start of each outer cycle, before colourIndex += 1. Reads rR, nIter, colourIndex.
    virtual Flow cycleCurve(const HartreeState&) { return Flow::Continue; }
    // D2: after the potential has been built. Reads Vtot.
    virtual Flow potential(const HartreeState&) { return Flow::Continue; }
    // D3: after each inner step's new orbital. Reads rR, kIter, iMatch.
    virtual Flow matchedSolution(const HartreeState&) { return Flow::Continue; }
    // D4: after eps += dEps. Reads nIter, kIter, dEps, eps.
    virtual Flow innerLine(const HartreeState&) { return Flow::Continue; }
    // D5: after the cycle's Etotal (kIter already reset to 0). Reads nIter, Etotal.
    virtual Flow cycleLine(const HartreeState&) { return Flow::Continue; }
    // D6: after the final report values. Reads epsOld (ε₁ₛ), Vc, Etotal.
    virtual Flow finalReport(const HartreeState&) { return Flow::Continue; }
    // Instead of D6 when a guard ended the run. Reads failure() (failureLines() words it).
    virtual void runFailed(const HartreeState&) {}
};

// Completed: converged, final report given. Stopped: the observer stopped it.
// Failed: a guard ended it (failure() says why); no result is reported.
enum class RunOutcome { Completed, Stopped, Failed };

// Why a run ended without a result.
enum class Failure {
    None,
    NodeInOrbital,  // a converged 1s orbital with a node: another solution was found
    UnboundOrbital, // ε ≥ 0 or E ≥ 0: nothing bound on this grid
    CycleLimit,     // the outer cycles did not settle
    InnerStepLimit, // the eigenvalue of one cycle did not settle
};

// What a guard found when it ended a run: the reason and the figures that explain it.
// The run only records them; the table and the window put them into words.
struct RunFailure {
    Failure why = Failure::None;
    int Z = 2;
    double rMax = 0.0;   // the grid's end
    double rMatch = 0.0; // the matching point
    int nodes = 0;       // NodeInOrbital: sign changes of the converged orbital
    double eps = 0.0;    // UnboundOrbital: ε₁ₛ when the run ended
    int limit = 0;       // CycleLimit, InnerStepLimit: the number of cycles or steps allowed
    int cycle = 0;       // InnerStepLimit: the cycle whose eigenvalue did not settle

    explicit operator bool() const { return why != Failure::None; }
};

class HartreeState {
public:
    // Helium's constants, the default set-up (an instance made from another set-up
    // uses the accessors z(), npts(), step(), matchIndex(), radius() instead).
    static constexpr double Znuc = 2.0;                 // nuclear charge
    static constexpr double aTrial = Znuc - 5.0 / 16.0; // 27/16, exponent of the first orbital
    static constexpr int Npts = 4096;                   // grid intervals
    static constexpr double rMax = 8.0;
    static constexpr double h = rMax / Npts; // 1/512
    static constexpr double h2 = h * h;      // 2⁻¹⁸
    static constexpr double h2over12 = h2 / 12.0;
    static constexpr double rMatch = 620.0 / 1024.0;          // 0.60546875
    static constexpr int iMatch = nint(rMatch * Npts / rMax); // 310: r(iMatch) == rMatch
    static constexpr double defaultInwardStart = 1e-100;

    // Sets the constants, allocates the arrays and sets the initial orbital
    // rR(i) = rᵢ·A·exp(−aTrial·rᵢ), A = √(4·aTrial³), i = 0..Npts+1; eps = epsOld = −1.
    // inwardStart is the value given to zIn(Npts); it only sets the scale of the inward
    // solution (tests vary it to show that).
    explicit HartreeState(double inwardStart = defaultInwardStart);
    // The same for the given set-up (std::invalid_argument for a charge outside
    // 1..10 or a grid without room for the matching point).
    explicit HartreeState(const HartreeSetup& setup, double inwardStart = defaultInwardStart);

    // Runs the outer cycles to convergence and the final report, calling the observer's
    // display steps at their points. Runs once per state: a second call throws
    // std::logic_error. A non-finite eigenvalue correction (which would otherwise keep
    // the inner loop going forever) throws std::runtime_error. The guards end the run
    // with RunOutcome::Failed: a converged orbital with a node, ε ≥ 0 after an inner
    // step, a total energy ≥ 0, or the cycle or inner-step limit reached.
    RunOutcome run(HartreeObserver& observer);
    RunOutcome run(); // with no display steps

    // Read-only view of the state (names as in the algorithm).
    double rR(int i) const { return rR_(i); }     // 0..Npts+2
    double Vtot(int i) const { return Vtot_(i); } // 0..Npts+1
    double VH(int i) const { return VH_(i); }     // 0..Npts+1
    double yOut(int i) const { return yOut_(i); } // 0..iMatch+1
    double zIn(int i) const { return zIn_(i); }   // iMatch−1..Npts+1
    double eps() const { return eps_; }
    double epsOld() const { return epsOld_; }
    double dEps() const { return dEps_; }
    double Vc() const { return Vc_; }
    double Etotal() const { return Etotal_; }
    int nIter() const { return nIter_; }
    int kIter() const { return kIter_; }
    int colourIndex() const { return colourIndex_; }
    double inwardStart() const { return inwardStart_; }

    // The grid of this run.
    const HartreeSetup& setup() const { return setup_; }
    int z() const { return setup_.Z; }
    int npts() const { return npts_; }
    double step() const { return h_; }
    int matchIndex() const { return iMatch_; }
    double radius(int i) const { return i * h_; }

    // Why a guard ended the run (why == Failure::None while none has).
    const RunFailure& failure() const { return failure_; }
    // Nodes of the orbital at the failure (NodeInOrbital), else of the current one.
    int nodes() const;

    static double r(int i) { return i * h; } // on helium's grid

private:
    void buildPotential();
    void innerStep(); // Numerov out/in, matching, dEps, new orbital
    double coulombEnergy() const;
    double k2(int i) const { return 2.0 * (eps_ - Vtot_(i)); }
    RunOutcome fail(HartreeObserver& observer, Failure why);

    HartreeSetup setup_;
    int npts_;
    double h_;
    double c_; // h²/12
    int iMatch_;
    double inwardStart_;
    BoundedArray rR_;
    BoundedArray Vtot_;
    BoundedArray VH_;
    BoundedArray yOut_;
    BoundedArray zIn_;
    std::vector<double> mixedVH_; // the blended V_H of the last cycle (mixing < 1)
    RunFailure failure_;
    double eps_ = -1.0;
    double epsOld_ = -1.0;
    double dEps_ = 0.0;
    double Vc_ = 0.0;
    double Etotal_ = 0.0;
    int nIter_ = 0;
    int kIter_ = 0;
    int colourIndex_ = 1;
    bool started_ = false;
};

} // namespace sorrel
