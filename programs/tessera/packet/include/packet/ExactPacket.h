// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Gaussian wave packet of the harmonic oscillator V = x²/2 and its exact time
// evolution, in units with ħ = m = ω = 1 (so α = √(mω/ħ) = 1 and one period is 2π).
// At t = 0 the packet is centred at x = A with width B:
//   Ψ(x, 0) = π^(−1/4) B^(−1/2) exp[−(x − A)²/(2B²)],
// and its density stays a Gaussian whose centre swings as A cos t and whose width
//   b(t) = √(B² cos² t + sin² t / B²)
// breathes between B and 1/B:
//   |Ψ(x, t)|² = exp[−(x − A cos t)²/b(t)²] / (√π b(t)).

#include <cmath>
#include <complex>

namespace tessera {

class ExactPacket {
public:
    // Displacement A and width B (B > 0; std::invalid_argument otherwise).
    ExactPacket(double A, double B);

    double A() const { return A_; }
    double B() const { return B_; }

    // Ψ(x, 0), real.
    double initial(double x) const;
    // b(t).
    double width(double t) const;
    // |Ψ(x, t)|² at one time t, for many x: the centre and width of that time worked
    // out once (a curve of the density evaluates it at hundreds of points).
    class Density {
    public:
        double operator()(double x) const {
            const double d = (x - centre_) / b_;
            return std::exp(-d * d) / scale_;
        }

    private:
        friend class ExactPacket;
        Density(double centre, double b, double scale) : centre_(centre), b_(b), scale_(scale) {}
        double centre_, b_, scale_;
    };
    Density densityAt(double t) const;
    // |Ψ(x, t)|².
    double density(double x, double t) const { return densityAt(t)(x); }
    // The oscillator's period 2π/ω.
    static double period();

private:
    double A_;
    double B_;
};

} // namespace tessera
