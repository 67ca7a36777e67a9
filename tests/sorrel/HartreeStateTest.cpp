// SPDX-License-Identifier: GPL-3.0-or-later
#include <cfenv>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <hartree/HartreeState.h>

using sorrel::Flow;
using sorrel::HartreeObserver;
using sorrel::HartreeState;
using sorrel::RunOutcome;

namespace {

constexpr int N = HartreeState::Npts;
constexpr double h = HartreeState::h;

// h·Σ rR(i)² over i = lo..hi.
double normSum(const HartreeState& s, int lo, int hi) {
    double sum = 0.0;
    for (int i = lo; i <= hi; ++i)
        sum += s.rR(i) * s.rR(i);
    return h * sum;
}

struct Event {
    int step; // 1..6 for D1..D6
    int nIter, kIter, colourIndex;
    double dEps, eps, epsOld, Vc, Etotal;
};

// Records every display step with the state it saw; can stop at the n-th call of one step.
class Recorder : public HartreeObserver {
public:
    std::vector<Event> events;
    int stopStep = 0;                     // 0: never stop
    int stopOccurrence = 1;               // stop at this occurrence of stopStep
    std::vector<double> normAtD3;         // h·Σ_{0..Npts} rR² after each new orbital
    std::vector<double> potentialErrAtD2; // max |Vtot − analytic| in cycle 0

    Flow cycleCurve(const HartreeState& s) override { return note(1, s); }
    Flow potential(const HartreeState& s) override {
        if (s.nIter() == 0)
            potentialErrAtD2.push_back(initialPotentialError(s));
        return note(2, s);
    }
    Flow matchedSolution(const HartreeState& s) override {
        normAtD3.push_back(normSum(s, 0, N));
        return note(3, s);
    }
    Flow innerLine(const HartreeState& s) override { return note(4, s); }
    Flow cycleLine(const HartreeState& s) override { return note(5, s); }
    Flow finalReport(const HartreeState& s) override { return note(6, s); }

    int count(int step) const {
        int n = 0;
        for (const auto& e : events)
            n += e.step == step;
        return n;
    }
    std::string order() const {
        std::string o;
        for (const auto& e : events)
            o += static_cast<char>('0' + e.step);
        return o;
    }

private:
    Flow note(int step, const HartreeState& s) {
        events.push_back(
            {step, s.nIter(), s.kIter(), s.colourIndex(), s.dEps(), s.eps(), s.epsOld(), s.Vc(), s.Etotal()});
        return step == stopStep && count(step) == stopOccurrence ? Flow::Stop : Flow::Continue;
    }

    // Potential of the first orbital against the closed form for a 1s cloud with
    // exponent a: V_H(r) = 1/r − (a + 1/r)·exp(−2ar).
    static double initialPotentialError(const HartreeState& s) {
        const double a = HartreeState::aTrial;
        double worst = 0.0;
        for (int i = 8; i <= 3000; i += 8) {
            const double r = HartreeState::r(i);
            const double exact = -2.0 / r + 1.0 / r - (a + 1.0 / r) * std::exp(-2.0 * a * r);
            worst = std::max(worst, std::fabs(s.Vtot(i) - exact));
        }
        return worst;
    }
};

Recorder fullRun() {
    HartreeState state;
    Recorder rec;
    EXPECT_EQ(state.run(rec), RunOutcome::Completed);
    return rec;
}

} // namespace

TEST(HartreeGrid, ConstantsAndMatchingPoint) {
    EXPECT_EQ(HartreeState::iMatch, 310);
    EXPECT_EQ(HartreeState::r(HartreeState::iMatch), 0.60546875);
    EXPECT_EQ(HartreeState::rMatch, 0.60546875);
    EXPECT_EQ(h, 1.0 / 512.0);
    EXPECT_EQ(HartreeState::h2, std::ldexp(1.0, -18));
    EXPECT_EQ(HartreeState::aTrial, 27.0 / 16.0);
    EXPECT_EQ(sorrel::nint(310.0), 310);
    EXPECT_EQ(sorrel::nint(0.5), 0);
    EXPECT_EQ(sorrel::nint(1.5), 2);
    EXPECT_EQ(sorrel::nint(-1.5), -2);
    EXPECT_EQ(sorrel::nint(309.5000001), 310);
}

TEST(HartreeGrid, ArrayBoundsAreEnforced) {
    const HartreeState s;
    const int m = HartreeState::iMatch;
    EXPECT_NO_THROW((void)s.rR(N + 2));
    EXPECT_THROW((void)s.rR(N + 3), std::out_of_range);
    EXPECT_THROW((void)s.rR(-1), std::out_of_range);
    EXPECT_NO_THROW((void)s.Vtot(N + 1));
    EXPECT_THROW((void)s.Vtot(N + 2), std::out_of_range);
    EXPECT_THROW((void)s.VH(N + 2), std::out_of_range);
    EXPECT_NO_THROW((void)s.yOut(m + 1));
    EXPECT_THROW((void)s.yOut(m + 2), std::out_of_range);
    EXPECT_NO_THROW((void)s.zIn(m - 1));
    EXPECT_THROW((void)s.zIn(m - 2), std::out_of_range);
    EXPECT_THROW((void)s.zIn(N + 2), std::out_of_range);
}

TEST(HartreeInitialState, OrbitalIsNormalisedHydrogenLike) {
    const HartreeState s;
    EXPECT_EQ(s.rR(0), 0.0);
    EXPECT_EQ(s.rR(N + 2), 0.0); // never written
    EXPECT_NEAR(normSum(s, 1, N + 1), 1.0, 1e-5);
    // Peak of r·exp(−ar) at r = 1/a.
    const int peak = sorrel::nint(1.0 / HartreeState::aTrial / h);
    EXPECT_GT(s.rR(peak), s.rR(peak - 20));
    EXPECT_GT(s.rR(peak), s.rR(peak + 20));
    EXPECT_EQ(s.eps(), -1.0);
    EXPECT_EQ(s.epsOld(), -1.0);
    EXPECT_EQ(s.nIter(), 0);
    EXPECT_EQ(s.kIter(), 0);
    EXPECT_EQ(s.colourIndex(), 1);
}

TEST(HartreeRun, DisplayStepsComeInOrder) {
    const Recorder rec = fullRun();
    // Cycle 0: three inner steps; cycles 1..7: two each; then the report.
    std::string expected = "123434345";
    for (int c = 1; c < 8; ++c)
        expected += "1234345";
    expected += "6";
    EXPECT_EQ(rec.order(), expected);
    EXPECT_EQ(rec.count(1), 8);
    EXPECT_EQ(rec.count(4), 17);
    EXPECT_EQ(rec.count(5), 8);
    EXPECT_EQ(rec.count(6), 1);
}

TEST(HartreeRun, CountersAsSeenByTheDisplaySteps) {
    const Recorder rec = fullRun();
    int cycle = 0, step = 0;
    for (const auto& e : rec.events) {
        switch (e.step) {
        case 1: // before colourIndex += 1
            EXPECT_EQ(e.nIter, cycle);
            EXPECT_EQ(e.colourIndex, cycle + 1);
            step = 0;
            break;
        case 2: EXPECT_EQ(e.colourIndex, cycle + 2); break;
        case 3: EXPECT_EQ(e.kIter, step); break;
        case 4:
            EXPECT_EQ(e.nIter, cycle);
            EXPECT_EQ(e.kIter, step);
            ++step;
            break;
        case 5: // kIter reset, nIter still the cycle just finished
            EXPECT_EQ(e.nIter, cycle);
            EXPECT_EQ(e.kIter, 0);
            ++cycle;
            break;
        case 6: EXPECT_EQ(e.nIter, 8); break;
        }
    }
}

TEST(HartreeRun, InnerLoopStopsStrictlyBelowItsTolerance) {
    const Recorder rec = fullRun();
    std::vector<Event> inner;
    for (const auto& e : rec.events)
        if (e.step == 4)
            inner.push_back(e);
    ASSERT_EQ(inner.size(), 17u);
    EXPECT_NEAR(inner[0].dEps, 0.10, 0.01);
    EXPECT_NEAR(inner[0].eps, -1.0 + inner[0].dEps, 1e-15);
    for (std::size_t k = 0; k < inner.size(); ++k) {
        const double tol = sorrel::innerTolerance(inner[k].nIter);
        const bool last = k + 1 == inner.size() || inner[k + 1].nIter != inner[k].nIter;
        EXPECT_EQ(std::fabs(inner[k].dEps) < tol, last) << "inner line " << k;
        if (k > 0) {
            EXPECT_DOUBLE_EQ(inner[k].eps, inner[k - 1].eps + inner[k].dEps);
        }
    }
    // From cycle 3 on the tolerance is 2e-6, and two steps still suffice.
    int laterSteps = 0;
    for (const auto& e : inner)
        laterSteps += e.nIter >= 3;
    EXPECT_EQ(laterSteps, 10);
}

TEST(HartreeRun, EveryNewOrbitalIsNormalised) {
    const Recorder rec = fullRun();
    ASSERT_EQ(rec.normAtD3.size(), 17u);
    for (double n : rec.normAtD3)
        EXPECT_NEAR(n, 1.0, 1e-12);
}

TEST(HartreeRun, FirstPotentialMatchesClosedForm) {
    const Recorder rec = fullRun();
    ASSERT_EQ(rec.potentialErrAtD2.size(), 1u);
    EXPECT_LT(rec.potentialErrAtD2[0], 1e-5);

    HartreeState s;
    struct StopAtPotential : HartreeObserver {
        Flow potential(const HartreeState&) override { return Flow::Stop; }
    } stop;
    EXPECT_EQ(s.run(stop), RunOutcome::Stopped);
    EXPECT_EQ(s.Vtot(0), 0.0);
    EXPECT_NEAR(s.VH(0), HartreeState::aTrial, 1e-4); // ∫u²/r dr = <1/r> = a
}

TEST(HartreeRun, OuterLoopConvergesInEightCycles) {
    const Recorder rec = fullRun();
    std::vector<Event> cycles;
    for (const auto& e : rec.events)
        if (e.step == 5)
            cycles.push_back(e);
    ASSERT_EQ(cycles.size(), 8u);
    double prev = -1.0;
    for (std::size_t c = 0; c < cycles.size(); ++c) {
        const double delta = cycles[c].eps - prev;
        EXPECT_EQ(std::fabs(delta) < sorrel::outerTolerance(), c + 1 == cycles.size()) << "cycle " << c;
        EXPECT_DOUBLE_EQ(cycles[c].Etotal, 2.0 * cycles[c].eps - cycles[c].Vc);
        prev = cycles[c].eps;
    }
}

TEST(HartreeRun, FinalReportValues) {
    const Recorder rec = fullRun();
    const Event& last = rec.events.back();
    ASSERT_EQ(last.step, 6);
    EXPECT_NEAR(last.epsOld, -0.9179, 5e-5);
    EXPECT_NEAR(last.Vc, 1.0258, 5e-5);
    EXPECT_NEAR(last.Etotal, -2.8617, 5e-5);
    EXPECT_EQ(last.Etotal, 2.0 * last.epsOld - last.Vc);
    // Recomputed Vc equals the one of the last inner step (same orbital and potential).
    const Event& lastInner = rec.events[rec.events.size() - 3];
    ASSERT_EQ(lastInner.step, 4);
    EXPECT_EQ(last.Vc, lastInner.Vc);
    EXPECT_EQ(last.epsOld, lastInner.eps);
    // Between the variational and the measured energies.
    EXPECT_LT(last.Etotal, -2.8477);
    EXPECT_GT(last.Etotal, -2.9037);
}

TEST(HartreeRun, RaisesNoFloatingPointFault) {
    HartreeState s;
    std::feclearexcept(FE_ALL_EXCEPT);
    s.run();
    EXPECT_FALSE(std::fetestexcept(FE_DIVBYZERO)) << "division by zero";
    EXPECT_FALSE(std::fetestexcept(FE_OVERFLOW)) << "overflow";
    EXPECT_FALSE(std::fetestexcept(FE_INVALID)) << "invalid operation";
}

TEST(HartreeRun, InwardStartValueOnlySetsTheScale) {
    const Recorder base = fullRun();
    for (double start : {1.0, 1e-30, 1e-150}) {
        HartreeState s(start);
        Recorder rec;
        ASSERT_EQ(s.run(rec), RunOutcome::Completed);
        ASSERT_EQ(rec.order(), base.order()) << start;
        // Only rounding differs: a different scale changes the last bits of each step.
        for (std::size_t k = 0; k < rec.events.size(); ++k) {
            EXPECT_NEAR(rec.events[k].eps, base.events[k].eps, 1e-10);
            EXPECT_NEAR(rec.events[k].dEps, base.events[k].dEps, 1e-10);
            EXPECT_NEAR(rec.events[k].Etotal, base.events[k].Etotal, 1e-10);
        }
    }
    // Scales that differ by a power of two scale every intermediate exactly: bit-identical.
    HartreeState a(std::ldexp(1.0, -330)), b(std::ldexp(1.0, -100));
    Recorder ra, rb;
    a.run(ra);
    b.run(rb);
    ASSERT_EQ(ra.order(), rb.order());
    for (std::size_t k = 0; k < ra.events.size(); ++k) {
        EXPECT_EQ(ra.events[k].eps, rb.events[k].eps);
        EXPECT_EQ(ra.events[k].Etotal, rb.events[k].Etotal);
    }
    for (int i = 0; i <= N + 2; ++i)
        ASSERT_EQ(a.rR(i), b.rR(i)) << i;
}

TEST(HartreeRun, NonFiniteCorrectionEndsTheRunInsteadOfLoopingForever) {
    HartreeState s(0.0); // zero inward solution: the matching scale is infinite
    EXPECT_THROW(s.run(), std::runtime_error);
    std::feclearexcept(FE_ALL_EXCEPT);
}

TEST(HartreeRun, RunsOnlyOnce) {
    HartreeState s;
    s.run();
    EXPECT_THROW(s.run(), std::logic_error);
}

TEST(HartreeRun, ObserverCanStopAtEveryDisplayStep) {
    for (int step = 1; step <= 6; ++step) {
        for (int occurrence : {1, 2}) {
            if (step == 6 && occurrence == 2)
                continue;
            HartreeState s;
            Recorder rec;
            rec.stopStep = step;
            rec.stopOccurrence = occurrence;
            EXPECT_EQ(s.run(rec), RunOutcome::Stopped) << step;
            ASSERT_FALSE(rec.events.empty());
            EXPECT_EQ(rec.events.back().step, step) << "no display step after the stop";
            EXPECT_EQ(rec.count(step), occurrence);
        }
    }
    // Stopped at the first cycle curve: nothing has been computed yet.
    HartreeState s;
    Recorder rec;
    rec.stopStep = 1;
    s.run(rec);
    EXPECT_EQ(s.Vtot(1), 0.0);
    EXPECT_EQ(s.colourIndex(), 1);
    EXPECT_EQ(s.eps(), -1.0);
}

TEST(HartreeTolerance, StrictComparisonAtTheBoundary) {
    EXPECT_EQ(sorrel::innerTolerance(0), 2e-3);
    EXPECT_EQ(sorrel::innerTolerance(2), 2e-3);
    EXPECT_EQ(sorrel::innerTolerance(3), 2e-6);
    EXPECT_EQ(sorrel::innerTolerance(7), 2e-6);
    EXPECT_EQ(sorrel::outerTolerance(), 2e-5);
    for (double tol : {sorrel::innerTolerance(0), sorrel::innerTolerance(3), sorrel::outerTolerance()}) {
        EXPECT_FALSE(sorrel::belowTolerance(tol, tol));
        EXPECT_FALSE(sorrel::belowTolerance(-tol, tol));
        EXPECT_TRUE(sorrel::belowTolerance(std::nextafter(tol, 0.0), tol));
        EXPECT_TRUE(sorrel::belowTolerance(-std::nextafter(tol, 0.0), tol));
        EXPECT_FALSE(sorrel::belowTolerance(std::nan(""), tol));
    }
}

TEST(HartreePalette, CycleColoursWrapAfterFifteen) {
    for (int c = 1; c <= 15; ++c)
        EXPECT_EQ(sorrel::paletteEntry(c), c);
    EXPECT_EQ(sorrel::paletteEntry(16), 1);
    EXPECT_EQ(sorrel::paletteEntry(17), 2);
    EXPECT_EQ(sorrel::paletteEntry(30), 15);
    EXPECT_EQ(sorrel::paletteEntry(31), 1);
}
