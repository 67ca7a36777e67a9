// SPDX-License-Identifier: GPL-3.0-or-later
// The figures of a finished eigenvalue iteration as CSV files (course::CsvTable: a
// header row, then every number at full precision). All quantities are in the
// oscillator's units (hbar = m = omega = 1): lengths x in sqrt(hbar/(m omega)),
// energies in hbar omega.
//
//   iterations.csv     one row per iteration: l, state, iteration, E_before, dE,
//                      E_after, and the join's y_match, scale, kink and norm
//   states.csv         one row per converged state: trial energy, iterations, nodes,
//                      matching point, turning points (grid index and x), E, E_exact
//   level-skips.csv    one row per wrong level found on the way (often header only)
//   wavefunctions.csv  the normalised functions on the grid: x, then one column per
//                      state (P_state1 ... P_state4)
#pragma once

#include <vector>

#include <brindle/EigenIteration.h>
#include <engine/csv/CsvTable.h>

namespace brindle {

// The files of the run `it` has completed (P(., s) of each state holds its final
// function), in the order listed above.
std::vector<course::CsvFile> dataFiles(const EigenIteration& it);

} // namespace brindle
