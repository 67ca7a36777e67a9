// SPDX-License-Identifier: GPL-3.0-or-later
// Precise mode: the Hartree computation of one ion on three grids, step h, h/2 and
// h/4, each iterated to a tight tolerance, and the results extrapolated to h → 0.
//
// On the usual grid the energies carry an error that goes as h² (the trapezoid sums of
// the potential, the norm and the Coulomb energy; Numerov's own error is h⁴), plus a
// small one from the grid's end, which the orbital's tail still reaches for the heavier
// ions. Precise mode stretches the ion's grid 1.5 times (same step) so that the end no
// longer counts, tightens every tolerance to 10⁻¹¹ times the first ε (a hundredth of the
// last digit shown), and removes the h², h⁴ terms by Richardson extrapolation over the
// halved steps. No Qt.
#pragma once

#include <vector>

#include <hartree/HartreeState.h>

namespace sorrel {

// The grids of precise mode: 1, 2 and 4 times the intervals of the ion's own grid.
inline constexpr int kPreciseLevels = 3;
// How far the ion's grid is stretched, and the tolerance relative to |first ε|.
inline constexpr double kPreciseGridStretch = 1.5;
inline constexpr double kPreciseRelativeTolerance = 1e-11;

// The set-up of the coarsest level: the ion's own grid stretched, with the tight
// tolerances and room for the extra cycles they take (H⁻ needs about 30).
HartreeSetup preciseSetup(int Z);
// The same set-up with 2^level times as many intervals over the same length (the
// matching point stays where it is).
HartreeSetup refined(const HartreeSetup& coarsest, int level);

// Richardson extrapolation to h → 0 of values computed with steps h, h/2, h/4, …
// whose error is a series in h², h⁴, …: the last entry of the Romberg tableau.
// One value is returned as it is; none is an error (std::invalid_argument).
double richardson(const std::vector<double>& values);

// The result of one level's run.
struct PreciseLevel {
    HartreeSetup setup;
    int cycles = 0;
    double eps1s = 0.0;
    double Vc = 0.0;
    double Etotal = 0.0;
};

class PreciseRun {
public:
    // std::invalid_argument for a charge outside 1..10.
    explicit PreciseRun(int Z);
    // The levels refined from another coarsest set-up (tests give it tighter limits).
    explicit PreciseRun(const HartreeSetup& coarsest);

    // Runs the levels from the coarsest on, without display steps. Completed, or
    // Failed when a guard ended a level's run (failure() says why; later levels are
    // not run). A fault of the computation throws, as HartreeState::run does.
    // Runs once: a second call throws std::logic_error.
    RunOutcome run();

    int z() const { return Z_; }
    // The levels run so far, coarsest first (all kPreciseLevels after a completed run).
    const std::vector<PreciseLevel>& levels() const { return levels_; }
    // Why the last level run failed; why == Failure::None after a completed run.
    const RunFailure& failure() const { return failure_; }

    // Extrapolated to h → 0 (meaningful after a completed run).
    double eps1s() const { return eps1s_; }
    double Vc() const { return Vc_; }
    double Etotal() const { return Etotal_; }
    // The Hartree–Fock limit of the total energy printed beside it.
    double limit() const;

private:
    HartreeSetup coarsest_;
    int Z_;
    bool started_ = false;
    std::vector<PreciseLevel> levels_;
    RunFailure failure_;
    double eps1s_ = 0.0;
    double Vc_ = 0.0;
    double Etotal_ = 0.0;
};

} // namespace sorrel
