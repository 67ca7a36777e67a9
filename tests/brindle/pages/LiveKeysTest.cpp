// SPDX-License-Identifier: GPL-3.0-or-later
// The keys 0..3 of the live page: they choose the angular momentum and run the page
// again, also in the middle of a run started by a key; elsewhere they do nothing.

#include "PageTestSupport.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <ProgramRun.h>

using namespace brindle;
using namespace brindle::testing;
using course::DrawOp;

namespace {

constexpr course::Rgb kRed = course::RGB(255, 0, 0);

class LiveKeys : public BrindleWindow {
protected:
    // A key press as the window system delivers it (through the application's filters).
    void press(Qt::Key key) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, QString(QChar('0' + (key - Qt::Key_0))));
        QCoreApplication::sendEvent(w.get(), &e);
    }
    // Heights of the red level lines on the page, top to bottom.
    std::vector<double> levels() const {
        std::vector<double> ys;
        for (const DrawOp& op : w->page(2).ops())
            if (op.kind == DrawOp::Kind::Line && op.color == kRed)
                ys.push_back(op.a.y());
        return ys;
    }
};

} // namespace

TEST_F(LiveKeys, KeyDuringAKeyStartedRunRestartsWithTheNewL) {
    bool busy = false;
    QString skipped; // the page's text once it reports a skipped level
    pacer.during = [&](int k) {
        if (k == 30) {
            busy = doc->KeyBusy;
            press(Qt::Key_0);
        } else if (k > 30 && skipped.isEmpty() && k % 64 == 0) {
            const QString text = joinedText(w->page(2));
            if (text.contains(QStringLiteral("節")))
                skipped = text;
        }
    };
    w->Form_KeyDown(40);
    w->Form_KeyDown(40); // page 2, started by a key
    EXPECT_TRUE(busy);
    EXPECT_EQ(doc->l(), 0);
    EXPECT_FALSE(doc->KeyBusy);
    EXPECT_EQ(doc->runsInProgress(), 0);
    // One chime per state and one closing sound: only the new run finished.
    EXPECT_EQ(count(course::Sound::Chime), 4);
    EXPECT_EQ(count(course::Sound::Notify), 1);

    const QString text = joinedText(w->page(2));
    EXPECT_TRUE(text.contains(QStringLiteral("=0) の動径波動関数"))) << text.toStdString();
    // The levels of l = 0, each between the turning points of x²/2.
    const std::vector<double> ys = levels();
    ASSERT_EQ(ys.size(), 4u);
    for (int s = 1; s <= 4; ++s)
        EXPECT_EQ(ys[s - 1], std::round(py(2.0 * s - 0.5))) << s;

    // On the way, the fourth state landed on 9.5 and said so in one line.
    EXPECT_TRUE(skipped.contains(QStringLiteral("節 4 個: 第5準位"))) << skipped.toStdString();
    EXPECT_TRUE(skipped.contains(QStringLiteral("= 9.500000 に収束，第4準位を飛ばした → 7.500 から")))
        << skipped.toStdString();
}

TEST_F(LiveKeys, HighestLevelOfLThreeStaysOnThePage) {
    w->cmdGo_Click();
    w->cmdGo_Click();
    EXPECT_EQ(doc->l(), 1);
    press(Qt::Key_3);
    EXPECT_EQ(doc->l(), 3);
    EXPECT_TRUE(joinedText(w->page(2)).contains(QStringLiteral("=3) の動径波動関数")));
    const std::vector<double> ys = levels();
    ASSERT_EQ(ys.size(), 4u);
    // 10.5 at the top: below the title line, inside the page.
    EXPECT_GT(ys.back(), w->page(2).TextHeight(QStringLiteral("A")));
    for (std::size_t k = 0; k + 1 < ys.size(); ++k)
        EXPECT_GT(ys[k], ys[k + 1]);
}

TEST_F(LiveKeys, KeysDoNothingOnTheOtherPagesOrBeyondThree) {
    press(Qt::Key_2);
    EXPECT_EQ(doc->l(), 1);
    EXPECT_EQ(pacer.sleeps(), 0);
    w->cmdGo_Click();
    press(Qt::Key_0);
    EXPECT_EQ(doc->l(), 1);
    EXPECT_EQ(doc->CurPic, 1);
    w->cmdGo_Click();
    const int sleeps = pacer.sleeps();
    press(Qt::Key_4);
    EXPECT_EQ(doc->l(), 1);
    EXPECT_EQ(pacer.sleeps(), sleeps);
    EXPECT_THROW(doc->setL(4), std::invalid_argument);
}

// The program: --l reaches the table; anything but 0..3 is refused.
TEST(BrindleProgramL, TableForEachLAndBadValues) {
    auto run = [](const QStringList& args, QString* out) {
        const course::test::ProgramRun r = course::test::runProgram(QStringLiteral(BRINDLE_BINARY), args);
        *out = r.out + r.err;
        return r.status;
    };
    QString out;
    EXPECT_EQ(run({QStringLiteral("--table"), QStringLiteral("--l"), QStringLiteral("3")}, &out), 0);
    EXPECT_TRUE(out.contains(QStringLiteral("l = 3 (exact 4.5, 6.5, 8.5, 10.5)"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("3 nodes: level 4 found (E = 10.500000), level 3 skipped")));
    for (const char* bad : {"4", "-1", "1.5", "p"}) {
        EXPECT_EQ(run({QStringLiteral("--table"), QStringLiteral("--l"), QString::fromLatin1(bad)}, &out), 2)
            << bad;
        EXPECT_TRUE(out.contains(QStringLiteral("--l"))) << out.toStdString();
    }
}
