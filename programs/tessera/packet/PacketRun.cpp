// SPDX-License-Identifier: GPL-3.0-or-later
#include <packet/PacketRun.h>

#include <engine/csv/NumberText.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace tessera {

namespace {

// The period's end; `worstChange` and `worstError` are the largest over its frames.
PeriodRecord record(const PacketEvolution& p, int period, double worstChange, double worstError) {
    PeriodRecord r;
    r.period = period;
    r.t = p.t();
    r.steps = p.steps();
    r.norm = p.norm();
    r.normChange = worstChange;
    r.endError = p.maxError();
    r.maxError = std::max(worstError, r.endError);
    r.density.resize(std::size_t(p.points()));
    r.exact.resize(std::size_t(p.points()));
    for (int k = 0; k < p.points(); ++k) {
        r.density[std::size_t(k)] = p.density(k);
        r.exact[std::size_t(k)] = p.exactDensity(k);
    }
    return r;
}

std::string sci(double v, int digits) { return course::numberText(v, std::chars_format::scientific, digits); }
std::string fixed(double v, int digits) { return course::fixedText(v, digits); }

template <typename... Args>
std::string line(const char* fmt, Args... args) {
    char buf[320];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}

} // namespace

double PacketRunResult::largestNormChange() const {
    double worst = 0;
    for (const PeriodRecord& r : periods)
        worst = std::max(worst, std::abs(r.normChange));
    return worst;
}

double PacketRunResult::largestError() const {
    double worst = 0;
    for (const PeriodRecord& r : periods)
        worst = std::max(worst, r.maxError);
    return worst;
}

PacketRunResult runPeriods(int periods, int stepsPerPeriod) {
    PacketEvolution p(ExactPacket(kDisplacement, kPacketWidth), stepsPerPeriod);
    PacketRunResult run;
    run.A = p.packet().A();
    run.B = p.packet().B();
    run.xMin = p.x(0);
    run.xMax = p.x(p.points() - 1);
    run.dx = p.dx();
    run.dt = p.dt();
    run.intervals = p.points() - 1;
    run.stepsPerPeriod = stepsPerPeriod;
    for (int k = 0; k < p.points(); ++k)
        run.x.push_back(p.x(k));
    if (stepsPerPeriod % kFramesPerPeriod != 0)
        throw std::invalid_argument("the steps of a period must be a multiple of its frames");
    const double norm0 = p.norm();
    run.periods.push_back(record(p, 0, 0, 0));
    for (int n = 1; n <= periods; ++n) {
        double change = 0, error = 0;
        for (int f = 0; f < kFramesPerPeriod; ++f) {
            p.advance(stepsPerPeriod / kFramesPerPeriod);
            change = std::max(change, std::abs(p.norm() - norm0));
            error = std::max(error, p.maxError());
        }
        run.periods.push_back(record(p, n, change, error));
    }
    return run;
}

std::string formatTable(const PacketRunResult& run) {
    std::string out;
    out += line("Crank-Nicolson: Gaussian packet in V = x^2/2 (hbar = m = omega = 1), A = %s, B = %s\n",
                fixed(run.A, 2).c_str(), fixed(run.B, 2).c_str());
    out += line("grid x = %s .. %s in %d intervals (dx = %s), dt = 2pi/%d = %s\n", fixed(run.xMin, 1).c_str(),
                fixed(run.xMax, 1).c_str(), run.intervals, fixed(run.dx, 4).c_str(), run.stepsPerPeriod,
                sci(run.dt, 6).c_str());
    out += "\n";
    out += "norm at the period's end; |norm - norm(0)| and max error: the largest over its\n";
    out += line("%d frames; max error: max over x of | |Psi|^2 - exact |Psi|^2 |\n", kFramesPerPeriod);
    out += "\n";
    out += "period          t   steps              norm  |norm - norm(0)|     max error\n";
    for (const PeriodRecord& r : run.periods)
        out += line("%6d  %9s  %6ld  %16s  %16s  %12s\n", r.period, fixed(r.t, 5).c_str(), r.steps,
                    fixed(r.norm, 13).c_str(), sci(r.normChange, 2).c_str(), sci(r.maxError, 3).c_str());
    out += "\n";
    const double change = run.largestNormChange();
    const double error = run.largestError();
    out += line("largest |norm - norm(0)| %s (bound %s): %s\n", sci(change, 2).c_str(),
                sci(kNormTolerance, 0).c_str(), change <= kNormTolerance ? "within" : "OUTSIDE");
    out += line("largest density error    %s (bound %s): %s\n", sci(error, 2).c_str(),
                sci(kDensityTolerance, 0).c_str(), error <= kDensityTolerance ? "within" : "OUTSIDE");
    return out;
}

} // namespace tessera
