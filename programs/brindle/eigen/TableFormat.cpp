// SPDX-License-Identifier: GPL-3.0-or-later
#include <brindle/TableFormat.h>

#include <engine/csv/NumberText.h>

#include <cmath>
#include <cstdio>
#include <string_view>

namespace brindle {

namespace {

std::string fixed(double v, int decimals) { return course::fixedText(v, decimals); }

// Six significant digits, as printf's %g writes them in the C locale.
std::string general(double v) { return course::numberText(v, std::chars_format::general, 6); }

// Three significant digits with an exponent ("-1.31e-09"), whatever the locale.
std::string scientific(double v) { return course::numberText(v, std::chars_format::scientific, 2); }

// printf for the table's layout; numbers are passed as text from fixed().
template <typename... Args>
std::string line(const char* fmt, Args... args) {
    char buf[320];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}
} // namespace

std::string formatTrialEnergy(double e) {
    std::string s = fixed(e, 3);
    // "#" before the point: a lone zero integer part is not shown.
    const std::size_t digits = (s[0] == '-') ? 1 : 0;
    if (s.compare(digits, 2, "0.") == 0)
        s.erase(digits, 1);
    return s;
}

std::string formatDeltaE(double dE) { return fixed(dE, 6); }

std::string formatEnergy(double e) { return fixed(e, 6); }

std::string formatSkip(const LevelSkip& skip) {
    std::string upper = std::isfinite(skip.upper) ? formatEnergy(skip.upper) : std::string("-");
    return line(
        "%5d %2d  %d nodes: level %d found (E = %s), level %d skipped; restart at %s between %s and %s",
        skip.s, skip.n, skip.nodes, skip.foundLevel(), formatEnergy(skip.foundE).c_str(), skip.s,
        formatTrialEnergy(skip.restartE).c_str(), formatEnergy(skip.lower).c_str(), upper.c_str());
}

namespace {

// The first lines of another model's table: its name and exact levels, and its
// grid (one line when the states share it, else one per state).
std::string modelHeader(const RunResult& run) {
    std::string exact;
    for (const StateResult& st : run.states)
        exact += (exact.empty() ? "" : ", ") + general(st.exact);
    std::string out = line("Eigenvalue iteration: %s, l = %d (exact %s)\n", run.model.c_str(), run.l, exact.c_str());
    bool shared = true;
    for (const StateResult& st : run.states)
        shared = shared && st.grid.h == run.states.front().grid.h && st.grid.last == run.states.front().grid.last &&
                 st.grid.match == run.states.front().grid.match;
    for (const StateResult& st : run.states) {
        const Grid& g = st.grid;
        const std::string who = shared ? std::string("grid") : line("grid of state %d:", st.s);
        out += line("%s h = %s, r_i = i*h for i = 0..%d, matching point m = %d (r_m = %s)\n", who.c_str(),
                    general(g.h).c_str(), g.last, g.match, fixed(g.x(g.match), 4).c_str());
        if (shared)
            break;
    }
    return out;
}

} // namespace

std::string formatTable(const RunResult& run) {
    std::string out;
    if (run.kind == PotentialKind::Oscillator) {
        std::string exact[4];
        for (int n = 1; n <= 4; ++n)
            exact[n - 1] = general(exactEnergy(n, run.l));
        out += line("Eigenvalue iteration: 3D harmonic oscillator, l = %d (exact %s, %s, %s, %s)\n", run.l,
                    exact[0].c_str(), exact[1].c_str(), exact[2].c_str(), exact[3].c_str());
        const std::string xm = fixed(kMatchIndex * kGridStep, 4);
        out += line("grid h = 8/1024, x_i = i*h for i = 0..%d, matching point m = %d (x_m = %s)\n", kLastIndex,
                    kMatchIndex, xm.c_str());
    } else {
        out += modelHeader(run);
    }
    out += "\n";
    out += "state  n          dE             E\n";
    auto skip = run.skips.begin();
    for (std::size_t k = 0; k < run.rows.size(); ++k) {
        const IterationRecord& r = run.rows[k];
        out +=
            line("%5d %2d  %12s  %12s\n", r.s, r.n, formatDeltaE(r.dE).c_str(), formatEnergy(r.newE).c_str());
        for (; skip != run.skips.end() && skip->rowsBefore == k + 1; ++skip)
            out += formatSkip(*skip) + "\n";
    }
    out += "\n";
    out += "state  trial E  iterations         xL               xR              Es\n";
    for (const StateResult& st : run.states) {
        out += line("%5d  %7s  %10d   %9s (%3dh)  %9s (%3dh)  %10s\n", st.s,
                    formatTrialEnergy(st.trialE).c_str(), st.iterations, fixed(st.xL, 7).c_str(), st.iL,
                    fixed(st.xR, 7).c_str(), st.iR, formatEnergy(st.Es).c_str());
    }
    return out;
}

std::string formatComparison(const RunResult& run) {
    std::string out = "\n";
    const char* kind = run.relativeAccuracy ? "relative difference" : "difference";
    out += line("state               E           exact  %s\n", kind);
    std::string misses;
    for (std::size_t k = 0; k < run.states.size(); ++k) {
        const StateResult& st = run.states[k];
        out += line("%5d  %14s  %14s  %10s%s\n", st.s, fixed(st.Es, 10).c_str(), fixed(st.exact, 10).c_str(),
                    scientific(run.deviation(k)).c_str(), run.withinAccuracy(k) ? "" : "  (beyond 1e-6)");
        if (!run.withinAccuracy(k)) {
            const std::string& why = k < run.notes.size() ? run.notes[k] : std::string();
            misses += line("state %d misses 1e-6: %s\n", st.s,
                           why.empty() ? "no reason known (a fault of the computation)" : why.c_str());
        }
    }
    if (misses.empty())
        out += line("every level within 1e-6 of its exact value%s\n",
                    run.relativeAccuracy ? " (relative to it)" : "");
    return out + misses;
}

} // namespace brindle
