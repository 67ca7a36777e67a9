// SPDX-License-Identifier: GPL-3.0-or-later
// The typographic check itself: it finds the hyphen and the Courier minus, a minus off
// the axis, bars of rule characters and rules between pixel rows, brackets, braces,
// radicals and fraction bars short of what they enclose, and passes what the engine now
// draws (a minus that also reads as "−" in a PDF's text, constructs sized to their ink).

#include "ProgramRun.h"
#include "TestFonts.h"
#include "TypeCheck.h"

#include <engine/formula/Typesetter.h>

#include <QPainter>
#include <QSet>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using course::testing::testFonts;
using namespace course;
using namespace course::testing;

namespace {

Surface page() {
    Surface g(testFonts(), QSize(300, 120));
    g.Cls();
    return g;
}

void text(Surface& g, double x, double y, const QString& s, const QString& font = QStringLiteral("メイリオ")) {
    g.FontName = font;
    g.CurrentX = x;
    g.CurrentY = y;
    g.Print(s);
    g.FontName = QStringLiteral("メイリオ");
}

QStringList rulesOf(const Surface& g) {
    QStringList out;
    for (const TypeFault& f : typeFaults(g))
        out << f.rule + QStringLiteral(": ") + f.item + QStringLiteral(": ") + f.measure;
    return out;
}

} // namespace

TEST(PageTypeCheck, HyphensAndCourierMinusesAreFaults) {
    Surface g = page();
    text(g, 10, 10, QStringLiteral("-"), QStringLiteral("Courier New"));
    text(g, 40, 10, QStringLiteral("-"));
    text(g, 70, 10, QStringLiteral(" ( 1 － "));
    EXPECT_EQ(rulesOf(g).size(), 3) << rulesOf(g).join(u'\n').toStdString();

    // A hyphen inside words is text, not a minus.
    Surface words = page();
    text(words, 10, 10, QStringLiteral("Crank-Nicolson 法"));
    EXPECT_TRUE(rulesOf(words).isEmpty()) << rulesOf(words).join(u'\n').toStdString();
}

TEST(PageTypeCheck, MinusMustSitOnTheAxisAndBeLong) {
    Surface onAxis = page();
    text(onAxis, 10, 10, QStringLiteral("a − b = c"));
    EXPECT_TRUE(rulesOf(onAxis).isEmpty()) << rulesOf(onAxis).join(u'\n').toStdString();

    // The same minus raised by a pixel and a half, in a run of its own.
    Surface high = page();
    text(high, 10, 10, QStringLiteral("a"));
    text(high, 30, 8.5, QStringLiteral("−"));
    const QStringList faults = rulesOf(high);
    ASSERT_EQ(faults.size(), 1) << faults.join(u'\n').toStdString();
    EXPECT_TRUE(faults[0].contains(QStringLiteral("above the math axis"))) << faults[0].toStdString();

    // A minus at half the size stands in text of the full size: too short.
    Surface small = page();
    {
        NominalSize standIn(small, small.FontSize);
        small.FontSize = 0.5 * small.FontSize;
        text(small, 10, 20, QStringLiteral("−"));
    }
    bool shortFound = false;
    for (const QString& f : rulesOf(small))
        shortFound |= f.contains(QStringLiteral("long, the \"+\""));
    EXPECT_TRUE(shortFound) << rulesOf(small).join(u'\n').toStdString();
}

TEST(PageTypeCheck, BarsOfRuleCharactersAreFaults) {
    Surface g = page();
    text(g, 10, 10, QStringLiteral("─────"));
    EXPECT_EQ(rulesOf(g).size(), 1);

    // Two overlapping bar characters make one bar with a joint; one alone is a stroke.
    Surface two = page();
    text(two, 10, 10, QStringLiteral("―"));
    text(two, 10 + two.TextWidth(QStringLiteral("―")) - 4, 10, QStringLiteral("―"));
    EXPECT_EQ(rulesOf(two).size(), 1) << rulesOf(two).join(u'\n').toStdString();
    Surface one = page();
    text(one, 10, 10, QStringLiteral("―"));
    EXPECT_TRUE(rulesOf(one).isEmpty());
}

TEST(PageTypeCheck, ThinRulesMustFillWholePixels) {
    auto line = [](QPointF a, QPointF b, int width = 1, ConstructKind kind = ConstructKind::None) {
        DrawOp op;
        op.kind = DrawOp::Kind::Line;
        op.a = a;
        op.b = b;
        op.width = width;
        op.constructKind = kind;
        return ruleOffPixel(op);
    };
    EXPECT_EQ(line({10, 20}, {60, 20}), 0);              // one pixel row, 20..21
    EXPECT_NEAR(line({10, 30.5}, {60, 30.5}), 0.5, 1e-9); // 30.5..31.5: two grey rows
    EXPECT_EQ(line({80, 10}, {80, 60.25}), 0);           // its length does not matter
    EXPECT_NEAR(line({90.4, 10}, {90.4, 60}), 0.4, 1e-9);
    EXPECT_EQ(line({10, 40}, {60, 40}, 2), 0);           // 39..41
    EXPECT_NEAR(line({10, 50.5}, {60, 50.5}, 2), 0.5, 1e-9);
    EXPECT_LT(line({100, 10}, {140, 30.3}), 0);          // slanted: not a rule
    EXPECT_LT(line({10, 10.5}, {60, 10.5}, 3), 0);       // thick: its edge does not smear
    EXPECT_GT(line({10, 60.3}, {200, 60.3}, 1, ConstructKind::Plot), 0.2);
    EXPECT_LT(line({10, 60.3}, {11, 60.3}), 0); // a dot, not a rule
}

TEST(PageTypeCheck, SurfaceSetsThinRulesOnWholePixels) {
    Surface g = page();
    g.Line(10, 30.4, 60, 30.4);
    g.Line(90.6, 10, 90.6, 60);
    g.DrawWidth = 2;
    g.Line(10, 50.5, 60, 50.5);
    g.DrawWidth = 1;
    g.Scale(0, 1, 10, -1); // a plot: its axis and a flat piece of curve
    g.Line(0, 0.013, 10, 0.013);
    g.Line(1, 0.513, 1.1, 0.513);
    g.ScalePixels();
    EXPECT_TRUE(rulesOf(g).isEmpty()) << rulesOf(g).join(u'\n').toStdString();
    const std::vector<DrawOp>& ops = g.ops();
    ASSERT_EQ(ops.size(), 6u);
    EXPECT_EQ(ops[1].a.y(), 30);
    EXPECT_EQ(ops[2].a.x(), 91);
    EXPECT_EQ(ops[2].b.x(), 91);
    EXPECT_EQ(ops[4].a.y(), std::round(ops[4].a.y()));
    EXPECT_EQ(ops[5].a.y(), std::round(ops[5].a.y()));
    // Moved across only, never along.
    EXPECT_EQ(ops[1].a.x(), 10);
    EXPECT_EQ(ops[1].b.x(), 60);
}

TEST(PageTypeCheck, RuleBarIsOneStrokeWhereTheRulesStood) {
    Surface g = page();
    Typesetter t;
    QRectF rules;
    {
        DrawingScope scope(t, g);
        t.CurX = 10.3;
        t.CurY = 20.7;
        rules = t.inkExtent([&t] { t.ds(QStringLiteral("─────")); });
        t.ruleBar(5);
        EXPECT_NEAR(t.CurX, 10.3 + 5 * g.TextWidth(QStringLiteral("─")), 1e-9);
    }
    ASSERT_EQ(g.ops().size(), 2u);
    const QRectF bar = inkBounds(g.ops()[1]);
    EXPECT_TRUE(rulesOf(g).isEmpty()) << rulesOf(g).join(u'\n').toStdString();
    EXPECT_NEAR(bar.left(), rules.left(), 0.01);
    EXPECT_NEAR(bar.right(), rules.right(), 0.01);
    // Through the rules' middle, moved by at most half a pixel onto whole pixels.
    EXPECT_NEAR(bar.center().y(), rules.center().y(), 0.5);
    EXPECT_NEAR(bar.height(), std::max(1.0, std::round(rules.height())), 1e-9);
}

namespace {

// A typesetter on `g` with the page's character cell.
struct OnPage {
    Typesetter t;
    Surface& g;
    DrawingScope scope;
    explicit OnPage(Surface& s) : g(s), scope(t, s) {
        t.CharW = g.TextWidth(QStringLiteral("A"));
        t.CharH = g.TextHeight(QStringLiteral("A"));
        t.CurX = 10;
        t.CurY = 40;
    }
};

} // namespace

TEST(PageTypeCheck, EngineMinusPassesAndReadsAsMinusInPdf) {
    Surface g = page();
    {
        OnPage on(g);
        Typesetter& t = on.t;
        t.CurY = 20;
        t.it(QStringLiteral("x"));
        t.minus();
        t.ds(QStringLiteral("1 = "));
        t.sp(QStringLiteral("-1"));
        t.ds(QStringLiteral(" "));
        t.sf(QStringLiteral("k-1"));
        t.dsp(g, t.CurX, t.CurY, QStringLiteral("-2.5"));
        // The full-width minus of the pages' text: the true minus in its room, so what
        // follows stands where it stood.
        const double x0 = t.CurX;
        t.ds(QStringLiteral(" ( 1 － 2"));
        Surface wide = page();
        wide.CurrentX = x0;
        wide.CurrentY = t.CurY;
        EXPECT_NEAR(t.CurX - x0, wide.TextWidth(QStringLiteral(" ( 1 － 2")), 0.5);
    }
    EXPECT_TRUE(rulesOf(g).isEmpty()) << rulesOf(g).join(u'\n').toStdString();
    int minuses = 0;
    for (const DrawOp& op : g.ops()) {
        minuses += int(op.text.count(QChar(0x2212)));
        EXPECT_FALSE(op.text.contains(u'\uFF0D')) << op.text.toStdString();
    }
    EXPECT_EQ(minuses, 5);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("minus.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setResolution(96);
        QPainter p(&writer);
        g.render(p);
    }
    const std::optional<QString> read = course::test::pdfText(pdf);
    if (!read)
        GTEST_SKIP() << "pdftotext is not installed or cannot read the file";
    EXPECT_EQ(read->count(QChar(0x2212)), 5) << read->toStdString();
    EXPECT_FALSE(read->contains(u'-')) << read->toStdString();
}

TEST(PageTypeCheck, FacesSetByTheirCellTopLeaveTheBaseline) {
    // Italic, Courier and Symbol runs printed with the cell top of the body text: each
    // stands off the body's baseline by its own ascent.
    for (const QString& font : {QStringLiteral("Bookman Old Style"), QStringLiteral("Courier New")}) {
        Surface g = page();
        text(g, 10, 40, QStringLiteral("a = "));
        g.FontItalic = font != QStringLiteral("Courier New");
        text(g, g.CurrentX, 40, QStringLiteral("x"), font);
        g.FontItalic = false;
        const QStringList faults = rulesOf(g);
        ASSERT_EQ(faults.size(), 1) << font.toStdString();
        EXPECT_TRUE(faults[0].startsWith(QStringLiteral("baseline: \"x\""))) << faults[0].toStdString();
    }
    // The engine's runs place each face by its ascent: variables, the d of a
    // derivative, a function name, partial derivatives and body text share one line.
    Surface g = page();
    {
        OnPage p(g);
        p.t.ds(QStringLiteral("a = "));
        p.t.it(QStringLiteral("x"));
        p.t.Courier(QStringLiteral("exp"));
        p.t.ds(QStringLiteral("(2"));
        p.t.dspD(p.t.CurX, p.t.CurY);
        p.t.it(QStringLiteral("t"));
        p.t.ds(QStringLiteral(") + "));
        p.t.PartialFrac(QStringLiteral("f"), QStringLiteral("t"));
        p.t.ds(QStringLiteral(" = 0"));
    }
    EXPECT_TRUE(rulesOf(g).isEmpty()) << rulesOf(g).join(u'\n').toStdString();
    // The numerator's ∂ and f stand on one baseline.
    std::vector<double> numerator;
    for (const DrawOp& op : g.ops())
        if (op.kind == DrawOp::Kind::Text && op.a.y() < 40 - 5)
            numerator.push_back(op.a.y() + op.ascent);
    ASSERT_EQ(numerator.size(), 2u);
    EXPECT_NEAR(numerator[0], numerator[1], 1e-9);
}

TEST(PageTypeCheck, ScriptsAndOtherLinesAreNotHeldToTheBaseline) {
    // A superscript and a subscript drawn by the script routines are marked as such.
    Surface scripts = page();
    {
        OnPage p(scripts);
        p.t.it(QStringLiteral("x"));
        p.t.sp(QStringLiteral("2"));
        p.t.sf(QStringLiteral("n"));
        p.t.ds(QStringLiteral(" + 1"));
    }
    EXPECT_TRUE(rulesOf(scripts).isEmpty()) << rulesOf(scripts).join(u'\n').toStdString();
    int marked = 0;
    for (const DrawOp& op : scripts.ops())
        marked += op.script != 0;
    EXPECT_EQ(marked, 2);

    // The same "2" raised by hand, unmarked, is a run off its line.
    Surface byHand = page();
    {
        OnPage p(byHand);
        p.t.it(QStringLiteral("x"));
        p.t.ds(QStringLiteral(" + "));
        p.t.dsp(byHand, p.t.CurX, p.t.CurY - 3, QStringLiteral("2"));
    }
    EXPECT_EQ(rulesOf(byHand).size(), 1) << rulesOf(byHand).join(u'\n').toStdString();

    // A run that starts far from where the one before it ended is not of its line.
    Surface apart = page();
    text(apart, 10, 40, QStringLiteral("a"));
    text(apart, 120, 43, QStringLiteral("b"));
    EXPECT_TRUE(rulesOf(apart).isEmpty()) << rulesOf(apart).join(u'\n').toStdString();
}

TEST(PageTypeCheck, ScriptsKeepAPixelFromTheirBaseAndFromBars) {
    // A square set straight after an italic letter that leans over its advance, and
    // one set just under a bar: both closer than a pixel.
    Surface g = page();
    {
        OnPage p(g);
        p.t.it(QStringLiteral("f"));
        p.t.sup(g, p.t.CurX, p.t.CurY, QStringLiteral("2"));
    }
    QStringList faults = rulesOf(g);
    ASSERT_EQ(faults.size(), 1) << faults.join(u'\n').toStdString();
    EXPECT_TRUE(faults[0].contains(QStringLiteral("from its base \"f\""))) << faults[0].toStdString();

    Surface under = page();
    {
        OnPage p(under);
        double x = 10;
        p.t.sup(under, x, 40, QStringLiteral("2"));
        const QRectF ink = inkBounds(under.ops().back());
        under.Line(5, std::floor(ink.top()) - 1, 40, std::floor(ink.top()) - 1);
    }
    faults = rulesOf(under);
    ASSERT_EQ(faults.size(), 1) << faults.join(u'\n').toStdString();
    EXPECT_TRUE(faults[0].contains(QStringLiteral("from the bar"))) << faults[0].toStdString();

    // The engine's scripts (sp, SqOf, a fraction's square) keep clear of both.
    Surface engine = page();
    {
        OnPage p(engine);
        p.t.it(QStringLiteral("f"));
        p.t.sp(QStringLiteral("2"));
        p.t.ds(QStringLiteral(" + "));
        p.t.SqOf(QStringLiteral("x"));
        p.t.ds(QStringLiteral(" + "));
        p.t.FracMk(1, QStringLiteral("1"), QStringLiteral("4r^2"));
    }
    EXPECT_TRUE(rulesOf(engine).isEmpty()) << rulesOf(engine).join(u'\n').toStdString();
}

namespace {

QStringList fitsOf(const Surface& g) {
    QStringList out;
    for (const TypeFault& f : typeFaults(g))
        if (f.rule == QStringLiteral("fit"))
            out << f.item + QStringLiteral(": ") + f.measure;
    return out;
}

QStringList labelFaults(const Surface& g) {
    QStringList out;
    for (const TypeFault& f : typeFaults(g))
        if (f.rule == QStringLiteral("label"))
            out << f.item + QStringLiteral(": ") + f.measure;
    return out;
}

// Two lines of text stacked about `y`, as the lines a bracket or a brace encloses.
void twoLines(Typesetter& t, double x, double y) {
    t.CurX = x;
    t.CurY = y - 0.7 * t.CharH;
    t.ds(QStringLiteral("(1)"));
    t.CurX = x;
    t.CurY = y + 0.7 * t.CharH;
    t.ds(QStringLiteral("(2)"));
    t.CurY = y;
}

// A run "E0" at (40, 40) and the bounds of its ink.
QRectF label(Surface& g, const QString& s = QStringLiteral("E0")) {
    text(g, 40, 40, s);
    return inkBounds(g.ops().back());
}

} // namespace

TEST(PageTypeCheck, BracketsAreSizedToWhatTheyEnclose) {
    // Whatever gap the page asks for, a pair of square brackets spans the two stacked
    // lines drawn between them, and each of their pieces carries that ink.
    for (const int gap : {0, 5}) {
        Surface g(testFonts(), QSize(300, 160));
        g.Cls();
        {
            OnPage on(g);
            Typesetter& t = on.t;
            const double y = 60;
            t.BracketGap = gap;
            double x = 20;
            t.BigSquareL(x, y);
            twoLines(t, 40, y);
            x = 80;
            t.BigSquareR(x, y);
        }
        const QStringList fits = fitsOf(g);
        EXPECT_TRUE(fits.isEmpty()) << fits.join(u'\n').toStdString();
        QSet<int> brackets;
        int unrecorded = 0;
        for (const DrawOp& op : g.ops())
            if (op.constructKind == ConstructKind::Bracket) {
                brackets.insert(op.construct);
                unrecorded += op.enclosed.isNull();
            }
        EXPECT_EQ(brackets.size(), 2);
        EXPECT_EQ(unrecorded, 0);
    }
}

TEST(PageTypeCheck, BraceOverItsLinesSpansThemAndAShortOneIsAFault) {
    for (const bool fitted : {false, true}) {
        Surface g(testFonts(), QSize(300, 200));
        g.Cls();
        {
            OnPage on(g);
            Typesetter& t = on.t;
            const double y = 90;
            const std::size_t first = g.ops().size();
            twoLines(t, 40, y);
            const QRectF lines = inkBounds(g, first);
            int brace = 0;
            if (fitted) {
                brace = t.ColBraceOver(0, 20, lines, Typesetter::BraceBuild::ExtendedFromOne);
            } else {
                t.ColBrace(0, 20, y, 0.2, Typesetter::BraceBuild::ExtendedFromOne);
                brace = g.lastConstruct();
            }
            g.setEnclosed(brace, lines);
        }
        const QStringList fits = fitsOf(g);
        EXPECT_EQ(fits.size(), fitted ? 0 : 1) << fits.join(u'\n').toStdString();
    }
}

TEST(PageTypeCheck, RadicalsAndFractionBarsMustCoverTheirParts) {
    Surface g(testFonts(), QSize(400, 200));
    g.Cls();
    {
        OnPage on(g);
        Typesetter& t = on.t;
        t.CurY = 60;
        // A sign of the text's size with a bar shorter than a fraction under it.
        double x = 20;
        t.dspSqrt(g, x, t.CurY, 4);
        const int shortRoot = g.lastConstruct();
        const std::size_t first = g.ops().size();
        t.CurX = x;
        t.FracMk(1, QStringLiteral("1"), QStringLiteral("6"));
        t.encloseSince(shortRoot, first);
        // The same radicand under a sign sized to it.
        t.CurX = 150;
        t.rootOf([&] { t.FracMk(1, QStringLiteral("1"), QStringLiteral("6")); });
        // A bar drawn by hand, shorter than what it was said to span.
        const std::size_t bar = g.ops().size();
        g.Line(260, 72, 270, 72);
        g.setEnclosedOf(bar, QRectF(258, 50, 20, 40));
    }
    QStringList fits = fitsOf(g);
    // The short radical misses top and bottom and its bar the radicand's end; the bar
    // drawn by hand misses both ends. The fitted radical and both built fractions pass.
    EXPECT_EQ(fits.size(), 3) << fits.join(u'\n').toStdString();
    EXPECT_EQ(fits.filter(QStringLiteral("fraction bar")).size(), 1) << fits.join(u'\n').toStdString();
    EXPECT_EQ(fits.filter(QStringLiteral("overline")).size(), 1) << fits.join(u'\n').toStdString();

    // Every built fraction and radical here recorded what it spans.
    int bars = 0, roots = 0;
    for (const DrawOp& op : g.ops()) {
        bars += op.kind == DrawOp::Kind::Line && op.constructKind == ConstructKind::None && !op.enclosed.isNull();
        roots += op.constructKind == ConstructKind::Radical && op.kind == DrawOp::Kind::Text && !op.enclosed.isNull();
    }
    EXPECT_EQ(bars, 3);
    EXPECT_EQ(roots, 2);
}

TEST(PageTypeCheck, PlotStrokesKeepAPixelFromLabels) {
    // A curve drawn straight through a label.
    Surface cut = page();
    const QRectF ink = label(cut);
    {
        ConstructMark plot(cut, ConstructKind::Plot);
        cut.Line(20, ink.center().y() - 10, 120, ink.center().y() + 10);
    }
    QStringList faults = labelFaults(cut);
    ASSERT_EQ(faults.size(), 1) << faults.join(u'\n').toStdString();
    EXPECT_TRUE(faults[0].startsWith(QStringLiteral("\"E0\""))) << faults[0].toStdString();
    EXPECT_TRUE(faults[0].contains(QStringLiteral("from (20.00, "))) << faults[0].toStdString();
    EXPECT_TRUE(faults[0].contains(QStringLiteral(" 0.00 px from its ink"))) << faults[0].toStdString();

    // An axis under the numbers: its ink half a pixel below theirs is too close, a pixel
    // and a half is clear. Strokes in a user scale are a plot's too.
    for (const auto& [below, fails] : {std::pair{1.0, true}, std::pair{2.0, false}}) {
        Surface axis = page();
        const QRectF number = label(axis, QStringLiteral("0.5"));
        const double y = std::ceil(number.bottom()) + below - 0.5; // a 1-px rule's middle
        axis.Scale(0, 0, axis.size().width(), axis.size().height());
        axis.Line(10, y - 0.5, 200, y - 0.5);
        axis.ScalePixels();
        ASSERT_EQ(axis.ops().back().constructKind, ConstructKind::Plot);
        const QRectF stroke = inkBounds(axis.ops().back());
        faults = labelFaults(axis);
        EXPECT_EQ(!faults.isEmpty(), fails)
            << "gap " << stroke.top() - number.bottom() << ": " << faults.join(u'\n').toStdString();
    }

    // The same curve beside the label, clear of its ink.
    Surface clear = page();
    const QRectF beside = label(clear);
    {
        ConstructMark plot(clear, ConstructKind::Plot);
        clear.Line(beside.right() + 2, beside.top() - 10, beside.right() + 2, beside.bottom() + 10);
        clear.PSet(beside.left() - 3, beside.center().y());
    }
    EXPECT_TRUE(labelFaults(clear).isEmpty()) << labelFaults(clear).join(u'\n').toStdString();
    // A point of a dotted curve on the label is a fault as a stroke is.
    {
        ConstructMark plot(clear, ConstructKind::Plot);
        clear.PSet(beside.center().x(), beside.center().y());
    }
    EXPECT_EQ(labelFaults(clear).size(), 1) << labelFaults(clear).join(u'\n').toStdString();
}

TEST(PageTypeCheck, LabelRuleHoldsPlotsOnlyAndSeesHalos) {
    // Strokes that are not a plot's (a fraction bar, an underline) are for the other rules.
    Surface text_ = page();
    const QRectF ink = label(text_);
    text_.Line(ink.left(), ink.bottom(), ink.right(), ink.bottom());
    EXPECT_TRUE(labelFaults(text_).isEmpty()) << labelFaults(text_).join(u'\n').toStdString();

    // An opaque label drawn over the curve hides the curve in its cell: the cell is its
    // halo, and what shows of the curve is clear of the ink when the cell reaches a
    // pixel past the ink.
    auto curveThenLabel = [](bool opaque) {
        Surface g = page();
        const double y = 40 + 0.5 * g.TextHeight(QStringLiteral("E0"));
        {
            ConstructMark plot(g, ConstructKind::Plot);
            g.Line(10, y, 200, y);
        }
        g.FontTransparent = !opaque;
        label(g, QStringLiteral(" E0 ")); // blanks widen the cell past the ink
        return labelFaults(g);
    };
    EXPECT_TRUE(curveThenLabel(true).isEmpty()) << curveThenLabel(true).join(u'\n').toStdString();
    EXPECT_EQ(curveThenLabel(false).size(), 1);

    // A curve drawn over an opaque label still cuts it.
    Surface over = page();
    over.FontTransparent = false;
    const QRectF under = label(over);
    {
        ConstructMark plot(over, ConstructKind::Plot);
        over.Line(10, under.center().y(), 200, under.center().y());
    }
    EXPECT_EQ(labelFaults(over).size(), 1);

    // Text in the paper's colour leaves no ink, and a label before a Cls is gone.
    Surface gone = page();
    gone.ForeColor = gone.BackColor;
    const QRectF blank = label(gone);
    gone.ForeColor = 0;
    text(gone, 40, 80, QStringLiteral("E1"));
    gone.Cls();
    {
        ConstructMark plot(gone, ConstructKind::Plot);
        gone.Line(10, blank.center().y(), 200, blank.center().y());
        gone.Line(10, 85, 200, 85);
    }
    EXPECT_TRUE(labelFaults(gone).isEmpty()) << labelFaults(gone).join(u'\n').toStdString();
}
