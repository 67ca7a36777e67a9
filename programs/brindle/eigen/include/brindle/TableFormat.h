// SPDX-License-Identifier: GPL-3.0-or-later
// Number formats of brindle's live page and the plain-text table of a run.
#pragma once

#include <string>

#include <brindle/EigenIteration.h>

namespace brindle {

// Trial energy, pattern "#.##0": three decimals, no leading zero before the
// point for magnitudes below one ("1.800", ".500", "-.500").
std::string formatTrialEnergy(double e);

// Energy correction, pattern "0.####0": six decimals with a leading zero
// ("0.892583", "-0.000003").
std::string formatDeltaE(double dE);

// Energy, pattern "#0.####0": six decimals ("2.692583").
std::string formatEnergy(double e);

// The report of a wrong level, one line in the style of the table's rows:
// "    4  8  4 nodes: level 5 found (E = 9.500000), level 4 skipped; restart at
// 7.500 between 5.500000 and 9.500000" (no line end).
std::string formatSkip(const LevelSkip& skip);

// The table of a whole run: one line per iteration (state, iteration, dE,
// E after the update, and the report of every wrong level where it happened),
// then one summary line per state (trial energy,
// iteration count, turning points, converged energy).
// Another model's table names it, its exact levels and its grid (per state when
// the states have their own) in the first lines.
std::string formatTable(const RunResult& run);

// The last lines for --potential: every state's energy beside the exact one and the
// difference (relative for the hydrogen atom), then either that every level is
// within 1e-6, or for each level beyond it why.
std::string formatComparison(const RunResult& run);

} // namespace brindle
