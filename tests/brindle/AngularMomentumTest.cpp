// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <brindle/EigenIteration.h>
#include <brindle/TableFormat.h>

namespace brindle {
namespace {

double round6(double v) { return std::round(v * 1e6) / 1e6; }

const RunResult& runFor(int l) {
    static const RunResult runs[4] = {runAll(0), runAll(1), runAll(2), runAll(3)};
    return runs[l];
}

TEST(BrindleAngularMomentum, EveryStateIsTheExactLevelToSixDecimals) {
    for (int l = kMinL; l <= kMaxL; ++l) {
        SCOPED_TRACE(l);
        const RunResult& run = runFor(l);
        EXPECT_EQ(run.l, l);
        ASSERT_EQ(run.states.size(), 4u);
        for (int s = 1; s <= 4; ++s) {
            SCOPED_TRACE(s);
            const StateResult& st = run.states[s - 1];
            EXPECT_DOUBLE_EQ(round6(st.Es), 2.0 * s + l - 0.5);
            // The level lies between the turning points of this l's potential.
            EXPECT_LT(Vpot(st.iL * kGridStep, l), st.Es);
            EXPECT_GT(Vpot(st.iR * kGridStep, l), st.Es);
            EXPECT_LE(Vpot((st.iR - 1) * kGridStep, l), st.Es);
        }
        EXPECT_NEAR(run.states[0].trialE, l + 0.8, 1e-12);
    }
}

TEST(BrindleAngularMomentum, PotentialAndFirstGuessFollowL) {
    EXPECT_DOUBLE_EQ(Vpot(2.0, 0), 2.0);
    EXPECT_DOUBLE_EQ(Vpot(2.0, 3), 2.0 + 12.0 / 8.0);
    EXPECT_EQ(Vpot(0.3, 1), Vpot(0.3));
    EXPECT_EQ(startEnergy(1), kStartEnergy);
    EXPECT_DOUBLE_EQ(exactEnergy(4, 3), 10.5);
    EXPECT_THROW(checkL(4), std::invalid_argument);
    EXPECT_THROW(checkL(-1), std::invalid_argument);
    EigenIteration it;
    EXPECT_THROW(it.setL(7), std::invalid_argument);
    EXPECT_EQ(it.l(), 1);
}

// The kink correction from the first guess lands on the level above for l = 0
// (state 4) and l = 3 (state 3); the node count catches it and the restart
// from the middle of the bracket finds the skipped level.
TEST(BrindleAngularMomentum, SkippedLevelIsReportedAndRecovered) {
    struct Case {
        int l, s, foundLevel;
        double found, lower, skipped;
    };
    for (const Case c : {Case{0, 4, 5, 9.5, 5.5, 7.5}, Case{3, 3, 4, 10.5, 6.5, 8.5}}) {
        SCOPED_TRACE(c.l);
        const RunResult& run = runFor(c.l);
        ASSERT_EQ(run.skips.size(), 1u);
        const LevelSkip& skip = run.skips[0];
        EXPECT_EQ(skip.s, c.s);
        EXPECT_EQ(skip.nodes, c.s);
        EXPECT_EQ(skip.foundLevel(), c.foundLevel);
        EXPECT_DOUBLE_EQ(round6(skip.foundE), c.found);
        EXPECT_DOUBLE_EQ(round6(skip.lower), c.lower);
        EXPECT_DOUBLE_EQ(skip.upper, skip.foundE);
        EXPECT_DOUBLE_EQ(skip.restartE, (skip.lower + skip.upper) / 2);

        // The row before the report is the last one of the wrong convergence; the
        // next row of the same state starts from the restart energy, one row lower.
        ASSERT_LT(skip.rowsBefore, run.rows.size());
        const IterationRecord& before = run.rows[skip.rowsBefore - 1];
        const IterationRecord& after = run.rows[skip.rowsBefore];
        EXPECT_EQ(before.s, c.s);
        EXPECT_LT(std::fabs(before.dE), kTolerance);
        EXPECT_EQ(after.s, c.s);
        EXPECT_EQ(after.n, before.n + 1);
        EXPECT_EQ(after.trialE, skip.restartE);
        EXPECT_FLOAT_EQ(skip.row, before.row + 1);
        EXPECT_FLOAT_EQ(after.row, skip.row + 1);
        EXPECT_DOUBLE_EQ(round6(run.states[c.s - 1].Es), c.skipped);
        int rowsOfState = 0;
        for (const IterationRecord& r : run.rows)
            rowsOfState += r.s == c.s;
        EXPECT_EQ(run.states[c.s - 1].iterations, rowsOfState);
        // The state after it starts from the recovered level.
        if (c.s < 4) {
            EXPECT_DOUBLE_EQ(run.states[c.s].trialE, run.states[c.s - 1].Es + kTrialStep);
        }
    }
    EXPECT_TRUE(runFor(1).skips.empty());
    EXPECT_TRUE(runFor(2).skips.empty());
}

TEST(BrindleAngularMomentum, ObserverSeesTheSkipBetweenIterationsAndNodesAreRight) {
    struct Recorder : EigenObserver {
        std::string kinds;
        bool nodesRight = true;
        bool iteration(const EigenIteration&, const IterationRecord&) override {
            kinds += 'i';
            return true;
        }
        bool levelSkipped(const EigenIteration& it, const LevelSkip& skip) override {
            kinds += 'k';
            // The wrong function is still stored and E still holds the wrong level.
            nodesRight = nodesRight && it.nodes(skip.s) == skip.nodes && it.energy() == skip.foundE;
            return true;
        }
        bool stateFinished(const EigenIteration& it, const StateResult& res) override {
            kinds += 's';
            nodesRight = nodesRight && it.nodes(res.s) == res.s - 1;
            return true;
        }
    };
    EigenIteration it;
    it.setL(0);
    Recorder rec;
    ASSERT_EQ(it.run(&rec), EigenIteration::Status::Completed);
    EXPECT_TRUE(rec.nodesRight);
    EXPECT_EQ(rec.kinds, "iiiiiiiiis"
                         "iiiis"
                         "iiiis"
                         "iiiiiiiik"
                         "is");

    // Cancelling at the report stops before the restart.
    struct Stopper : EigenObserver {
        bool levelSkipped(const EigenIteration&, const LevelSkip&) override { return false; }
    } stop;
    EXPECT_EQ(it.run(&stop), EigenIteration::Status::Cancelled);
    EXPECT_EQ(it.finishedStates(), 3);
    EXPECT_EQ(it.result().skips.size(), 1u);
}

TEST(BrindleAngularMomentum, TableNamesLAndPlacesTheSkipLine) {
    const std::string table = formatTable(runFor(0));
    EXPECT_EQ(
        table.rfind("Eigenvalue iteration: 3D harmonic oscillator, l = 0 (exact 1.5, 3.5, 5.5, 7.5)\n", 0),
        0u)
        << table;
    const std::string skipLine =
        "    4  8  4 nodes: level 5 found (E = 9.500000), level 4 skipped; restart at "
        "7.500 between 5.500000 and 9.500000\n";
    const std::size_t at = table.find(skipLine);
    ASSERT_NE(at, std::string::npos) << table;
    // Between the last row of the wrong convergence and the first after the restart.
    EXPECT_EQ(table.rfind("    4  8 ", at - 1), table.rfind('\n', at - 2) + 1);
    EXPECT_EQ(table.compare(at + skipLine.size(), 9, "    4  9 "), 0) << table;
    EXPECT_NE(formatTable(runFor(3)).find("l = 3 (exact 4.5, 6.5, 8.5, 10.5)"), std::string::npos);
}

} // namespace
} // namespace brindle
