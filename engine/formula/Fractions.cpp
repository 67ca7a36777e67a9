// SPDX-License-Identifier: GPL-3.0-or-later
// Built fractions and derivatives, and the small markup language of fraction parts:
// Greek names ("alpha", "beta", "omega", "pi", "epsln", "-pi"), "^" for a superscript
// and "_" for a subscript, letters in italics.

#include <engine/formula/Typesetter.h>

#include <engine/formula/FontNames.h>

#include <algorithm>
#include <cmath>

namespace course {

using namespace formula;

namespace {

const DerivativeFit kFitted{};

// The partial sign, a Symbol glyph, on the baseline of the text it stands in.
void partialSign(TextRuns& runs, Surface& g, double& x, double y) {
    SavedFont keep(g);
    g.FontName = kSymbolFont;
    runs.dsp1(g, x, y + runs.lineDrop(g, keep.size()), symbolCode(kPartial));
}

// Length of the Greek name that `rest` starts with, or 0.
qsizetype greekName(QStringView rest) {
    for (const char16_t* name : {u"alpha", u"beta", u"omega", u"pi", u"epsln"}) {
        const QStringView n(name);
        if (rest.startsWith(n))
            return n.size();
    }
    return 0;
}

} // namespace

double Typesetter::numeratorLift(const QString& f, double yn, double barY) {
    if (f.isEmpty())
        return 0;
    Surface& g = pic();
    // The letter as it will be drawn, on a probe surface with its top at y = 0.
    Surface probe(g.fonts(), g.size());
    probe.FontName = g.FontName;
    probe.FontSize = g.FontSize;
    double x = 0;
    dspItalic(probe, x, 0, f);
    const DrawOp& letter = probe.ops().back();
    // The letter stands on the d's baseline; a tail that would come within kInkAir of
    // the bar (where the surface sets it, on whole pixels) lifts it.
    const double bottom = yn + inkBounds(letter).bottom();
    const int w = g.DrawWidth;
    const double barTop = Surface::ruleAt(barY, w) + ((w % 2) ? 0.5 : 0.0) - w / 2.0;
    return std::max(0.0, bottom + kInkAir - barTop);
}

void Typesetter::recordFractionParts(std::size_t bar, std::size_t first) {
    Surface& g = pic();
    QRectF parts;
    for (std::size_t i = first; i < g.ops().size(); ++i)
        if (i != bar)
            if (const QRectF r = inkBounds(g.ops()[i]); !r.isEmpty())
                parts = parts.united(r);
    g.setEnclosedOf(bar, parts);
}

void Typesetter::fractionBar(std::size_t first, double x0, double y, double length) {
    Surface& g = pic();
    const QRectF parts = inkBounds(g, first);
    const std::size_t bar = g.ops().size();
    g.Line(x0, y, std::max(x0 + length, parts.isEmpty() ? x0 : parts.right()), y);
    recordFractionParts(bar, first);
}

void Typesetter::FracD(const QString& f, const QString& v) { buildFracD(f, v, nullptr); }
void Typesetter::FracD2(const QString& f, const QString& v) { buildFracD2(f, v, nullptr); }
void Typesetter::FracDFit(const QString& f, const QString& v) { buildFracD(f, v, &kFitted); }
void Typesetter::FracD2Fit(const QString& f, const QString& v, DerivativeFit fit) { buildFracD2(f, v, &fit); }

void Typesetter::buildFracD(const QString& f, const QString& v, const DerivativeFit* fit) {
    Surface& g = pic();
    const std::size_t first = g.ops().size();
    const double x0 = CurX;
    const double barY = CurY + 12;
    const double length = 2.4 * CharW;
    double yn = CurY - 11;
    if (fit && fit->liftNumerator)
        yn -= numeratorLift(f, yn, barY);
    double x = x0 + 2;
    dspD(x, yn);
    if (f == QStringLiteral("f"))
        x += 4; // the italic f leans into the d
    dspItalic(g, x, yn, f);
    const double yd = CurY + 0.5 * CharH;
    x = x0 + 2;
    dspD(x, yd);
    dspItalic(g, x, yd, v);
    endDerivative(first, x0, x, barY, length, fit);
}

void Typesetter::buildFracD2(const QString& f, const QString& v, const DerivativeFit* fit) {
    Surface& g = pic();
    const std::size_t first = g.ops().size();
    const double x0 = CurX;
    const double barY = CurY + 12;
    const double length = (f == QStringLiteral("P") ? 3.5 : 3.2) * CharW;
    const double lift = fit && fit->liftNumerator ? numeratorLift(f, CurY - 11, barY) : 0;
    const double yn = CurY - 11 - lift;
    double x = x0 + 2 + (f.isEmpty() ? 8 : 0);
    dspD(x, yn);
    dspSq(g, x, CurY - 13 - lift);
    dspItalic(g, x, yn, f);
    const double yd = CurY + 14;
    x = x0 + 2;
    dspD(x, yd);
    x += 3;
    const std::size_t letter = g.ops().size();
    dspItalic(g, x, yd, v);
    if (fit && fit->squareClearOfLetter) {
        CurX = x;
        pastInk(letter);
        x = CurX;
    }
    dspSq(g, x, yd);
    endDerivative(first, x0, x, barY, length, fit);
}

void Typesetter::endDerivative(std::size_t first, double x0, double x, double barY, double length,
                               const DerivativeFit* fit) {
    // The bar is drawn last, at least `length` long and over all the ink of both parts
    // (an italic letter leans past its advance); fitted, it reaches kInkAir further and
    // the cursor ends past it, else after the denominator.
    Surface& g = pic();
    const double inkRight = inkBounds(g, first).right();
    const double end = std::max(x0 + length, fit ? inkRight + kInkAir : inkRight);
    const std::size_t bar = g.ops().size();
    g.Line(x0, barY, end, barY);
    if (fit)
        x = std::max(x, end);
    recordFractionParts(bar, first);
    CurX = x;
}

void Typesetter::PartialFrac(const QString& f, const QString& v) {
    Surface& g = pic();
    const double y0 = CurY;
    const double x0 = CurX;
    const QString tildeTag = QStringLiteral("tilde");
    const bool tilded = f.contains(tildeTag);

    // Widths of both parts, measured in the substitute italic face with a spare "N".
    g.FontName = QStringLiteral("Times New Roman");
    g.FontBold = true;
    const QString fPart = tilded ? f.mid(f.indexOf(tildeTag) + tildeTag.size()) : f;
    const double wn = g.TextWidth(fPart + QStringLiteral("N"));
    const bool greek =
        v == QStringLiteral("theta") || v == QStringLiteral("phi") || v == QStringLiteral("fi");
    const double wd = g.TextWidth(greek ? QStringLiteral("Nb") : v + QStringLiteral("N"));
    g.FontBold = false;
    g.FontName = kBodyFont;

    const double W = MaxOf(wn, wd) + 4;
    const double barY = y0 + 0.4 * CharH;
    const std::size_t first = g.ops().size();

    // Numerator and denominator keep clear of the bar: the italic f reaches below its
    // line, more in the substitute faces than the offsets allow for.
    double xEnd = 0;
    CurX = wd > wn ? x0 + 0.45 * (wd - wn) : x0;
    CurY = y0 - 13;
    clearOfBar(barY, true, [&] {
        Surface& s = pic();
        partialSign(*this, s, CurX, CurY);
        CurX += 2;
        if (tilded)
            tilde(f.right(1));
        else
            dspItalic(s, CurX, CurY, f);
    });

    CurX = wn > wd ? x0 + 0.45 * (wn - wd) : x0;
    CurY = y0 + 10;
    clearOfBar(barY, false, [&] {
        Surface& s = pic();
        partialSign(*this, s, CurX, CurY);
        CurX += 2;
        if (v == QStringLiteral("theta")) {
            dspSymbolItalic(s, CurX, CurY, QStringLiteral("q"));
        } else if (v == QStringLiteral("phi")) {
            s.FontItalic = true;
            dsp(s, CurX, CurY, QStringLiteral("φ"));
            s.FontItalic = false;
        } else if (v == QStringLiteral("fi")) {
            dspSymbolItalic(s, CurX, CurY, QStringLiteral("j"));
        } else {
            dspItalic(s, CurX, CurY, v);
        }
        xEnd = CurX;
    });
    fractionBar(first, x0, barY, W);
    CurX = xEnd;
    CurY = y0;
}

void Typesetter::PartialFrac2(const QString& f, const QString& v) {
    Surface& g = pic();
    const double x0 = CurX;
    const double y0 = CurY;
    const double barY = y0 + 0.52 * CharH;
    const std::size_t first = g.ops().size();

    const auto numerator = [&] {
        Surface& s = pic();
        partialSign(*this, s, CurX, CurY);
        dspSq(s, CurX, CurY);
        CurX += 0.1 * CharW;
        dspItalic(s, CurX, CurY, f);
    };
    double xEnd = 0;
    const auto denominator = [&] {
        Surface& s = pic();
        partialSign(*this, s, CurX, CurY);
        CurX += 0.1 * CharW;
        dspItalic(s, CurX, CurY, v);
        // The square clears the italic letter's overhang.
        clearOfLast([&] { dspSq(pic(), CurX, CurY); });
        xEnd = CurX;
    };

    // The operator alone (∂²/∂v²) is centred over its denominator.
    CurY = y0 + 0.5 * CharH;
    CurX = x0;
    const QRectF den = inkExtent(denominator);
    CurY = y0 - 0.4 * CharH;
    if (f.isEmpty())
        CurX = x0 + std::max(0.0, den.center().x() - inkExtent(numerator).center().x());
    clearOfBar(barY, true, numerator);

    CurX = x0;
    CurY = y0 + 0.5 * CharH;
    clearOfBar(barY, false, denominator);
    fractionBar(first, x0, barY, 2.4 * CharW);
    CurX = xEnd;
    CurY = y0;
}

int Typesetter::MarkupWidth(const QString& s) {
    Surface& g = pic();
    if (HasBookman == 0)
        HasBookman = FontExist(QStringLiteral("Bookman Old Style")) ? 1 : -1;
    const QString italicFace =
        HasBookman == 1 ? QStringLiteral("Bookman Old Style") : QStringLiteral("Times New Roman");
    double w = 0;
    for (qsizetype i = 0; i < s.size();) {
        const QStringView rest = QStringView(s).mid(i);
        const QChar c = rest.front();
        if (const qsizetype n = greekName(rest)) {
            w += g.TextWidth(QStringLiteral("w"));
            i += n;
            continue;
        }
        if (c == u'^' || c == u'_') {
            // markup only
        } else if (isAsciiLetter(c)) {
            SavedFont keep(g);
            g.FontName = italicFace;
            w += 1.3 * g.TextWidth(QString(c));
        } else {
            w += g.TextWidth(QString(c));
        }
        i += 1;
    }
    return nint(w);
}

void Typesetter::MarkupText(Surface& g, double& x, double y, const QString& s) {
    if (s == QStringLiteral("n+1"))
        beep();
    for (qsizetype i = 0; i < s.size();) {
        const QStringView rest = QStringView(s).mid(i);
        const QChar c = rest.front();
        if (rest.startsWith(u"-pi")) {
            x += 2;
            dspCourier(g, x, y, QStringLiteral("-"));
            dspPi(g, x, y - 3);
            x += 2;
            i += 3;
        } else if (rest.startsWith(u"alpha") || rest.startsWith(u"beta")) {
            const bool isAlpha = c == u'a';
            x += 2;
            dspSymbolItalic(g, x, y, isAlpha ? QStringLiteral("a") : QStringLiteral("b"));
            x += 2;
            i += isAlpha ? 5 : 4;
        } else if (rest.startsWith(u"omega")) {
            x += 2;
            dspOmega(g, x, y);
            x += 2;
            i += 5;
        } else if (rest.startsWith(u"pi")) {
            x += 2;
            dspPi(g, x, y);
            x += 2;
            i += 2;
        } else if (rest.startsWith(u"epsln")) {
            x += 2;
            dsp(g, x, y, QStringLiteral("ε"));
            x += 2;
            i += 5;
        } else {
            if (c == u'j') {
                x += 4;
                dspItalic(g, x, y, QStringLiteral("j"));
            } else if (isAsciiLetter(c) || c == u' ') {
                dspItalic(g, x, y, QString(c));
            } else if (c == u'-') {
                dspCourier(g, x, y, QStringLiteral("-"));
            } else {
                dsp(g, x, y, QString(c));
            }
            i += 1;
        }
    }
}

void Typesetter::FracMk(double scale, const QString& num, const QString& den) {
    Surface& g = pic();
    const std::size_t first = g.ops().size();
    SavedFont keep(g);
    g.FontSize = scale * keep.size();
    const int wn = MarkupWidth(num);
    const int wd = MarkupWidth(den);
    const double W = MaxOf(wn, wd) + g.TextWidth(QStringLiteral("p"));

    // Numerator, centred over the bar.
    double x = CurX + (W - wn) / 2;
    double y = CurY - std::floor((num.contains(u'_') ? 12 : 10) * scale);
    if (num == QStringLiteral("y")) {
        dspItalic(g, x, y - 2, QStringLiteral("y"));
    } else {
        for (qsizetype i = 0; i < num.size();) {
            const QStringView rest = QStringView(num).mid(i);
            const QChar c = rest.front();
            if (c == u'^') {
                x += 2;
                sup(g, x, y, rest.mid(1).toString());
                break;
            }
            if (c == u'_') {
                suf(g, x, y, rest.mid(1).toString());
                break;
            }
            if (rest.startsWith(u"alpha")) {
                dspSymbolItalic(g, x, y, QStringLiteral("a"));
                i += 5;
            } else if (rest.startsWith(u"pi")) {
                dspPi(g, x, y);
                i += 2;
            } else if (c == u'd' && i == 0) {
                dspD(x, y);
                i += 1;
            } else {
                MarkupText(g, x, y, QString(c));
                i += 1;
            }
        }
    }

    // Denominator; a script in it (a square) keeps kInkAir below the bar.
    const double y0 = CurY;
    const double x0 = CurX;
    CurY = y0 + std::floor(13 * scale + 0.5);
    clearOfBar(y0 + 12, false, [&] {
        double x = x0 + (W - wd) / 2;
        Surface& s = pic();
        const double y = CurY;
        for (qsizetype i = 0; i < den.size();) {
            const QStringView rest = QStringView(den).mid(i);
            const QChar c = rest.front();
            if (c == u'^') {
                // Only the one character after the caret is raised.
                x += 2;
                sup(s, x, y, rest.mid(1, 1).toString());
                i += 2;
            } else if (c == u'_') {
                suf(s, x, y, rest.mid(1).toString());
                break;
            } else if (rest.startsWith(u"omega")) {
                dspOmega(s, x, y);
                i += 5;
            } else if (rest.startsWith(u"pi")) {
                x += 0.2 * scale * CharW;
                dspPi(s, x, y - 0.03 * scale * CharH);
                i += 2;
            } else if (rest.startsWith(u"epsln")) {
                x += 0.2 * CharW;
                dspEps(s, x, y - 0.03 * CharH);
                i += 5;
            } else if (c == u'd') {
                dspD(x, y - 1);
                i += 1;
            } else {
                MarkupText(s, x, y, QString(c));
                i += 1;
            }
        }
    });
    CurX = x0;
    CurY = y0;

    fractionBar(first, CurX, CurY + 12, W);
    // The cursor ends where the bar does: past W when a part's ink reaches further.
    CurX = std::max(CurX + W, pic().ops().back().b.x());
}

void Typesetter::SubOf(const QString& s, const QString& p) {
    Surface& g = pic();
    const double x0 = CurX;
    MarkupText(g, CurX, CurY, s);
    suf(g, CurX, CurY, p);
    // The base is drawn once more over its first copy; the cursor stays after the script.
    double x = x0;
    MarkupText(g, x, CurY, s);
}

} // namespace course
