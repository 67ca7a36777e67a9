// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// tessera's command line: the pages, and besides the export options of every
// document program
//   --table    prints the live page's Crank–Nicolson run per period (t, norm, max
//              error) as text, no window
//   --speed F  divides every wait of the live page by F (this run only; the speed
//              chosen with [ and ] is kept for the next start)
//   --paused   the live page waits for P (or N) before its first step
//   --export-data DIR [--force]
//              writes the run's figures as CSV files into DIR, no window

#include <engine/shell/DocumentMain.h>
#include <engine/shell/RunOptions.h>

#include <optional>

namespace tessera {

class TesseraProgram {
public:
    TesseraProgram();
    TesseraProgram(const TesseraProgram&) = delete; // the options write into this object
    TesseraProgram& operator=(const TesseraProgram&) = delete;

    course::DocumentProgram& program() { return program_; }
    int run(int argc, char** argv) { return course::runDocumentProgram(argc, argv, program_); }

private:
    course::RunOptions run_; // --speed, --paused
    bool table_ = false;
    QString dataDir_;
    course::DocumentProgram program_;
};

} // namespace tessera
