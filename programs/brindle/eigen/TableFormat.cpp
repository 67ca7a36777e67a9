// SPDX-License-Identifier: GPL-3.0-or-later
#include <brindle/TableFormat.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace brindle {

namespace {

// Fixed-point text with a decimal point whatever the process locale (to_chars
// ignores it, printf follows LC_NUMERIC).
std::string fixed(double v, int decimals) {
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    return std::string(buf, r.ptr);
}

// Six significant digits, as printf's %g writes them in the C locale.
std::string general(double v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 6);
    return std::string(buf, r.ptr);
}

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

std::string formatTable(const RunResult& run) {
    std::string out;
    std::string exact[4];
    for (int n = 1; n <= 4; ++n)
        exact[n - 1] = general(exactEnergy(n, run.l));
    out += line("Eigenvalue iteration: 3D harmonic oscillator, l = %d (exact %s, %s, %s, %s)\n", run.l,
                exact[0].c_str(), exact[1].c_str(), exact[2].c_str(), exact[3].c_str());
    const std::string xm = fixed(kMatchIndex * kGridStep, 4);
    out += line("grid h = 8/1024, x_i = i*h for i = 0..%d, matching point m = %d (x_m = %s)\n", kLastIndex,
                kMatchIndex, xm.c_str());
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

} // namespace brindle
