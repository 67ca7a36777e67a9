// SPDX-License-Identifier: GPL-3.0-or-later
#include <string>
#include <vector>

#include "../CommaLocale.h"

#include <gtest/gtest.h>

#include <hartree/FailureText.h>
#include <hartree/HartreeState.h>
#include <hartree/Ion.h>
#include <hartree/TableCollector.h>

using namespace sorrel;

TEST(SorrelTable, NumberFormats) {
    EXPECT_EQ(fixed5(0.1), "0.10000");
    EXPECT_EQ(fixed5(-0.8987654), "-0.89877");
    EXPECT_EQ(fixed5(-2.86171), "-2.86171");
    EXPECT_EQ(fixed4(1.02576), "1.0258");
    EXPECT_EQ(fixed4(-0.91794), "-0.9179");
}

TEST(SorrelTable, PointNotCommaWhateverTheLocale) {
    course::testing::CommaLocale comma;
    ASSERT_TRUE(comma.active()) << "de_DE.UTF-8 is not installed (scripts/setup.sh makes it)";
    EXPECT_EQ(fixed5(-0.8987654), "-0.89877");
    EXPECT_EQ(fixed4(1.02576), "1.0258");
    EXPECT_NE(cycleTableLine(7, -2.8617123).find("-2.86171"), std::string::npos);
    for (const std::string& line : reportTableLines(-0.91794, 1.02576, -2.86171))
        EXPECT_EQ(line.find(','), std::string::npos) << line;
}

TEST(SorrelTable, FailureLinesKeepTheirPointWhateverTheLocale) {
    course::testing::CommaLocale comma;
    ASSERT_TRUE(comma.active()) << "de_DE.UTF-8 is not installed (scripts/setup.sh makes it)";
    HartreeSetup plain = HartreeSetup::forCharge(1); // H⁻ on a grid it does not fit
    plain.Npts = HartreeState::Npts;
    plain.rMax = HartreeState::rMax * HartreeState::aTrial / plain.aTrial();
    plain.mixing = 1.0;
    plain.boundStep = 0.0;
    HartreeState s(plain);
    ASSERT_EQ(s.run(), RunOutcome::Failed);
    const std::string message = failureMessage(s.failure());
    EXPECT_NE(message.find("r ≦ 19.64"), std::string::npos) << message;
    EXPECT_EQ(message.find("19,64"), std::string::npos) << message;
}

TEST(SorrelTable, LinesCarryTheirValues) {
    const std::string inner = innerTableLine(3, 1, -0.0000123, -0.917912);
    EXPECT_NE(inner.find(" 3"), std::string::npos);
    EXPECT_NE(inner.find("ステップ 1"), std::string::npos);
    EXPECT_NE(inner.find("⊿ε₁ₛ =  -0.00001"), std::string::npos);
    EXPECT_NE(inner.find("ε₁ₛ =  -0.91791"), std::string::npos);
    // Numbers of either sign take the same columns.
    EXPECT_EQ(innerTableLine(0, 0, 0.10234, -0.89766).size(), innerTableLine(0, 1, -0.01, -0.9).size());

    const std::string cycle = cycleTableLine(7, -2.8617123);
    EXPECT_NE(cycle.find("[7]"), std::string::npos);
    EXPECT_NE(cycle.find("E_total =  -2.86171"), std::string::npos);

    const auto report = reportTableLines(-0.91794, 1.02576, -2.86164);
    ASSERT_EQ(report.size(), 5u);
    EXPECT_EQ(report[0], "一電子エネルギー ε₁ₛ = -0.9179");
    EXPECT_EQ(report[1], "電子間クーロン･エネルギー V_c = 1.0258");
    EXPECT_EQ(report[2], "   全エネルギー E_total = -2.8616");
    EXPECT_EQ(report[3], " -2.8477 (変分法，a = 27/16 )");
    EXPECT_EQ(report[4], " -2.9037  (実測値 = 79.02 eV).");
}

TEST(SorrelTable, FullRunGrowsOneLinePerStepAndCycle) {
    HartreeState state;
    TableCollector table;
    ASSERT_EQ(state.run(table), RunOutcome::Completed);
    const auto& lines = table.lines();
    ASSERT_EQ(lines.size(), 17u + 8u + 5u);

    // Cycle 0: three inner lines, then its cycle line; later cycles: two and one.
    std::string shape;
    for (std::size_t k = 0; k + 5 < lines.size(); ++k)
        shape += lines[k].find("E_total") != std::string::npos ? 'C' : 'i';
    EXPECT_EQ(shape, "iiiCiiCiiCiiCiiCiiCiiCiiC");
    EXPECT_NE(lines[3].find("[0]"), std::string::npos);
    EXPECT_NE(lines[24].find("[7]"), std::string::npos);
    EXPECT_NE(lines[0].find("0.10"), std::string::npos); // first correction about +0.10

    EXPECT_EQ(lines[25], "一電子エネルギー ε₁ₛ = -0.9179");
    EXPECT_EQ(lines[26], "電子間クーロン･エネルギー V_c = 1.0258");
    EXPECT_EQ(lines[27], "   全エネルギー E_total = -2.8617");

    const std::string text = computeTableText();
    EXPECT_EQ(text, joinLines(lines));
    EXPECT_EQ(text.back(), '\n');
}
