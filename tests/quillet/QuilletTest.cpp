// SPDX-License-Identifier: GPL-3.0-or-later
// quillet on the offscreen platform: its pages drawn by the shell at start-up and on
// the print canvas, its keys, and the placement rules its formulas depend on.

#include <engine/shell/EventPump.h>
#include <engine/textruns/FontTable.h>
#include <engine/shell/Form1.h>
#include <engine/shell/KeyCode.h>
#include <engine/shell/PrintSink.h>
#include "WindowFixture.h"
#include "RunLog.h"
#include "QuilletDocument.h"
#include "TestFonts.h"

#include <QEvent>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QPainter>
#include <ProgramRun.h>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

using course::testing::testFonts;
using namespace course;
using namespace course::testing;
using quillet::QuilletDocument;

namespace {

const QString kBody = QStringLiteral("メイリオ");
// Where a bar of n rules ("─") stood that is drawn as one stroke: the top-left of the
// rules' cell, found from the stroke's left end (its x is where the rules' ink starts)
// and the line's top `y0`; null when no stroke as long as n rules is there, through
// their middle (to the pixel row it is set on).
std::optional<DrawOp> barOfRules(const std::vector<DrawOp>& lineOps, const Surface& g, int n, double y0) {
    Surface probe{testFonts()};
    probe.FontSize = g.FontSize;
    probe.Print(QStringLiteral("─"));
    const QRectF ink = course::inkBounds(probe.ops().back());
    const double advance = probe.TextWidth(QStringLiteral("─"));
    const int t = std::max(1, int(std::lround(ink.height())));
    const double inset = ink.left() + t / 2.0 - ((t % 2) ? 0.5 : 0.0);
    const double length = (n - 1) * advance + ink.right() - ink.left() - t;
    for (const DrawOp& l : lineOps) {
        if (l.a.y() == l.b.y() && std::abs(l.b.x() - l.a.x() - length) < 0.05 &&
            std::abs(l.a.y() - y0 - ink.center().y()) < 1) {
            DrawOp cell;
            cell.a = QPointF(l.a.x() - inset, y0);
            return cell;
        }
    }
    return std::nullopt;
}

struct Quillet : course::testing::WindowFixture<QuilletDocument> {
    void SetUp() override { open(std::make_unique<QuilletDocument>()); }
};

bool near(double a, double b, double tol = 0.01) { return std::abs(a - b) <= tol; }

// The text run drawn with its top-left corner at (x, y), or nullptr.
const DrawOp* runAt(const std::vector<DrawOp>& ops, double x, double y) {
    for (const DrawOp& op : ops)
        if (near(op.a.x(), x) && near(op.a.y(), y))
            return &op;
    return nullptr;
}

const DrawOp* runWithText(const std::vector<DrawOp>& ops, const QString& text) {
    for (const DrawOp& op : ops)
        if (op.text == text)
            return &op;
    return nullptr;
}

bool isProse(const DrawOp& op) {
    if (op.fontName != kBody)
        return false;
    for (QChar c : op.text)
        if (c.unicode() >= 0x3000)
            return true;
    return false;
}

} // namespace

TEST_F(Quillet, StartUpDrawsFourPagesWithTheNumerovSettings) {
    ASSERT_EQ(w->pageCount(), 4);
    EXPECT_EQ(doc->PageFontSize, 13);
    EXPECT_EQ(doc->Indent0, nint(2 * doc->CharW + doc->LeftMargin));
    EXPECT_EQ(doc->TagCol, nint(50 * doc->CharW + doc->LeftMargin));
    for (int k = 0; k < 4; ++k)
        EXPECT_GT(texts(w->page(k)).size(), 20u) << "page " << k;
    EXPECT_EQ(w->windowTitle(), quillet::kTitle);
    EXPECT_EQ(visiblePage(), 0);

    // Page 0 set the superscript geometry for every later page: the 1/2 of r^(1/2)
    // on page 3 is at 0.85 of the size and raised 0.2 of the line height.
    const auto ops = texts(w->page(3));
    const DrawOp* half = runWithText(ops, QStringLiteral("/"));
    ASSERT_NE(half, nullptr);
    EXPECT_DOUBLE_EQ(half->fontSize, 0.85 * 13);
    const DrawOp* prose = runWithText(ops, QStringLiteral(" により標準形"));
    ASSERT_NE(prose, nullptr);
    EXPECT_NEAR(prose->a.y() - half->a.y(), 0.2 * doc->CharH, 0.01);
}

TEST_F(Quillet, EveryPageHasAllItsGlyphsOnScreenAndOnPaper) {
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(missingCharacters(w->page(k)), QString()) << "page " << k;
        EXPECT_EQ(missingCharacters(printed(k)), QString()) << "printed page " << k;
    }
    EXPECT_EQ(sink->prints, 4);
}

TEST_F(Quillet, NothingRunsOffThePageOrOverTheProse) {
    auto check = [](const Surface& g, QSizeF area, const char* what, int k) {
        const auto ops = texts(g);
        for (const DrawOp& op : ops) {
            EXPECT_GE(op.a.x(), 0) << what << k << " " << op.text.toStdString();
            EXPECT_LE(right(op), area.width()) << what << k << " " << op.text.toStdString();
            EXPECT_LE(op.a.y() + op.cell.height(), area.height())
                << what << k << " " << op.text.toStdString();
        }
        for (const DrawOp& op : lines(g))
            EXPECT_LE(std::max(op.a.x(), op.b.x()), area.width()) << what << k;
        // Lines of prose never overlap one another.
        std::vector<QRectF> prose;
        for (const DrawOp& op : ops)
            if (isProse(op))
                prose.emplace_back(op.a, op.cell);
        for (size_t i = 0; i < prose.size(); ++i)
            for (size_t j = i + 1; j < prose.size(); ++j)
                EXPECT_FALSE(prose[i].adjusted(0.5, 0.5, -0.5, -0.5).intersects(prose[j]))
                    << what << k << " runs " << i << " and " << j;
    };
    for (int k = 0; k < 4; ++k)
        check(w->page(k), w->visiblePageSize(), "page ", k);
    for (int k = 0; k < 4; ++k)
        check(printed(k), w->Form2().size(), "printed page ", k);
}

TEST_F(Quillet, KeySetBWithHomeAndEnd) {
    w->Form_KeyDown(key::End); // End
    EXPECT_TRUE(showing(3, true, false));
    for (int key : {key::Down, key::Enter, key::Space}) // Forward on the last page changes nothing
        w->Form_KeyDown(key);
    EXPECT_EQ(doc->CurPic, 3);
    w->Form_KeyDown(key::Up);
    EXPECT_TRUE(showing(2, true, true));
    w->Form_KeyDown(key::Home); // Home
    EXPECT_TRUE(showing(0, false, true));
    w->Form_KeyDown(key::Backspace); // Backward on the first page changes nothing
    w->cmdBack_Click();
    EXPECT_EQ(doc->CurPic, 0);
    w->Form_KeyDown(key::Space);
    w->cmdGo_Click();
    EXPECT_EQ(visiblePage(), 2);
    w->Form_KeyDown(key::Right); // Left and Right are not in this set
    w->Form_KeyDown(key::Left);
    EXPECT_EQ(doc->CurPic, 2);
    EXPECT_EQ(ends, 0);
    w->Form_KeyDown(key::Escape);
    EXPECT_EQ(ends, 1);
}

namespace {
// Presses keys from inside the showing of a page, i.e. while a key's action runs.
class KeysWhenShown : public QObject {
public:
    KeysWhenShown(Form1& w, std::vector<int> keys) : w_(w), keys_(std::move(keys)) {}
    int shown = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Show) {
            ++shown;
            for (int k : keys_)
                w_.Form_KeyDown(k);
        }
        return false;
    }

private:
    Form1& w_;
    std::vector<int> keys_;
};
} // namespace

TEST_F(Quillet, SecondKeyDuringAKeysActionIsIgnored) {
    w->show();
    KeysWhenShown nested(*w, {key::Home, key::Up});
    w->pageView(3)->installEventFilter(&nested);
    w->Form_KeyDown(key::End);
    EXPECT_EQ(nested.shown, 1);
    EXPECT_EQ(doc->CurPic, 3);
    EXPECT_EQ(ends, 0);
    EXPECT_FALSE(doc->KeyBusy);
    // A key pressed while a click's action runs is handled.
    w->pageView(3)->removeEventFilter(&nested);
    KeysWhenShown fromClick(*w, {key::Home});
    w->pageView(1)->installEventFilter(&fromClick);
    w->ShowThisPic(0);
    w->cmdGo_Click();
    EXPECT_EQ(fromClick.shown, 1);
    EXPECT_EQ(doc->CurPic, 0);
    w->pageView(1)->removeEventFilter(&fromClick);
}

TEST_F(Quillet, RootRowsKeepTheirOffsetsOnScreenAndOnPaper) {
    const auto screen = texts(w->page(2));
    const auto screenLines = lines(w->page(2));
    // Rows B and C hang from row A: 3 and 2.4 lines further down, "＝" in one column.
    std::vector<const DrawOp*> eq;
    for (const DrawOp& op : screen)
        if (op.text == QStringLiteral("＝  "))
            eq.push_back(&op);
    ASSERT_EQ(eq.size(), 3u);
    const std::optional<DrawOp> rowA = barOfRules(screenLines, w->page(2), 14, eq[0]->a.y());
    const std::optional<DrawOp> rowB = barOfRules(screenLines, w->page(2), 20, eq[1]->a.y());
    ASSERT_TRUE(rowA);
    ASSERT_TRUE(rowB);
    const DrawOp* barA = &*rowA;
    const DrawOp* barB = &*rowB;
    const double W = doc->CharW, H = doc->CharH;

    auto checkRow = [&](const std::vector<DrawOp>& ops, const std::vector<DrawOp>& lineOps, const DrawOp& bar,
                        const char* what) {
        const double Xbar = bar.a.x(), Y0 = bar.a.y();
        // The numerator starts with a run or with a fraction whose bar is 12 px down.
        bool num = runAt(ops, Xbar + 3, Y0 - 20) != nullptr;
        for (const DrawOp& l : lineOps)
            num = num || (near(l.a.x(), Xbar + 3) && near(l.a.y(), std::round(Y0 - 20 + 12)));
        const DrawOp* den = runAt(ops, Xbar + 4 * W, Y0 + 18);
        EXPECT_TRUE(num) << what;
        ASSERT_NE(den, nullptr) << what;
        EXPECT_EQ(den->text, QStringLiteral("1")) << what;
    };
    checkRow(screen, screenLines, *barA, "row A");
    checkRow(screen, screenLines, *barB, "row B");
    EXPECT_EQ(runAt(screen, barA->a.x() + 3, barA->a.y() - 20)->text, QStringLiteral("1"));
    EXPECT_NEAR(eq[1]->a.y() - eq[0]->a.y(), 3 * H, 0.01);
    EXPECT_NEAR(eq[2]->a.y() - eq[1]->a.y(), 2.4 * H, 0.01);
    EXPECT_DOUBLE_EQ(eq[0]->a.x(), eq[1]->a.x());
    EXPECT_DOUBLE_EQ(eq[1]->a.x(), eq[2]->a.x());
    EXPECT_NEAR(barB->a.y(), eq[1]->a.y(), 0.01);

    // The radical over 1 + h²/6 (row A's numerator): its sign reaches from above the
    // radicand to the row's bar, not onto it, and meets one Gray overline on a whole
    // pixel row, which runs from the sign past the radicand.
    std::vector<DrawOp> gray;
    for (const DrawOp& op : screenLines)
        if (op.color == doc->Gray)
            gray.push_back(op);
    ASSERT_EQ(gray.size(), 1u);
    const DrawOp* sign = runWithText(screen, QStringLiteral("√"));
    ASSERT_NE(sign, nullptr);
    const QRectF signInk = course::inkBounds(*sign);
    EXPECT_EQ(gray[0].a.y(), gray[0].b.y());
    EXPECT_EQ(gray[0].a.y(), std::round(gray[0].a.y()));
    EXPECT_NEAR(gray[0].a.y(), signInk.top(), 1.0);
    EXPECT_GE(gray[0].a.x(), signInk.left());
    EXPECT_LE(gray[0].a.x(), signInk.right());
    EXPECT_GT(gray[0].b.x() - gray[0].a.x(), 4 * W);
    const DrawOp* rowBar = nullptr; // the stroke of row A's fraction bar, under the sign
    for (const DrawOp& op : screenLines)
        if (op.color != doc->Gray && op.a.y() == op.b.y() && op.a.y() > signInk.center().y() &&
            op.a.x() < signInk.left() && op.b.x() > signInk.right() && (!rowBar || op.a.y() < rowBar->a.y()))
            rowBar = &op;
    ASSERT_NE(rowBar, nullptr);
    EXPECT_LE(signInk.bottom() + 0.95, course::inkBounds(*rowBar).top()) << "a pixel of paper, to a twentieth";

    // Printed: the same rows one line lower (the top margin), at the same columns.
    const Surface& canvas = printed(2);
    const auto paper = texts(canvas);
    EXPECT_NEAR(paper.front().a.y(), H, 0.01); // the heading, below the top margin
    const std::optional<DrawOp> paperA = barOfRules(lines(canvas), w->page(2), 14, barA->a.y() + H);
    const std::optional<DrawOp> paperB = barOfRules(lines(canvas), w->page(2), 20, barB->a.y() + H);
    ASSERT_TRUE(paperA);
    ASSERT_TRUE(paperB);
    // The strokes start in the same columns (to the rounding of their ink's outline).
    EXPECT_NEAR(paperA->a.x(), barA->a.x(), 0.05);
    EXPECT_NEAR(paperB->a.x(), barB->a.x(), 0.05);
    DrawOp pA = *barA, pB = *barB;
    pA.a.ry() += H;
    pB.a.ry() += H;
    checkRow(paper, lines(canvas), pA, "printed row A");
    checkRow(paper, lines(canvas), pB, "printed row B");
    std::vector<DrawOp> paperGray;
    for (const DrawOp& op : lines(canvas))
        if (op.color == doc->Gray)
            paperGray.push_back(op);
    ASSERT_EQ(paperGray.size(), 1u);
    // One line lower, the overline on a whole pixel row near its place (the sign is
    // sized on the paper's own pixels, so it may end half a pixel elsewhere).
    EXPECT_NEAR(paperGray[0].a.x(), gray[0].a.x(), 1.0);
    EXPECT_NEAR(paperGray[0].b.x(), gray[0].b.x(), 1.0);
    EXPECT_NEAR(paperGray[0].a.y(), gray[0].a.y() + H, 1.0);
    EXPECT_EQ(paperGray[0].a.y(), std::round(paperGray[0].a.y()));
}

TEST_F(Quillet, PrimesHugTheSubscript) {
    const auto ops = texts(w->page(0));
    int primes = 0;
    for (size_t i = 0; i < ops.size(); ++i) {
        const DrawOp& op = ops[i];
        if (op.fontName != QStringLiteral("Verdana"))
            continue;
        ++primes;
        EXPECT_EQ(op.text, QStringLiteral("'"));
        EXPECT_TRUE(op.bold);
        ASSERT_GT(i, 0u);
        const DrawOp& prev = ops[i - 1];
        if (prev.fontName == QStringLiteral("Verdana")) {
            // A further prime: 3 px back from the end of the one before, then 4 on.
            EXPECT_NEAR(op.a.x(), right(prev) - 3 + 4, 1e-9);
            continue;
        }
        // The first prime: 7 px back from where the subscript left the cursor (its
        // last run is the last one smaller than the page font, the base drawn again
        // after it is not; a letter of a subscript advances 0.2·CharW more).
        size_t j = i;
        while (j > 0 && ops[j - 1].fontSize >= 13)
            --j;
        ASSERT_GT(j, 0u);
        const double subEnd = right(ops[j - 1]) + 0.2 * doc->CharW;
        EXPECT_NEAR(op.a.x(), subEnd - 7 + 4, 1e-9) << "prime " << primes;
        EXPECT_GT(op.a.x(), ops[j - 1].a.x()); // still after the subscript's start
    }
    // y_n′ … y_n⁗ in the expansion, y_n″ and y_n⁗ after it, (vy)_n″ four times.
    EXPECT_EQ(primes, 1 + 2 + 3 + 4 + 2 + 4 + 2 + 2 + 2);
}

namespace {
// The ink of a run relative to the top-left of its text cell: its exact outlines as
// the surfaces lay text out.
QRectF ink(const DrawOp& op) { return course::inkBounds(op).translated(-op.a); }
} // namespace

TEST_F(Quillet, RadicalArmsMeetTheirBarsAndNumeratorsClearTheirBars) {
    for (int k : {1, 2}) {
        const auto ops = texts(w->page(k));
        const auto ls = lines(w->page(k));
        const DrawOp* sign = runWithText(ops, QStringLiteral("√"));
        ASSERT_NE(sign, nullptr) << "page " << k;
        // The overline starts on the sign's rising stroke, and the stroke's tip reaches
        // it within a pixel.
        const QRectF signInk = course::inkBounds(*sign);
        const DrawOp* bar = nullptr;
        for (const DrawOp& l : ls)
            if (l.color == doc->Gray && l.a.x() >= signInk.left() && l.a.x() <= signInk.right()) {
                bar = &l;
                break;
            }
        ASSERT_NE(bar, nullptr) << "page " << k;
        EXPECT_NEAR(signInk.top(), bar->a.y(), 1.0) << "page " << k;
    }
    // d²y/dx² and d²y/dr²: the y stands on the baseline of its d, its tail above the bar.
    for (int k : {0, 2, 3}) {
        const auto ops = texts(w->page(k));
        int found = 0;
        for (size_t i = 0; i + 2 < ops.size(); ++i) {
            const DrawOp& d = ops[i];
            const DrawOp& y = ops[i + 2];
            if (d.fontName != QStringLiteral("Courier New") || d.text != QStringLiteral("d") ||
                ops[i + 1].text != QStringLiteral("2") || y.text != QStringLiteral("y"))
                continue;
            ++found;
            EXPECT_NEAR(y.a.y() + y.ascent, d.a.y() + d.ascent, 1.0) << "page " << k;
            const double barY = d.a.y() + 11 + 12;
            EXPECT_LE(y.a.y() + ink(y).bottom(), barY - 1 + 0.01) << "page " << k; // a white pixel
        }
        EXPECT_EQ(found, 1) << "page " << k;
    }
}

TEST_F(Quillet, ThirdFactorOfARowSetsItsMinusTwoPixelsOffTheOne) {
    // (1 − h²/12 …) opens and closes each row of page 1; only the closing one has the
    // two pixels before its spaced minus (whose sign is centred in the room of a
    // Courier hyphen at 1.2 times the size).
    const auto ops = texts(w->page(1));
    Surface m{testFonts()};
    m.FontSize = w->page(1).FontSize;
    const double sign = m.TextWidth(QStringLiteral("−"));
    m.FontName = QStringLiteral("Courier New");
    m.FontSize *= 1.2;
    const double minusInset = (m.TextWidth(QStringLiteral("-")) - sign) / 2;
    std::vector<double> gaps;
    for (size_t i = 0; i + 1 < ops.size(); ++i)
        if (ops[i].text == QStringLiteral("1") && ops[i].fontName == kBody &&
            ops[i + 1].text == QStringLiteral("−"))
            gaps.push_back(ops[i + 1].a.x() - minusInset - right(ops[i]));
    ASSERT_EQ(gaps.size(), 6u);
    for (size_t k = 0; k < gaps.size(); ++k)
        EXPECT_NEAR(gaps[k], k % 2 ? 6 : 4, 1e-9) << "factor " << k;
}

TEST_F(Quillet, DerivativeBarsReachPastBothPartsAndTheCursorPastTheBar) {
    // du/dr: the u leans past the 2.4-character bar of the engine.
    Surface g{testFonts()};
    course::DrawingScope on(*doc, g);
    doc->CurX = 50;
    doc->CurY = 100;
    doc->FracDFit(QStringLiteral("u"), QStringLiteral("r"));
    const auto ls = lines(g);
    ASSERT_EQ(ls.size(), 1u);
    const DrawOp& bar = ls[0];
    EXPECT_DOUBLE_EQ(bar.a.y(), 112);
    EXPECT_GE(bar.b.x() - bar.a.x(), 2.4 * doc->CharW);
    for (const DrawOp& op : texts(g))
        EXPECT_LE(course::inkBounds(op).right() + 1, bar.b.x() + 1e-9) << op.text.toStdString();
    EXPECT_GE(doc->CurX, bar.b.x());
}

TEST_F(Quillet, CylindricalStandardFormSubtractsOneOverFourRSquared) {
    const auto ops = texts(w->page(3));
    const DrawOp* open = runWithText(ops, QStringLiteral("  =  ( "));
    ASSERT_NE(open, nullptr);
    const double y = open->a.y();
    // The runs after "( v(r)" up to ") y(r)".
    std::vector<DrawOp> term;
    bool inTerm = false;
    int closing = 0;
    for (const DrawOp& op : ops) {
        if (&op == open) {
            inTerm = true;
            continue;
        }
        if (!inTerm)
            continue;
        if (op.text == QStringLiteral(") ")) {
            closing = 1;
            break;
        }
        term.push_back(op);
    }
    ASSERT_EQ(closing, 1);
    QString all;
    for (const DrawOp& op : term)
        all += op.text;
    EXPECT_FALSE(all.contains(u'+')) << all.toStdString();
    // v ( r ) then the minus on the line, then 1 over 4 r².
    ASSERT_GE(term.size(), 9u);
    EXPECT_EQ(term[4].text, QStringLiteral("−"));
    EXPECT_NEAR(term[4].a.y(), y, 1e-9);
    const DrawOp& one = term[5];
    EXPECT_EQ(one.text, QStringLiteral("1"));
    EXPECT_LT(one.a.y(), y);
    EXPECT_EQ(term[6].text, QStringLiteral("4"));
    EXPECT_EQ(term[7].text, QStringLiteral("r"));
    EXPECT_TRUE(term[7].italic);
    EXPECT_EQ(term[8].text, QStringLiteral("2"));
    EXPECT_LT(term[8].fontSize, 13);         // a superscript …
    EXPECT_LT(term[8].a.y(), term[7].a.y()); // … raised over r
    EXPECT_GT(term[6].a.y(), y);             // the denominator below the line
    // The bar spans the whole denominator.
    bool bar = false;
    for (const DrawOp& l : lines(w->page(3)))
        if (near(l.a.y(), std::round(y + 12)) && l.a.x() < term[6].a.x() && l.b.x() > right(term[8]))
            bar = true;
    EXPECT_TRUE(bar);
}

TEST_F(Quillet, OrderDrawsBigOWithTheRaisedPower) {
    Surface g{testFonts()};
    g.FontSize = 13;
    course::DrawingScope on(*doc, g);
    doc->CurX = 50;
    doc->CurY = 40;
    doc->Order(5);
    const auto ops = texts(g);
    ASSERT_EQ(ops.size(), 5u);
    EXPECT_EQ(ops[0].text, QStringLiteral("O"));
    EXPECT_TRUE(ops[0].italic);
    EXPECT_EQ(ops[1].text, QStringLiteral("("));
    EXPECT_NEAR(ops[1].a.x(), right(ops[0]) + 4, 1e-9);
    EXPECT_EQ(ops[2].text, QStringLiteral("h"));
    EXPECT_EQ(ops[3].text, QStringLiteral("5"));
    EXPECT_NEAR(ops[3].a.x(), right(ops[2]) + 2, 1e-9);
    EXPECT_DOUBLE_EQ(ops[3].fontSize, doc->SupScale * 13);
    EXPECT_NEAR(ops[3].a.y(), 40 - doc->SupRaise * g.TextHeight(QStringLiteral("A")), 1e-9);
    EXPECT_EQ(ops[4].text, QStringLiteral(")"));
    EXPECT_NEAR(ops[4].a.x(), right(ops[3]) + 2, 1e-9);
    EXPECT_NEAR(doc->CurX, right(ops[4]), 1e-9);
}

TEST_F(Quillet, LambdaSitsOnTheTextBaselineAndRestoresTheFont) {
    Surface g{testFonts()};
    g.FontSize = 20; // whatever the surface had, the page font follows
    g.FontItalic = false;
    course::DrawingScope on(*doc, g);
    doc->CurX = 10;
    doc->CurY = 30;
    doc->lambda();
    const auto ops = texts(g);
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_EQ(ops[0].text, QStringLiteral("λ"));
    EXPECT_EQ(ops[0].fontName, QStringLiteral("Symbol"));
    EXPECT_TRUE(ops[0].italic);
    EXPECT_DOUBLE_EQ(ops[0].fontSize, 1.2 * 13);
    // The cursor ends after the letter, and half a pixel past its slanted leg.
    EXPECT_NEAR(doc->CurX, std::max(right(ops[0]), ops[0].a.x() + ink(ops[0]).right() + 0.5), 1e-9);
    EXPECT_GT(doc->CurX, right(ops[0])); // the italic λ leans past its advance
    EXPECT_DOUBLE_EQ(g.FontSize, 13);
    EXPECT_FALSE(g.FontItalic);
    // Two pixels above where the Symbol font the offsets were made for puts it, which
    // is on the baseline of the body text within a pixel and a half.
    g.FontSize = 13;
    const double bodyBaseline = 30 + g.measure(QStringLiteral("A")).ascent;
    EXPECT_NEAR(ops[0].a.y() + ops[0].ascent, bodyBaseline, 1.5);
}

TEST_F(Quillet, PrintedPagesUseThePageFontAndOnlyPageZeroHasTheTitle) {
    EXPECT_FALSE(course::testing::joined(w->page(0)).contains(quillet::kTitle));
    // Page 3 first: the canvas still has its own design size when it is printed.
    for (int k : {3, 1, 0}) {
        const auto ops = texts(printed(k));
        const DrawOp* heading = &ops.front();
        if (k == 0) {
            EXPECT_EQ(heading->text, quillet::kTitle);
            EXPECT_DOUBLE_EQ(heading->fontSize, 16);
            EXPECT_NEAR(heading->a.x(), 15 * doc->CharW, 1e-9);
            EXPECT_NEAR(heading->a.y(), doc->CharH, 1e-9);
            heading = &ops[1];
            EXPECT_NEAR(heading->a.y(), 2.5 * doc->CharH, 1e-9);
        } else {
            EXPECT_NEAR(heading->a.y(), doc->CharH, 1e-9);
        }
        EXPECT_DOUBLE_EQ(heading->fontSize, 13) << "printed page " << k;
        for (const DrawOp& op : ops) {
            if (isProse(op) && op.text != quillet::kTitle) {
                EXPECT_DOUBLE_EQ(op.fontSize, 13) << "printed page " << k << " " << op.text.toStdString();
            }
        }
        // Prose starts one character from the paper's edge.
        double leftmost = 1e9;
        for (const DrawOp& op : ops)
            leftmost = std::min(leftmost, op.a.x());
        EXPECT_NEAR(leftmost, doc->LeftMargin, 1e-9);
        EXPECT_EQ(doc->LeftMargin, nint(doc->CharW));
    }
    EXPECT_FALSE(course::testing::joined(w->page(0)).contains(quillet::kTitle));
    EXPECT_DOUBLE_EQ(w->Form2().FontSize, 13);
}

TEST_F(Quillet, HeadingsNameTheMethodInKatakana) {
    QString all;
    for (int k = 0; k < 4; ++k)
        all += course::testing::joined(w->page(k));
    for (const char16_t* heading : {u"(2)  ヌメロフの公式を導出する.", u"(3)  ヌメロフの公式",
                                    u"(4)  ヌメロフの公式の精度", u"(1)  概 要", u"(5) 特性方程式の解.",
                                    u"(6) ３次元球対称の問題.", u"(7) ３次元円筒対称，２次元円対称の問題."})
        EXPECT_TRUE(all.contains(QString::fromUtf16(heading))) << QString::fromUtf16(heading).toStdString();
    // Headings are blue and start in the heading column.
    for (int k = 0; k < 4; ++k) {
        const DrawOp first = texts(w->page(k)).front();
        EXPECT_EQ(first.color, doc->Blue);
        EXPECT_DOUBLE_EQ(first.a.x(), doc->Indent0);
    }
}

#ifdef QUILLET_BINARY
TEST(QuilletProgram, ExportsFourPagesAsPngAndPdf) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("quillet.pdf"));
    const course::test::ProgramRun r = course::test::runProgram(
        QStringLiteral(QUILLET_BINARY), {QStringLiteral("--export-png"), dir.path(), QStringLiteral("--export-pdf"), pdf});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    for (int k = 0; k < 4; ++k)
        for (const QString& name : {QStringLiteral("page-%1.png"), QStringLiteral("page-%1@2x.png")}) {
            const QImage img(dir.filePath(name.arg(k)));
            EXPECT_FALSE(img.isNull()) << name.arg(k).toStdString();
        }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("page-4.png"))));
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString raw = QString::fromLatin1(f.readAll());
    EXPECT_EQ(raw.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b(?!s)"))), 4);
}
#endif
