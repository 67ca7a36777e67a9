// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/shell/RunOptions.h>

#include <engine/pacing/PacedClock.h>
#include <engine/shell/RunControls.h>
#include <engine/system/Language.h>

#include <cmath>
#include <iterator>

namespace course {

double RunOptions::speedFor(const QString& program) const { return speed ? *speed : savedSpeed(program); }

namespace {

// The text as a number: "0.25", "2", or a fraction "1/4".
std::optional<double> number(const QString& text) {
    const QString t = text.trimmed();
    bool ok = false;
    if (const qsizetype slash = t.indexOf(QLatin1Char('/')); slash > 0) {
        bool okDen = false;
        const double num = t.left(slash).toDouble(&ok);
        const double den = t.mid(slash + 1).toDouble(&okDen);
        if (ok && okDen && den != 0)
            return num / den;
        return std::nullopt;
    }
    const double v = t.toDouble(&ok);
    return ok ? std::optional<double>(v) : std::nullopt;
}

} // namespace

Outcome parseSpeed(const QString& text, double& speed) {
    if (const std::optional<double> v = number(text)) {
        for (double step : PacedClock::kSpeeds)
            if (*v == step) {
                speed = step;
                return Outcome::success();
            }
    }
    return Outcome::failure(
        Catalog::terminal()
            .translate("course::RunOptions",
                       "--speed: '%1' is not one of the offered speeds 1/4, 1/2, 1, 2, 4, 8, 16")
            .arg(text));
}

double nearestSpeed(double factor) {
    double best = PacedClock::kSpeeds[0];
    for (double step : PacedClock::kSpeeds)
        if (std::abs(std::log2(factor / step)) < std::abs(std::log2(factor / best)))
            best = step;
    return best;
}

std::vector<ProgramOption> runOptions(RunOptions& o, RunOptionsOf what) {
    const Catalog msg = Catalog::terminal();
    const bool live = what == RunOptionsOf::LivePage;
    return {
        {QStringLiteral("--speed"), QStringLiteral("F"),
         live ? msg.translate("course::RunOptions",
                              "pace the live page F times as fast for this run, F one of 1/4, 1/2, 1, 2,\n"
                              "4, 8, 16; without it the speed last chosen with [ and ]\n"
                              "(default 1)")
              : msg.translate("course::RunOptions",
                              "pace the run F times as fast for this run, F one of 1/4, 1/2, 1, 2,\n"
                              "4, 8, 16; without it the speed last chosen with [ and ]\n"
                              "(default 1)"),
         [&o](const QString& v) {
             double f = 1.0;
             Outcome r = parseSpeed(v, f);
             if (r)
                 o.speed = f;
             return r;
         }},
        {QStringLiteral("--paused"), QString(),
         live ? msg.translate("course::RunOptions",
                              "start the live page paused: P runs it, N steps it curve by curve")
              : msg.translate("course::RunOptions",
                              "start the run paused: P runs it, N steps it curve by curve"),
         [&o](const QString&) {
             o.paused = true;
             return Outcome::success();
         }},
    };
}

} // namespace course
