// SPDX-License-Identifier: GPL-3.0-or-later
// The models whose radial equation -u''/2 + [V(r) + l(l+1)/(2r^2)] u = E u the
// eigenvalue iteration solves (atomic units): the three-dimensional oscillator, the
// hydrogen atom, a finite spherical well and the Morse potential. A model says what
// the iteration needs to know about it: the effective potential, the grid and the
// matching point of each state, where the trial energies start, the exact levels
// that the computed ones are set against, and the window its live page plots.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace brindle {

enum class PotentialKind { Oscillator, Coulomb, Well, Morse };

// The grid of one state: x_i = i*h for i = 0..last, the join at index match.
struct Grid {
    double h = 0;
    int last = 0;
    int match = 0;
    double x(int i) const { return i * h; }
};

// The part of the (r, y) plane the live page shows: r from left to right, y (energies
// and waveScale times the wave function) from bottom to top, with ticks every
// rTick on the r axis and every yTick on the y axis.
struct PlotWindow {
    double left = -1, right = 4.2;
    double bottom = -10, top = 10;
    double waveScale = 5;
    double rTick = 1, yTick = 1;
};

class Potential {
public:
    virtual ~Potential() = default;

    virtual PotentialKind kind() const = 0;
    // The word of --potential ("oscillator", "coulomb", "well", "morse").
    virtual std::string_view key() const = 0;
    // What the table's first line calls it ("3D harmonic oscillator", ...).
    virtual std::string name() const = 0;
    // The angular momenta the model is computed for: 0..maxL().
    virtual int maxL() const = 0;
    // The levels computed for l (every bound one for the well).
    virtual int stateCount(int l) const = 0;
    // Exact energy of state s = 1..stateCount(l).
    virtual double exactEnergy(int s, int l) const = 0;
    // Whether the accuracy asked of a level is relative to its energy (else absolute).
    virtual bool relativeAccuracy() const { return false; }
    // Why level s is not expected within the accuracy, empty when it is.
    virtual std::string accuracyNote(int s, int l) const;

    // V(r) + l(l+1)/(2r^2).
    virtual double effective(double r, int l) const = 0;
    // The potential the outward and the inward integration see at grid point i. The
    // well continues each side's formula across its edge, so that neither solution
    // meets the jump and the join on the edge carries the matching condition.
    virtual double outwardSide(const Grid& g, int i, int l) const { return effective(g.x(i), l); }
    virtual double inwardSide(const Grid& g, int i, int l) const { return effective(g.x(i), l); }
    // Whether the join lies on a jump of V, where the two sides' third derivatives
    // differ: the slopes there are then taken to fourth order.
    virtual bool joinOnJump() const { return false; }

    virtual Grid grid(int s, int l) const = 0;
    // The limit of r*V(r) at the origin, -Z for a Coulomb charge Z. The first Numerov
    // step then keeps the term of u(0) = 0 that the singular k(0) leaves finite.
    // Empty: the step drops that term (as the oscillator's page has it).
    virtual std::optional<double> originCharge() const { return 0.0; }

    // Energy before the first pass, and the trial energy of the next state (or of a
    // restart above the highest good level) from the last converged one.
    virtual double startEnergy(int l) const = 0;
    virtual double nextTrial(double lastE, int l) const = 0;
    // Iterate while |dE| >= tolerance(s, l).
    virtual double tolerance(int s, int l) const;
    // The turning-point search starts at this grid index.
    virtual int turningSearchStart() const { return 1; }

    virtual PlotWindow plotWindow(int l) const = 0;
};

// The model named by kind; offGrid puts the well's edge between two grid points
// instead of on one (the other models ignore it).
std::unique_ptr<Potential> makePotential(PotentialKind kind, bool offGrid = false);

// "oscillator", "coulomb", "well", "morse" and back; nothing for another word.
std::string_view potentialKey(PotentialKind kind);
std::optional<PotentialKind> potentialFromKey(std::string_view key);

// The accuracy every level is asked for: 1e-6 (relative for the hydrogen atom).
inline constexpr double kAccuracy = 1e-6;

} // namespace brindle
