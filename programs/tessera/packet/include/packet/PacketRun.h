// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A Crank–Nicolson run of the page's packet over whole periods, with the figures of
// every period: the norm at its end and its largest change since t = 0, and the largest
// difference of the density from the exact one over the period's frames (the 100
// moments a period the live page draws). The table, the data export and the tests
// read it.
//
// The bounds the default run keeps over ten periods:
//  - the norm within kNormTolerance of its start. The Crank–Nicolson step is the
//    Cayley transform of a real symmetric H, unitary on the grid, so only rounding
//    changes the norm (a few 1e-13 after ten periods);
//  - the density within kDensityTolerance of the exact one. The scheme's error is of
//    second order in Δx and Δt and shows as a phase error: the three-point kinetic
//    energy is a little low for the packet's fast components, so the computed packet
//    falls behind the exact one by an amount that grows with t. The largest
//    difference grows about linearly, to 2.8e-3 in the tenth period (mostly from
//    Δx = 0.01; with Δx = 0.02 it is four times as large). Its smallest values fall
//    on the period ends, where the packet turns back at x = A. 4e-3 is half a percent
//    of the peak density 0.81 and under a pixel and a half of the page's plot.

#include <packet/PacketEvolution.h>

#include <string>
#include <vector>

namespace tessera {

inline constexpr int kPeriods = 10;
inline constexpr int kFramesPerPeriod = 100;
inline constexpr double kNormTolerance = 1e-10;
inline constexpr double kDensityTolerance = 4e-3;

struct PeriodRecord {
    int period = 0;          // 0 (the start) … periods
    double t = 0;            // period · 2π
    long steps = 0;          // steps made since t = 0
    double norm = 0;         // Δx Σ|Ψ_k|² at the period's end
    double normChange = 0;   // the largest |norm − norm at t = 0| over the period's frames
    double maxError = 0;     // the largest max_k | |Ψ_k|² − |Ψ(x_k, t)|² | over its frames
    double endError = 0;     // that difference at the period's end
    std::vector<double> density; // |Ψ_k|² at every grid point, at the period's end
    std::vector<double> exact;   // |Ψ(x_k, t)|² at every grid point, at the period's end
};

struct PacketRunResult {
    double A = 0, B = 0;
    double xMin = 0, xMax = 0, dx = 0, dt = 0;
    int intervals = 0;
    int stepsPerPeriod = 0;
    std::vector<double> x;             // the grid
    std::vector<PeriodRecord> periods; // period 0 … n
    double largestNormChange() const;  // over every frame
    double largestError() const;
};

// The default packet and grid, advanced by Crank–Nicolson for `periods` periods with
// Δt = 2π/stepsPerPeriod (a multiple of kFramesPerPeriod).
PacketRunResult runPeriods(int periods = kPeriods, int stepsPerPeriod = kStepsPerPeriod);

// The run as text: the settings, one row per period (t, norm, change, max error) and
// the largest change and error against their bounds.
std::string formatTable(const PacketRunResult& run);

} // namespace tessera
