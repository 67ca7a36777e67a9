// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A Crank–Nicolson run of the page's packet over whole periods, with the figures of
// every period end: the norm, its change since t = 0 and the largest difference of
// the density from the exact one. The table, the data export and the tests read it.
//
// The bounds the default run keeps over ten periods:
//  - the norm within kNormTolerance of its start. The Crank–Nicolson step is the
//    Cayley transform of a real symmetric H, unitary on the grid, so only rounding
//    changes the norm (about 1e-12 after ten periods);
//  - the density within kDensityTolerance of the exact one. The scheme's error is of
//    second order in Δx and Δt and shows as a phase error that grows with t (about
//    5e-6 after one period, 5e-4 after ten, mostly from Δx = 0.02). 1e-3 is an
//    eighth of a percent of the peak density 0.81 and less than a pixel of the page's
//    plot, so within it the computed curve hides the exact one.

#include <packet/PacketEvolution.h>

#include <string>
#include <vector>

namespace tessera {

inline constexpr int kPeriods = 10;
inline constexpr double kNormTolerance = 1e-10;
inline constexpr double kDensityTolerance = 1e-3;

struct PeriodRecord {
    int period = 0;          // 0 (the start) … periods
    double t = 0;            // period · 2π
    long steps = 0;          // steps made since t = 0
    double norm = 0;         // Δx Σ|Ψ_k|²
    double normChange = 0;   // norm − norm at t = 0
    double maxError = 0;     // max_k | |Ψ_k|² − |Ψ(x_k, t)|² |
    std::vector<double> density; // |Ψ_k|² at every grid point
    std::vector<double> exact;   // |Ψ(x_k, t)|² at every grid point
};

struct PacketRunResult {
    double A = 0, B = 0;
    double xMin = 0, xMax = 0, dx = 0, dt = 0;
    int intervals = 0;
    int stepsPerPeriod = 0;
    std::vector<double> x;             // the grid
    std::vector<PeriodRecord> periods; // period 0 … n
    double largestNormChange() const;  // over the period ends
    double largestError() const;
};

// The default packet and grid, advanced by Crank–Nicolson for `periods` periods with
// Δt = 2π/stepsPerPeriod.
PacketRunResult runPeriods(int periods = kPeriods, int stepsPerPeriod = kStepsPerPeriod);

// The run as text: the settings, one row per period (t, norm, change, max error) and
// the largest change and error against their bounds.
std::string formatTable(const PacketRunResult& run);

} // namespace tessera
