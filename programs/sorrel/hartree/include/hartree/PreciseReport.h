// SPDX-License-Identifier: GPL-3.0-or-later
// The words and figures of precise mode: the lines the table prints after the usual
// report, and the CSV file of its levels. No Qt.
#pragma once

#include <string>
#include <vector>

#include <engine/csv/CsvTable.h>
#include <hartree/PreciseRun.h>

namespace sorrel {

// Seven decimals: the digits the Hartree–Fock limits are given to.
std::string fixed7(double v);

// The precise lines: a heading, one line per level (step, intervals, cycles, ε₁ₛ and
// E_total at ten decimals), the extrapolated ε₁ₛ and V_c, and last the extrapolated
// E_total beside the Hartree–Fock limit:
//   "外挿 h → 0   E_total = -2.8616800   (HF 極限 -2.8616800)"
// A run that failed ends with the failure's lines instead of the extrapolation.
std::vector<std::string> preciseTableLines(const PreciseRun& run);
// The last line alone (the window prints it under its report).
std::string preciseEnergyLine(const PreciseRun& run);

// precise.csv: one row per level (h_bohr, grid_intervals, r_max_bohr, cycles, eps_1s,
// V_c, E_total), then the extrapolation as the row with h_bohr = 0; every row carries
// the Hartree–Fock limit in its last column. A failed run has only the levels it
// finished.
course::CsvFile preciseFile(const PreciseRun& run);

} // namespace sorrel
