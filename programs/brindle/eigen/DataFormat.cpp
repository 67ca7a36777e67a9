// SPDX-License-Identifier: GPL-3.0-or-later
#include <brindle/DataFormat.h>

#include <string>

namespace brindle {

using course::CsvTable;

std::vector<course::CsvFile> dataFiles(const EigenIteration& it) {
    const RunResult& run = it.result();

    CsvTable iterations{"l",       "state",   "iteration", "E_before", "dE",
                        "E_after", "y_match", "scale",     "kink",     "norm"};
    for (const IterationRecord& r : run.rows)
        iterations.row(run.l, r.s, r.n, r.trialE, r.dE, r.newE, r.ym, r.r, r.D, r.N);

    CsvTable states{"l",      "state",  "E_trial", "iterations", "nodes", "i_match", "x_match",
                    "i_left", "x_left", "i_right", "x_right",    "E",     "E_exact"};
    for (const StateResult& st : run.states)
        states.row(run.l, st.s, st.trialE, st.iterations, it.nodes(st.s), kMatchIndex,
                   kMatchIndex * kGridStep, st.iL, double(st.xL), st.iR, double(st.xR), st.Es,
                   exactEnergy(st.s, run.l));

    CsvTable skips{"l",       "state",   "iteration", "nodes",    "found_level",
                   "E_found", "E_lower", "E_upper",   "E_restart"};
    for (const LevelSkip& k : run.skips)
        skips.row(run.l, k.s, k.n, k.nodes, k.foundLevel(), k.foundE, k.lower, k.upper, k.restartE);

    std::vector<std::string> columns{"x"};
    for (const StateResult& st : run.states)
        columns.push_back("P_state" + std::to_string(st.s));
    CsvTable wavefunctions(columns);
    for (int i = 0; i <= kLastIndex; ++i) {
        wavefunctions.field(i * kGridStep);
        for (const StateResult& st : run.states)
            wavefunctions.field(it.P(i, st.s));
        wavefunctions.endRow();
    }

    return {iterations.file("iterations.csv"), states.file("states.csv"), skips.file("level-skips.csv"),
            wavefunctions.file("wavefunctions.csv")};
}

} // namespace brindle
