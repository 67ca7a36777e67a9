// SPDX-License-Identifier: GPL-3.0-or-later
// The hydrogen atom V = -1/r (atomic units), l = 0..2, four levels each:
// E = -1/(2 n^2) with n = s + l.
//
// The grid is chosen per level. The step stays h = 1/128 for every level, fine
// enough for the wave function's scale near the nucleus, which is 1 whatever n is.
// The join sits on the level's outer classical turning point
// n^2 + n sqrt(n^2 - l(l+1)), where the function has no node near and the outward
// integration has not yet entered the region where it would grow; the grid ends
// where the function has died to e^-40 of its size there: 40 decay lengths n beyond
// the turning point.
#include <brindle/Potential.h>

#include "Models.h"

#include <cmath>

namespace brindle::models {

namespace {

constexpr double kStep = 1.0 / 128.0;
constexpr int kLevels = 4;

class Coulomb final : public Potential {
public:
    PotentialKind kind() const override { return PotentialKind::Coulomb; }
    std::string_view key() const override { return "coulomb"; }
    std::string name() const override { return "hydrogen atom V = -1/r"; }
    int maxL() const override { return 2; }
    int stateCount(int) const override { return kLevels; }
    double exactEnergy(int s, int l) const override {
        const double n = s + l;
        return -1.0 / (2.0 * n * n);
    }
    bool relativeAccuracy() const override { return true; }
    double effective(double r, int l) const override { return -1.0 / r + l * (l + 1) / (2.0 * r * r); }
    Grid grid(int s, int l) const override {
        const double n = s + l;
        const double turning = n * n + n * std::sqrt(n * n - l * (l + 1));
        const int match = nearestIndex(turning, kStep);
        const int last = nearestIndex(turning + 40.0 * n, kStep);
        return {kStep, last, match};
    }
    std::optional<double> originCharge() const override { return -1.0; }
    // The first trial lies a fifth below the lowest level; each next one halfway
    // from the level found to the ionisation threshold 0.
    double startEnergy(int l) const override { return 2.0 * 1.2 * exactEnergy(1, l); }
    double nextTrial(double lastE, int) const override { return lastE / 2.0; }
    // The levels crowd below 0: a correction small against the level itself.
    double tolerance(int s, int l) const override { return 1e-5 * std::fabs(exactEnergy(s, l)); }
    PlotWindow plotWindow(int l) const override {
        const double e1 = exactEnergy(1, l);
        const double n = kLevels + l;
        const double right = 1.1 * (n * n + n * std::sqrt(n * n - l * (l + 1)));
        PlotWindow w;
        w.right = right;
        w.left = -right / 4.2;
        w.bottom = 1.25 * e1;
        w.top = -0.75 * e1;
        w.waveScale = (w.top - w.bottom) / 4.0 * (l + 1);
        w.rTick = right > 60 ? 10 : 5;
        w.yTick = std::fabs(e1) > 0.2 ? 0.1 : 0.01;
        return w;
    }
};

} // namespace

std::unique_ptr<Potential> coulomb() { return std::make_unique<Coulomb>(); }

} // namespace brindle::models
