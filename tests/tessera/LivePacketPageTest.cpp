// SPDX-License-Identifier: GPL-3.0-or-later
// tessera's live page in its window on the offscreen platform, on a fake clock: the
// paced Crank–Nicolson run and its last frame, the explicit scheme's stop, the Δt and
// scheme commands, pause and step, a run started again from inside its own wait, and
// the print and export of the page.

#include "FakePacing.h"
#include "PacketControls.h"
#include "RunLog.h"
#include "TesseraDocument.h"
#include "WindowFixture.h"

#include <engine/shell/Form1.h>
#include <engine/shell/KeyCode.h>
#include <engine/shell/PageExport.h>
#include <engine/shell/RunControls.h>
#include <engine/textruns/PageText.h>

#include <gtest/gtest.h>

#include <algorithm>

using namespace course;
using namespace course::testing;
using tessera::Scheme;
using tessera::testing::FakePacer;
using namespace std::chrono_literals;

namespace {

struct LivePacket : WindowFixture<tessera::TesseraDocument> {
    FakePacer pacer;
    int beeps = 0;
    void SetUp() override {
        auto d = std::make_unique<tessera::TesseraDocument>();
        pacer.attach(*d);
        d->setSpeed(16);
        d->env().beepHook = [this] { ++beeps; };
        open(std::move(d));
    }
    static constexpr int kLast = 3;
    // The page as a reader reads it: the rows' words and numbers in their order.
    QString page() const { return pageText(w->page(kLast)); }
    void showLivePage() { w->ShowThisPic(kLast); }
};

} // namespace

TEST_F(LivePacket, ARunLastsTenPeriodsFramePacedAndEndsOnItsLastFrame) {
    // Nothing is drawn on the live page before it is shown.
    EXPECT_TRUE(w->page(kLast).ops().empty() || texts(w->page(kLast)).empty());
    showLivePage();
    EXPECT_EQ(doc->runsInProgress(), 0);
    // ×16: every drawn frame covers 32 of the 1000 frames, 80 ms apart in real time
    // (32 × 40 ms of paced time).
    ASSERT_EQ(pacer.sleeps(), 32);
    for (int k = 1; k + 1 < pacer.sleeps(); ++k)
        EXPECT_EQ(pacer.deadlines[k] - pacer.deadlines[k - 1], 80ms) << k;
    const QString text = page();
    EXPECT_TRUE(text.contains(QStringLiteral("10 周期を計算しました"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("62.832 (10.00 周期)"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("32000 ステップ")));
    EXPECT_TRUE(text.contains(QStringLiteral("ノルム = 0.999999999999")) ||
                text.contains(QStringLiteral("ノルム = 1.000000000000")));
    EXPECT_FALSE(text.contains(QStringLiteral("陽解法は不安定")));
    // Both densities are drawn across the plot: the wide gray exact one and the blue
    // computed one, each a polyline bent along the packet.
    struct Curve {
        int segments = 0;
        double left = 1e9, right = -1e9;
        void add(const DrawOp& op) {
            ++segments;
            left = std::min({left, op.a.x(), op.b.x()});
            right = std::max({right, op.a.x(), op.b.x()});
        }
    } gray, blue;
    for (const DrawOp& op : opsOfKind(w->page(kLast), DrawOp::Kind::Line)) {
        if (op.width == 6)
            gray.add(op);
        if (op.width == 2 && op.color == RGB(0, 0, 255))
            blue.add(op);
    }
    for (const Curve& c : {gray, blue}) {
        EXPECT_GT(c.segments, 20);
        EXPECT_LT(c.left, 80);
        EXPECT_GT(c.right, 740);
    }
    // The surface's pen is as it was.
    EXPECT_EQ(w->page(kLast).DrawWidth, 1);
    EXPECT_DOUBLE_EQ(w->page(kLast).FontSize, 13);
}

TEST_F(LivePacket, AtTheNormalSpeedEveryOtherFrameIsDrawnEightyMillisecondsApart) {
    doc->setSpeed(1);
    pacer.during = [this](int k) {
        if (k == 30)
            doc->env().End();
    };
    showLivePage();
    EXPECT_EQ(ends, 1);
    ASSERT_GE(pacer.sleeps(), 30);
    for (int k = 1; k < 30; ++k)
        EXPECT_EQ(pacer.deadlines[k] - pacer.deadlines[k - 1], 80ms) << k;
    // Stopped in the wait after the 31st drawn frame, two frames of 32 steps each; the
    // rows of numbers were last drawn with the 28th.
    EXPECT_TRUE(page().contains(QStringLiteral("1792 ステップ"))) << page().toStdString();
    EXPECT_FALSE(page().contains(QStringLiteral("10 周期を計算しました")));
}

TEST_F(LivePacket, TheExplicitSchemeIsDrawnStepByStepUntilItsNormPassesTheStop) {
    doc->setSpeed(0.5); // from ×1 on a drawn frame covers more than one step
    showLivePage();
    ASSERT_NE(doc->packetControls(), nullptr);
    EXPECT_EQ(doc->packetControls()->schemeLabel()->caption(), QStringLiteral("陽解法にする"));
    const int before = pacer.sleeps();
    ASSERT_TRUE(w->commands().trigger(QStringLiteral("packet-scheme")));
    EXPECT_EQ(doc->scheme(), Scheme::Explicit);
    EXPECT_EQ(doc->packetControls()->schemeLabel()->caption(), QStringLiteral("クランク・ニコルソン法に戻す"));
    const QString text = page();
    EXPECT_TRUE(text.contains(QStringLiteral("陽解法は不安定"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("10 周期を計算しました")));
    // One frame per step: a couple of dozen steps at the default Δt, and the run stops.
    const int frames = pacer.sleeps() - before;
    EXPECT_GT(frames, 5);
    EXPECT_LT(frames, 40);
    EXPECT_TRUE(text.contains(QStringLiteral("%1 ステップ").arg(frames))) << text.toStdString();
    EXPECT_FALSE(doc->KeyBusy);
    // Back to Crank–Nicolson by the key.
    ASSERT_TRUE(w->commands().dispatch(QKeyEvent(QEvent::KeyPress, Qt::Key_E, Qt::NoModifier)));
    EXPECT_EQ(doc->scheme(), Scheme::CrankNicolson);
    EXPECT_TRUE(page().contains(QStringLiteral("10 周期を計算しました")));
}

TEST_F(LivePacket, TheTimeStepIsHalvedAndDoubledWithinItsRangeAndEachChangeRunsThePageAgain) {
    // Away from the live page the keys do nothing.
    EXPECT_EQ(w->commands().match(Qt::Key_H, Qt::NoModifier), nullptr);
    EXPECT_FALSE(doc->changeTimeStep(*w, -1));
    EXPECT_FALSE(doc->toggleScheme(*w));
    EXPECT_EQ(doc->stepsPerPeriod(), tessera::kStepsPerPeriod);
    EXPECT_EQ(pacer.sleeps(), 0);

    showLivePage();
    w->commands().trigger(QStringLiteral("packet-dt-half"));
    EXPECT_EQ(doc->stepsPerPeriod(), 6400);
    EXPECT_TRUE(page().contains(QStringLiteral("2π/6400"))) << page().toStdString();
    EXPECT_TRUE(page().contains(QStringLiteral("64000 ステップ")));
    for (int k = 0; k < 2; ++k)
        w->commands().dispatch(QKeyEvent(QEvent::KeyPress, Qt::Key_D, Qt::NoModifier));
    EXPECT_EQ(doc->stepsPerPeriod(), 1600);
    EXPECT_TRUE(page().contains(QStringLiteral("2π/1600")));
    EXPECT_TRUE(page().contains(QStringLiteral("10 周期を計算しました")));
    // At the ends of the range: a beep and no new run.
    while (doc->scaleTimeStep(+1)) {
    }
    EXPECT_EQ(doc->stepsPerPeriod(), tessera::kMinStepsPerPeriod);
    const int sleeps = pacer.sleeps();
    EXPECT_FALSE(doc->changeTimeStep(*w, +1));
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(pacer.sleeps(), sleeps);
    while (doc->scaleTimeStep(-1)) {
    }
    EXPECT_EQ(doc->stepsPerPeriod(), tessera::kMaxStepsPerPeriod);
}

TEST_F(LivePacket, AChangeAskedForInsideTheWaitStartsAfterTheRunHasUnwound) {
    int most = 0;
    pacer.during = [&](int k) {
        most = std::max(most, doc->runsInProgress());
        if (k == 3)
            w->commands().trigger(QStringLiteral("packet-scheme"));
        if (k == 4)
            w->commands().trigger(QStringLiteral("packet-dt-half"));
    };
    showLivePage();
    EXPECT_EQ(most, 1); // one run on the stack, however many changes arrive
    EXPECT_EQ(doc->runsInProgress(), 0);
    EXPECT_EQ(doc->scheme(), Scheme::Explicit);
    EXPECT_EQ(doc->stepsPerPeriod(), 6400);
    EXPECT_TRUE(page().contains(QStringLiteral("陽解法は不安定")));
    EXPECT_TRUE(page().contains(QStringLiteral("2π/6400")));
}

TEST_F(LivePacket, PausedTheRunWaitsBeforeItsFirstStepAndNStepsOneFrame) {
    doc->pacing().clock().pause();
    QString afterStep;
    int paused = 0;
    pacer.during = [&](int) {
        if (!doc->pacing().clock().paused())
            return;
        if (++paused == 1) {
            EXPECT_TRUE(page().contains(QStringLiteral("　0 ステップ"))) << page().toStdString();
            w->commands().trigger(QStringLiteral("run-step"));
        } else if (paused == 2) {
            afterStep = page();
            doc->env().End();
        }
    };
    showLivePage();
    // ×16: one drawn frame covers 32 frames of 32 steps.
    EXPECT_TRUE(afterStep.contains(QStringLiteral("1024 ステップ"))) << afterStep.toStdString();
    EXPECT_EQ(ends, 1);
}

TEST_F(LivePacket, PausedBetweenTheRowsTheFrameItHoldsShowsItsOwnNumbers) {
    doc->setSpeed(1);
    std::vector<QString> paused; // the page at each wait of the paused run
    pacer.during = [&](int k) {
        if (k == 4) {
            // In the wait after the 5th drawn frame; the rows are the 4th's.
            EXPECT_TRUE(page().contains(QStringLiteral("256 ステップ"))) << page().toStdString();
            doc->pacing().clock().pause();
        } else if (k > 4 && doc->pacing().clock().paused()) {
            paused.push_back(page());
            if (paused.size() < 3)
                w->commands().trigger(QStringLiteral("run-step"));
            else
                doc->env().End();
        }
    };
    showLivePage();
    ASSERT_EQ(paused.size(), 3u);
    EXPECT_TRUE(paused[0].contains(QStringLiteral("320 ステップ"))) << paused[0].toStdString();
    EXPECT_TRUE(paused[0].contains(QStringLiteral("t = 0.628"))) << paused[0].toStdString();
    // A step first ends the frame's wait, then draws the next one, with its numbers
    // though it is not a fourth.
    EXPECT_TRUE(paused[1].contains(QStringLiteral("320 ステップ"))) << paused[1].toStdString();
    EXPECT_TRUE(paused[2].contains(QStringLiteral("384 ステップ"))) << paused[2].toStdString();
    EXPECT_EQ(ends, 1);
}

TEST_F(LivePacket, ANewReadingRedrawsTheNumbersAndLeavesTheWordsOfTheRows) {
    doc->setSpeed(1);
    QRegion changed; // what the 4th drawn frame, which draws the rows anew, changed
    const auto cellOf = [this](const QString& text) {
        for (const DrawOp& op : w->page(kLast).ops())
            if (op.kind == DrawOp::Kind::Text && op.text == text)
                return QRectF(op.a, op.cell).toAlignedRect();
        ADD_FAILURE() << "no run " << text.toStdString();
        return QRect();
    };
    pacer.during = [&](int k) {
        Surface& g = w->page(kLast);
        if (k == 2)
            g.setChangeListener([&] { changed += g.lastChange().toAlignedRect(); });
        if (k == 3) {
            g.setChangeListener({});
            doc->env().End();
        }
    };
    showLivePage();
    // The rows were drawn anew: 4 drawn frames of 2 × 32 steps.
    EXPECT_TRUE(page().contains(QStringLiteral("256 ステップ"))) << page().toStdString();
    EXPECT_TRUE(changed.intersects(cellOf(QStringLiteral("256"))));
    EXPECT_TRUE(changed.intersects(cellOf(QStringLiteral("0.503"))));
    // The words between the numbers were neither taken back nor drawn again (only
    // the tiles of a number reach a little into the words beside it).
    EXPECT_FALSE(changed.intersects(cellOf(QStringLiteral("⊿"))));
    const QRect words = cellOf(QStringLiteral(" 周期)　　ノルム = "));
    EXPECT_FALSE(changed.intersects(words.adjusted(words.width() / 3, 0, -words.width() / 3, 0)));
}

TEST_F(LivePacket, PrintAndExportShowTheLastFrameAtOnce) {
    showLivePage();
    const int sleeps = pacer.sleeps();
    w->cmdPrint_Click();
    EXPECT_EQ(pacer.sleeps(), sleeps); // no waits while printing
    EXPECT_EQ(sink->jobs.back(), QStringLiteral("tessera-page4"));
    EXPECT_TRUE(joined(w->Form2()).contains(QStringLiteral("10 周期を計算しました")));
    doc->setScheme(Scheme::Explicit);
    w->cmdPrint_Click();
    EXPECT_TRUE(joined(w->Form2()).contains(QStringLiteral("陽解法は不安定")));
    doc->setScheme(Scheme::CrankNicolson);
    w->ShowThisPic(0);
    completePagesForExport(*w);
    EXPECT_TRUE(page().contains(QStringLiteral("10 周期を計算しました")));
    EXPECT_EQ(pacer.sleeps(), sleeps);
}

TEST_F(LivePacket, TheControlsShowWithTheLivePageAndItsKeysAreListed) {
    ASSERT_NE(doc->runControls(), nullptr);
    EXPECT_FALSE(doc->runControls()->isVisibleTo(w.get()));
    EXPECT_FALSE(doc->packetControls()->isVisibleTo(w.get()));
    showLivePage();
    EXPECT_TRUE(doc->runControls()->isVisibleTo(w.get()));
    EXPECT_TRUE(doc->packetControls()->isVisibleTo(w.get()));
    QStringList keys;
    for (const KeyRow& r : w->commands().overview())
        keys << r.keys;
    for (const char* k : {"E", "H", "D", "P", "["})
        EXPECT_TRUE(keys.contains(QLatin1String(k))) << k;
    w->ShowThisPic(1);
    EXPECT_FALSE(doc->packetControls()->isVisibleTo(w.get()));
}
