// SPDX-License-Identifier: GPL-3.0-or-later
#include <string>

#include "../CommaLocale.h"

#include <gtest/gtest.h>

#include <brindle/EigenIteration.h>
#include <brindle/TableFormat.h>

namespace brindle {
namespace {

TEST(BrindleFormat, PagePatterns) {
    EXPECT_EQ(formatTrialEnergy(-0.5 + 2.3), "1.800");
    EXPECT_EQ(formatTrialEnergy(4.7999996), "4.800");
    EXPECT_EQ(formatTrialEnergy(12.25), "12.250");
    EXPECT_EQ(formatTrialEnergy(0.5), ".500");
    EXPECT_EQ(formatTrialEnergy(-0.5), "-.500");
    EXPECT_EQ(formatDeltaE(0.8925834), "0.892583");
    EXPECT_EQ(formatDeltaE(-0.0000031), "-0.000003");
    EXPECT_EQ(formatDeltaE(-1.25), "-1.250000");
    EXPECT_EQ(formatEnergy(2.6925834), "2.692583");
    EXPECT_EQ(formatEnergy(10.5), "10.500000");
}

TEST(BrindleFormat, PointNotCommaWhateverTheLocale) {
    const std::string usual = formatTable(runAll());
    course::testing::CommaLocale comma;
    ASSERT_TRUE(comma.active()) << "de_DE.UTF-8 is not installed (scripts/setup.sh makes it)";
    EXPECT_EQ(formatTrialEnergy(1.8), "1.800");
    EXPECT_EQ(formatDeltaE(-0.0000031), "-0.000003");
    EXPECT_EQ(formatEnergy(2.6925834), "2.692583");
    EXPECT_EQ(formatTable(runAll()), usual);
    EXPECT_NE(usual.find("(x_m = 1.7500)"), std::string::npos) << usual;
}

TEST(BrindleFormat, TableListsEveryRowAndStateSummary) {
    const RunResult run = runAll();
    const std::string table = formatTable(run);

    EXPECT_NE(table.find("    1  1      0.892583      2.692583\n"), std::string::npos) << table;

    // One line per iteration: the number of lines holding a six-decimal pair.
    std::size_t rowLines = 0;
    for (const IterationRecord& r : run.rows) {
        const std::string pair = formatDeltaE(r.dE) + "  ";
        if (table.find(pair) != std::string::npos)
            ++rowLines;
    }
    EXPECT_EQ(rowLines, run.rows.size());

    EXPECT_NE(table.find("    1    1.800           5   0.6640625 ( 85h)  2.1406250 (274h)    2.500000"),
              std::string::npos)
        << table;
    const char* energies[] = {"2.500000", "4.500000", "6.500000", "8.500000"};
    const char* trials[] = {"1.800", "4.800", "6.800", "8.800"};
    const int counts[] = {5, 6, 4, 4};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k + 1);
        const std::string head = "    " + std::to_string(k + 1) + "    " + trials[k] + "           " +
                                 std::to_string(counts[k]) + "   ";
        const std::size_t at = table.find(head);
        ASSERT_NE(at, std::string::npos) << table;
        const std::size_t end = table.find('\n', at);
        EXPECT_NE(table.substr(at, end - at).find(energies[k]), std::string::npos);
    }
}

} // namespace
} // namespace brindle
