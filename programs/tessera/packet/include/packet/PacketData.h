// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The figures of a packet run as CSV files (course::CsvTable: a header row, then every
// number at full precision), in units with ħ = m = ω = 1:
//   parameters.csv  name,value: A, B, the grid and Δt
//   summary.csv     one row per period: period, t, steps, the norm at its end, the
//                   largest |norm change| and density error over its frames
//                   (norm_change, max_error), and the error at its end (end_error)
//   densities.csv   the grid's x, then for every period end p the computed density
//                   rho_p and the exact one exact_p

#include <packet/PacketRun.h>

#include <engine/csv/CsvTable.h>

#include <vector>

namespace tessera {

std::vector<course::CsvFile> dataFiles(const PacketRunResult& run);

} // namespace tessera
