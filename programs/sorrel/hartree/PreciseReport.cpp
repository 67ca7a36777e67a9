// SPDX-License-Identifier: GPL-3.0-or-later
#include <hartree/PreciseReport.h>

#include <hartree/FailureText.h>

#include <engine/csv/NumberText.h>

namespace sorrel {

using course::rightAligned;

namespace {
std::string fixed(double v, int decimals) { return course::fixedText(v, decimals); }
} // namespace

std::string fixed7(double v) { return fixed(v, 7); }

std::string preciseEnergyLine(const PreciseRun& run) {
    return "外挿 h → 0   E_total = " + fixed7(run.Etotal()) + "   (HF 極限 " + fixed7(run.limit()) + ")";
}

std::vector<std::string> preciseTableLines(const PreciseRun& run) {
    std::vector<std::string> lines{"精密計算: 格子 " + fixed(kPreciseGridStretch, 1) +
                                   " 倍，刻み h, h/2, h/4 から h → 0 へ外挿"};
    for (const PreciseLevel& l : run.levels())
        lines.push_back("  h = " + fixed(l.setup.h(), 7) + "  N = " + rightAligned(std::to_string(l.setup.Npts), 6) +
                        "  " + rightAligned(std::to_string(l.cycles), 2) + " サイクル   ε₁ₛ = " +
                        rightAligned(fixed(l.eps1s, 10), 15) + "   E_total = " + rightAligned(fixed(l.Etotal, 10), 15));
    if (run.failure()) {
        for (std::string& line : failureLines(run.failure()))
            lines.push_back(std::move(line));
        return lines;
    }
    lines.push_back("外挿 h → 0   ε₁ₛ = " + fixed7(run.eps1s()) + "   V_c = " + fixed7(run.Vc()));
    lines.push_back(preciseEnergyLine(run));
    return lines;
}

course::CsvFile preciseFile(const PreciseRun& run) {
    course::CsvTable table{"h_bohr",          "grid_intervals", "r_max_bohr",     "cycles",
                           "eps_1s_hartree",  "V_c_hartree",    "E_total_hartree", "E_HF_limit_hartree"};
    for (const PreciseLevel& l : run.levels())
        table.row(l.setup.h(), l.setup.Npts, l.setup.rMax, l.cycles, l.eps1s, l.Vc, l.Etotal, run.limit());
    if (!run.failure() && !run.levels().empty()) {
        table.field(0.0).empty().field(run.levels().back().setup.rMax).empty();
        table.row(run.eps1s(), run.Vc(), run.Etotal(), run.limit());
    }
    return table.file("precise.csv");
}

} // namespace sorrel
