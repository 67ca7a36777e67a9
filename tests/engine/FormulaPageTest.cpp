// SPDX-License-Identifier: GPL-3.0-or-later
// Draws every cursor-level call and formula construct on one page in the page font,
// checks that every character has a glyph, and saves the page at 1x, 2x and as PDF for a look
// (COURSE_TEST_OUTPUT, else a temporary folder).

#include <engine/shell/PrintSink.h>
#include "RunLog.h"
#include "TestFonts.h"
#include <engine/formula/Typesetter.h>

#include <QDir>
#include <QPdfWriter>

#include "TestOutput.h"

#include <gtest/gtest.h>

using course::testing::testFonts;
using namespace course;

namespace {

QString outDir() { return course::testing::outputDir(); }

// A caption in a smaller grey font at the left of a row.
void caption(Typesetter& t, const QString& s) {
    Surface& g = *t.Pic;
    const double size = g.FontSize;
    const Rgb fore = g.ForeColor;
    g.FontSize = 9;
    g.ForeColor = t.Gray;
    double x = 4;
    t.dsp(g, x, t.CurY + 5, s);
    g.FontSize = size;
    g.ForeColor = fore;
}

void drawPage(Typesetter& t) {
    Surface& g = *t.Pic;
    g.Cls();
    t.CurY = 0;
    t.CurX = t.Indent1;
    t.dspBlue(QStringLiteral("(1) 数式の部品の見本"));
    t.NewPara();

    // Runs, scripts, spacing.
    caption(t, QStringLiteral("runs"));
    t.CurX = t.Indent1;
    t.ds(QStringLiteral("変数 "));
    t.it(QStringLiteral("x"));
    t.ds(QStringLiteral(" と "));
    t.it(QStringLiteral("ab"));
    t.ds(QStringLiteral(", 指数 "));
    t.it(QStringLiteral("e"));
    t.sp(QStringLiteral("-iomegat"));
    t.ds(QStringLiteral(", 添字 "));
    t.it(QStringLiteral("y"));
    t.sf(QStringLiteral("k+1"));
    t.ds(QStringLiteral(", "));
    t.SqOf(QStringLiteral("x"));
    t.ds(QStringLiteral(", "));
    t.SqOf(QStringLiteral("d"));
    t.ds(QStringLiteral(", "));
    t.FuncOf(QStringLiteral("f"), QStringLiteral("x"));
    t.ds(QStringLiteral(", "));
    t.FuncOf(QStringLiteral("g"), QStringLiteral("j"));
    t.ds(QStringLiteral(", "));
    t.fSS(QStringLiteral("2"), QStringLiteral("k"));
    t.ds(QStringLiteral(", "));
    t.gSS(QStringLiteral("n"), QString());
    t.NewPara();

    caption(t, QStringLiteral("glyphs"));
    t.CurX = t.Indent1;
    t.cosx();
    t.OmegaT();
    t.ds(QStringLiteral(", "));
    t.sinx();
    t.it(QStringLiteral("x"));
    t.ds(QStringLiteral(", "));
    t.delta();
    t.ds(QStringLiteral(" "));
    t.epsln();
    t.ds(QStringLiteral(" "));
    t.theta();
    t.ds(QStringLiteral(" "));
    t.phi();
    t.ds(QStringLiteral(" "));
    t.phiBig();
    t.ds(QStringLiteral(" "));
    t.alpha();
    t.ds(QStringLiteral(" "));
    t.alphaPlain();
    t.ds(QStringLiteral(", "));
    t.it(QStringLiteral("y"));
    t.prime();
    t.ds(QStringLiteral(", "));
    t.dVar(QStringLiteral("x"));
    t.ds(QStringLiteral(", "));
    t.tilde(QStringLiteral("u"));
    t.ds(QStringLiteral(", "));
    t.un();
    t.ds(QStringLiteral(", "));
    t.bt();
    t.ds(QStringLiteral(", "));
    t.ft(t.CurY);
    t.ds(QStringLiteral(", "));
    t.Courier(QStringLiteral("exp"));
    t.NewPara();

    // Derivatives as built fractions.
    t.incy(1);
    caption(t, QStringLiteral("FracD"));
    t.CurX = t.Indent1;
    t.FracD(QStringLiteral("f"), QStringLiteral("x"));
    t.addx(16);
    t.FracD(QStringLiteral("y"), QStringLiteral("x"));
    t.addx(16);
    t.FracD2(QStringLiteral("P"), QStringLiteral("r"));
    t.addx(16);
    t.FracD2(QString(), QStringLiteral("x"));
    t.addx(16);
    t.dspDx(t.CurX, t.CurY - 1);
    t.addx(16);
    t.PartialFrac(QStringLiteral("u"), QStringLiteral("t"));
    t.addx(16);
    t.PartialFrac(QStringLiteral("tildeu"), QStringLiteral("x"));
    t.addx(16);
    t.PartialFrac(QStringLiteral("f"), QStringLiteral("theta"));
    t.addx(16);
    t.PartialFrac(QStringLiteral("f"), QStringLiteral("phi"));
    t.addx(16);
    t.PartialFrac2(QStringLiteral("u"), QStringLiteral("x"));
    t.NewPara();

    // Markup fractions.
    t.incy(1.5);
    caption(t, QStringLiteral("FracMk"));
    t.CurX = t.Indent1;
    t.FracMk1(QStringLiteral("h^2"), QStringLiteral("12"));
    t.addx(12);
    t.FracMk09(QStringLiteral("1"), QStringLiteral("2"));
    t.addx(12);
    t.FracMk08(QStringLiteral("27"), QStringLiteral("16"));
    t.addx(12);
    t.FracMk1(QStringLiteral("y"), QStringLiteral("t^2"));
    t.addx(12);
    t.FracMk1(QStringLiteral("a"), QStringLiteral("abc"));
    t.addx(12);
    t.FracMk1(QStringLiteral("alphapi"), QStringLiteral("omegapi"));
    t.addx(12);
    t.FracMk1(QStringLiteral("dE"), QStringLiteral("d"));
    t.addx(12);
    t.FracMk1(QStringLiteral("Z_1"), QStringLiteral("epsln"));
    t.addx(12);
    t.FracMk09(QStringLiteral("e^2"), QStringLiteral("r_12"));
    t.addx(16);
    t.SubOf(QStringLiteral("(vy)"), QStringLiteral("n+1"));
    t.addx(8);
    t.MarkupText(g, t.CurX, t.CurY, QStringLiteral("-pi alpha beta j"));
    t.NewPara();

    // Integrals and sums.
    t.incy(1.5);
    caption(t, QStringLiteral("∫ Σ"));
    t.CurX = t.Indent1;
    t.dspIntegral(g, t.CurX, t.CurY);
    t.addx(4);
    t.it(QStringLiteral("f"));
    t.dVar(QStringLiteral("x"));
    t.addx(16);
    t.dspIntInf(g, t.CurX, t.CurY);
    t.addx(2);
    t.it(QStringLiteral("g"));
    t.dVar(QStringLiteral("y"));
    t.addx(16);
    t.IntLim(g, t.CurX, t.CurY, QStringLiteral("pi"), QStringLiteral("-pi"));
    t.it(QStringLiteral("h"));
    t.dspD(t.CurX, t.CurY);
    t.theta();
    t.addx(16);
    t.IntLim(g, t.CurX, t.CurY, QStringLiteral("r"), QStringLiteral("0"));
    t.it(QStringLiteral("r"));
    t.addx(16);
    t.IntLim(g, t.CurX, t.CurY, QStringLiteral("∞"), QStringLiteral("_2"));
    t.addx(16);
    t.dspSum(g, t.CurX, t.CurY - 0.5 * t.CharH);
    t.it(QStringLiteral("a"));
    t.sf(QStringLiteral("n"));
    t.addx(16);
    t.SumK(g, t.CurX, t.CurY, QStringLiteral("n=0"), QStringLiteral("∞"));
    t.un();
    t.addx(16);
    t.SumK(g, t.CurX, t.CurY, QStringLiteral("k"), QStringLiteral("N"));
    t.it(QStringLiteral("c"));
    t.sf(QStringLiteral("k"));
    t.NewPara();

    // Brackets, radicals and the wave-function glyphs.
    t.incy(1.5);
    caption(t, QStringLiteral("( ) √"));
    t.CurX = t.Indent1;
    t.Courier(QStringLiteral("exp"));
    t.BigParenL(t.CurX, t.CurY);
    t.addx(12);
    t.minus();
    t.FracMk1(QStringLiteral("x^2"), QStringLiteral("2"));
    t.addx(4);
    t.BigParenR(t.CurX, t.CurY);
    t.addx(16);
    t.BracketGap = 5;
    t.BigSquareL(t.CurX, t.CurY);
    t.addx(12);
    t.SubOf(QStringLiteral("y"), QStringLiteral("n+1"));
    t.minus();
    t.ds(QStringLiteral("2"));
    t.SubOf(QStringLiteral("y"), QStringLiteral("n"));
    t.addx(4);
    t.BigSquareR(t.CurX, t.CurY);
    t.addx(16);
    t.dspSqrt(g, t.CurX, t.CurY, 2.2 * t.CharW);
    {
        double x = t.CurX - 2.0 * t.CharW;
        t.dsp(g, x, t.CurY, QStringLiteral("4"));
        t.dspPi(g, x, t.CurY);
    }
    t.addx(16);
    t.SqrtPi(g, t.CurX, t.CurY);
    t.NewPara();

    t.incy(0.5);
    caption(t, QStringLiteral("Ψ hbar"));
    t.CurX = t.Indent1;
    t.Psi(g, t.CurX, t.CurY, 1);
    t.ds(QStringLiteral(", "));
    t.Psi(g, t.CurX, t.CurY, 0);
    t.ds(QStringLiteral(", "));
    t.AbsPsiSq(g, t.CurX, t.CurY);
    t.ds(QStringLiteral(", "));
    t.hbar(g, t.CurX, t.CurY);
    t.ds(QStringLiteral(", "));
    t.fx(g, t.CurX, t.CurY);
    t.ds(QStringLiteral(", "));
    t.it(QStringLiteral("E"));
    t.sfAt(t.CurX, t.CurY - 2, QStringLiteral("n"));
    t.ds(QStringLiteral(", "));
    t.FracMk1(QStringLiteral("1"), QStringLiteral("2"));
    t.Courier(QStringLiteral("cos"));
    t.incx(0.4);
    t.OmegaT();
    t.NewPara();

    // Device-context text: plain and turned a quarter turn.
    t.incy(1);
    caption(t, QStringLiteral("gdi"));
    {
        const QString keep = g.FontName;
        g.FontName = QStringLiteral("Symbol");
        int x = t.Indent1;
        const int y = nint(t.CurY);
        QString brace;
        for (int c : {236, 237, 238})
            brace += QChar(c);
        Typesetter::gdiText(g, x, y, brace, 3);
        x += 20;
        QString pieces;
        for (int c : {229, 214, 182, 243, 245})
            pieces += QChar(c);
        Typesetter::gdiText(g, x, y, pieces, 5);
        x += 30;
        // A left brace turned a quarter turn counter-clockwise is an under-brace:
        // its pieces, each turned, from left to right one em apart.
        const int step = nint(g.FontSize * 96 / 72);
        int xr = x;
        for (int c : {236, 239, 237, 239, 238}) {
            int xi = xr;
            Typesetter::gdiRotText(g, xi, y + 20, QString(QChar(c)), 1, 90);
            xr += step;
        }
        x = xr + 30;
        Typesetter::gdiRotText(g, x, y + 20, QString(QChar(229)) + QChar(182), 2, 90);
        g.FontName = keep;
    }
}

} // namespace

TEST(FormulaPage, EveryConstructDrawsWithoutMissingGlyphs) {
    Surface g(testFonts(), QSize(774, 729));
    g.FontName = QStringLiteral("メイリオ");
    g.FontSize = 13;
    Typesetter t;
    t.HasBookman = testFonts().hasFontOrStandIn(QStringLiteral("Bookman Old Style")) ? 1 : -1;
    DrawingScope on(t, g);
    t.CharW = g.TextWidth(QStringLiteral("A"));
    t.CharH = g.TextHeight(QStringLiteral("A"));
    t.LeftMargin = nint(3 * t.CharW);
    t.Indent0 = nint(2 * t.CharW);
    t.Indent1 = nint(5 * t.CharW);
    t.Indent2 = nint(7 * t.CharW);
    drawPage(t); // the typesetter's own environment has no beep

    EXPECT_EQ(missingCharacters(g), QString());
    // Everything lies on the page.
    for (const DrawOp& op : g.ops()) {
        if (op.kind != DrawOp::Kind::Text || op.angle != 0)
            continue;
        EXPECT_GE(op.a.x(), 0) << op.text.toStdString();
        EXPECT_LE(op.a.x() + op.cell.width(), 774) << op.text.toStdString();
        EXPECT_GE(op.a.y(), -4) << op.text.toStdString();
        EXPECT_LE(op.a.y() + op.cell.height(), 729) << op.text.toStdString();
    }
    EXPECT_EQ(g.FontName, QStringLiteral("メイリオ"));
    EXPECT_DOUBLE_EQ(g.FontSize, 13);

    for (qreal dpr : {1.0, 2.0}) {
        const QImage& img = g.image(dpr);
        EXPECT_EQ(img.width(), qRound(774 * dpr));
        EXPECT_TRUE(img.save(outDir() + QStringLiteral("/formula-page@%1x.png").arg(dpr)));
    }
    // The same drawing replayed as vectors on a PDF page, as printing does.
    QPdfWriter pdf(outDir() + QStringLiteral("/formula-page.pdf"));
    pdf.setResolution(1200);
    EXPECT_TRUE(paintOnPage(
        pdf, pdf.resolution(), [&g](QPainter& p) { g.render(p); }, g.size()));
}
