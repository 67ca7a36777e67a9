// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// brindle's command line: the pages, and besides the export options of every
// document program
//   --table    prints every iteration and the converged states as text, no window
//   --speed F  divides every wait of the live page by F, one of ¼ … 16 (this run only; the speed
//              chosen with [ and ] is kept for the next start)
//   --paused   the live page waits for P (or N) before it draws its first trace
//   --l L      angular momentum (default 1, 0 for the Morse potential): 0..3 for the
//              oscillator, 0..2 for the hydrogen atom and the well, 0 for Morse
//   --potential oscillator|coulomb|well|morse
//              the model; with it --table ends with each level against its exact value
//   --off-grid the well's edge between two grid points instead of on one
//   --export-data DIR [--force]
//              writes the run's figures as CSV files into DIR, no window

#include <engine/shell/DocumentMain.h>
#include <engine/shell/RunOptions.h>

#include <brindle/EigenIteration.h>

#include <functional>
#include <optional>

namespace brindle {

class BrindleProgram {
public:
    BrindleProgram();
    BrindleProgram(const BrindleProgram&) = delete; // the options write into this object
    BrindleProgram& operator=(const BrindleProgram&) = delete;

    // The whole run for --table and --export-data, computed by the numerical core.
    std::function<void(EigenIteration& it)> compute = [](EigenIteration& it) { it.run(nullptr); };

    course::DocumentProgram& program() { return program_; }
    int run(int argc, char** argv) { return course::runDocumentProgram(argc, argv, program_); }

private:
    course::RunOptions run_; // --speed, --paused
    std::optional<int> l_;
    std::optional<PotentialKind> kind_;
    bool offGrid_ = false;
    bool table_ = false;
    QString dataDir_;
    course::DocumentProgram program_;
};

} // namespace brindle
