// SPDX-License-Identifier: GPL-3.0-or-later
// The finite spherical well V = -25 for r < 1, 0 beyond, l = 0..2, every bound
// level (two for l = 0 and 1, one for l = 2), set against the matching of the
// spherical Bessel functions at the edge.
//
// The jump of V at the edge is where Numerov's method, built on a smooth u'', goes
// wrong. On the grid used here the edge is a grid point and the join: the outward
// integration sees the inner formula up to one point beyond it, the inward one the
// outer formula down to one point inside, and the slopes at the join are taken to
// fourth order, so that both solutions stay smooth and the kink is the matching
// condition itself. With offGrid the edge lies halfway between two grid points, V
// is simply sampled at each point and the join is the grid point nearest the edge:
// the computed levels are then off by far more than the tolerance.
#include <brindle/Potential.h>
#include <brindle/SphericalWell.h>

#include "Models.h"

#include <array>
#include <cmath>
#include <vector>

namespace brindle::models {

namespace {

constexpr double kDepth = 25.0;
constexpr double kRadius = 1.0;
constexpr int kInside = 512;  // grid steps from the origin to the edge
constexpr double kReach = 12; // the grid ends at r = 12: e^-29 for the shallowest level

class Well final : public Potential {
public:
    explicit Well(bool offGrid) : offGrid_(offGrid) {
        for (int l = 0; l <= 2; ++l)
            levels_[l] = wellLevels(l, kDepth, kRadius);
    }
    PotentialKind kind() const override { return PotentialKind::Well; }
    std::string_view key() const override { return "well"; }
    std::string name() const override {
        return offGrid_ ? "finite spherical well V0 = 25, a = 1 (edge between grid points)"
                        : "finite spherical well V0 = 25, a = 1";
    }
    int maxL() const override { return 2; }
    int stateCount(int l) const override { return int(levels_.at(l).size()); }
    double exactEnergy(int s, int l) const override { return levels_.at(l).at(s - 1); }
    std::string accuracyNote(int, int) const override {
        if (!offGrid_)
            return {};
        return "the edge r = a lies between grid points: the jump of V inside one Numerov step";
    }
    double effective(double r, int l) const override { return side(r <= kRadius, r, l); }
    double outwardSide(const Grid& g, int i, int l) const override {
        return offGrid_ ? effective(g.x(i), l) : side(true, g.x(i), l);
    }
    double inwardSide(const Grid& g, int i, int l) const override {
        return offGrid_ ? effective(g.x(i), l) : side(false, g.x(i), l);
    }
    bool joinOnJump() const override { return !offGrid_; }
    Grid grid(int, int) const override {
        if (!offGrid_) {
            const double h = kRadius / kInside;
            return {h, nearestIndex(kReach, h), kInside};
        }
        const double h = kRadius / (kInside + 0.5);
        return {h, nearestIndex(kReach, h), kInside};
    }
    // The first trial a tenth of the depth above the floor; each next one halfway
    // from the level found to the threshold 0.
    double startEnergy(int) const override { return -2.0 * 0.9 * kDepth; }
    double nextTrial(double lastE, int) const override { return lastE / 2.0; }
    PlotWindow plotWindow(int) const override {
        PlotWindow w;
        w.left = -0.5;
        w.right = 2.6;
        w.bottom = -28;
        w.top = 12;
        w.waveScale = 6;
        w.rTick = 0.5;
        w.yTick = 5;
        return w;
    }

private:
    static double side(bool inside, double r, int l) {
        return (inside ? -kDepth : 0.0) + l * (l + 1) / (2.0 * r * r);
    }
    bool offGrid_;
    std::array<std::vector<double>, 3> levels_;
};

} // namespace

std::unique_ptr<Potential> well(bool offGrid) { return std::make_unique<Well>(offGrid); }

} // namespace brindle::models
