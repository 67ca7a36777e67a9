#pragma once
// Command-line options of sorrel. Without options the program opens its window and
// runs the computation at its normal pace.

#include <string>
#include <vector>

namespace sorrel {

struct Options {
    bool help = false;
    bool table = false;    // print the table as text; no window, no waits, no sounds
    double speed = 1.0;    // waits divided by this factor (> 0)
    std::string exportPng; // write the finished window as a PNG picture
    std::string exportPdf; // ... and/or as a one-page PDF with real text
    int scale = 1;         // pixels per logical pixel of the PNG (1..4)

    bool exporting() const { return !exportPng.empty() || !exportPdf.empty(); }
};

struct ParsedOptions {
    Options options;
    std::string error; // empty when the command line was accepted
    bool ok() const { return error.empty(); }
};

// Exit status for a command line that cannot be used.
inline constexpr int kUsageExitStatus = 2;

// Parses the arguments after the program name.
ParsedOptions parseOptions(const std::vector<std::string>& args);

// The text printed by --help.
std::string usageText();

} // namespace sorrel
