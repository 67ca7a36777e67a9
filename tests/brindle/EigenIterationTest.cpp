// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <brindle/EigenIteration.h>
#include <brindle/PlotMapping.h>

namespace brindle {
namespace {

double round6(double v) { return std::round(v * 1e6) / 1e6; }

const RunResult& fullRun() {
    static const RunResult run = runAll();
    return run;
}

std::vector<const IterationRecord*> rowsOf(const RunResult& run, int s) {
    std::vector<const IterationRecord*> out;
    for (const auto& r : run.rows)
        if (r.s == s)
            out.push_back(&r);
    return out;
}

TEST(BrindleEigen, FirstRowOfStateOne) {
    const IterationRecord& first = fullRun().rows.at(0);
    EXPECT_EQ(first.s, 1);
    EXPECT_EQ(first.n, 1);
    EXPECT_FLOAT_EQ(first.row, 1.0f);
    EXPECT_NEAR(first.trialE, 1.8, 1e-12);
    EXPECT_DOUBLE_EQ(round6(first.dE), 0.892583);
    EXPECT_DOUBLE_EQ(round6(first.newE), 2.692583);
    EXPECT_DOUBLE_EQ(first.newE, first.trialE + first.dE);
}

TEST(BrindleEigen, IterationCountsAndConvergedEnergies) {
    const RunResult& run = fullRun();
    ASSERT_EQ(run.states.size(), 4u);
    const int counts[4] = {5, 6, 4, 4};
    const double energies[4] = {2.5, 4.5, 6.5, 8.5};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k + 1);
        const StateResult& st = run.states[k];
        EXPECT_EQ(st.s, k + 1);
        EXPECT_EQ(st.iterations, counts[k]);
        EXPECT_DOUBLE_EQ(round6(st.Es), energies[k]);
        EXPECT_EQ(rowsOf(run, k + 1).size(), static_cast<std::size_t>(counts[k]));
    }
    EXPECT_EQ(run.rows.size(), 19u);
}

TEST(BrindleEigen, TrialEnergiesFollowConvergedStatesPlusStep) {
    const RunResult& run = fullRun();
    EXPECT_NEAR(run.states[0].trialE, 1.8, 1e-12);
    for (int k = 1; k < 4; ++k) {
        EXPECT_DOUBLE_EQ(run.states[k].trialE, run.states[k - 1].Es + 2.3);
        EXPECT_NEAR(run.states[k].trialE, 2.8 + 2.0 * k, 1e-4);
    }
    EXPECT_DOUBLE_EQ(run.finalPassE, run.states[3].Es + 2.3);
}

TEST(BrindleEigen, LoopStopsAtFirstCorrectionBelowTolerance) {
    const RunResult& run = fullRun();
    for (int s = 1; s <= 4; ++s) {
        SCOPED_TRACE(s);
        const auto rows = rowsOf(run, s);
        ASSERT_GE(rows.size(), 2u);
        EXPECT_LT(std::fabs(rows.back()->dE), 1e-5);
        for (std::size_t j = 0; j + 1 < rows.size(); ++j) {
            EXPECT_GE(std::fabs(rows[j]->dE), 1e-5);
            EXPECT_EQ(rows[j]->n, static_cast<int>(j) + 1);
            EXPECT_DOUBLE_EQ(rows[j + 1]->trialE, rows[j]->newE);
        }
        EXPECT_DOUBLE_EQ(run.states[s - 1].Es, rows.back()->newE);
    }
}

TEST(BrindleEigen, TurningPointsBracketTheClassicalRegion) {
    const RunResult& run = fullRun();
    const StateResult& one = run.states[0];
    EXPECT_EQ(one.iL, 85);
    EXPECT_EQ(one.iR, 274);
    EXPECT_FLOAT_EQ(one.xL, 85.0f / 128.0f);
    EXPECT_FLOAT_EQ(one.xR, 274.0f / 128.0f);
    for (const StateResult& st : run.states) {
        SCOPED_TRACE(st.s);
        EXPECT_LT(Vpot(st.iL * kGridStep), st.Es);
        EXPECT_GE(Vpot((st.iL - 1) * kGridStep), st.Es);
        EXPECT_GT(Vpot(st.iR * kGridStep), st.Es);
        EXPECT_LE(Vpot((st.iR - 1) * kGridStep), st.Es);
    }
}

// The stored function of each state is normalised by the trapezoid rule and
// has s-1 nodes inside (0, 8].
TEST(BrindleEigen, StoredFunctionsAreNormalisedWithExpectedNodes) {
    EigenIteration it;
    ASSERT_EQ(it.run(nullptr), EigenIteration::Status::Completed);
    for (int s = 1; s <= 4; ++s) {
        SCOPED_TRACE(s);
        double sum = 0.0;
        int nodes = 0;
        for (int i = 0; i <= kLastIndex; ++i) {
            const double p = it.P(i, s);
            sum += (i == 0 || i == kLastIndex) ? p * p / 2 : p * p;
            if (i >= 2 && it.P(i - 1, s) * p < 0.0)
                ++nodes;
        }
        EXPECT_NEAR(sum * kGridStep, 1.0, 1e-9);
        EXPECT_EQ(nodes, s - 1);
        EXPECT_EQ(it.iterationCount(s), fullRun().states[s - 1].iterations);
        EXPECT_EQ(it.Es(s), fullRun().states[s - 1].Es);
        EXPECT_EQ(it.xL(s), fullRun().states[s - 1].xL);
    }
    // Unwritten columns stay zero; indices outside the arrays are refused.
    EXPECT_EQ(it.P(100, 5), 0.0);
    EXPECT_THROW(it.P(1027, 1), std::out_of_range);
    EXPECT_THROW(it.P(0, 21), std::out_of_range);
    EXPECT_THROW(it.xL(11), std::out_of_range);
}

// Records every callback as a compact event.
struct Recorder : EigenObserver {
    struct Event {
        char kind; // 'p' pass, 'i' iteration, 's' state, 'f' final
        int s;
        int n;
    };
    std::vector<Event> events;
    std::vector<IterationRecord> iterations;
    int cancelAfter = -1; // answer false to the n-th callback (0-based)
    bool seenPEqualsRecord = true;
    bool energyNotYetUpdated = true;
    bool finishedVisible = true;

    bool answer() { return static_cast<int>(events.size()) - 1 != cancelAfter; }

    bool passStarted(const EigenIteration& it, int s, double trialE) override {
        events.push_back({'p', s, 0});
        // The finished states are there to be redrawn as background.
        if (it.finishedStates() != s - 1)
            finishedVisible = false;
        for (int j = 1; j < s; ++j)
            if (it.Es(j) == 0.0 || it.xL(j) == 0.0f || it.P(kMatchIndex, j) == 0.0)
                finishedVisible = false;
        if (trialE != it.energy())
            finishedVisible = false;
        return answer();
    }
    bool iteration(const EigenIteration& it, const IterationRecord& rec) override {
        events.push_back({'i', rec.s, rec.n});
        iterations.push_back(rec);
        if (it.energy() != rec.trialE)
            energyNotYetUpdated = false;
        // P(m, s) is y_m / sqrt(N) for the current iteration.
        if (std::fabs(it.P(EigenIteration::m(), rec.s) - rec.ym / std::sqrt(rec.N)) > 1e-15)
            seenPEqualsRecord = false;
        return answer();
    }
    bool stateFinished(const EigenIteration& it, const StateResult& res) override {
        events.push_back({'s', res.s, res.iterations});
        if (it.Es(res.s) != res.Es || it.iterationCount(res.s) != res.iterations)
            finishedVisible = false;
        return answer();
    }
    bool finalPass(const EigenIteration& it) override {
        events.push_back({'f', 5, it.finishedStates()});
        return answer();
    }
};

TEST(BrindleEigenObserver, SeesEveryStepInOrder) {
    EigenIteration it;
    Recorder rec;
    ASSERT_EQ(it.run(&rec), EigenIteration::Status::Completed);

    std::string expected;
    for (int s = 1; s <= 4; ++s) {
        expected += 'p';
        expected += std::string(static_cast<std::size_t>(fullRun().states[s - 1].iterations), 'i');
        expected += 's';
    }
    expected += "pf";
    std::string kinds;
    for (const auto& e : rec.events)
        kinds += e.kind;
    EXPECT_EQ(kinds, expected);

    ASSERT_EQ(rec.iterations.size(), fullRun().rows.size());
    for (std::size_t j = 0; j < rec.iterations.size(); ++j) {
        EXPECT_EQ(rec.iterations[j].s, fullRun().rows[j].s);
        EXPECT_EQ(rec.iterations[j].n, fullRun().rows[j].n);
        EXPECT_EQ(rec.iterations[j].dE, fullRun().rows[j].dE);
        EXPECT_FLOAT_EQ(rec.iterations[j].row, static_cast<float>(rec.iterations[j].n));
    }
    EXPECT_TRUE(rec.energyNotYetUpdated);
    EXPECT_TRUE(rec.seenPEqualsRecord);
    EXPECT_TRUE(rec.finishedVisible);
    EXPECT_EQ(rec.events.back().n, 4);
    EXPECT_FALSE(it.running());
}

TEST(BrindleEigenObserver, FalseAnswerCancelsAtOnce) {
    // Callbacks 0..28 are: pass 1, five iterations, state 1, pass 2, ... state 4,
    // pass 5, final pass.  Cancel at pass 1, at iteration 2 of state 1, at the
    // first iteration of state 2 and at the final pass.
    for (int cancelAt : {0, 2, 8, 28}) {
        SCOPED_TRACE(cancelAt);
        EigenIteration it;
        Recorder rec;
        rec.cancelAfter = cancelAt;
        EXPECT_EQ(it.run(&rec), EigenIteration::Status::Cancelled);
        EXPECT_EQ(rec.events.size(), static_cast<std::size_t>(cancelAt) + 1);
        EXPECT_FALSE(it.running());
    }
    // A fresh run on the same object completes again.
    EigenIteration it;
    Recorder first;
    first.cancelAfter = 3;
    EXPECT_EQ(it.run(&first), EigenIteration::Status::Cancelled);
    EXPECT_EQ(it.run(nullptr), EigenIteration::Status::Completed);
    EXPECT_EQ(it.result().rows.size(), fullRun().rows.size());
    EXPECT_EQ(it.Es(4), fullRun().states[3].Es);
}

TEST(BrindleEigenObserver, RequestCancelFromInsideACallbackAndNoNestedRun) {
    struct Leaver : EigenObserver {
        EigenIteration* target = nullptr;
        int calls = 0;
        bool nestedRefused = false;
        bool iteration(const EigenIteration&, const IterationRecord& rec) override {
            ++calls;
            if (rec.s == 2 && rec.n == 3) {
                // What a handler run while the page waits would do.
                try {
                    target->run(nullptr);
                } catch (const std::logic_error&) {
                    nestedRefused = true;
                }
                target->requestCancel();
            }
            return true;
        }
    };
    EigenIteration it;
    Leaver obs;
    obs.target = &it;
    EXPECT_EQ(it.run(&obs), EigenIteration::Status::Cancelled);
    EXPECT_TRUE(obs.nestedRefused);
    EXPECT_EQ(obs.calls, fullRun().states[0].iterations + 3);
    EXPECT_EQ(it.finishedStates(), 1);
}

TEST(BrindleEigen, IterationCapStopsWithAnError) {
    EigenIteration capped(4); // state 1 needs 5 iterations
    EXPECT_THROW(capped.run(nullptr), IterationLimitError);
    EXPECT_FALSE(capped.running());
    EigenIteration enough(6); // the largest count needed is 6
    EXPECT_EQ(enough.run(nullptr), EigenIteration::Status::Completed);
    EXPECT_THROW(EigenIteration(0), std::invalid_argument);
}

TEST(BrindlePlotMapping, VisibleWindowMapsToTheSurface) {
    EXPECT_DOUBLE_EQ(px(-1.0, 520.0), 0.0);
    EXPECT_DOUBLE_EQ(px(4.2, 520.0), 520.0);
    EXPECT_DOUBLE_EQ(px(0.0, 520.0), 100.0);
    EXPECT_DOUBLE_EQ(py(10.0, 400.0), 0.0);
    EXPECT_DOUBLE_EQ(py(-10.0, 400.0), 400.0);
    EXPECT_DOUBLE_EQ(py(0.0, 400.0), 200.0);
    EXPECT_DOUBLE_EQ(py(8.8 - 1.0, 400.0), 44.0);
    EXPECT_DOUBLE_EQ(Vpot(1.0), 1.5);
    EXPECT_DOUBLE_EQ(Vpot(2.0), 2.25);
}

} // namespace
} // namespace brindle
