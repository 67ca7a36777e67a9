// SPDX-License-Identifier: GPL-3.0-or-later
// The Morse potential V = D (1 - e^-(r - r0))^2 - D with D = 8, r0 = 3, l = 0:
// E_n = -(3.5 - n)^2 / 2 for n = 0..3. These are the levels on the whole line; the
// radial equation asks u(0) = 0 instead, where V is already 2.9e3 high and the
// functions have fallen to e^-75 or less, far below anything the grid resolves.
#include <brindle/Potential.h>

#include "Models.h"

#include <cmath>

namespace brindle::models {

namespace {

constexpr double kD = 8.0;
constexpr double kR0 = 3.0;
constexpr double kStep = 1.0 / 128.0;
constexpr double kReach = 40.0; // e^-18 of the highest level's size at its turning point

class Morse final : public Potential {
public:
    PotentialKind kind() const override { return PotentialKind::Morse; }
    std::string_view key() const override { return "morse"; }
    std::string name() const override { return "Morse potential D = 8, r0 = 3"; }
    int maxL() const override { return 0; }
    int stateCount(int) const override { return 4; }
    double exactEnergy(int s, int) const override {
        const double v = 3.5 - (s - 1);
        return -v * v / 2.0;
    }
    double effective(double r, int l) const override {
        const double e = 1.0 - std::exp(-(r - kR0));
        return kD * e * e - kD + l * (l + 1) / (2.0 * r * r);
    }
    // The join at the bottom of the well, inside every level's classical region.
    Grid grid(int, int) const override { return {kStep, nearestIndex(kReach, kStep), nearestIndex(kR0, kStep)}; }
    // The first trial a little above the floor -D; each next one halfway from the level
    // found to the threshold 0.
    double startEnergy(int) const override { return -2.0 * 0.85 * kD; }
    double nextTrial(double lastE, int) const override { return lastE / 2.0; }
    PlotWindow plotWindow(int) const override {
        PlotWindow w;
        w.left = -1.5;
        w.right = 10;
        w.bottom = -9;
        w.top = 5;
        w.waveScale = 3;
        w.rTick = 1;
        w.yTick = 1;
        return w;
    }
};

} // namespace

std::unique_ptr<Potential> morse() { return std::make_unique<Morse>(); }

} // namespace brindle::models
