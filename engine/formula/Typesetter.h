// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Cursor-level typesetting and formula constructs.
//
// Page procedures write their text as a sequence of short calls on the shared cursor
// (Pic, CurX, CurY): a run here, two pixels there, an italic variable, a superscript,
// a built fraction. The constructs (fractions, a small markup language for fraction
// parts, integrals, sums, radicals and tall brackets assembled from Symbol font
// pieces) are built on the text runs of TextRuns. Cursor-level calls draw on Pic and
// advance CurX; surface-level constructs take a surface and an x by reference.
// Every construct leaves the surface's font as it found it unless noted.

#include <engine/textruns/TextRuns.h>

#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>

#include <cstddef>
#include <functional>
#include <optional>
#include <utility>

namespace course {

// How FracDFit and FracD2Fit fit a derivative to the ink of the faces in use.
struct DerivativeFit {
    // The numerator (its d and letter, on one baseline) is lifted when the letter's
    // tail would come within kInkAir of the bar.
    bool liftNumerator = true;
    // FracD2: the denominator's square is set past the ink of its letter.
    bool squareClearOfLetter = false;
};

class Typesetter : public TextRuns {
public:
    explicit Typesetter(RunStyle style = {});

    // Vertical gap used by the tall square brackets (BigBracket kinds 3 and 4);
    // the page sets it before the call.
    int BracketGap = 0;

    // ---- Cursor-level calls (draw on Pic at CurX, CurY; advance CurX) ----
    void ds(const QString& s);      // plain run
    void it(const QString& s);      // italic variable(s)
    void sp(const QString& s);      // superscript with 2 px either side
    void sf(const QString& s);      // subscript
    void Courier(const QString& s); // "Courier New" run
    void minus();                   // Courier minus with 4 px either side
    void dspBlue(const QString& s); // heading in Blue
    // CurX += n, n taken as a 16-bit integer (rounded to nearest, ties to even;
    // outside the 16-bit range it throws std::overflow_error).
    void addx(double n);
    void incx(double f); // CurX += f·CharW
    void incy(double f); // CurY += f·CharH
    void NewLine();
    void NewPara();
    void cosx();
    void sinx();
    void delta();                                    // δ
    void epsln();                                    // ε
    void theta();                                    // θ
    void phi();                                      // italic φ
    void phiBig();                                   // large Symbol φ
    void alpha();                                    // α, enlarged and raised
    void alphaPlain();                               // α at the cursor
    void prime();                                    // ′ after a variable
    void dVar(const QString& s);                     // d s (a differential)
    void SqOf(const QString& v);                     // v²
    void FuncOf(const QString& f, const QString& v); // f(v)

    // ---- Device-context text (integer positions; Symbol byte codes as QChar(code)) ----
    // Draws (when `draw`) the first n characters of `code` with the top-left corner at
    // (x, y) in the surface's current font and returns their extent in `ext`.
    static void gdiTextExt(Surface& g, int x, int y, const QString& code, int n, QSize& ext, bool draw);
    // Draws and advances x by the measured width.
    static void gdiText(Surface& g, int& x, int y, const QString& code, int n);
    // As gdiText, in a plain (not bold, not italic) font of the surface's current name
    // and size turned `angle` degrees counter-clockwise.
    static void gdiRotText(Surface& g, int& x, int y, const QString& code, int n, int angle);

    // ---- Large operators ----
    void dspIntegral(Surface& g, double& x, double y);
    void dspIntInf(Surface& g, double& x, double y); // ∫ from −∞ to ∞
    void IntLim(Surface& g, double& x, double y, const QString& upper, const QString& lower);
    void dspSum(Surface& g, double& x, double y);
    void SumK(Surface& g, double& x, double y, const QString& lower, const QString& upper);
    // Tall bracket on Pic from Symbol pieces: 1 "(", 2 ")", 3 "[", 4 "]". x is not
    // advanced; FontBold is left False.
    void BigBracket(double& x, double y, int kind);
    void BigParenL(double& x, double y) { BigBracket(x, y, 1); }
    void BigParenR(double& x, double y) { BigBracket(x, y, 2); }
    void BigSquareL(double& x, double y) { BigBracket(x, y, 3); }
    void BigSquareR(double& x, double y) { BigBracket(x, y, 4); }
    // The BracketGap at which the square brackets (kinds 3 and 4) drawn at y span
    // `content` (page pixels, the ink they enclose) from top to bottom, measured on the
    // ink of their pieces; never less than `least`.
    int bracketGapOver(double y, const QRectF& content, int least = 0);
    // Radical sign and a Gray bar of width w; the caller draws the radicand.
    void dspSqrt(Surface& g, double& x, double y, double w);
    // A radical over what `radicand` draws at the cursor, sized to its ink: the Symbol
    // sign at the size whose ink reaches from the radicand's bottom to an overline
    // kInkAir above its top, the Gray overline on a whole pixel row from
    // the sign's end to kInkAir past the radicand. The cursor ends after both.
    void rootOf(const std::function<void()>& radicand);
    // Which Symbol pieces a tall brace (ColBrace) is built of.
    enum class BraceBuild {
        // Top, extension, middle, extension, bottom, at every height.
        FivePieces,
        // Top, middle, bottom; from ht 1 on the two extensions after them.
        ExtendedFromOne,
    };
    // Tall curly brace on Pic from Symbol pieces, every piece from the same x: index 0
    // opens, 1 closes; ht·CharH from one piece to the next (the middle one at y). The
    // cursor does not move.
    void ColBrace(int index, double x, double y, double ht, BraceBuild build);
    // A brace at x whose pieces span `content` (page pixels, the ink of the lines it
    // gathers) from top to bottom: its middle on the content's middle and its height
    // measured from the ink of its pieces. Returns the brace's construct id.
    int ColBraceOver(int index, double x, const QRectF& content, BraceBuild build);
    // Records on the construct `construct` of Pic, as what it encloses, the ink drawn on
    // Pic since operation `first` (the lines a brace gathers, a radicand).
    void encloseSince(int construct, std::size_t first);
    // Records on the fraction bar drawn on Pic as operation `bar` the ink of its
    // numerator and denominator: all else drawn on Pic since operation `first`.
    void recordFractionParts(std::size_t bar, std::size_t first);
    // A fraction bar at y from x0, `length` long or to the end of the ink of the parts
    // drawn on Pic since operation `first` when that lies further, which it records.
    void fractionBar(std::size_t first, double x0, double y, double length);

    // ---- Built fractions and markup (cursor-level unless a surface is taken) ----
    void FracD(const QString& f, const QString& v);  // df/dv
    void FracD2(const QString& f, const QString& v); // d²f/dv²
    // df/dv and d²f/dv² as FracD and FracD2 set them, fitted to the ink: the bar is
    // drawn last and reaches kInkAir past the longer part, and the cursor ends after
    // the bar when the bar ends after the denominator, so what follows keeps clear.
    void FracDFit(const QString& f, const QString& v);
    void FracD2Fit(const QString& f, const QString& v, DerivativeFit fit = {});
    void PartialFrac(const QString& f, const QString& v);  // ∂f/∂v
    void PartialFrac2(const QString& f, const QString& v); // ∂²f/∂v²
    void FracMk(double scale, const QString& num, const QString& den);
    void FracMk1(const QString& num, const QString& den) { FracMk(1.0, num, den); }
    void FracMk08(const QString& num, const QString& den) { FracMk(0.8, num, den); }
    void FracMk09(const QString& num, const QString& den) { FracMk(0.9, num, den); }
    int MarkupWidth(const QString& s); // measured on Pic
    void MarkupText(Surface& g, double& x, double y, const QString& s);
    void SubOf(const QString& s, const QString& p);

    // ---- Function notation ----
    // name with a superscript and a subscript stacked after it.
    void fSupSub(const QString& name, const QString& supText, const QString& subText);
    void fSS(const QString& supText, const QString& subText) {
        fSupSub(QStringLiteral("f"), supText, subText);
    }
    void gSS(const QString& supText, const QString& subText) {
        fSupSub(QStringLiteral("g"), supText, subText);
    }
    // Italic s with a tilde above its end; the cursor ends after s.
    void tilde(const QString& s);

    // ---- Glyphs kept by single programs ----
    void fx(Surface& g, double& x, double y);            // f(x)
    void ft(double y);                                   // f(t) at CurX
    void un();                                           // u_n
    void bt();                                           // β(t)
    void Psi(Surface& g, double& x, double y, int mode); // Ψ(x, t) / Ψ(x, 0)
    void AbsPsiSq(Surface& g, double& x, double y);      // |Ψ(x, t)|²
    void hbar(Surface& g, double& x, double y);          // ħ
    void SqrtPi(Surface& g, double& x, double y);        // √π
    void OmegaT();                                       // ωt
    void sfAt(double& x, double y, const QString& s);    // subscript at (x, y) on Pic
    void dspBar(double x, double y, double k);           // bar k·CharW long
    void dspDx(double& x, double y);                     // d/dx

    // ---- Bars set where rule characters stood ----
    // One stroke where a row of box-drawing rules ("─") of g's current font would put
    // its ink, the row starting at x and its last rule ending at x + width, on the text
    // line whose top is y: as thick as the rule's ink, through its middle. A row of
    // rule characters shows a joint wherever two of them meet.
    static void ruleStroke(Surface& g, double x, double y, double width);
    // At the cursor, the stroke of n rules; the cursor moves on as over the n rules.
    void ruleBar(int n);

    // ---- Spacing measured on the ink ----
    // Air kept between pieces of a formula whose ink must not touch: one pixel, twice
    // the least gap that still shows as a seam between them at 1x.
    static constexpr double kInkAir = 1.0;
    // Bounds of the ink `draw` would put on Pic at the cursor, measured on a scratch
    // surface in Pic's current font and scale; nothing is drawn on Pic and the cursor
    // is kept. `draw` must draw through Pic (pic()).
    QRectF inkExtent(const std::function<void()>& draw);
    // The same for a surface-level drawing: `draw` gets a scratch surface in g's
    // current font and draws on it.
    static QRectF inkExtentOn(const Surface& g, const std::function<void(Surface&)>& draw);
    // What `draw` leaves when it draws through Pic from the cursor (x, y) on a scratch
    // surface of Pic's size, font and pen: its ink and where the cursor ends. Pic and
    // the cursor are put back; nothing is drawn on Pic.
    struct ScratchDrawing {
        QRectF ink;
        QPointF end;
    };
    ScratchDrawing onScratch(double x, double y, const std::function<void()>& draw);
    // The ink `draw` leaves, relative to the cursor it starts from.
    QRectF inkOf(const std::function<void()>& draw) { return onScratch(0, 0, draw).ink; }
    // How far `draw` moves the cursor to the right.
    double widthOf(const std::function<void()>& draw) { return onScratch(0, CurY, draw).end.x(); }
    // Moves the cursor on to half a pixel past the ink drawn on Pic since operation
    // `first` when that ink reaches further (in the surface's units): an italic letter
    // leans past its advance and would touch a script or a parenthesis set after it.
    void pastInk(std::size_t first);
    // Draws `draw` at the cursor, first moved right just enough that its ink keeps
    // kInkAir from the ink of the run drawn last on Pic at the same height (a script
    // after an italic letter that leans over its advance).
    void clearOfLast(const std::function<void()>& draw);
    // Draws `draw` with the cursor moved up (`above`) or down just enough that its
    // ink keeps kInkAir from a horizontal stroke of Pic's DrawWidth at y (a fraction
    // bar); it does not move when it is clear already. CurY is put back afterwards.
    void clearOfBar(double y, bool above, const std::function<void()>& draw);

    // The system beep (MarkupText of "n+1" sounds it), as the environment has it.
    void beep() { env().beep(); }

private:
    // A tall left bracket drawn and waiting for its right one: what is drawn between
    // the two is what they enclose.
    struct OpenBracket {
        Surface* surface = nullptr;
        Surface::Mark at;       // where its pieces start
        std::size_t pieces = 0; // how many operations they are
        double x = 0, y = 0;
        int kind = 0;
        int top = 0, bottom = 0, extension = 0; // Symbol codes of its pieces
        int gap = 0;
    };
    std::vector<OpenBracket> openBrackets_;
    // Where the top and bottom pieces of a tall bracket stand (cell tops), spanning
    // `content` when it is known.
    std::pair<int, int> bracketSpan(Surface& g, const OpenBracket& b, const std::optional<QRectF>& content);
    // The ink of one bold Symbol piece drawn at the origin.
    QRectF bracketPieceInk(Surface& g, int code);
    // Draws the pieces of a tall bracket, spanning `content` when it is known; returns
    // its construct id.
    int drawBracket(Surface& g, const OpenBracket& b, const std::optional<QRectF>& content);

    // How far the numerator letter f of a fitted derivative is set above the top y of
    // its d so that it stands on the d's baseline, and higher if its tail would come
    // within kInkAir of a bar at barY.
    double numeratorLift(const QString& f, double yn, double barY);
    // FracD and FracD2, set as fixed (fit null) or fitted to the ink.
    void buildFracD(const QString& f, const QString& v, const DerivativeFit* fit);
    void buildFracD2(const QString& f, const QString& v, const DerivativeFit* fit);
    // The end of both: a fitted bar from x0 to kInkAir past the ink drawn since
    // operation `first`, at least `length` long; the cursor then moves to x, or past
    // the bar when that ends later.
    void endDerivative(std::size_t first, double x0, double x, double barY, double length,
                       const DerivativeFit* fit);
};

} // namespace course
