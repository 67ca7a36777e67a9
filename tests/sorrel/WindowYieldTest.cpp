// SPDX-License-Identifier: GPL-3.0-or-later
// The run yields to the event loop once a frame while it plots. Whatever the event
// loop handles there (keys, clicks on the controls, repaints, the close request)
// must leave the run's drawing exactly as an uninterrupted run makes it, or end it.

#include "WindowTestSupport.h"
#include "TestFonts.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <random>

using course::testing::testFonts;
using namespace sorrel;
using namespace sorrel::test;
using Nanos = course::PacedClock::Nanos;

namespace {

// Paced on a virtual clock; at every yield `during` runs, then the real event loop.
SorrelWindow::Config yieldingConfig(Nanos& now, std::function<void()>& during) {
    SorrelWindow::Config c;
    c.clock = [&now] { return now; };
    c.yield.pumpOnce = [&during] {
        if (during)
            during();
        course::DoEvents();
        return true; // the window adds its own stop
    };
    c.yield.sleep = [&now, &during](std::optional<Nanos> until, const std::function<bool()>&) {
        now = until.value_or(now);
        if (during)
            during();
        course::DoEvents();
        return true; // the window adds its own stop
    };
    return c;
}

} // namespace

TEST(SorrelWindowYield, KeysClicksAndRepaintsInsideEveryYieldLeaveTheRunAsItWas) {
    TestEnvironment quiet;
    TestEnvironment& ends = quiet;
    SorrelWindow reference(testFonts(), SorrelWindow::unpaced());
    ASSERT_EQ(reference.load(), RunOutcome::Completed);

    Nanos now{1'000'000'000'000};
    std::function<void()> during;
    SorrelWindow w(testFonts(), quiet(yieldingConfig(now, during)));
    w.show();
    std::mt19937 rng(20261207);
    const Qt::Key keys[] = {Qt::Key_A, Qt::Key_Up, Qt::Key_Down, Qt::Key_Space, Qt::Key_Return, Qt::Key_F1};
    QWidget* targets[] = {&w, w.label1(), w.picBox()->view(), w.picNumerovBox()->view()};
    long yields = 0, events = 0;
    during = [&] {
        if (++yields % 19 != 0)
            return;
        QWidget* t = targets[rng() % 4];
        switch (rng() % 3) {
        case 0:
            QCoreApplication::postEvent(t, new QKeyEvent(QEvent::KeyPress, keys[rng() % 6], Qt::NoModifier));
            break;
        case 1: click(t, QPointF(rng() % std::max(1, t->width()), rng() % std::max(1, t->height()))); break;
        default: w.repaint(); break;
        }
        ++events;
    };
    EXPECT_EQ(w.load(), RunOutcome::Completed);
    during = {};
    EXPECT_GT(events, 300);
    EXPECT_EQ(ends.ends, 0);
    EXPECT_EQ(w.form().ops().size(), reference.form().ops().size());
    EXPECT_EQ(textOf(w.form()), textOf(reference.form()));
    EXPECT_EQ(w.pic().ops().size(), reference.pic().ops().size());
    EXPECT_EQ(w.picNumerov().ops().size(), reference.picNumerov().ops().size());
    EXPECT_TRUE(w.getSourceFile()->isVisibleTo(&w));
}

TEST(SorrelWindowYield, CloseOrEscapeInsideAYieldOfEachCurveKindEndsTheRunThere) {
    // The first yield of the lower-plot curve, the potential and the matched solution.
    for (Spy::Step curve : {Spy::D1, Spy::D2, Spy::D3}) {
        for (bool escape : {false, true}) {
            TestEnvironment quiet;
            TestEnvironment& ends = quiet;
            Nanos now{1'000'000'000'000};
            std::function<void()> during;
            SorrelWindow w(testFonts(), quiet(yieldingConfig(now, during)));
            w.show();
            Spy spy(w.display());
            int stepsAfterEnd = 0;
            bool armed = false;
            spy.before = [&](Spy::Step k, const HartreeState&) {
                stepsAfterEnd += ends.ends > 0;
                armed = armed || k == curve;
            };
            during = [&] {
                if (!armed)
                    return;
                armed = false;
                if (escape)
                    QCoreApplication::postEvent(
                        w.picBox()->view(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
                else
                    w.close();
            };
            EXPECT_EQ(w.load(&spy), RunOutcome::Stopped) << "curve " << curve << " escape " << escape;
            EXPECT_EQ(ends.ends, 1);
            EXPECT_EQ(stepsAfterEnd, 0);
            EXPECT_TRUE(quiet.played.empty());
            EXPECT_FALSE(w.getSourceFile()->isVisibleTo(&w));
        }
    }
}
