// SPDX-License-Identifier: GPL-3.0-or-later
// The live page (page 2) through the window: what a screen run draws over its course,
// its pacing on an injected clock and on the real event loop, its sounds, and the
// final picture drawn while printing and exporting.

#include "PageTestSupport.h"
#include "TestFonts.h"

#include <engine/shell/SurfaceView.h>

#include <engine/shell/PageExport.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QRegion>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <ctime>

using course::testing::testFonts;
using namespace brindle;
using namespace brindle::testing;
using course::DrawOp;
using course::Rgb;

namespace {

constexpr Rgb kBlue = course::RGB(0, 0, 255);
constexpr Rgb kRed = course::RGB(255, 0, 0);
constexpr Rgb kCyan = course::RGB(0, 224, 224);
constexpr Rgb kMagenta = course::RGB(255, 0, 255);
constexpr Rgb kGreen = course::RGB(0, 224, 0);
constexpr Rgb kOrange = course::RGB(255, 96, 0);
const double h = EigenIteration::h();

std::vector<DrawOp> linesIn(const std::vector<DrawOp>& ops, Rgb color) {
    std::vector<DrawOp> out;
    for (const DrawOp& op : ops)
        if (op.kind == DrawOp::Kind::Line && op.color == color)
            out.push_back(op);
    return out;
}

int textsEqual(const std::vector<DrawOp>& ops, const QString& s) {
    int n = 0;
    for (const DrawOp& op : ops)
        n += op.kind == DrawOp::Kind::Text && op.text == s;
    return n;
}

// The final picture: four blue functions of 1025 steps each (less the few steps
// that pass under a label and are left out) and four red levels, the last of them
// from state 1's turning points 85h to 274h at E = 2.5.
void expectFinalPicture(const std::vector<DrawOp>& ops) {
    const std::size_t blue = linesIn(ops, kBlue).size();
    EXPECT_LE(blue, 4u * 1025u);
    EXPECT_GE(blue, 4u * 1025u - 41u);
    const std::vector<DrawOp> levels = linesIn(ops, kRed);
    ASSERT_EQ(levels.size(), 4u);
    EXPECT_DOUBLE_EQ(levels[0].a.x(), px(85 * h));
    EXPECT_DOUBLE_EQ(levels[0].b.x(), px(274 * h));
    // Each level on the row of pixels nearest its energy.
    EXPECT_EQ(levels[0].a.y(), std::round(py(2.5)));
    const double E[4] = {2.5, 4.5, 6.5, 8.5};
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(levels[k].b.y(), std::round(py(E[k]))) << k;
    for (const DrawOp& op : ops) {
        EXPECT_NE(op.text, QStringLiteral(" ⊿"));
        EXPECT_FALSE(op.text.startsWith(QStringLiteral("エネルギー初期値")));
        EXPECT_TRUE(op.kind != DrawOp::Kind::Line || (op.color != kMagenta && op.color != kOrange));
    }
}

class LivePage : public BrindleWindow {
protected:
    // Shows page 2 by the arrow label, as a reader would.
    void showLivePage() {
        w->cmdGo_Click();
        w->cmdGo_Click();
    }
    // Runs the page on a picture of page 2's size that no view shows, so that a
    // recorder can watch every operation (a view repaints through the same listener).
    course::Surface picture{testFonts(), livePageSize()};
    void runOnPicture() { doc->drawPageOn(picture, 2); }
};

} // namespace

TEST_F(LivePage, ScreenRunDrawsEveryRowAndLevel) {
    OpRecorder rec(picture);
    runOnPicture();
    EXPECT_EQ(pacer.sleeps(), kSleepsPerRun);
    EXPECT_EQ(rec.clears, 5); // one background per pass

    // Trial energies and the result rows, in drawing order.
    std::vector<QString> texts;
    std::vector<double> rowY;
    for (const DrawOp& op : rec.of(DrawOp::Kind::Text)) {
        texts.push_back(op.text);
        if (op.text == QStringLiteral(" ⊿"))
            rowY.push_back(op.a.y());
    }
    std::vector<int> rowsPerState;
    for (const QString& t : texts) {
        if (t.startsWith(QStringLiteral("エネルギー初期値 = ")))
            rowsPerState.push_back(0);
        else if (t == QStringLiteral(" ⊿") && !rowsPerState.empty())
            ++rowsPerState.back();
    }
    EXPECT_EQ(rowsPerState, (std::vector<int>{5, 6, 4, 4}));
    EXPECT_EQ(rowY.size(), 19u);
    // Rows descend one plot unit per iteration from y = 7.8, restarting each state.
    EXPECT_NEAR(rowY[0], py(7.8), 1e-9);
    EXPECT_NEAR(rowY[4], py(3.8), 1e-9);
    EXPECT_NEAR(rowY[5], py(7.8), 1e-9);

    EXPECT_EQ(textsEqual(rec.ops, QStringLiteral("エネルギー初期値 = 1.800")), 1);
    EXPECT_EQ(textsEqual(rec.ops, QStringLiteral("エネルギー初期値 = 4.800")), 1);
    EXPECT_EQ(textsEqual(rec.ops, QStringLiteral("エネルギー初期値 = 6.800")), 1);
    EXPECT_EQ(textsEqual(rec.ops, QStringLiteral("エネルギー初期値 = 8.800")), 1);
    // The first row: ΔE = 0.892583, E = 2.692583, in the row's own text runs.
    auto first = std::find(texts.begin(), texts.end(), QStringLiteral(" ⊿"));
    ASSERT_NE(first, texts.end());
    const std::vector<QString> row(first, first + 8);
    EXPECT_TRUE(std::find(row.begin(), row.end(), QStringLiteral("= 0.892583")) != row.end());
    EXPECT_TRUE(std::find(row.begin(), row.end(), QStringLiteral(" = 2.692583")) != row.end());
    EXPECT_EQ(textsEqual(rec.ops, QStringLiteral(" = 2.500000")), 2); // rows 4 and 5
    EXPECT_EQ(textsEqual(rec.ops, QStringLiteral(" = 8.500000")), 2);

    // Traces: 416 inward and 224 outward steps per iteration in alternating colours,
    // a step left out or cut short where it would reach a label or a row (the few
    // where the inward traces pass the axis' numbers); nothing at x ≥ 5 is traced.
    const auto green = linesIn(rec.ops, kGreen), magenta = linesIn(rec.ops, kMagenta);
    const auto orange = linesIn(rec.ops, kOrange);
    const double greenSteps = 416 * (3 + 3 + 2 + 2); // odd iterations: 1, 3, 5 …
    const double magentaSteps = 416 * (2 + 3 + 2 + 2);
    EXPECT_NEAR(double(green.size()), greenSteps, 0.03 * greenSteps);
    EXPECT_NEAR(double(magenta.size()), magentaSteps, 0.03 * magentaSteps);
    EXPECT_EQ(orange.size(), 224u * 10);
    for (const auto* set : {&green, &magenta})
        for (const DrawOp& op : *set)
            ASSERT_LT(op.b.x(), px(5));

    // Level lines as each state finishes, then the final picture as it stays.
    const auto levels = linesIn(rec.ops, kRed);
    ASSERT_GE(levels.size(), 4u);
    EXPECT_DOUBLE_EQ(levels[0].a.x(), px(85 * h));
    EXPECT_DOUBLE_EQ(levels[0].b.x(), px(274 * h));
    expectFinalPicture(picture.ops());

    // The potential in cyan and the surface left as it was found.
    EXPECT_GT(linesIn(picture.ops(), kCyan).size(), 1000u);
    EXPECT_TRUE(picture.FontTransparent);
    EXPECT_FALSE(picture.userScale());
    EXPECT_EQ(doc->Pic, nullptr); // the run's scope has ended
    EXPECT_EQ(doc->runsInProgress(), 0);
}

TEST_F(LivePage, ChimeAfterEachStateAndNotifyTwoSecondsAfterTheLast) {
    showLivePage();
    ASSERT_EQ(sounds.size(), 5u);
    const int perState[4] = {5, 6, 4, 4};
    int iterations = 0;
    for (int k = 0; k < 4; ++k) {
        iterations += perState[k];
        EXPECT_EQ(sounds[k].sound, course::Sound::Chime);
        EXPECT_EQ(sounds[k].sleepsBefore, iterations * kSleepsPerIteration) << k;
    }
    EXPECT_EQ(sounds[4].sound, course::Sound::Notify);
    EXPECT_EQ(sounds[4].sleepsBefore, kSleepsPerRun);
    EXPECT_EQ(pacer.deadlines.back() - pacer.startedAt.back(), 2s);
}

TEST_F(LivePage, WaitsEndAtStepDeadlinesFromTheTraceStartWithoutDrift) {
    pacer.lateBy = 3ms; // every wake-up late, as when drawing is slow
    showLivePage();
    ASSERT_EQ(pacer.sleeps(), kSleepsPerRun);
    for (int n = 0; n < 19; ++n) {
        const int base = n * kSleepsPerIteration;
        const nanoseconds inwardStart = pacer.startedAt[base];
        for (int k = 0; k < 416; ++k)
            ASSERT_EQ(pacer.deadlines[base + k], inwardStart + 10ms * (k + 1)) << n << " " << k;
        // The outward trace starts from its own instant, after the last inward wake-up.
        const nanoseconds outwardStart = pacer.startedAt[base + 416];
        EXPECT_EQ(outwardStart, inwardStart + 4160ms + 3ms);
        for (int k = 0; k < 224; ++k)
            ASSERT_EQ(pacer.deadlines[base + 416 + k], outwardStart + 10ms * (k + 1)) << n << " " << k;
    }
}

TEST_F(LivePage, SpeedDividesEveryWait) {
    doc->setSpeed(4);
    showLivePage();
    // At ×4 a step is 2.5 ms: steps due within the pacer's 4 ms are drawn together,
    // so the page sleeps once per two steps, each time until a step's deadline, and a
    // trace still ends at its last step's deadline.
    ASSERT_EQ(pacer.sleeps(), 19 * (208 + 112) + 1);
    EXPECT_EQ(pacer.deadlines[0] - pacer.startedAt[0], 5ms);
    for (std::size_t i = 0; i < pacer.deadlines.size(); ++i)
        ASSERT_EQ((pacer.deadlines[i] - pacer.startedAt[i]) % 2500us, 0ns) << i;
    EXPECT_EQ(pacer.deadlines[207] - pacer.startedAt[0], 1040ms);
    EXPECT_EQ(pacer.deadlines.back() - pacer.startedAt.back(), 500ms);
    EXPECT_THROW(doc->setSpeed(0), std::invalid_argument);
    EXPECT_THROW(doc->setSpeed(-1), std::invalid_argument);
    EXPECT_THROW(doc->setSpeed(std::nan("")), std::invalid_argument);
    EXPECT_DOUBLE_EQ(doc->speed(), 4);
}

// With the window's own gathering (a frame, 16 ms) the 10 ms steps of ×1 are drawn in
// pairs: the page wakes once per two steps, at the second one's deadline, never draws
// a step more than a frame early, and every trace still starts after the whole time
// of the one before.
TEST_F(LivePage, StepsOfAFrameAreDrawnTogether) {
    doc->pacing().setGather(course::PacedWaiter::kGather);
    OpRecorder rec(w->page(2));
    std::vector<nanoseconds> drawnAt;
    rec.onOp = [&] { drawnAt.push_back(pacer.t); };
    showLivePage();
    ASSERT_EQ(pacer.sleeps(), 19 * (208 + 112) + 1);
    for (std::size_t i = 0; i < pacer.deadlines.size(); ++i)
        ASSERT_EQ((pacer.deadlines[i] - pacer.startedAt[i]), i + 1 == pacer.deadlines.size() ? 2s : 20ms)
            << i;
    for (int n = 0; n < 19; ++n) {
        const int base = n * 320;
        EXPECT_EQ(pacer.startedAt[base + 208], pacer.startedAt[base] + 4160ms) << n;
    }
    // The inward trace of the first iteration: step k is drawn at most a frame before
    // the deadline of the step before it, and never after.
    const std::vector<DrawOp>& ops = rec.ops;
    std::vector<nanoseconds> stepTimes;
    for (std::size_t i = 0; i < ops.size(); ++i)
        if (ops[i].kind == DrawOp::Kind::Line && ops[i].color == kMagenta)
            stepTimes.push_back(drawnAt[i]);
    ASSERT_GE(stepTimes.size(), 416u);
    for (std::size_t k = 1; k < 416; ++k) {
        const nanoseconds due = stepTimes[0] + 10ms * nanoseconds::rep(k);
        EXPECT_LE(stepTimes[k], due) << k;
        EXPECT_GE(stepTimes[k], due - course::PacedWaiter::kGather) << k;
    }
}

TEST_F(LivePage, PrintingDrawsTheFinalPictureWithoutWaitsOrSounds) {
    showLivePage();
    const int sleeps = pacer.sleeps();
    sounds.clear();
    w->cmdPrint_Click();
    EXPECT_EQ(sink->prints, 1);
    EXPECT_EQ(pacer.sleeps(), sleeps);
    EXPECT_TRUE(sounds.empty());
    expectFinalPicture(sink->canvasOps);
    // The canvas's font and pen are as they were, for the next page printed on it.
    EXPECT_TRUE(w->Form2().FontTransparent);
    EXPECT_EQ(w->Form2().DrawWidth, 1);
}

TEST_F(LivePage, ExportDrawsPageTwoAsItsFinalPicture) {
    course::completePagesForExport(*w);
    EXPECT_EQ(pacer.sleeps(), 0);
    EXPECT_TRUE(sounds.empty());
    expectFinalPicture(w->page(2).ops());
    QTemporaryDir dir;
    ASSERT_TRUE(course::exportPng(*w, dir.path()).ok);
    const QImage img(QDir(dir.path()).filePath(QStringLiteral("page-2.png")));
    ASSERT_FALSE(img.isNull());
    // The level of state 1 shows red on the exported picture.
    int red = 0;
    for (int y = int(std::floor(py(2.5))); y <= int(std::ceil(py(2.5))); ++y)
        for (int x = int(px(0.7)); x < int(px(2.1)); ++x) {
            const QColor c = img.pixelColor(x, y);
            red += c.red() > 200 && c.green() < 120 && c.blue() < 120;
        }
    EXPECT_GT(red, 100);
}

TEST_F(LivePage, NoMissingGlyphsOnTheLivePage) {
    OpRecorder rec(picture);
    runOnPicture();
    QString missing;
    for (const DrawOp& op : rec.ops)
        missing += course::missingCharacters(op);
    EXPECT_EQ(missing, QString());
    showLivePage();
    w->cmdPrint_Click();
    EXPECT_EQ(course::missingCharacters(w->Form2()), QString());
}

TEST_F(LivePage, TextStaysInsideThePicture) {
    OpRecorder rec(picture);
    runOnPicture();
    const QSize size = livePageSize();
    for (const DrawOp& op : rec.of(DrawOp::Kind::Text)) {
        EXPECT_GE(op.a.x(), 0) << op.text.toStdString();
        EXPECT_LE(op.a.x() + op.cell.width(), size.width()) << op.text.toStdString();
        EXPECT_LE(op.a.y() + op.cell.height(), w->visiblePageSize().height()) << op.text.toStdString();
    }
}

// The real pacer sleeps in the event loop: the process stays almost idle while it
// waits, and no step is drawn before its deadline.
TEST(LivePageEventLoop, SleepsUntilEachDeadlineWithoutSpinning) {
    struct Counting {
        course::Yield real = course::Yield::eventLoop();
        int sleeps = 0, early = 0, limit = 200;
    } pacer;
    course::Yield counting = pacer.real;
    counting.sleep = [&pacer](std::optional<nanoseconds> until, const std::function<bool()>& wake) {
        if (++pacer.sleeps > pacer.limit)
            return false; // stops the run, as the end of the program would
        const bool ok = pacer.real.sleep(until, wake);
        pacer.early += until && course::PacedClock::steadyTimeSource()() < *until;
        return ok;
    };
    BrindleDocument doc;
    doc.pacing().setYield(counting);
    doc.setSpeed(2); // 5 ms a step: 200 steps take a second
    course::Surface g(testFonts(), livePageSize());
    course::DrawingScope on(doc, g);
    doc.CharW = 10;
    doc.CharH = 24;

    auto cpu = [] {
        timespec ts{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
        return ts.tv_sec + ts.tv_nsec * 1e-9;
    };
    const auto wall0 = std::chrono::steady_clock::now();
    const double cpu0 = cpu();
    doc.drawPage(2);
    const double cpuUsed = cpu() - cpu0;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();

    EXPECT_EQ(pacer.sleeps, 201);
    EXPECT_EQ(pacer.early, 0);
    EXPECT_GE(wall, 0.99);
    EXPECT_LT(cpuUsed, 0.5 * wall) << "cpu " << cpuUsed << " s over " << wall << " s";
    EXPECT_EQ(doc.runsInProgress(), 0);
}

// On screen, each traced step repaints the part of the picture it drew, not the whole
// picture; once the run is over a change repaints the whole picture again.
TEST_F(LivePage, ScreenRepaintCoversEachStepAndOnlyItsNeighbourhood) {
    struct PaintLog : QObject {
        std::vector<QRegion> regions;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint)
                regions.push_back(static_cast<QPaintEvent*>(e)->region());
            return false;
        }
    } log;
    w->show();
    QWidget* view = w->pageView(2);
    view->installEventFilter(&log);
    const QRect whole = view->rect();
    // Window updates are paced by the platform: wait for the next paint.
    auto paintNow = [&] {
        log.regions.clear();
        QElapsedTimer t;
        t.start();
        while (log.regions.empty() && t.elapsed() < 1000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    };
    // The window's first paints show all of it; under load they may come in pieces.
    auto wholeShown = [&] {
        QRegion painted;
        QElapsedTimer t;
        t.start();
        while (!painted.contains(whole) && t.elapsed() < 5000) {
            log.regions.clear();
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
            for (const QRegion& r : log.regions)
                painted += r;
        }
        // Anything drawn meanwhile reaches the screen before the steps are watched.
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 3 * course::SurfaceView::kFrameMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    };
    int checked = 0;
    // Steps 150 to 185 trace x from 3.6 to 3.3, inside the picture.
    pacer.during = [&](int k) {
        if (k == 149)
            wholeShown();
        if (k < 150 || k > 185)
            return;
        const course::DrawOp step = w->page(2).ops().back();
        paintNow();
        ASSERT_EQ(step.kind, DrawOp::Kind::Line);
        QRegion painted;
        for (const QRegion& r : log.regions)
            painted += r;
        EXPECT_TRUE(painted.contains(step.b.toPoint())) << k;
        EXPECT_LT(painted.boundingRect().width() * painted.boundingRect().height(),
                  whole.width() * whole.height() / 20)
            << k;
        ++checked;
    };
    showLivePage();
    EXPECT_EQ(checked, 36);
    w->page(2).Line(1, 1, 2, 2);
    paintNow();
    ASSERT_FALSE(log.regions.empty());
    EXPECT_EQ(log.regions.back().boundingRect(), view->visibleRegion().boundingRect());
    view->removeEventFilter(&log);
}
