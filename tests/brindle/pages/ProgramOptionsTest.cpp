// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own options, run as a separate process: --table prints the run as
// text without a window, --speed refuses anything but one of the offered speeds.

#include "BrindleDocument.h"

#include <ProgramRun.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using Result = course::test::ProgramRun;

Result runBrindle(const QStringList& args) {
    return course::test::runProgram(QStringLiteral(BRINDLE_BINARY), args);
}

} // namespace

TEST(ProgramOptions, TablePrintsEveryRowAndTheStatesAndExitsZero) {
    const Result r = runBrindle({QStringLiteral("--table")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'));
    int rows = 0;
    for (const QString& l : lines) {
        const QStringList f = l.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (f.size() == 4 && f[0].toInt() >= 1 && f[1].toInt() >= 1)
            ++rows;
    }
    EXPECT_EQ(rows, 19);
    EXPECT_TRUE(r.out.contains(QStringLiteral("0.892583")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("2.692583")));
    for (const char* e : {"2.500000", "4.500000", "6.500000", "8.500000"})
        EXPECT_TRUE(r.out.contains(QString::fromLatin1(e))) << e;
    EXPECT_TRUE(r.out.contains(QStringLiteral("( 85h)")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("(274h)")));
}

TEST(ProgramOptions, BadSpeedGetsAMessageAndStatusTwo) {
    for (const char* bad : {"0", "-1", "abc", "nan", "inf", "", "2.5", "1e-320", "32", "1/3"}) {
        const Result r =
            runBrindle({QStringLiteral("--table"), QStringLiteral("--speed"), QString::fromLatin1(bad)});
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_TRUE(r.err.contains(QStringLiteral("--speed"))) << bad << ": " << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << bad;
    }
    const Result missing = runBrindle({QStringLiteral("--speed")});
    EXPECT_EQ(missing.status, 2);
    const Result good =
        runBrindle({QStringLiteral("--speed"), QStringLiteral("1/4"), QStringLiteral("--table")});
    EXPECT_EQ(good.status, 0);
}

