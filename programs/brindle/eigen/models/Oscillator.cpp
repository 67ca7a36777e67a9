// SPDX-License-Identifier: GPL-3.0-or-later
// The three-dimensional oscillator V = r^2/2 (hbar = m = omega = 1), l = 0..3: the
// live page's own case, on its fixed grid and with its first guesses, trial step and
// tolerance.
#include <brindle/EigenIteration.h>

#include "Models.h"

#include <algorithm>

namespace brindle::models {

namespace {

class Oscillator final : public Potential {
public:
    PotentialKind kind() const override { return PotentialKind::Oscillator; }
    std::string_view key() const override { return "oscillator"; }
    std::string name() const override { return "3D harmonic oscillator"; }
    int maxL() const override { return kMaxL; }
    int stateCount(int) const override { return kStateCount; }
    double exactEnergy(int s, int l) const override { return brindle::exactEnergy(s, l); }
    double effective(double r, int l) const override { return Vpot(r, l); }
    Grid grid(int, int) const override { return {kGridStep, kLastIndex, kMatchIndex}; }
    // The page's first step drops the y_0 term: u(0) = 0.
    std::optional<double> originCharge() const override { return std::nullopt; }
    double startEnergy(int l) const override { return brindle::startEnergy(l); }
    double nextTrial(double lastE, int) const override { return lastE + kTrialStep; }
    int turningSearchStart() const override { return kTurningSearchStart; }
    PlotWindow plotWindow(int l) const override {
        // Moved up so that the highest level stays below the title.
        const double shift = std::max(0.0, brindle::exactEnergy(kStateCount, l) - 9.0);
        PlotWindow w;
        w.bottom += shift;
        w.top += shift;
        return w;
    }
};

} // namespace

std::unique_ptr<Potential> oscillator() { return std::make_unique<Oscillator>(); }

} // namespace brindle::models
