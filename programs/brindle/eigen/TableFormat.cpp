#include <brindle/TableFormat.h>

#include <cmath>
#include <cstdio>
#include <string_view>

namespace brindle {

namespace {

std::string fixed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

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
    out += line("Eigenvalue iteration: 3D harmonic oscillator, l = %d (exact %g, %g, %g, %g)\n", run.l,
                exactEnergy(1, run.l), exactEnergy(2, run.l), exactEnergy(3, run.l), exactEnergy(4, run.l));
    out += line("grid h = 8/1024, x_i = i*h for i = 0..%d, matching point m = %d (x_m = %.4f)\n", kLastIndex,
                kMatchIndex, kMatchIndex * kGridStep);
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
        out += line("%5d  %7s  %10d   %9.7f (%3dh)  %9.7f (%3dh)  %10s\n", st.s,
                    formatTrialEnergy(st.trialE).c_str(), st.iterations, static_cast<double>(st.xL), st.iL,
                    static_cast<double>(st.xR), st.iR, formatEnergy(st.Es).c_str());
    }
    return out;
}

} // namespace brindle
