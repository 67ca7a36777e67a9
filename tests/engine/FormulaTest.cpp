// SPDX-License-Identifier: GPL-3.0-or-later
// Cursor-level calls and formula constructs, checked on the recorded runs and lines.

#include <engine/textruns/FontTable.h>
#include "BodySurface.h"
#include "RunLog.h"
#include "LineTop.h"
#include "TestFonts.h"
#include <engine/formula/Typesetter.h>

#include <gtest/gtest.h>

#include <optional>

#include <cmath>
#include <functional>
#include <stdexcept>

using course::testing::testFonts;
using namespace course;
using namespace course::testing;

namespace {

const QString kBody = QStringLiteral("メイリオ");

struct Formula : ::testing::Test, BodySurface {
    Typesetter t;
    std::optional<DrawingScope> on;
    int beeps = 0;

    void SetUp() override {
        g.Cls();
        t.HasBookman = 1;
        on.emplace(t, g);
        t.CharW = TW();
        t.CharH = TH();
        t.LeftMargin = 10;
        t.CurX = 100;
        t.CurY = 200;
        t.env().beepHook = [this] { ++beeps; };
    }

    // Width of a run measured the way the runs measure it.
    double width(const QString& font, double size, bool bold, bool italic, const QString& s) {
        Surface m{testFonts()};
        m.FontName = font;
        m.FontSize = size;
        m.FontBold = bold;
        m.FontItalic = italic;
        return m.TextWidth(s);
    }
    // Where the runs take a "-", they draw the body font's "−" of `size`, centred in
    // the room a Courier hyphen at 1.2 times the size takes.
    double minusRoom(double size) { return width(QStringLiteral("Courier New"), 1.2 * size, false, false, QStringLiteral("-")); }
    double minusInset(double size) {
        return (minusRoom(size) - width(kBody, size, false, false, QStringLiteral("−"))) / 2;
    }
};

} // namespace

TEST_F(Formula, ItSpacesOnlySeveralLetters) {
    t.it(QStringLiteral("x"));
    auto r = texts(g);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_DOUBLE_EQ(r[0].a.x(), 100);
    EXPECT_DOUBLE_EQ(t.CurX, right(r[0]));

    g.Cls();
    t.CurX = 100;
    t.it(QStringLiteral("ab"));
    r = texts(g);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_TRUE(r[0].italic);
    EXPECT_DOUBLE_EQ(r[0].a.x(), 102);
    EXPECT_DOUBLE_EQ(r[1].a.x(), right(r[0]) + 2);
    EXPECT_DOUBLE_EQ(t.CurX, right(r[1]) + 2);

    g.Cls();
    t.CurX = 100;
    t.it(QString());
    EXPECT_TRUE(texts(g).empty());
    EXPECT_DOUBLE_EQ(t.CurX, 102);
}

TEST_F(Formula, SuperscriptAndMinusSpacingAndTheSorrelForms) {
    t.sp(QStringLiteral("2"));
    t.minus();
    auto r = texts(g);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_DOUBLE_EQ(r[0].a.x(), 102);
    EXPECT_DOUBLE_EQ(r[1].a.x(), right(r[0]) + 2 + 4 + minusInset(13));
    EXPECT_EQ(r[1].fontName, kBody);
    EXPECT_EQ(r[1].text, QStringLiteral("−"));
    EXPECT_DOUBLE_EQ(t.CurX, right(r[0]) + 2 + 4 + minusRoom(13) + 4);

    Surface h{testFonts()};
    h.FontName = kBody;
    h.FontSize = 13;
    RunStyle unpadded;
    unpadded.paddedScripts = false;
    Typesetter s(unpadded);
    DrawingScope onH(s, h);
    s.CharH = 20;
    s.CurX = 100;
    s.CurY = 50;
    s.sp(QStringLiteral("2"));
    s.minus();
    s.epsln();
    r = texts(h);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_DOUBLE_EQ(r[0].a.x(), 100);
    EXPECT_DOUBLE_EQ(r[1].a.x(), right(r[0]) + minusInset(13));
    EXPECT_DOUBLE_EQ(s.CurX, right(r[2]));
    EXPECT_DOUBLE_EQ(r[2].a.y(), 50 - 2); // 0.1·CharH
    t.epsln();
    EXPECT_DOUBLE_EQ(texts(g).back().a.y(), 200 - 2);
    EXPECT_DOUBLE_EQ(texts(g).back().fontSize, 1.05 * 13);
}

TEST_F(Formula, CursorStepsRoundAddxToSixteenBits) {
    t.addx(2.5);
    EXPECT_DOUBLE_EQ(t.CurX, 102); // ties to even
    t.addx(-3.5);
    EXPECT_DOUBLE_EQ(t.CurX, 98);
    EXPECT_THROW(t.addx(40000), std::overflow_error);
    t.incx(2);
    EXPECT_DOUBLE_EQ(t.CurX, 98 + 2 * t.CharW);
    t.NewPara();
    EXPECT_DOUBLE_EQ(t.CurX, 10);
    EXPECT_DOUBLE_EQ(t.CurY, 200 + 1.5 * t.CharH);
    t.NewLine();
    EXPECT_DOUBLE_EQ(t.CurY, 200 + 2.5 * t.CharH);
}

TEST_F(Formula, SqOfDIsUprightOthersItalicAndTheSquareSitsLowerWithoutBookman) {
    const double raise = t.SupRaise;
    t.SqOf(QStringLiteral("d"));
    auto r = texts(g);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_FALSE(r[0].italic);
    EXPECT_EQ(r[0].fontName, kBody);
    EXPECT_DOUBLE_EQ(r[1].a.x(), right(r[0]) + 2);
    EXPECT_NEAR(r[1].a.y(), 200 - 0.2 * TH(), 1e-9);
    EXPECT_DOUBLE_EQ(t.CurX, right(r[1]) + 2);

    g.Cls();
    t.HasBookman = -1;
    t.SqOf(QStringLiteral("x"));
    r = texts(g);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_TRUE(r[0].italic);
    EXPECT_EQ(r[0].fontName, QStringLiteral("Times New Roman"));
    EXPECT_NEAR(r[1].a.y(), 200 - 0.12 * TH(), 1e-9);
    EXPECT_DOUBLE_EQ(t.SupRaise, raise);
    expectFontRestored();
}

TEST_F(Formula, FuncOfSpacingWithoutBookman) {
    t.HasBookman = -1;
    t.FuncOf(QStringLiteral("f"), QStringLiteral("j"));
    auto r = texts(g);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_DOUBLE_EQ(r[1].a.x(), right(r[0]) + 4);
    EXPECT_DOUBLE_EQ(r[2].a.x(), right(r[1]) + 5);
    EXPECT_DOUBLE_EQ(r[3].a.x(), right(r[2]) + 2);
    EXPECT_EQ(r[3].text, QStringLiteral(")"));
}

TEST_F(Formula, FracMkCentresTheShorterPart) {
    t.FracMk(1.0, QStringLiteral("a"), QStringLiteral("abc"));
    const double wn = std::nearbyint(
        1.3 * width(QStringLiteral("Bookman Old Style"), 13, false, false, QStringLiteral("a")));
    // The denominator's letters are Bookman italics drawn 1.3 times their width apart.
    double letters = 0;
    for (const char* c : {"a", "b", "c"})
        letters += width(QStringLiteral("Bookman Old Style"), 13, false, false, QLatin1String(c));
    const double wd = std::nearbyint(1.3 * letters);
    const double W = std::max<double>(wn, wd) + g.TextWidth(QStringLiteral("p"));
    auto r = texts(g);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_NEAR(r[0].a.x(), 100 + (W - wn) / 2, 1e-9);
    EXPECT_DOUBLE_EQ(lineTop(r[0]), 190);
    EXPECT_NEAR(r[1].a.x(), 100 + (W - wd) / 2, 1e-9);
    EXPECT_DOUBLE_EQ(lineTop(r[1]), 213);
    auto l = lines(g);
    ASSERT_EQ(l.size(), 1u);
    EXPECT_EQ(l[0].a, QPointF(100, 212));
    EXPECT_NEAR(l[0].b.x(), 100 + W, 1e-9);
    EXPECT_NEAR(t.CurX, 100 + W, 1e-9);
    expectFontRestored();
}

TEST_F(Formula, FracMkSpecialNumeratorsAndDenominators) {
    // A lone y is raised 2 px; at 0.9 the offsets are ⌊9⌋ and ⌊12.2⌋.
    t.FracMk(0.9, QStringLiteral("y"), QStringLiteral("t^2x"));
    auto r = texts(g);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].text, QStringLiteral("y"));
    EXPECT_DOUBLE_EQ(lineTop(r[0]), 200 - 9 - 2);
    // The denominator's line is at 212 unless its square would come within a pixel of
    // the bar (its ink from 212 to 213): then it is lowered just enough.
    EXPECT_GE(lineTop(r[1]), 212);
    if (lineTop(r[1]) > 212) {
        EXPECT_NEAR(inkBounds(r[2]).top(), 213 + 1.0, 1e-9);
    }
    EXPECT_NEAR(r[1].fontSize, 1.15 * 0.9 * 13, 1e-9);
    // The caret raises exactly one character, 2 px after t; x follows on the line.
    EXPECT_EQ(r[2].text, QStringLiteral("2"));
    EXPECT_DOUBLE_EQ(r[2].a.x(), right(r[1]) + 2);
    EXPECT_LT(r[2].a.y(), lineTop(r[1]));
    EXPECT_EQ(r[3].text, QStringLiteral("x"));
    EXPECT_DOUBLE_EQ(lineTop(r[3]), lineTop(r[1]));
    EXPECT_DOUBLE_EQ(r[3].a.x(), right(r[2]));

    // A caret in the numerator raises all of the rest; "_" lowers the numerator line.
    g.Cls();
    t.FracMk(1.0, QStringLiteral("h^2n"), QStringLiteral("E_nk"));
    r = texts(g);
    ASSERT_EQ(r.size(), 6u);
    EXPECT_EQ(r[0].text, QStringLiteral("h"));
    EXPECT_DOUBLE_EQ(r[1].a.x(), right(r[0]) + 2);
    EXPECT_NEAR(r[1].a.y(), 190 - 0.2 * TH(), 1e-9);
    EXPECT_EQ(r[2].text, QStringLiteral("n"));
    EXPECT_DOUBLE_EQ(lineTop(r[2]), lineTop(r[1]));
    EXPECT_EQ(r[3].text, QStringLiteral("E"));
    EXPECT_NEAR(lineTop(r[4]), 213 + 0.3 * TH(), 1e-9);

    g.Cls();
    t.FracMk(1.0, QStringLiteral("a_1"), QStringLiteral("2"));
    EXPECT_DOUBLE_EQ(lineTop(texts(g)[0]), 188);
    expectFontRestored();
}

TEST_F(Formula, MarkupTextBeepsOncePerCallOfNPlusOne) {
    double x = 0;
    t.MarkupText(g, x, 0, QStringLiteral("n+1"));
    EXPECT_EQ(beeps, 1);
    x = 0;
    t.MarkupText(g, x, 0, QStringLiteral("n+1"));
    EXPECT_EQ(beeps, 2);
    t.MarkupText(g, x, 0, QStringLiteral("n+2"));
    t.FracMk(1.0, QStringLiteral("n+1"), QStringLiteral("2"));
    EXPECT_EQ(beeps, 2);
}

TEST_F(Formula, MarkupGreekNamesAndWidths) {
    double x = 50;
    t.MarkupText(g, x, 0, QStringLiteral("-pialphaj"));
    auto r = texts(g);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].fontName, kBody);
    EXPECT_DOUBLE_EQ(r[0].a.x(), 52 + minusInset(13));
    EXPECT_EQ(r[1].text, QStringLiteral("π"));
    EXPECT_EQ(r[2].text, QStringLiteral("α"));
    EXPECT_DOUBLE_EQ(r[2].a.x(), right(r[1]) + 2 + 2);
    EXPECT_DOUBLE_EQ(r[3].a.x(), right(r[2]) + 2 + 4);
    EXPECT_DOUBLE_EQ(x, right(r[3]));

    const double w = g.TextWidth(QStringLiteral("w"));
    EXPECT_EQ(t.MarkupWidth(QStringLiteral("omega^2")), nint(w + g.TextWidth(QStringLiteral("2"))));
    t.HasBookman = -1;
    EXPECT_EQ(t.MarkupWidth(QStringLiteral("x")),
              nint(1.3 * width(QStringLiteral("Times New Roman"), 13, false, false, QStringLiteral("x"))));
}

TEST_F(Formula, SubOfDrawsTheBaseTwiceAndEndsAfterTheScript) {
    t.SubOf(QStringLiteral("y"), QStringLiteral("2"));
    auto r = texts(g);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[2].text, r[0].text);
    EXPECT_EQ(r[2].a, r[0].a);
    EXPECT_DOUBLE_EQ(t.CurX, right(r[1]));
}

TEST_F(Formula, PartialFracWidthsAndParts) {
    t.PartialFrac(QStringLiteral("u"), QStringLiteral("theta"));
    const double wn = width(QStringLiteral("Times New Roman"), 13, true, false, QStringLiteral("uN"));
    const double wd = width(QStringLiteral("Times New Roman"), 13, true, false, QStringLiteral("Nb"));
    const double W = std::max(wn, wd) + 4;
    auto l = lines(g);
    ASSERT_EQ(l.size(), 1u);
    EXPECT_EQ(l[0].a.y(), std::round(200 + 0.4 * t.CharH)); // on the nearest row of pixels
    EXPECT_NEAR(l[0].b.x() - l[0].a.x(), W, 1e-9);
    auto r = texts(g);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].text, sym(182));
    EXPECT_NEAR(r[0].a.x(), wd > wn ? 100 + 0.45 * (wd - wn) : 100, 1e-9);
    EXPECT_DOUBLE_EQ(lineTop(r[0]), 187);
    EXPECT_DOUBLE_EQ(r[1].a.x(), right(r[0]) + 2);
    EXPECT_NEAR(r[2].a.x(), wn > wd ? 100 + 0.45 * (wn - wd) : 100, 1e-9);
    EXPECT_DOUBLE_EQ(lineTop(r[2]), 210);
    EXPECT_EQ(r[3].text, QStringLiteral("θ"));
    EXPECT_DOUBLE_EQ(t.CurX, right(r[3]));
    EXPECT_DOUBLE_EQ(t.CurY, 200);
    expectFontRestored();
}

TEST_F(Formula, PartialFracOfATildedLetter) {
    t.PartialFrac(QStringLiteral("tildeu"), QStringLiteral("t"));
    auto r = texts(g);
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(r[0].text, sym(182));
    EXPECT_EQ(r[1].text, QStringLiteral("u"));
    EXPECT_TRUE(r[1].italic);
    EXPECT_DOUBLE_EQ(r[1].a.x(), right(r[0]) + 2);
    EXPECT_EQ(r[2].text, QStringLiteral("~"));
    EXPECT_DOUBLE_EQ(r[2].a.x(), right(r[1]) - 12);
    EXPECT_DOUBLE_EQ(r[2].a.y(), 187 - 15);
    // Both parts are measured as "uN" and "tN".
    const double wn = width(QStringLiteral("Times New Roman"), 13, true, false, QStringLiteral("uN"));
    const double wd = width(QStringLiteral("Times New Roman"), 13, true, false, QStringLiteral("tN"));
    EXPECT_NEAR(lines(g)[0].b.x() - 100, std::max(wn, wd) + 4, 1e-9);
    EXPECT_DOUBLE_EQ(t.CurY, 200);
    EXPECT_DOUBLE_EQ(t.CurX, right(r[4]));
}

namespace {
// A derivative's bar is as long as the layout asks, or as the ink of its parts
// reaches when that lies further, and no longer.
void expectBarCovers(const Surface& g, const DrawOp& bar, double length) {
    double inkRight = 0;
    for (const DrawOp& op : g.ops())
        if (op.kind == DrawOp::Kind::Text)
            inkRight = std::max(inkRight, inkBounds(op).right());
    EXPECT_NEAR(bar.b.x(), std::max(bar.a.x() + length, inkRight), 1e-9);
}
} // namespace

TEST_F(Formula, FracDAndFracD2Bars) {
    t.FracD(QStringLiteral("f"), QStringLiteral("x"));
    auto l = lines(g);
    ASSERT_EQ(l.size(), 1u);
    EXPECT_EQ(l[0].a, QPointF(100, 212));
    expectBarCovers(g, l[0], 2.4 * t.CharW);
    EXPECT_DOUBLE_EQ(l[0].b.y(), 212);
    auto r = texts(g);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].fontName, QStringLiteral("Courier New"));
    EXPECT_EQ(lineAt(r[0]), QPointF(102, 189));
    EXPECT_DOUBLE_EQ(r[1].a.x(), right(r[0]) + 1 + 4); // dspD's 1 px, 4 more for f
    EXPECT_EQ(lineAt(r[2]), QPointF(102, 200 + 0.5 * t.CharH));
    EXPECT_DOUBLE_EQ(t.CurX, right(r[3]));

    for (const char* f : {"P", "", "y"}) {
        g.Cls();
        t.CurX = 100;
        t.FracD2(QString::fromLatin1(f), QStringLiteral("r"));
        l = lines(g);
        ASSERT_EQ(l.size(), 1u);
        EXPECT_EQ(l[0].a, QPointF(100, 212));
        expectBarCovers(g, l[0], (*f == 'P' ? 3.5 : 3.2) * t.CharW);
        r = texts(g);
        EXPECT_EQ(lineAt(r[0]), QPointF(*f ? 102 : 110, 189)) << f;
        EXPECT_DOUBLE_EQ(
            r[1].a.y(), 187 - 0.1 * [&] {
                Surface m{testFonts()};
                m.FontSize = 0.75 * 13;
                return m.TextHeight(QStringLiteral("2"));
            }());
        const DrawOp& dDen = r[r.size() - 3];
        EXPECT_EQ(lineAt(dDen), QPointF(102, 214)) << f;
        EXPECT_DOUBLE_EQ(r[r.size() - 2].a.x(), right(dDen) + 1 + 3);
        EXPECT_DOUBLE_EQ(t.CurX, right(r.back()));
    }
}

TEST_F(Formula, FittedDerivativesDrawTheBarLastPastAllTheirInk) {
    // df/dv (second: d²f/dv²) fitted as `fit` says.
    const auto check = [this](const char* cf, const char* cv, bool second, DerivativeFit fit) {
        SCOPED_TRACE(std::string(cf) + "/" + cv);
        g.Cls();
        t.CurX = 100;
        t.CurY = 200;
        const QString f = QString::fromLatin1(cf);
        const QString v = QString::fromLatin1(cv);
        if (second)
            t.FracD2Fit(f, v, fit);
        else
            t.FracDFit(f, v);
        ASSERT_EQ(lines(g).size(), 1u);
        const DrawOp& bar = g.ops().back();
        ASSERT_EQ(bar.kind, DrawOp::Kind::Line); // drawn after the parts it measures
        EXPECT_EQ(bar.a, QPointF(100, 212));
        EXPECT_DOUBLE_EQ(bar.b.y(), 212);
        const double fixed = (!second ? 2.4 : *cf == 'P' ? 3.5 : 3.2) * t.CharW;
        EXPECT_GE(bar.b.x() - 100, fixed - 1e-9);
        const auto r = texts(g);
        for (const DrawOp& op : r)
            EXPECT_LE(inkBounds(op).right() + Typesetter::kInkAir, bar.b.x() + 1e-9) << op.text.toStdString();
        EXPECT_GE(t.CurX, bar.b.x());
        EXPECT_GE(t.CurX, right(r.back()));
        // The numerator letter: on its d's baseline and clear of the bar when lifted,
        // where the fixed offsets put it when not.
        if (*cf) {
            const DrawOp* letter = nullptr;
            for (const DrawOp& op : r)
                if (op.text == f)
                    letter = &op;
            ASSERT_NE(letter, nullptr);
            if (fit.liftNumerator) {
                EXPECT_LE(letter->a.y(), 200 - 11);
                EXPECT_LE(inkBounds(*letter).bottom() + Typesetter::kInkAir, inkBounds(bar).top() + 1e-9);
            } else {
                EXPECT_DOUBLE_EQ(lineTop(*letter), 200 - 11);
            }
        }
        // The denominator's square past the ink of its letter when asked for.
        if (fit.squareClearOfLetter) {
            ASSERT_GE(r.size(), 2u);
            EXPECT_EQ(r[r.size() - 2].text, v);
            EXPECT_GE(r.back().a.x(), inkBounds(r[r.size() - 2]).right() + 0.5 - 1e-9);
        }
        expectFontRestored();
    };
    check("u", "r", false, {});
    check("f", "x", false, {});
    check("y", "x", true, {});
    check("", "x", true, {});
    check("P", "r", true, {.liftNumerator = false, .squareClearOfLetter = true});
}

TEST_F(Formula, PartialFrac2Layout) {
    t.PartialFrac2(QStringLiteral("u"), QStringLiteral("x"));
    auto l = lines(g);
    ASSERT_EQ(l.size(), 1u);
    EXPECT_EQ(l[0].a.y(), std::round(200 + 0.52 * t.CharH));
    auto r = texts(g);
    ASSERT_EQ(r.size(), 6u);
    EXPECT_EQ(lineAt(r[0]), QPointF(100, 200 - 0.4 * t.CharH));
    EXPECT_EQ(r[1].text, QStringLiteral("2"));
    EXPECT_NEAR(r[2].a.x(), right(r[1]) + 0.1 * t.CharW, 1e-9);
    EXPECT_EQ(lineAt(r[3]), QPointF(100, 200 + 0.5 * t.CharH));
    EXPECT_EQ(r[5].text, QStringLiteral("2"));
    EXPECT_DOUBLE_EQ(t.CurX, right(r[5]));
}

TEST_F(Formula, BuiltDerivativesKeepTheirPartsClearOfTheBar) {
    // Ink of the runs of a surface that lie above (or below) a bar's stroke.
    auto inkAround = [](const Surface& s, const DrawOp& bar, bool above) {
        QRectF ink;
        for (const DrawOp& op : texts(s))
            if ((inkBounds(op).center().y() < bar.a.y()) == above)
                ink |= inkBounds(op);
        return ink;
    };
    for (int kind = 0; kind < 3; ++kind) {
        g.Cls();
        t.CurX = 100;
        t.CurY = 200;
        if (kind == 0)
            t.PartialFrac(QStringLiteral("f"), QStringLiteral("t"));
        else
            t.PartialFrac2(kind == 1 ? QStringLiteral("f") : QString(), QStringLiteral("x"));
        ASSERT_EQ(lines(g).size(), 1u);
        const QRectF bar = inkBounds(lines(g)[0]);
        EXPECT_LE(inkAround(g, lines(g)[0], true).bottom(), bar.top() - Typesetter::kInkAir + 1e-6) << kind;
        EXPECT_GE(inkAround(g, lines(g)[0], false).top(), bar.bottom() + Typesetter::kInkAir - 1e-6) << kind;
        EXPECT_DOUBLE_EQ(t.CurY, 200);
    }
    // The lone operator ∂²/∂x²: the square of the denominator stands clear of the
    // italic x, and ∂² is centred over ∂x².
    const auto r = texts(g);
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(r[3].text, QStringLiteral("x"));
    EXPECT_GE(inkBounds(r[4]).left(), inkBounds(r[3]).left() + 1);
    const QRectF num = inkBounds(r[0]) | inkBounds(r[1]);
    const QRectF den = inkBounds(r[2]) | inkBounds(r[3]) | inkBounds(r[4]);
    EXPECT_NEAR(num.center().x(), den.center().x(), 0.5);
    EXPECT_DOUBLE_EQ(t.CurX, right(r[4]));
}

TEST_F(Formula, InkExtentMeasuresWithoutDrawing) {
    const std::size_t before = g.ops().size();
    const QRectF ink = t.inkExtent([this] { t.it(QStringLiteral("f")); });
    EXPECT_EQ(g.ops().size(), before);
    EXPECT_DOUBLE_EQ(t.CurX, 100);
    EXPECT_EQ(t.Pic, &g);
    t.it(QStringLiteral("f"));
    EXPECT_EQ(inkBounds(g.ops().back()), ink);
}

TEST_F(Formula, BigBracketDoesNotMoveXAndLeavesBoldOff) {
    t.BracketGap = 5;
    const int kinds[][3] = {{1, 230, 232}, {2, 246, 248}, {3, 233, 235}, {4, 249, 251}};
    for (const auto& k : kinds) {
        g.Cls();
        g.FontBold = true;
        double x = 120.5;
        t.BigBracket(x, 300, k[0]);
        EXPECT_DOUBLE_EQ(x, 120.5);
        auto r = texts(g);
        ASSERT_EQ(r.size(), 2u);
        EXPECT_EQ(r[0].text, sym(k[1]));
        EXPECT_EQ(r[1].text, sym(k[2]));
        EXPECT_TRUE(r[0].bold);
        EXPECT_EQ(r[0].fontName, QStringLiteral("Symbol"));
        EXPECT_EQ(r[0].a, QPointF(120, 300 - 6)); // nint(120.5) = 120
        EXPECT_EQ(r[1].a, QPointF(120, 300 + 2 + 6));
        EXPECT_FALSE(g.FontBold);
        EXPECT_EQ(g.FontName, kBody);
    }
    t.BracketGap = 0;
    g.Cls();
    double x = 10;
    t.BigSquareR(x, 100);
    EXPECT_EQ(texts(g)[0].a, QPointF(10, 99));
    EXPECT_EQ(texts(g)[1].a, QPointF(10, 103));
}

TEST_F(Formula, ColBraceStacksItsPiecesAtOneXAsBuilt) {
    const double H = t.CharH;
    auto brace = [&](int index, double ht, Typesetter::BraceBuild build) {
        g.Cls();
        t.ColBrace(index, 40.4, 120.6, ht, build);
        expectFontRestored();
        EXPECT_DOUBLE_EQ(t.CurX, 100);
        const auto r = texts(g);
        for (const DrawOp& op : r) {
            EXPECT_EQ(op.fontName, QStringLiteral("Symbol"));
            EXPECT_DOUBLE_EQ(op.a.x(), 40);
        }
        return r;
    };
    // Five pieces from the top down at every height; the closing brace 16 codes on.
    for (int index : {0, 1}) {
        const auto r = brace(index, 0.5, Typesetter::BraceBuild::FivePieces);
        ASSERT_EQ(r.size(), 5u);
        const int s = 16 * index;
        const int codes[5] = {236 + s, 239, 237 + s, 239, 238 + s};
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(r[i].text, sym(codes[i])) << i;
            EXPECT_DOUBLE_EQ(r[i].a.y(), nint(120.6 + (i - 2) * 0.5 * H)) << i;
        }
    }
    // Top, middle and bottom; the extensions after them only from height 1 on.
    EXPECT_EQ(brace(0, 0.999, Typesetter::BraceBuild::ExtendedFromOne).size(), 3u);
    const auto r = brace(1, 1.0, Typesetter::BraceBuild::ExtendedFromOne);
    ASSERT_EQ(r.size(), 5u);
    const int codes[5] = {252, 253, 254, 239, 239};
    const int steps[5] = {-2, 0, 2, -1, 1};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(r[i].text, sym(codes[i])) << i;
        EXPECT_DOUBLE_EQ(r[i].a.y(), nint(120.6 + steps[i] * H)) << i;
    }
}

TEST_F(Formula, ScratchDrawingMeasuresFromItsOwnOriginAndPutsEverythingBack) {
    g.FontBold = true;
    const std::size_t before = g.ops().size();
    double drawnX = -1;
    const auto drawn = t.onScratch(7, 9, [&] {
        EXPECT_NE(t.Pic, &g);
        EXPECT_TRUE(t.Pic->FontBold); // in Pic's font
        drawnX = t.CurX;
        t.it(QStringLiteral("f"));
    });
    EXPECT_DOUBLE_EQ(drawnX, 7);
    EXPECT_EQ(t.Pic, &g);
    EXPECT_EQ(g.ops().size(), before);
    EXPECT_DOUBLE_EQ(t.CurX, 100);
    EXPECT_DOUBLE_EQ(t.CurY, 200);
    EXPECT_DOUBLE_EQ(drawn.end.y(), 9);

    // inkOf is relative to the cursor, widthOf the advance; drawn on Pic they agree.
    const QRectF ink = t.inkOf([this] { t.it(QStringLiteral("f")); });
    const double w = t.widthOf([this] { t.it(QStringLiteral("f")); });
    EXPECT_NEAR(drawn.end.x() - 7, w, 1e-9);
    t.it(QStringLiteral("f"));
    EXPECT_NEAR(t.CurX - 100, w, 1e-9);
    const QRectF onPic = inkBounds(g.ops().back());
    EXPECT_NEAR(onPic.left() - 100, ink.left(), 0.05);
    EXPECT_NEAR(onPic.right() - 100, ink.right(), 0.05);
    EXPECT_NEAR(onPic.top() - 200, ink.top(), 0.05);
    g.FontBold = false;
}

TEST_F(Formula, PastInkMovesOnlyForwardAndCountsInTheUserScale) {
    // An italic f leans past its advance: the cursor goes half a pixel past its ink.
    std::size_t first = g.ops().size();
    t.it(QStringLiteral("f"));
    const double ink = inkBounds(g, first).right();
    ASSERT_GT(ink, t.CurX);
    t.pastInk(first);
    EXPECT_DOUBLE_EQ(t.CurX, ink + 0.5);
    // Ink that ends before the cursor does not move it back; no ink leaves it.
    t.CurX = ink + 40;
    t.pastInk(first);
    EXPECT_DOUBLE_EQ(t.CurX, ink + 40);
    t.pastInk(g.ops().size());
    EXPECT_DOUBLE_EQ(t.CurX, ink + 40);

    // On a surface in a user scale the cursor is in its units.
    Surface scaled(testFonts(), QSize(200, 100));
    scaled.FontName = kBody;
    scaled.FontSize = 13;
    scaled.Scale(0, 0, 2, 1); // 100 pixels a unit across
    DrawingScope onScaled(t, scaled);
    t.CurX = 0.5;
    t.CurY = 0.5;
    first = scaled.ops().size();
    t.it(QStringLiteral("f"));
    const double advanced = t.CurX;
    const double px = inkBounds(scaled, first).right();
    t.pastInk(first);
    EXPECT_NEAR(t.CurX, std::max(advanced, (px + 0.5) / 100), 1e-12);
}

TEST_F(Formula, SumKPlacesLimitsAroundTheSign) {
    double x = 100;
    const double wl = g.TextWidth(QStringLiteral("n=0"));
    t.SumK(g, x, 200, QStringLiteral("n=0"), QStringLiteral("∞"));
    auto r = texts(g);
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(r[0].text, QStringLiteral("∞"));
    EXPECT_DOUBLE_EQ(r[0].a.x(), 104);
    EXPECT_LE(r[0].a.y(), 200 - 0.6 * TH() - 0.2 * TH() + 1e-9);
    EXPECT_NEAR(r[1].a.x(), 112 - wl / 2, 1e-9);
    EXPECT_GE(lineTop(r[1]), 200 + 0.65 * TH() + 0.3 * TH() - 1e-9);
    EXPECT_EQ(r[3].text, QStringLiteral("0"));
    const DrawOp& sigma = r[4];
    EXPECT_EQ(sigma.text, sym(229));
    EXPECT_DOUBLE_EQ(sigma.fontSize, 26);
    EXPECT_EQ(sigma.a, QPointF(100, nint(200 - 0.5 * TH())));
    EXPECT_DOUBLE_EQ(x, 100 + nint(sigma.cell.width()));
    // Both limits keep two pixels of air from the sign, and the "=0" after the
    // italic n stands on the n's baseline.
    EXPECT_LE(inkBounds(r[0]).bottom(), inkBounds(sigma).top() - 2 + 1e-6);
    for (int i : {1, 2, 3})
        EXPECT_GE(inkBounds(r[i]).top(), inkBounds(sigma).bottom() + 2 - 1e-6) << i;
    EXPECT_NEAR(r[3].a.y() + r[3].ascent, r[1].a.y() + r[1].ascent, 0.5);

    // A non-infinite upper limit is centred at x + 10; "k" sits one pixel lower.
    g.Cls();
    x = 100;
    const double wu = g.TextWidth(QStringLiteral("N"));
    t.SumK(g, x, 200, QStringLiteral("k"), QStringLiteral("N"));
    r = texts(g);
    EXPECT_NEAR(r[0].a.x(), 110 - wu / 2, 1e-9);
    EXPECT_GE(r[1].a.y(), 200 + 0.65 * TH() + 1 + 0.3 * TH() - 1e-9);
    expectFontRestored();
}

TEST_F(Formula, IntegralsAndLimits) {
    Surface s{testFonts()};
    s.FontName = QStringLiteral("Symbol");
    s.FontSize = 13;
    const double THs = s.TextHeight(QStringLiteral("A"));
    double x = 50.4;
    t.dspIntegral(g, x, 100);
    auto r = texts(g);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].a, QPointF(50, nint(100 - 0.28 * THs)));
    EXPECT_EQ(r[1].a, QPointF(50, nint(100 + 0.38 * THs)));
    EXPECT_DOUBLE_EQ(x, 50 + nint(r[1].cell.width()));

    g.Cls();
    x = 50;
    t.dspIntInf(g, x, 100);
    r = texts(g);
    ASSERT_EQ(r.size(), 5u);
    const double xi = 50 + nint(r[1].cell.width());
    EXPECT_EQ(r[2].text, QStringLiteral("∞"));
    EXPECT_NEAR(r[2].a.x(), xi + 0.5 * TW(), 1e-9);
    EXPECT_NEAR(r[2].a.y(), 100 - 0.5 * TH(), 1e-9);
    EXPECT_DOUBLE_EQ(r[2].fontSize, 0.8 * 13);
    EXPECT_EQ(r[3].fontName, kBody);
    EXPECT_DOUBLE_EQ(r[3].a.x(), xi + minusInset(0.8 * 13));
    EXPECT_NEAR(x, right(r[4]) + 0.5 * TW(), 1e-9);

    g.Cls();
    x = 50;
    t.IntLim(g, x, 100, QStringLiteral("pi"), QStringLiteral("-pi"));
    r = texts(g);
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(r[2].text, QStringLiteral("π"));
    EXPECT_NEAR(r[2].a.y(), 100 - 0.6 * TH(), 1e-9);
    EXPECT_EQ(r[3].text, QStringLiteral("−"));
    EXPECT_NEAR(r[3].a.y(), 100 + 0.7 * TH(), 1e-9);
    EXPECT_NEAR(r[4].a.y(), 100 + 0.6 * TH(), 1e-9);
    EXPECT_NEAR(x, right(r[4]) + 0.5 * TW(), 1e-9);

    g.Cls();
    x = 50;
    t.IntLim(g, x, 100, QStringLiteral("r_1"), QStringLiteral("0"));
    r = texts(g);
    ASSERT_EQ(r.size(), 5u);
    EXPECT_NEAR(r[2].fontSize, 1.15 * 0.8 * 13, 1e-9);            // a markup letter at 0.8
    EXPECT_NEAR(r[3].a.y(), 100 - 0.5 * TH() + 0.3 * TH(), 1e-9); // suf at full size
    EXPECT_DOUBLE_EQ(r[4].fontSize, 0.8 * 13);
    expectFontRestored();
}

TEST_F(Formula, SqrtDrawsAGrayBarFromTheSignsEnd) {
    g.FontBold = true;
    double x = 40;
    t.dspSqrt(g, x, 80, 30);
    auto r = texts(g);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_FALSE(r[0].bold);
    EXPECT_EQ(r[0].text, sym(214));
    auto l = lines(g);
    ASSERT_EQ(l.size(), 1u);
    EXPECT_EQ(l[0].color, t.Gray);
    EXPECT_EQ(l[0].a, QPointF(right(r[0]), 81));
    EXPECT_EQ(l[0].b, QPointF(right(r[0]) + 30, 81));
    EXPECT_DOUBLE_EQ(x, right(r[0]) + 30);
    EXPECT_TRUE(g.FontBold);
}

TEST_F(Formula, DeviceTextMeasuresWholePixelsAndTurns) {
    g.FontName = QStringLiteral("Symbol");
    QSize ext;
    Typesetter::gdiTextExt(g, 5, 6, QString(QChar(229)), 1, ext, false);
    EXPECT_TRUE(texts(g).empty());
    EXPECT_EQ(ext.width(), nint(g.TextWidth(QString(QChar(229)))));
    EXPECT_EQ(ext.height(), nint(g.TextHeight(QString(QChar(229)))));

    g.FontBold = true;
    int x = 10;
    Typesetter::gdiRotText(g, x, 20, QString(QChar(236)) + QChar(239) + QChar(238), 2, 90);
    auto r = texts(g);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].angle, 90);
    EXPECT_EQ(r[0].text, sym(236) + sym(239));
    EXPECT_FALSE(r[0].bold);
    EXPECT_EQ(r[0].a, QPointF(10, 20));
    EXPECT_EQ(x, 10 + nint(r[0].cell.width()));
    EXPECT_TRUE(g.FontBold);

    g.FontBold = false;
    x = 0;
    Typesetter::gdiText(g, x, 0, QString(QChar(229)), 1);
    EXPECT_EQ(texts(g).back().angle, 0);
    EXPECT_EQ(x, ext.width());
}

TEST_F(Formula, ScriptsOfFSupSubStartTogether) {
    t.fSS(QStringLiteral("2"), QStringLiteral("k+1"));
    auto r = texts(g);
    ASSERT_EQ(r.size(), 5u);
    EXPECT_DOUBLE_EQ(r[0].a.x(), 106);
    EXPECT_DOUBLE_EQ(r[1].a.x(), right(r[0]) + 6);
    EXPECT_DOUBLE_EQ(r[2].a.x(), r[1].a.x());
    EXPECT_NEAR(r[1].a.y(), 198 - 0.2 * TH(), 1e-9);
    EXPECT_NEAR(lineTop(r[2]), 203 + 0.3 * TH(), 1e-9);
    EXPECT_DOUBLE_EQ(t.CurX, right(r[4]));

    g.Cls();
    t.CurX = 100;
    t.gSS(QStringLiteral("n"), QString());
    r = texts(g);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_DOUBLE_EQ(r[1].a.x(), right(r[0]) + 3);
    EXPECT_NEAR(lineTop(r[1]), 200 - 0.2 * TH(), 1e-9);
}

TEST_F(Formula, EveryConstructRestoresTheFont) {
    double x = 300;
    const std::function<void()> calls[] = {
        [&] { t.delta(); },
        [&] { t.epsln(); },
        [&] { t.theta(); },
        [&] { t.phi(); },
        [&] { t.phiBig(); },
        [&] { t.alpha(); },
        [&] { t.alphaPlain(); },
        [&] { t.prime(); },
        [&] { t.cosx(); },
        [&] { t.dVar(QStringLiteral("x")); },
        [&] { t.un(); },
        [&] { t.bt(); },
        [&] { t.OmegaT(); },
        [&] { t.ft(200); },
        [&] { t.tilde(QStringLiteral("a")); },
        [&] { t.SubOf(QStringLiteral("X"), QStringLiteral("s")); },
        [&] { t.FracMk09(QStringLiteral("1"), QStringLiteral("2")); },
        [&] { t.FracMk(1, QStringLiteral("alphapi"), QStringLiteral("omegapiepslnd")); },
        [&] { t.PartialFrac(QStringLiteral("f"), QStringLiteral("phi")); },
        [&] { t.Psi(g, x, 200, 0); },
        [&] { t.AbsPsiSq(g, x, 200); },
        [&] { t.hbar(g, x, 200); },
        [&] { t.SqrtPi(g, x, 200); },
        [&] { t.fx(g, x, 200); },
        [&] { t.dspSum(g, x, 200); },
        [&] { t.dspIntInf(g, x, 200); },
        [&] { t.dspDx(x, 200); },
        [&] { t.IntLim(g, x, 200, QStringLiteral("_2"), QStringLiteral("pi")); },
        [&] { t.dspSqrt(g, x, 200, 20); },
        [&] { t.ColBrace(1, x, 200, 1, Typesetter::BraceBuild::FivePieces); },
        [&] { t.FracDFit(QStringLiteral("f"), QStringLiteral("x")); },
        [&] {
            t.FracD2Fit(QStringLiteral("P"), QStringLiteral("r"), {false, true});
        },
        [&] { t.MarkupWidth(QStringLiteral("ab")); },
    };
    for (std::size_t i = 0; i < std::size(calls); ++i) {
        calls[i]();
        SCOPED_TRACE(i);
        expectFontRestored();
    }
    const Rgb fore = g.ForeColor;
    t.dspBlue(QStringLiteral("(1) 概 要"));
    EXPECT_EQ(texts(g).back().color, t.Blue);
    EXPECT_EQ(g.ForeColor, fore);
}

TEST_F(Formula, SmallGlyphCompositions) {
    double x = 50;
    t.hbar(g, x, 100);
    auto r = texts(g);
    auto l = lines(g);
    ASSERT_EQ(l.size(), 1u);
    EXPECT_DOUBLE_EQ(l[0].b.x(), right(r[0]));
    EXPECT_NEAR(l[0].b.x() - l[0].a.x(), g.TextWidth(QStringLiteral("h")), 1e-9);
    // The stroke crosses the ascender between its top and the height of an x.
    DrawOp xRun = r[0];
    xRun.text = QStringLiteral("x");
    EXPECT_GT(l[0].a.y(), inkBounds(r[0]).top());
    EXPECT_LT(l[0].a.y() + 1, inkBounds(xRun).top());
    EXPECT_EQ(l[0].construct, r[0].construct) << "h and its stroke are one construct";
    EXPECT_NE(l[0].construct, 0);

    g.Cls();
    x = 50;
    t.dspDx(x, 100);
    l = lines(g);
    ASSERT_EQ(l.size(), 1u);
    EXPECT_EQ(l[0].a.y(), std::round(100.5 + 0.5 * t.CharH));
    EXPECT_NEAR(l[0].b.x() - l[0].a.x(), 2.5 * t.CharW, 1e-9);
    EXPECT_NEAR(texts(g)[0].a.x(), 50 + 0.8 * t.CharW, 1e-9);
    EXPECT_DOUBLE_EQ(texts(g)[1].a.x(), 52);
    EXPECT_NEAR(x, 50 + 2.5 * t.CharW, 1e-9);
}
