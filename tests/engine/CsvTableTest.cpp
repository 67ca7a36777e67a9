// SPDX-License-Identifier: GPL-3.0-or-later
// CSV text of the data exports: numbers that read back as the same double, with a
// decimal point under any locale, and rows in the header's shape.

#include <engine/csv/CsvTable.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>

using course::CsvTable;

TEST(CsvTable, NumbersReadBackExactlyWithADecimalPoint) {
    // The test main runs under the user's locale; the comma-locale run of this suite
    // makes that one with decimal commas.
    const double values[] = {0.1,
                             1.0 / 3.0,
                             -2.861652516572315,
                             8.0 / 1024.0,
                             1e-100,
                             6.02214076e23,
                             std::numeric_limits<double>::denorm_min(),
                             std::nextafter(1.0, 2.0)};
    for (double v : values) {
        const std::string s = CsvTable::number(v);
        EXPECT_EQ(s.find(','), std::string::npos) << s;
        // strtod follows LC_NUMERIC; read back in the C locale.
        const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
        std::setlocale(LC_NUMERIC, "C");
        EXPECT_EQ(std::strtod(s.c_str(), nullptr), v) << s;
        std::setlocale(LC_NUMERIC, saved.c_str());
    }
    EXPECT_EQ(CsvTable::number(2.5), "2.5");
    EXPECT_EQ(CsvTable::number(-0.5), "-0.5");
    EXPECT_EQ(CsvTable::number(1e-05), "1e-05");
    EXPECT_EQ(CsvTable::number(std::numeric_limits<double>::infinity()), "inf");
}

TEST(CsvTable, RowsFollowTheHeader) {
    CsvTable t{"state", "E", "note"};
    t.row(1, 2.5, "ok");
    t.field(2).empty().field("x").endRow();
    EXPECT_EQ(t.text(), "state,E,note\n1,2.5,ok\n2,,x\n");
    const course::CsvFile f = t.file("a.csv");
    EXPECT_EQ(f.name, "a.csv");
    EXPECT_EQ(f.text, t.text());
}
