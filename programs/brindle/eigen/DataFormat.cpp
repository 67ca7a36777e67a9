// SPDX-License-Identifier: GPL-3.0-or-later
#include <brindle/DataFormat.h>

#include <algorithm>
#include <string>
#include <string_view>

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
        states.row(run.l, st.s, st.trialE, st.iterations, it.nodes(st.s), st.grid.match,
                   st.grid.match * st.grid.h, st.iL, double(st.xL), st.iR, double(st.xR), st.Es, st.exact);

    CsvTable skips{"l",       "state",   "iteration", "nodes",    "found_level",
                   "E_found", "E_lower", "E_upper",   "E_restart"};
    for (const LevelSkip& k : run.skips)
        skips.row(run.l, k.s, k.n, k.nodes, k.foundLevel(), k.foundE, k.lower, k.upper, k.restartE);

    // One x column for states that share their grid; the hydrogen atom's states each
    // have their own (x_state1, P_state1, ...), a shorter one left empty at the end.
    bool shared = true;
    int longest = run.states.empty() ? kLastIndex : 0;
    for (const StateResult& st : run.states) {
        shared = shared && st.grid.h == run.states.front().grid.h && st.grid.last == run.states.front().grid.last;
        longest = std::max(longest, st.grid.last);
    }
    std::vector<std::string> columns;
    if (shared)
        columns.push_back("x");
    for (const StateResult& st : run.states) {
        if (!shared)
            columns.push_back("x_state" + std::to_string(st.s));
        columns.push_back("P_state" + std::to_string(st.s));
    }
    CsvTable wavefunctions(columns);
    for (int i = 0; i <= longest; ++i) {
        if (shared)
            wavefunctions.field(i * (run.states.empty() ? kGridStep : run.states.front().grid.h));
        for (const StateResult& st : run.states) {
            const bool inside = i <= st.grid.last;
            if (!shared) {
                if (inside)
                    wavefunctions.field(st.grid.x(i));
                else
                    wavefunctions.field(std::string_view());
            }
            if (inside)
                wavefunctions.field(it.P(i, st.s));
            else
                wavefunctions.field(std::string_view());
        }
        wavefunctions.endRow();
    }

    return {iterations.file("iterations.csv"), states.file("states.csv"), skips.file("level-skips.csv"),
            wavefunctions.file("wavefunctions.csv")};
}

} // namespace brindle
