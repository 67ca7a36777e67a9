// SPDX-License-Identifier: GPL-3.0-or-later
// The models of the live page: the keys O, C, W, M and their labels choose one and run
// the page again; the digits choose l within the model's range; the program's
// --potential and --off-grid reach the table.

#include "PageTestSupport.h"

#include <engine/shell/CommandTable.h>
#include <engine/shell/Label.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <ProgramRun.h>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

using namespace brindle;
using namespace brindle::testing;
using course::DrawOp;

namespace {

constexpr course::Rgb kRed = course::RGB(255, 0, 0);

class LiveModels : public BrindleWindow {
protected:
    void press(Qt::Key key, const QString& text) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(w.get(), &e);
    }
    // The levels drawn: red horizontal strokes, one height each (a level's stroke is
    // drawn in pieces where it passes near a label).
    int levels() const {
        std::set<double> heights;
        for (const DrawOp& op : w->page(2).ops())
            if (op.kind == DrawOp::Kind::Line && op.color == kRed && op.a.y() == op.b.y())
                heights.insert(op.a.y());
        return int(heights.size());
    }
    QString text() const { return joinedText(w->page(2)); }
};

} // namespace

TEST_F(LiveModels, KeysChooseTheModelAndItsLevelsWithExactValues) {
    w->cmdGo_Click();
    w->cmdGo_Click();
    ASSERT_EQ(doc->CurPic, 2);
    press(Qt::Key_W, QStringLiteral("w"));
    EXPECT_EQ(doc->potential(), PotentialKind::Well);
    EXPECT_EQ(doc->l(), 1);
    EXPECT_TRUE(text().contains(QStringLiteral("有限の球形井戸 ("))) << text().toStdString();
    EXPECT_EQ(levels(), 2);
    EXPECT_TRUE(text().contains(QStringLiteral("E1 = -17.3516530（厳密 -17.35165，差"))) << text().toStdString();

    // l = 2 of the well has one bound level; 3 is beyond the model and does nothing.
    press(Qt::Key_2, QStringLiteral("2"));
    EXPECT_EQ(doc->l(), 2);
    EXPECT_EQ(levels(), 1);
    const int sleeps = pacer.sleeps();
    press(Qt::Key_3, QStringLiteral("3"));
    EXPECT_EQ(doc->l(), 2);
    EXPECT_EQ(pacer.sleeps(), sleeps);

    // Morse has only l = 0: choosing it brings l down.
    press(Qt::Key_M, QStringLiteral("m"));
    EXPECT_EQ(doc->potential(), PotentialKind::Morse);
    EXPECT_EQ(doc->l(), 0);
    EXPECT_EQ(levels(), 4);
    EXPECT_TRUE(text().contains(QStringLiteral("モース・ポテンシャル ("))) << text().toStdString();
    EXPECT_TRUE(text().contains(QStringLiteral("E4 = -0.1250000（厳密 -0.125，差"))) << text().toStdString();

    // And back: the oscillator's page as it always was.
    press(Qt::Key_O, QStringLiteral("o"));
    EXPECT_EQ(doc->potential(), PotentialKind::Oscillator);
    EXPECT_TRUE(text().contains(QStringLiteral("３次元調和振動子 (")));
    EXPECT_FALSE(text().contains(QStringLiteral("厳密")));
    EXPECT_EQ(levels(), 4);
    EXPECT_FALSE(doc->KeyBusy);
    EXPECT_EQ(doc->runsInProgress(), 0);
}

TEST_F(LiveModels, LabelsChooseTheModelAndShowWithTheLivePageOnly) {
    const course::Command* coulomb = w->commands().find(QStringLiteral("choose-potential-coulomb"));
    ASSERT_NE(coulomb, nullptr);
    ASSERT_NE(coulomb->label, nullptr);
    EXPECT_FALSE(coulomb->label->isVisibleTo(w.get()));
    // On another page the key does nothing.
    press(Qt::Key_C, QStringLiteral("c"));
    EXPECT_EQ(doc->potential(), PotentialKind::Oscillator);
    w->cmdGo_Click();
    w->cmdGo_Click();
    EXPECT_TRUE(coulomb->label->isVisibleTo(w.get()));
    emit coulomb->label->clicked();
    EXPECT_EQ(doc->potential(), PotentialKind::Coulomb);
    EXPECT_EQ(coulomb->label->backColor(), BrindleDocument::kChosenLabel);
    EXPECT_TRUE(text().contains(QStringLiteral("水素原子 (")));
    EXPECT_EQ(levels(), 4);
    EXPECT_TRUE(text().contains(QStringLiteral("E1 = -0.1250000（厳密 -0.125，相対差"))) << text().toStdString();
    // The overview lists every model key.
    for (const char* id : {"oscillator", "coulomb", "well", "morse"}) {
        const course::Command* c = w->commands().find(QStringLiteral("choose-potential-") + QLatin1String(id));
        ASSERT_NE(c, nullptr) << id;
        EXPECT_FALSE(c->meaning.isEmpty());
        EXPECT_EQ(c->keys.size(), 1u);
    }
}

// Every level of every model is one unbroken stroke between its turning points: no
// axis number or label sits on it and cuts a gap into it (hydrogen's highest level
// lies a line under 0, Morse's a few pixels), and no text's ink touches it.
TEST_F(LiveModels, LevelStrokesAreUnbrokenAndClearOfTheNumbersAndLabels) {
    w->cmdGo_Click();
    w->cmdGo_Click();
    struct Case {
        Qt::Key key;
        const char* text;
        int maxL;
    };
    for (const Case c : {Case{Qt::Key_C, "c", 2}, Case{Qt::Key_W, "w", 2}, Case{Qt::Key_M, "m", 0}}) {
        press(c.key, QString::fromLatin1(c.text));
        for (int l = 0; l <= c.maxL; ++l) {
            press(Qt::Key(Qt::Key_0 + l), QString::number(l));
            ASSERT_EQ(doc->l(), l);
            const auto& ops = w->page(2).ops();
            std::map<double, std::vector<std::pair<double, double>>> pieces; // by height
            for (const DrawOp& s : ops)
                if (s.kind == DrawOp::Kind::Line && s.color == kRed && s.a.y() == s.b.y())
                    pieces[s.a.y()].emplace_back(std::min(s.a.x(), s.b.x()), std::max(s.a.x(), s.b.x()));
            EXPECT_GE(pieces.size(), 1u);
            for (auto& [y, spans] : pieces) {
                std::sort(spans.begin(), spans.end());
                for (std::size_t k = 1; k < spans.size(); ++k)
                    EXPECT_LE(spans[k].first, spans[k - 1].second + 0.01)
                        << c.text << " l=" << l << ": the level at y " << y << " is broken between x "
                        << spans[k - 1].second << " and " << spans[k].first;
                const QRectF stroke(QPointF(spans.front().first, y - 0.5), QPointF(spans.back().second, y + 0.5));
                for (const DrawOp& t : ops) {
                    if (t.kind == DrawOp::Kind::Text) {
                        EXPECT_FALSE(course::inkBounds(t).intersects(stroke))
                            << c.text << " l=" << l << ": the level at y " << y << " crosses "
                            << t.text.toStdString();
                    }
                }
            }
        }
    }
}

// A print draws only the run's last pass, which is all the finished page shows: for
// every model, what it prints is what a whole run, every pass drawn, leaves on a
// surface of the print canvas's size.
TEST_F(LiveModels, PrintOfTheLivePageIsTheFinishedScreenPage) {
    const auto signature = [](const std::vector<DrawOp>& ops) {
        QStringList out;
        for (const DrawOp& op : ops)
            out << QStringLiteral("%1 %2,%3 %4,%5 %6 %7 %8 %9")
                       .arg(int(op.kind))
                       .arg(op.a.x())
                       .arg(op.a.y())
                       .arg(op.b.x())
                       .arg(op.b.y())
                       .arg(op.color)
                       .arg(op.width)
                       .arg(op.opaque)
                       .arg(op.text);
        return out;
    };
    w->cmdGo_Click();
    w->cmdGo_Click();
    for (const auto& [key, text] : {std::pair{Qt::Key_O, "o"}, std::pair{Qt::Key_C, "c"},
                                    std::pair{Qt::Key_W, "w"}, std::pair{Qt::Key_M, "m"}}) {
        press(key, QString::fromLatin1(text));
        course::Surface whole(w->Form2().fonts(), w->Form2().size());
        doc->drawPageOn(whole, 2);
        const QStringList screen = signature(whole.ops());
        w->cmdPrint_Click();
        const QStringList printed = signature(sink->canvasOps);
        ASSERT_GT(screen.size(), 100) << text;
        EXPECT_EQ(printed.size(), screen.size()) << text;
        const auto n = std::min(printed.size(), screen.size());
        const auto k = std::mismatch(printed.begin(), printed.begin() + n, screen.begin()).first - printed.begin();
        if (k < n)
            ADD_FAILURE() << text << ": operation " << k << " printed as " << printed[k].toStdString()
                          << ", on the screen " << screen[k].toStdString();
    }
}

// Every model and l in the table ends with the comparison; bad combinations are refused.
TEST(BrindleProgramPotential, TableEndsWithEveryLevelAgainstItsExactValue) {
    auto run = [](const QStringList& args, QString* out) {
        const course::test::ProgramRun r = course::test::runProgram(QStringLiteral(BRINDLE_BINARY), args);
        *out = r.out + r.err;
        return r.status;
    };
    struct Case {
        const char* model;
        int maxL;
    };
    QString out;
    for (const Case c : {Case{"oscillator", 3}, Case{"coulomb", 2}, Case{"well", 2}, Case{"morse", 0}}) {
        for (int l = 0; l <= c.maxL; ++l) {
            const QStringList args{QStringLiteral("--table"), QStringLiteral("--potential"),
                                   QLatin1String(c.model), QStringLiteral("--l"), QString::number(l)};
            ASSERT_EQ(run(args, &out), 0) << c.model << l << out.toStdString();
            EXPECT_TRUE(out.trimmed().endsWith(QStringLiteral("within 1e-6 of its exact value")) ||
                        out.trimmed().endsWith(QStringLiteral("(relative to it)")))
                << out.toStdString();
        }
    }
    EXPECT_EQ(run({QStringLiteral("--table"), QStringLiteral("--potential"), QStringLiteral("well"),
                   QStringLiteral("--off-grid")},
                  &out),
              0);
    EXPECT_TRUE(out.contains(QStringLiteral("state 1 misses 1e-6: the edge r = a lies between grid points")))
        << out.toStdString();
    for (const QStringList& bad :
         {QStringList{QStringLiteral("--table"), QStringLiteral("--potential"), QStringLiteral("square")},
          QStringList{QStringLiteral("--table"), QStringLiteral("--potential"), QStringLiteral("coulomb"),
                      QStringLiteral("--l"), QStringLiteral("3")},
          QStringList{QStringLiteral("--table"), QStringLiteral("--potential"), QStringLiteral("morse"),
                      QStringLiteral("--l"), QStringLiteral("1")},
          QStringList{QStringLiteral("--table"), QStringLiteral("--off-grid")}}) {
        EXPECT_EQ(run(bad, &out), 2) << bad.join(' ').toStdString();
        EXPECT_TRUE(out.contains(QStringLiteral("brindle: "))) << out.toStdString();
    }
}
