// SPDX-License-Identifier: GPL-3.0-or-later
// Precise mode: the levels on halved steps, their extrapolation to h → 0 and how it
// compares with the Hartree–Fock limit of every ion; its table lines and CSV file.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <hartree/FailureText.h>
#include <hartree/Ion.h>
#include <hartree/PreciseReport.h>
#include <hartree/PreciseRun.h>

using namespace sorrel;

TEST(PreciseRun, RichardsonRemovesTheEvenPowersOfTheStep) {
    // f(h) = 3 + 5h² − 7h⁴ on h, h/2, h/4: three values remove both terms.
    auto f = [](double h) { return 3.0 + 5.0 * h * h - 7.0 * h * h * h * h; };
    EXPECT_NEAR(richardson({f(0.1), f(0.05), f(0.025)}), 3.0, 1e-14);
    // Two values remove the h² term only: what is left is the h⁴ term's share.
    const double two = richardson({f(0.1), f(0.05)});
    EXPECT_NEAR(two, 3.0 + (4 * -7.0 * std::pow(0.05, 4) - -7.0 * std::pow(0.1, 4)) / 3.0, 1e-14);
    EXPECT_NE(two, 3.0);
    EXPECT_EQ(richardson({-2.5}), -2.5);
    EXPECT_THROW(richardson({}), std::invalid_argument);
}

TEST(PreciseRun, LevelsHalveTheStepOnOneStretchedGrid) {
    const HartreeSetup base = HartreeSetup::forCharge(4);
    const HartreeSetup s = preciseSetup(4);
    EXPECT_DOUBLE_EQ(s.h(), base.h());
    EXPECT_NEAR(s.rMax, kPreciseGridStretch * base.rMax, 1e-12);
    EXPECT_EQ(s.rMatch, base.rMatch);
    EXPECT_LT(s.outerTol, 1e-9);
    for (int level = 1; level < kPreciseLevels; ++level) {
        const HartreeSetup r = refined(s, level);
        EXPECT_EQ(r.rMax, s.rMax);
        EXPECT_DOUBLE_EQ(r.h(), s.h() / (1 << level));
        EXPECT_EQ(r.iMatch(), s.iMatch() << level); // the matching point stays
    }
}

// Every ion from H⁻ to Ne⁸⁺: the extrapolation lies within 1·10⁻⁵ hartree of the
// Hartree–Fock limit, each level comes closer than the one before, the errors shrink
// as h² (a quarter per halving, the premise of the extrapolation), and E = 2ε₁ₛ − V_c
// still holds for the extrapolated values.
TEST(PreciseRun, EveryIonMeetsItsHartreeFockLimit) {
    for (int Z = kMinCharge; Z <= kMaxCharge; ++Z) {
        SCOPED_TRACE(Z);
        PreciseRun run(Z);
        ASSERT_EQ(run.run(), RunOutcome::Completed) << failureMessage(run.failure());
        EXPECT_FALSE(run.failure());
        const double limit = Ion{Z}.hartreeFockLimit();
        EXPECT_EQ(run.limit(), limit);
        EXPECT_LT(std::fabs(run.Etotal() - limit), 1e-5);
        ASSERT_EQ(run.levels().size(), std::size_t(kPreciseLevels));
        double last = 1.0;
        for (const PreciseLevel& l : run.levels()) {
            const double error = l.Etotal - run.Etotal();
            EXPECT_GT(error, 0.0); // from above, as the grid's error is
            EXPECT_LT(error, last);
            last = error;
        }
        const auto& L = run.levels();
        const double ratio = (L[1].Etotal - L[0].Etotal) / (L[2].Etotal - L[1].Etotal);
        EXPECT_NEAR(ratio, 4.0, 0.05);
        EXPECT_NEAR(2 * run.eps1s() - run.Vc(), run.Etotal(), 1e-9);
        EXPECT_THROW(run.run(), std::logic_error);
    }
}

TEST(PreciseRun, TableEndsWithTheEnergyBesideTheLimit) {
    PreciseRun run(1);
    ASSERT_EQ(run.run(), RunOutcome::Completed);
    const std::vector<std::string> lines = preciseTableLines(run);
    ASSERT_EQ(lines.size(), 1u + kPreciseLevels + 2u);
    EXPECT_EQ(lines.back(), "外挿 h → 0   E_total = -0.4879297   (HF 極限 -0.4879297)");
    EXPECT_EQ(lines.back(), preciseEnergyLine(run));
    EXPECT_NE(lines[1].find("N =  15360"), std::string::npos) << lines[1]; // H⁻'s long grid, stretched
    EXPECT_NE(lines[3].find("N =  61440"), std::string::npos) << lines[3];
    EXPECT_NE(lines[4].find("ε₁ₛ = -0.0462"), std::string::npos) << lines[4];

    // precise.csv: the levels, then h = 0 for the extrapolation; the limit on every row.
    const course::CsvFile f = preciseFile(run);
    EXPECT_EQ(f.name, "precise.csv");
    std::vector<std::string> rows;
    for (std::size_t a = 0, b; a < f.text.size(); a = b + 1) {
        b = f.text.find('\n', a);
        rows.push_back(f.text.substr(a, b - a));
    }
    ASSERT_EQ(rows.size(), 1u + kPreciseLevels + 1u);
    EXPECT_EQ(rows[0], "h_bohr,grid_intervals,r_max_bohr,cycles,eps_1s_hartree,V_c_hartree,E_total_hartree,"
                       "E_HF_limit_hartree");
    EXPECT_EQ(rows[1].substr(0, rows[1].find(',', rows[1].find(',') + 1)),
              course::CsvTable::number(run.levels()[0].setup.h()) + ",15360");
    EXPECT_EQ(rows.back().substr(0, 3), "0,,");
    EXPECT_EQ(rows.back().substr(rows.back().rfind(',') + 1), "-0.4879297");
    const std::string extrapolated = course::CsvTable::number(run.Etotal()) + ",-0.4879297";
    EXPECT_EQ(rows.back().substr(rows.back().size() - extrapolated.size()), extrapolated);
}

// A level that a guard ends: the table says why instead of extrapolating, the CSV file
// keeps the levels that finished.
TEST(PreciseRun, FailedLevelIsReportedNotExtrapolated) {
    HartreeSetup few = preciseSetup(3);
    few.cycleLimit = 5; // the tight tolerance needs about 14
    PreciseRun run(few);
    ASSERT_EQ(run.run(), RunOutcome::Failed);
    EXPECT_EQ(run.failure().why, Failure::CycleLimit);
    EXPECT_EQ(run.failure().limit, 5);
    EXPECT_TRUE(run.levels().empty());
    const std::vector<std::string> lines = preciseTableLines(run);
    EXPECT_EQ(lines.back(), failureLines(run.failure()).back());
    for (const std::string& line : lines)
        EXPECT_EQ(line.find("外挿 h → 0 "), std::string::npos) << line;
    const course::CsvFile f = preciseFile(run);
    EXPECT_EQ(std::count(f.text.begin(), f.text.end(), '\n'), 1); // the header only
    EXPECT_THROW(PreciseRun{11}, std::invalid_argument);
}
