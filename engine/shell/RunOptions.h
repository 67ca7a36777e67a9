// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command-line options of a paced run, the same in brindle and sorrel:
//   --speed F   one of the speeds the run controls offer, ×¼ … ×16 (1/4, 0.25, 1/2,
//               0.5, 1, 2, 4, 8, 16); any other value is a usage error
//   --paused    the run waits for P (or N) before its first curve
// Without --speed the run takes the speed kept in the program's settings.

#include <engine/shell/CommandLine.h>

#include <optional>
#include <vector>

namespace course {

struct RunOptions {
    std::optional<double> speed; // given on the command line
    bool paused = false;

    // The speed of this run: the one given, else the one kept for `program`.
    double speedFor(const QString& program) const;
};

// What --speed and --paused pace, as their help names it.
enum class RunOptionsOf { LivePage, Run };

// --speed and --paused, writing into `o`, which must outlive the parse.
std::vector<ProgramOption> runOptions(RunOptions& o, RunOptionsOf what);

// A value of --speed: one of PacedClock::kSpeeds, as a number or a fraction ("1/4").
// Anything else fails with a message naming the value and leaves `speed` alone.
Outcome parseSpeed(const QString& text, double& speed);

// The offered speed nearest to `factor` (> 0), by ratio: 3 → 4, 1e-9 → ¼.
double nearestSpeed(double factor);

} // namespace course
