// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Command-line options of sorrel. Without options the program opens its window and
// runs the computation at its normal pace.

#include <engine/shell/CommandLine.h>
#include <engine/shell/RunOptions.h>

#include <string>
#include <vector>

namespace sorrel {

struct Options {
    bool help = false;       // --help or --version was answered: end with status 0
    bool table = false;      // print the table as text; no window, no waits, no sounds
    course::RunOptions run;  // --speed (else the speed chosen last time), --paused
    std::string exportPng;   // write the finished window as a PNG picture
    std::string exportPdf;   // ... and/or as a one-page PDF with real text
    int scale = 1;           // pixels per logical pixel of the PNG (1..4)
    int Z = 2;               // nuclear charge: helium and the two-electron ions H⁻ … Ne⁸⁺ (1..10)
    bool precise = false;    // add the result extrapolated to h → 0 beside the Hartree–Fock limit
    std::string dataDir;     // write the run's figures as CSV files into this folder
    bool force = false;      // ... replacing files already there

    bool exporting() const { return !exportPng.empty() || !exportPdf.empty(); }
};

// Declares sorrel's options on `line`; parsing writes them into `o`.
void addOptions(course::CommandLine& line, Options& o);

// The command line of sorrel, with its options declared.
course::CommandLine commandLine(Options& o);

struct ParsedOptions {
    Options options;
    std::string error; // empty when the command line was accepted
    bool ok() const { return error.empty(); }
};

// Parses the arguments after the program name (help and errors are printed).
ParsedOptions parseOptions(const std::vector<std::string>& args);

} // namespace sorrel
