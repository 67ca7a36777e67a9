// SPDX-License-Identifier: GPL-3.0-or-later
// The nuclear charge in the window: the keys 1..9 and 0 stop a run and start it again
// for the chosen ion, or start a new run once one has ended; the title, the legend and
// the references follow the ion, and a guard's message replaces the report.

#include "WindowTestSupport.h"
#include "TestFonts.h"
#include <ProgramRun.h>

#include <QCoreApplication>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

#include <engine/shell/CommandTable.h>
#include <hartree/Ion.h>

using course::testing::testFonts;
using namespace sorrel;
using namespace sorrel::test;

namespace {

void press(SorrelWindow& w, Qt::Key key) {
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(w.picBox()->view(), &e);
}

// Handles pending events until the window has started `runs` runs and is idle again.
bool waitForRuns(const SorrelWindow& w, int runs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < until) {
        QCoreApplication::processEvents();
        if (w.runsStarted() >= runs && w.outcome())
            return true;
    }
    return false;
}

} // namespace

TEST(SorrelWindowCharge, KeyDuringARunStartsItAgainForTheChosenIon) {
    TestEnvironment sounds;
    TestEnvironment& ends = sounds;
    SorrelWindow::Config c = SorrelWindow::unpaced();
    SorrelWindow* window = nullptr;
    int pumps = 0;
    // The key arrives while the first curve of the helium run is being drawn.
    c.yield.pumpOnce = [&] {
        if (++pumps == 100)
            press(*window, Qt::Key_3);
        return true;
    };
    SorrelWindow w(testFonts(), sounds(c));
    window = &w;
    EXPECT_EQ(w.load(), RunOutcome::Completed);
    EXPECT_EQ(w.runsStarted(), 2);
    EXPECT_EQ(w.charge(), 3);
    ASSERT_NE(w.state(), nullptr);
    EXPECT_EQ(w.state()->z(), 3);
    EXPECT_NEAR(w.state()->Etotal(), -7.2364, 1e-3);

    EXPECT_EQ(w.label1()->caption(), QStringLiteral("リチウムイオン Li⁺ のハートリー近似"));
    EXPECT_EQ(w.windowTitle(), w.label1()->caption());
    // The whole title ends before the download label.
    const course::Surface& title = w.label1()->surface();
    EXPECT_LE(w.label1()->geometry().left() + title.TextWidth(w.label1()->caption()),
              w.getSourceFile()->geometry().left());
    // Nothing of the stopped helium run is left: one legend, one report of lithium.
    const QString table = textOf(w.form());
    EXPECT_TRUE(table.contains(QStringLiteral(" -7.2227 (変分法，"))) << table.toStdString();
    EXPECT_TRUE(table.contains(QStringLiteral(" -7.2798  (実測値 = 198.09 eV)."))) << table.toStdString();
    EXPECT_FALSE(table.contains(QStringLiteral("-2.8477")));
    const QString lower = textOf(w.pic());
    EXPECT_TRUE(lower.contains(QStringLiteral("43/16")));
    EXPECT_FALSE(lower.contains(QStringLiteral("27/16")));
    EXPECT_TRUE(textOf(w.picNumerov()).contains(QStringLiteral("−3/")));
    EXPECT_EQ(sounds.played.size(), 1u);
    EXPECT_TRUE(w.getSourceFile()->isVisibleTo(&w));
    EXPECT_EQ(ends.ends, 0);
}

TEST(SorrelWindowCharge, KeyAfterTheRunStartsANewOne) {
    TestEnvironment sounds;
    SorrelWindow::Config c = SorrelWindow::unpaced();
    c.Z = 10;
    SorrelWindow w(testFonts(), sounds(c));
    ASSERT_EQ(w.load(), RunOutcome::Completed);
    EXPECT_TRUE(textOf(w.form()).contains(QStringLiteral("155/16")));
    EXPECT_TRUE(w.getSourceFile()->isVisibleTo(&w));

    press(w, Qt::Key_1); // H⁻: converges on its own longer grid
    ASSERT_TRUE(waitForRuns(w, 2));
    EXPECT_EQ(w.outcome(), RunOutcome::Completed);
    EXPECT_EQ(w.state()->z(), 1);
    const QString table = textOf(w.form());
    EXPECT_TRUE(table.contains(QStringLiteral("-0.4879"))) << table.toStdString();
    EXPECT_TRUE(table.contains(QStringLiteral("11/16"))) << table.toStdString();
    EXPECT_TRUE(w.getSourceFile()->isVisibleTo(&w));
    EXPECT_EQ(sounds.played.size(), 2u);

    press(w, Qt::Key_0); // Ne⁸⁺ again
    ASSERT_TRUE(waitForRuns(w, 3));
    EXPECT_EQ(w.outcome(), RunOutcome::Completed);
    EXPECT_EQ(w.charge(), 10);
}

// The program: --Z reaches the table; a guard ends it with status 1 and its message.
TEST(SorrelWindowCharge, TableForAChargeAndItsExitStatus) {
    using Result = course::test::ProgramRun;
    auto run = [](const QStringList& args) {
        return course::test::runProgram(QStringLiteral(SORREL_EXECUTABLE), args);
    };
    const Result be = run({QStringLiteral("--table"), QStringLiteral("--Z"), QStringLiteral("4")});
    EXPECT_EQ(be.status, 0) << be.err.toStdString();
    EXPECT_TRUE(be.out.contains(QStringLiteral("全エネルギー E_total = -13.611"))) << be.out.toStdString();

    const Result h = run({QStringLiteral("--table"), QStringLiteral("--Z"), QStringLiteral("1")});
    EXPECT_EQ(h.status, 0) << h.err.toStdString();
    EXPECT_TRUE(h.out.contains(QStringLiteral("全エネルギー E_total = -0.4879"))) << h.out.toStdString();
    EXPECT_TRUE(h.out.contains(QStringLiteral("H の -0.5 より上"))) << h.out.toStdString();

    for (const char* bad : {"0", "11", "2.5", "he"}) {
        const Result r = run({QStringLiteral("--table"), QStringLiteral("--Z"), QString::fromLatin1(bad)});
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_TRUE(r.err.contains(QStringLiteral("--Z"))) << r.err.toStdString();
    }
}

// Precise mode: the key E runs again with the extrapolated energy beside the
// Hartree–Fock limit on the upper plot, and is listed in the key overview; the program's
// --table --precise ends with that energy.
TEST(SorrelWindowCharge, KeyESwitchesPreciseModeAndTheTableEndsWithTheLimit) {
    TestEnvironment sounds;
    SorrelWindow w(testFonts(), sounds(SorrelWindow::unpaced()));
    ASSERT_EQ(w.load(), RunOutcome::Completed);
    EXPECT_EQ(w.precise(), nullptr);
    EXPECT_FALSE(textOf(w.picNumerov()).contains(QStringLiteral("極限")));
    bool listed = false;
    for (const course::Command& c : w.commands().commands())
        listed = listed || (c.id == QStringLiteral("precise") && c.keyText().contains(QLatin1Char('E')));
    EXPECT_TRUE(listed);

    press(w, Qt::Key_E);
    ASSERT_TRUE(waitForRuns(w, 2));
    ASSERT_TRUE(w.preciseMode());
    ASSERT_NE(w.precise(), nullptr);
    EXPECT_LT(std::fabs(w.precise()->Etotal() - Ion{2}.hartreeFockLimit()), 1e-5);
    const QString upper = textOf(w.picNumerov());
    EXPECT_TRUE(upper.contains(QStringLiteral("-2.8616800"))) << upper.toStdString();
    EXPECT_TRUE(upper.contains(QStringLiteral("ハートリー・フォック極限"))) << upper.toStdString();
    // The table itself is the usual one.
    EXPECT_TRUE(textOf(w.form()).contains(QStringLiteral(" -2.9037  (実測値 = 79.02 eV).")));

    const auto h = course::test::runProgram(QStringLiteral(SORREL_EXECUTABLE),
                                            {QStringLiteral("--table"), QStringLiteral("--precise"),
                                             QStringLiteral("--Z"), QStringLiteral("1")});
    EXPECT_EQ(h.status, 0) << h.err.toStdString();
    EXPECT_TRUE(h.out.endsWith(QStringLiteral("外挿 h → 0   E_total = -0.4879297   (HF 極限 -0.4879297)\n")))
        << h.out.toStdString();
}
