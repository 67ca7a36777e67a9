// SPDX-License-Identifier: GPL-3.0-or-later
// The numerical core of tessera's live page, without Qt: the modified Cholesky solve,
// the Crank–Nicolson run against the packet's exact evolution evaluated independently
// (by its expansion in the oscillator's eigenfunctions, oriel's Σ cₙ e^(−iEₙt) uₙ(x)),
// the explicit scheme's blow-up, and the table and data files of a run.

#include <packet/ExactPacket.h>
#include <packet/ModifiedCholesky.h>
#include <packet/PacketData.h>
#include <packet/PacketEvolution.h>
#include <packet/PacketRun.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <sstream>
#include <stdexcept>

namespace {

using tessera::ExactPacket;
using tessera::ModifiedCholesky;
using tessera::PacketEvolution;
using tessera::Scheme;
using Complex = std::complex<double>;

// The packet's exact wave function by its expansion in the oscillator's eigenfunctions
// uₙ(x) = (2ⁿ n! √π)^(−1/2) Hₙ(x) e^(−x²/2): cₙ = ∫ uₙ f dy by the trapezoid rule on a
// fine grid (exact to rounding for these Gaussians), then
// Ψ(x, t) = Σ cₙ e^(−i(n + ½)t) uₙ(x). No part of it is the closed form.
class Expansion {
public:
    static constexpr int kTerms = 80;

    Expansion(double A, double B) {
        const double h = 0.005;
        for (double y = -14; y <= 14; y += h) {
            const double d = (y - A) / B;
            const double f = std::exp(-0.5 * d * d) / std::sqrt(B * std::sqrt(std::numbers::pi));
            const std::vector<double> u = eigenfunctions(y);
            for (int n = 0; n < kTerms; ++n)
                c_[n] += h * u[n] * f;
        }
    }
    // u₀ … u_{kTerms−1} at x by the stable three-term recurrence.
    static std::vector<double> eigenfunctions(double x) {
        std::vector<double> u(kTerms);
        u[0] = std::exp(-0.5 * x * x) / std::sqrt(std::sqrt(std::numbers::pi));
        u[1] = std::sqrt(2.0) * x * u[0];
        for (int n = 2; n < kTerms; ++n)
            u[n] = std::sqrt(2.0 / n) * x * u[n - 1] - std::sqrt((n - 1.0) / n) * u[n - 2];
        return u;
    }
    double density(double x, double t) const {
        const std::vector<double> u = eigenfunctions(x);
        Complex psi;
        for (int n = 0; n < kTerms; ++n)
            psi += c_[n] * std::polar(1.0, -(n + 0.5) * t) * u[n];
        return std::norm(psi);
    }
    double coefficientTail() const { return std::abs(c_[kTerms - 1]) + std::abs(c_[kTerms - 2]); }

private:
    double c_[kTerms] = {};
};

const tessera::PacketRunResult& defaultRun() {
    static const tessera::PacketRunResult run = tessera::runPeriods();
    return run;
}

// The largest difference between stepInPlace and the plain substitution of solve, as
// a share of the largest |g − f|; the step starts with scratch of another size.
double stepAgainstSolve(const ModifiedCholesky& m, Complex c, const std::vector<Complex>& f) {
    std::vector<Complex> cf(f.size()), g, stepped = f, work(7, Complex(NAN, NAN));
    for (std::size_t k = 0; k < f.size(); ++k)
        cf[k] = c * f[k];
    m.solve(cf, g);
    m.stepInPlace(c, stepped, work);
    double worst = 0, scale = 0;
    for (std::size_t k = 0; k < f.size(); ++k) {
        worst = std::max(worst, std::abs(stepped[k] - (g[k] - f[k])));
        scale = std::max(scale, std::abs(g[k] - f[k]));
    }
    return worst / scale;
}

// A · g for the tridiagonal matrix with diagonal a and every off-diagonal entry 1.
std::vector<Complex> times(const std::vector<Complex>& a, const std::vector<Complex>& g) {
    std::vector<Complex> r(a.size());
    for (std::size_t k = 0; k < a.size(); ++k)
        r[k] = a[k] * g[k] + (k > 0 ? g[k - 1] : 0.0) + (k + 1 < a.size() ? g[k + 1] : 0.0);
    return r;
}

} // namespace

TEST(ModifiedCholesky, FactorsTheFourByFourExampleAndSolvesWithoutPivoting) {
    // The page's 4×4 case: d₁ = a₁, uₖ = 1/dₖ, dₖ₊₁ = aₖ₊₁ − uₖ.
    const std::vector<Complex> a{{-2.1, 3}, {-2.5, 1}, {-3, 0.5}, {-2, 2}};
    const ModifiedCholesky f(a);
    Complex d = a[0];
    for (int k = 0; k < 4; ++k) {
        EXPECT_LT(std::abs(f.u()[k] - 1.0 / d), 1e-15) << k;
        if (k < 3)
            d = a[k + 1] - 1.0 / d;
    }
    const std::vector<Complex> b{{1, 0}, {0, 2}, {-1, 1}, {3, -0.5}};
    std::vector<Complex> g;
    f.solve(b, g);
    const std::vector<Complex> r = times(a, g);
    for (int k = 0; k < 4; ++k)
        EXPECT_LT(std::abs(r[k] - b[k]), 1e-14) << k;
    // In place.
    std::vector<Complex> same = b;
    f.solve(same, same);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(same[k], g[k]);
    // The step's fused form: g of A g = c·f, and f replaced by g − f.
    const Complex c(0.3, -2);
    std::vector<Complex> cf(4), fs = b, work;
    for (int k = 0; k < 4; ++k)
        cf[k] = c * b[k];
    f.solve(cf, g);
    f.stepInPlace(c, fs, work);
    for (int k = 0; k < 4; ++k)
        EXPECT_LT(std::abs(fs[k] - (g[k] - b[k])), 1e-14) << k;
}

TEST(ModifiedCholesky, SolvesLargeCrankNicolsonSystemsAndRefusesAVanishingPivot) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> v(0, 50), z(-1, 1);
    for (double ratio : {0.01, 1.0, 100.0}) { // (Δx)²/Δt
        std::vector<Complex> a(2000), b(2000);
        for (std::size_t k = 0; k < a.size(); ++k) {
            a[k] = Complex(-2 - 2e-4 * v(rng), 4 * ratio);
            b[k] = Complex(z(rng), z(rng));
        }
        std::vector<Complex> g;
        ModifiedCholesky(a).solve(b, g);
        const std::vector<Complex> r = times(a, g);
        double worst = 0;
        for (std::size_t k = 0; k < a.size(); ++k)
            worst = std::max(worst, std::abs(r[k] - b[k]));
        EXPECT_LT(worst, 1e-12) << ratio;
    }
    EXPECT_THROW(ModifiedCholesky({Complex(0)}), std::domain_error);
    EXPECT_THROW(ModifiedCholesky({Complex(1), Complex(1)}), std::domain_error); // d₁ = 1 − 1
    EXPECT_THROW(ModifiedCholesky(std::vector<Complex>{}), std::invalid_argument);
    std::vector<Complex> g;
    EXPECT_THROW(ModifiedCholesky({Complex(3), Complex(3)}).solve({Complex(1)}, g), std::invalid_argument);
}

TEST(ModifiedCholesky, TheStepsPiecesGiveWhatOneRunOfTheSubstitutionsGives) {
    // Random right-hand sides leave no piece's mending without effect: each split
    // point hands on a value of the size of the solution. ratio is (Δx)²/Δt; the
    // decaying solutions die within a few terms at 100, within about 120 at the live
    // page's 0.05 and within about 480 at 0.0016: a piece of 2000 unknowns holds them,
    // one of 300 does not.
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> v(0, 50), z(-1, 1);
    const auto system = [&](std::size_t n, const auto& ratio) {
        std::vector<Complex> a(n);
        for (std::size_t k = 0; k < n; ++k)
            a[k] = Complex(-2 - 2e-4 * v(rng), 4 * ratio(k));
        return a;
    };
    const auto wave = [&](std::size_t n) {
        std::vector<Complex> f(n);
        for (Complex& fk : f)
            fk = Complex(z(rng), z(rng));
        return f;
    };
    const std::size_t P = ModifiedCholesky::kPieces, shortest = ModifiedCholesky::kShortestSplit;
    struct Case {
        std::size_t n;
        double ratio;
        int pieces;
    };
    const Case cases[] = {
        {shortest, 100, int(P)},          {shortest + 1, 100, int(P)},   {shortest + P - 1, 100, int(P)},
        {shortest + P + 1, 100, int(P)},  {shortest - 1, 100, 1},        {1999, 0.0509, int(P)},
        {2000, 0.0509, int(P)},           {2001, 1.0, int(P)},           {2002, 0.01, int(P)},
        {4 * P * 64 + 3, 0.0509, int(P)}, {300, 0.0016, 1},              {2000, 0.0016, int(P)},
        {65, 1.0, 1},                     {1, 1.0, 1},                   {2, 1.0, 1},
    };
    for (const Case& t : cases) {
        const ModifiedCholesky m(system(t.n, [&](std::size_t) { return t.ratio; }));
        EXPECT_EQ(m.pieces(), t.pieces) << t.n << " " << t.ratio;
        // The live page's right-hand side factor, and one with a real part.
        for (Complex c : {Complex(0, 8 * t.ratio), Complex(0.7, -3)})
            EXPECT_LT(stepAgainstSolve(m, c, wave(t.n)), 1e-14) << t.n << " " << t.ratio << " " << c;
    }
    // One piece in which the decaying solutions live long is enough for one run: there
    // |a_k| is hardly above 2, and |u_k| near 1. The first piece is mended only at its
    // top, the last only at its bottom.
    const std::size_t n = 2000, L = n / P;
    const auto slowIn = [&](std::size_t piece) {
        std::vector<Complex> a = system(n, [](std::size_t) { return 100; });
        for (std::size_t k = piece * L; k < (piece + 1) * L; ++k)
            a[k] = Complex(-2 - 1e-6, 1e-4);
        return a;
    };
    for (std::size_t piece : {std::size_t(0), P / 2, P - 1}) {
        const ModifiedCholesky m(slowIn(piece));
        EXPECT_EQ(m.pieces(), 1) << piece;
        EXPECT_LT(stepAgainstSolve(m, Complex(0, 1), wave(n)), 1e-14) << piece;
    }
    // Without the slow piece, the same system is split.
    const ModifiedCholesky slow(slowIn(1)), fast(system(n, [](std::size_t) { return 100; }));
    EXPECT_EQ(fast.pieces(), int(P));
    // A step of a zero wave function stays zero, pieces or not.
    for (const ModifiedCholesky* m : {&slow, &fast}) {
        std::vector<Complex> zero(n), work;
        m->stepInPlace(Complex(0, 1), zero, work);
        EXPECT_TRUE(std::all_of(zero.begin(), zero.end(), [](Complex x) { return x == Complex(); }));
    }
    std::vector<Complex> wrong(n - 1), work;
    EXPECT_THROW(fast.stepInPlace(Complex(0, 1), wrong, work), std::invalid_argument);
}

TEST(ExactPacket, TheClosedFormAgreesWithTheEigenfunctionExpansion) {
    const ExactPacket p(tessera::kDisplacement, tessera::kPacketWidth);
    const Expansion e(p.A(), p.B());
    ASSERT_LT(e.coefficientTail(), 1e-12);
    for (double t : {0.0, 0.3, 1.0, std::numbers::pi / 2, 2.0, 3.5, 2 * std::numbers::pi, 40.0})
        for (double x = -6; x <= 6; x += 0.25)
            EXPECT_NEAR(p.density(x, t), e.density(x, t), 1e-12) << "x " << x << " t " << t;
    // The width breathes between B and 1/B, and the centre swings as A cos t.
    EXPECT_NEAR(p.width(0), p.B(), 1e-15);
    EXPECT_NEAR(p.width(std::numbers::pi / 2), 1 / p.B(), 1e-15);
    EXPECT_NEAR(p.density(-p.A(), std::numbers::pi), 1 / (std::sqrt(std::numbers::pi) * p.B()), 1e-14);
    EXPECT_NEAR(p.initial(1.3) * p.initial(1.3), p.density(1.3, 0), 1e-15);
    EXPECT_THROW(ExactPacket(0, 0), std::invalid_argument);
    EXPECT_THROW(ExactPacket(NAN, 1), std::invalid_argument);
}

TEST(CrankNicolson, OverTenPeriodsTheNormHoldsAndTheDensityFollowsTheExactOne) {
    const tessera::PacketRunResult& run = defaultRun();
    ASSERT_EQ(run.periods.size(), std::size_t(tessera::kPeriods + 1));
    const Expansion e(run.A, run.B);
    EXPECT_NEAR(run.periods[0].norm, 1.0, 1e-12);
    for (const tessera::PeriodRecord& r : run.periods) {
        EXPECT_NEAR(r.t, r.period * 2 * std::numbers::pi, 1e-9);
        EXPECT_EQ(r.steps, long(r.period) * tessera::kStepsPerPeriod);
        EXPECT_LE(std::abs(r.norm - run.periods[0].norm), tessera::kNormTolerance) << r.period;
        EXPECT_LE(r.normChange, tessera::kNormTolerance) << r.period;
        double worst = 0;
        for (std::size_t k = 0; k < run.x.size(); ++k)
            worst = std::max(worst, std::abs(r.density[k] - e.density(run.x[k], r.t)));
        // The run's own figure at the period's end is the same difference, measured
        // against the closed form; the period's largest is at least as large.
        EXPECT_NEAR(r.endError, worst, 1e-10) << r.period;
        EXPECT_GE(r.maxError, r.endError) << r.period;
        EXPECT_LE(r.maxError, tessera::kDensityTolerance) << r.period;
    }
    // The error is a phase error that grows with t: the bound is no slack at the start.
    EXPECT_GT(run.periods[10].maxError, 5 * run.periods[1].maxError);
    EXPECT_GT(run.periods[10].maxError, tessera::kDensityTolerance / 2);
    EXPECT_LE(run.largestNormChange(), tessera::kNormTolerance);
    EXPECT_LE(run.largestError(), tessera::kDensityTolerance);
}

TEST(CrankNicolson, BetweenThePeriodEndsTooTheDensityStaysWithinTheBound) {
    // Every seventh frame of ten periods, against the expansion: the moments between
    // the period ends, where the packet is fastest, have the largest errors.
    PacketEvolution p;
    const Expansion e(p.packet().A(), p.packet().B());
    const int perFrame = tessera::kStepsPerPeriod / tessera::kFramesPerPeriod;
    double worst = 0;
    for (int f = 7; f <= tessera::kPeriods * tessera::kFramesPerPeriod; f += 7) {
        p.advance(7 * perFrame);
        for (int k = 0; k < p.points(); k += 2)
            worst = std::max(worst, std::abs(p.density(k) - e.density(p.x(k), p.t())));
    }
    EXPECT_LE(worst, tessera::kDensityTolerance);
    EXPECT_GT(worst, defaultRun().periods[10].endError);
}

TEST(CrankNicolson, TheErrorIsOfSecondOrderInTheGridStep) {
    // A fine Δt leaves the space differences' error: half the Δx, a quarter of it.
    const ExactPacket packet(tessera::kDisplacement, tessera::kPacketWidth);
    double error[2];
    for (int j = 0; j < 2; ++j) {
        PacketEvolution p(packet, tessera::kMaxStepsPerPeriod, Scheme::CrankNicolson, tessera::kGridHalfWidth,
                          500 << j);
        p.advance(tessera::kMaxStepsPerPeriod / 4);
        error[j] = p.maxError();
    }
    EXPECT_GT(error[0] / error[1], 3.5);
    EXPECT_LT(error[0] / error[1], 4.5);
}

TEST(ExplicitScheme, TheNormGrowsUntilTheStopBeforeOverflowAndASmallerStepOnlyDelaysIt) {
    long stepsToBlowUp[2];
    int j = 0;
    for (int steps : {tessera::kStepsPerPeriod, 8 * tessera::kStepsPerPeriod}) {
        PacketEvolution p(ExactPacket(tessera::kDisplacement, tessera::kPacketWidth), steps, Scheme::Explicit);
        double last = p.norm();
        while (p.step()) {
            EXPECT_GT(p.norm(), last); // |1 − iEΔt| > 1 for every E
            last = p.norm();
            ASSERT_LT(p.steps(), 100000);
        }
        EXPECT_TRUE(p.blownUp());
        EXPECT_GT(p.norm(), tessera::kBlowUpNorm);
        EXPECT_LT(p.norm(), 1e30); // stopped long before the numbers overflow
        // Nothing moves after the stop.
        const long at = p.steps();
        const Complex psi = p.psi(500);
        EXPECT_FALSE(p.step());
        EXPECT_EQ(p.advance(10), 0);
        EXPECT_EQ(p.steps(), at);
        EXPECT_EQ(p.psi(500), psi);
        stepsToBlowUp[j++] = at;
    }
    EXPECT_LT(stepsToBlowUp[0], 40);
    EXPECT_GT(stepsToBlowUp[1], 2 * stepsToBlowUp[0]);
    // Crank–Nicolson never stops.
    PacketEvolution cn;
    EXPECT_EQ(cn.advance(1000), 1000);
    EXPECT_FALSE(cn.blownUp());
}

TEST(PacketEvolution, RefusesTimeStepsAndGridsOutsideItsRange) {
    const ExactPacket p(2, 0.7);
    EXPECT_THROW(PacketEvolution(p, tessera::kMinStepsPerPeriod - 1), std::invalid_argument);
    EXPECT_THROW(PacketEvolution(p, tessera::kMaxStepsPerPeriod + 1), std::invalid_argument);
    EXPECT_THROW(PacketEvolution(p, 3200, Scheme::CrankNicolson, 10, 2), std::invalid_argument);
    EXPECT_THROW(PacketEvolution(p, 3200, Scheme::CrankNicolson, -1, 100), std::invalid_argument);
    PacketEvolution e;
    EXPECT_EQ(e.points(), tessera::kGridIntervals + 1);
    EXPECT_EQ(e.psi(0), Complex());
    EXPECT_EQ(e.psi(e.points() - 1), Complex());
    EXPECT_THROW(e.psi(e.points()), std::out_of_range);
    EXPECT_DOUBLE_EQ(e.x(e.points() - 1), tessera::kGridHalfWidth);
}

TEST(PacketTable, PrintsEveryPeriodAndTheBoundsAndTheFilesHoldTheSameFigures) {
    const tessera::PacketRunResult& run = defaultRun();
    const std::string text = tessera::formatTable(run);
    std::istringstream in(text);
    std::string line;
    int rows = 0;
    bool inTable = false;
    while (std::getline(in, line)) {
        if (line.rfind("period ", 0) == 0) {
            inTable = true;
            continue;
        }
        if (inTable && line.empty())
            break;
        if (inTable) {
            std::istringstream f(line);
            int period;
            double t, steps, norm, change, error;
            ASSERT_TRUE(f >> period >> t >> steps >> norm >> change >> error) << line;
            EXPECT_EQ(period, rows);
            EXPECT_NEAR(t, run.periods[rows].t, 1e-5);
            EXPECT_NEAR(error, run.periods[rows].maxError, 1e-3 * run.periods[rows].maxError + 1e-300);
            ++rows;
        }
    }
    EXPECT_EQ(rows, tessera::kPeriods + 1);
    EXPECT_NE(text.find("largest |norm - norm(0)|"), std::string::npos);
    EXPECT_EQ(text.find("OUTSIDE"), std::string::npos) << text;

    const std::vector<course::CsvFile> files = tessera::dataFiles(run);
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].name, "parameters.csv");
    EXPECT_EQ(files[1].name, "summary.csv");
    EXPECT_EQ(files[2].name, "densities.csv");
    std::istringstream summary(files[1].text);
    std::getline(summary, line);
    EXPECT_EQ(line, "period,t,steps,norm,norm_change,max_error,end_error");
    int n = 0;
    while (std::getline(summary, line)) {
        const std::string last = line.substr(line.rfind(',') + 1);
        EXPECT_EQ(std::stod(last), run.periods[n].endError) << line; // full precision
        ++n;
    }
    EXPECT_EQ(n, tessera::kPeriods + 1);
    std::istringstream densities(files[2].text);
    std::getline(densities, line);
    EXPECT_EQ(line.rfind("x,rho_0,exact_0,rho_1,", 0), 0u) << line.substr(0, 40);
    EXPECT_NE(line.find(",exact_10"), std::string::npos);
    int points = 0;
    while (std::getline(densities, line))
        ++points;
    EXPECT_EQ(points, tessera::kGridIntervals + 1);
}
