// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// brindle --export-data: the CSV files of a finished run written into a folder.

#include <brindle/EigenIteration.h>

#include <QString>

namespace brindle {

// Writes the CSV files of the run `it` has completed into `dir` (made when missing;
// its parent must exist). Files already there are refused, before anything is
// written, unless `overwrite`. Returns the exit status: 0, or 1 after printing
// "brindle: <what went wrong>" on stderr.
int exportData(const EigenIteration& it, const QString& dir, bool overwrite);

} // namespace brindle
