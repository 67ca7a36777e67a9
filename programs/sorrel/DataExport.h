// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// sorrel --export-data: the run's figures as CSV files in a folder, computed without
// a window, waits or sounds.

#include "Options.h"

namespace sorrel {

// Runs the computation for o.Z once (and with o.precise the precise levels after it,
// adding precise.csv), prints its table too when o.table is set, and
// writes the CSV files into o.dataDir (made when missing; its parent must exist).
// Files already there are refused, before anything is written, unless o.force.
// A run that a guard ended is written too (the files show how far it came) but ends
// with status 1. Returns the exit status, after printing "sorrel: …" on failure.
int exportData(const Options& o);

} // namespace sorrel
