// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <hartree/FailureText.h>
#include <hartree/HartreeState.h>
#include <hartree/Ion.h>
#include <hartree/TableCollector.h>

using namespace sorrel;

namespace {

// Remembers every ε the table would show and whether the report came.
struct Watch : HartreeObserver {
    std::vector<double> shownEps;
    bool reported = false;
    bool failed = false;
    Flow innerLine(const HartreeState& s) override {
        shownEps.push_back(s.eps());
        return Flow::Continue;
    }
    Flow finalReport(const HartreeState&) override {
        reported = true;
        return Flow::Continue;
    }
    void runFailed(const HartreeState&) override { failed = true; }
};

} // namespace

TEST(HartreeIons, HeliumSetupIsTheDefaultOneExactly) {
    const HartreeSetup he = HartreeSetup::forCharge(2);
    EXPECT_EQ(he.rMax, HartreeState::rMax);
    EXPECT_EQ(he.rMatch, HartreeState::rMatch);
    EXPECT_EQ(he.firstEps, -1.0);
    EXPECT_EQ(he.iMatch(), HartreeState::iMatch);
    EXPECT_EQ(he.aTrial(), HartreeState::aTrial);

    HartreeState a, b(he);
    ASSERT_EQ(a.run(), RunOutcome::Completed);
    ASSERT_EQ(b.run(), RunOutcome::Completed);
    EXPECT_EQ(a.Etotal(), b.Etotal());
    EXPECT_EQ(a.nIter(), b.nIter());
}

TEST(HartreeIons, ScaledGridKeepsTheMatchingIndexAndRejectsBadCharges) {
    for (int Z = kMinCharge; Z <= kMaxCharge; ++Z) {
        const HartreeSetup s = HartreeSetup::forCharge(Z);
        EXPECT_EQ(s.iMatch(), 310) << Z;
        EXPECT_NEAR(s.rMax * (Z - 5.0 / 16.0), (Z == 1 ? 2.5 : 1.0) * 8.0 * 27.0 / 16.0, 1e-12) << Z;
        EXPECT_EQ(HartreeSetup::forCharge(Z, 4).iMatch(), 1240) << Z;
    }
    EXPECT_THROW(HartreeSetup::forCharge(0), std::invalid_argument);
    EXPECT_THROW(HartreeSetup::forCharge(11), std::invalid_argument);
    HartreeSetup bad;
    bad.Z = 12;
    EXPECT_THROW(HartreeState{bad}, std::invalid_argument);
}

// Z = 1..10 reach the Hartree–Fock limit within 1·10⁻³ hartree, with a bound
// orbital without a node; every ε the table shows is negative.
TEST(HartreeIons, EveryIonFromHydrogenToNeonReachesItsLimit) {
    for (int Z = kMinCharge; Z <= kMaxCharge; ++Z) {
        SCOPED_TRACE(Z);
        HartreeState s(HartreeSetup::forCharge(Z));
        Watch w;
        ASSERT_EQ(s.run(w), RunOutcome::Completed) << failureMessage(s.failure());
        EXPECT_TRUE(w.reported);
        EXPECT_LT(std::fabs(s.Etotal() - Ion{Z}.hartreeFockLimit()), 1e-3);
        EXPECT_EQ(s.nodes(), 0);
        EXPECT_LT(s.epsOld(), 0.0);
        for (double e : w.shownEps)
            EXPECT_LT(e, 0.0);
        // Between the variational value and the measured one.
        EXPECT_LT(s.Etotal(), Ion{Z}.variationalEnergy());
        EXPECT_GT(s.Etotal(), *Ion{Z}.measuredEnergy());
    }
}

// The remaining grid error: four times as many intervals move the result
// towards the limit.
TEST(HartreeIons, FinerGridComesCloserToTheLimit) {
    for (int Z : {4, 10}) {
        SCOPED_TRACE(Z);
        HartreeState coarse(HartreeSetup::forCharge(Z));
        HartreeState fine(HartreeSetup::forCharge(Z, 4));
        ASSERT_EQ(coarse.run(), RunOutcome::Completed);
        ASSERT_EQ(fine.run(), RunOutcome::Completed);
        const double limit = Ion{Z}.hartreeFockLimit();
        EXPECT_LT(std::fabs(fine.Etotal() - limit), std::fabs(coarse.Etotal() - limit));
        EXPECT_LT(fine.Etotal(), coarse.Etotal());
    }
}

// H⁻ converges on its longer grid with mixing; without them (helium's recipe merely
// scaled) the first correction overshoots past ε = 0 and the guard ends the run.
TEST(HartreeIons, HydrogenAnionConvergesOnlyWithItsOwnGridAndMixing) {
    HartreeState s(HartreeSetup::forCharge(1));
    ASSERT_EQ(s.run(), RunOutcome::Completed) << int(s.failure().why);
    EXPECT_NEAR(s.Etotal(), -0.48793, 1e-3);
    EXPECT_NEAR(s.epsOld(), -0.0462, 1e-3);
    EXPECT_GT(s.Etotal(), -0.5); // above H + e⁻: bound only as an orbital
    EXPECT_EQ(s.nodes(), 0);

    HartreeSetup plain = HartreeSetup::forCharge(1);
    plain.Npts = HartreeState::Npts;
    plain.rMax = HartreeState::rMax * HartreeState::aTrial / plain.aTrial();
    plain.mixing = 1.0;
    plain.boundStep = 0.0;
    HartreeState bare(plain);
    ASSERT_EQ(bare.run(), RunOutcome::Failed);
    EXPECT_EQ(bare.failure().why, Failure::UnboundOrbital);
    const std::string message = failureMessage(bare.failure());
    EXPECT_NE(message.find("H⁻"), std::string::npos) << message;
    EXPECT_NE(message.find("≧ 0"), std::string::npos) << message;
    EXPECT_NE(message.find("19.64"), std::string::npos) << message; // the grid's end

    const TableRun table = computeTable(HartreeSetup::forCharge(1));
    EXPECT_NE(table.text.find(boundNote(Ion{1})), std::string::npos) << table.text;
    EXPECT_TRUE(boundNote(Ion{2}).empty());
}

// Helium's unscaled grid does not fit the heavier ions: the iteration finds a
// solution with nodes, and the guard ends the run.
TEST(HartreeIons, GuardsEndRunsThatFindNoBoundNodelessOrbital) {
    HartreeSetup unscaled;
    unscaled.Z = 4;
    HartreeState be(unscaled);
    Watch w;
    ASSERT_EQ(be.run(w), RunOutcome::Failed);
    EXPECT_EQ(be.failure().why, Failure::NodeInOrbital);
    EXPECT_GT(be.nodes(), 0);
    EXPECT_FALSE(w.reported);
    EXPECT_NE(failureMessage(be.failure()).find("節が " + std::to_string(be.nodes()) + " 個"), std::string::npos);

    HartreeSetup few = HartreeSetup::forCharge(2);
    few.cycleLimit = 3;
    HartreeState cycles(few);
    EXPECT_EQ(cycles.run(), RunOutcome::Failed);
    EXPECT_EQ(cycles.failure().why, Failure::CycleLimit);
    EXPECT_EQ(cycles.nIter(), 3);

    HartreeSetup steps = HartreeSetup::forCharge(2);
    steps.innerStepLimit = 2; // the first cycle needs three
    HartreeState inner(steps);
    EXPECT_EQ(inner.run(), RunOutcome::Failed);
    EXPECT_EQ(inner.failure().why, Failure::InnerStepLimit);
    EXPECT_EQ(inner.nIter(), 0);
}

TEST(HartreeIons, NamesFractionsAndReferenceLines) {
    EXPECT_EQ(Ion{2}.name(), "ヘリウム原子");
    EXPECT_EQ(Ion{3}.name(), "リチウムイオン Li⁺");
    EXPECT_EQ(Ion{10}.symbol(), "Ne⁸⁺");
    EXPECT_EQ(Ion{1}.exponentFraction(), "11/16");
    EXPECT_EQ(Ion{3}.exponentFraction(), "43/16");
    EXPECT_EQ(variationalLine(Ion{3}), " -7.2227 (変分法，a = 43/16 )");
    EXPECT_EQ(measuredLine(Ion{3}), " -7.2798  (実測値 = 198.09 eV).");
    // Helium's lines are the ones the course always printed.
    const auto he = reportTableLines(Ion{2}, -0.91794, 1.02576, -2.86164);
    EXPECT_EQ(he, reportTableLines(-0.91794, 1.02576, -2.86164));
    // The measured energies lie below the Hartree–Fock limits by the correlation
    // energy of a two-electron ion, about 0.04 hartree, and by the relativistic
    // shift of two 1s electrons, at most Z⁴α²/4 (0.13 hartree for Ne⁸⁺).
    const double alpha2 = std::pow(1 / 137.036, 2);
    for (int Z = kMinCharge; Z <= kMaxCharge; ++Z) {
        const double below = Ion{Z}.hartreeFockLimit() - *Ion{Z}.measuredEnergy();
        EXPECT_GT(below, 0.035) << Z;
        EXPECT_LT(below, 0.05 + std::pow(Z, 4) * alpha2 / 4) << Z;
    }
    EXPECT_THROW((void)Ion{0}.name(), std::invalid_argument);
}

TEST(HartreeIons, TableOfAFailedRunEndsWithTheMessage) {
    HartreeSetup few = HartreeSetup::forCharge(3);
    few.cycleLimit = 2;
    const TableRun run = computeTable(few);
    EXPECT_EQ(run.outcome, RunOutcome::Failed);
    ASSERT_FALSE(run.failure.empty());
    HartreeState s(few);
    s.run();
    std::string tail;
    for (const auto& line : failureLines(s.failure()))
        tail += line + '\n';
    ASSERT_GE(run.text.size(), tail.size());
    EXPECT_EQ(run.text.substr(run.text.size() - tail.size()), tail);
    EXPECT_EQ(run.text.find("全エネルギー"), std::string::npos); // no report

    const TableRun li = computeTable(HartreeSetup::forCharge(3));
    EXPECT_EQ(li.outcome, RunOutcome::Completed);
    EXPECT_TRUE(li.failure.empty());
    EXPECT_NE(li.text.find(" -7.2227 (変分法，a = 43/16 )\n"), std::string::npos) << li.text;
}
