// SPDX-License-Identifier: GPL-3.0-or-later
#include "SorrelDisplay.h"

#include <hartree/FailureText.h>
#include <hartree/PreciseReport.h>
#include <hartree/TableCollector.h>

#include <algorithm>
#include <cmath>

namespace sorrel {

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }

// The plots keep r in bohr, so a heavier ion's orbital is drawn as small as it is;
// their ordinates are scaled so that every ion's curves span the height helium's do.
// A normalised orbital grows as the inverse square root of its size (Z − 5/16)⁻¹,
// the potential as Z. Both factors are exactly 1 for helium.
double orbitalScale(const HartreeState& s) { return std::sqrt(HartreeState::aTrial / s.setup().aTrial()); }
double potentialScale(const HartreeState& s) { return HartreeState::Znuc / s.z(); }
} // namespace

SorrelDisplay::SorrelDisplay(SorrelGlyphs& glyphs, course::Surface& form, course::Surface& picNumerov,
                             course::Surface& pic, course::PacedWaiter& pacer)
    : g_(glyphs), form_(form), picNumerov_(picNumerov), pic_(pic), pacer_(pacer) {}

course::Rgb SorrelDisplay::cycleColour(int colourIndex) const {
    // Palette entries 1..15 for successive cycles; should a run ever need more than
    // fifteen cycles, the colours wrap around (16 → 1, 17 → 2, …).
    return g_.MyColor[static_cast<std::size_t>(paletteEntry(colourIndex))];
}

course::Rgb SorrelDisplay::inwardColour(int kIter) const {
    switch (kIter) {
    case 0: return g_.MyColor[1];
    case 1: return g_.MyColor[8];
    case 2: return g_.MyColor[1];
    default: return course::RGB(0, 224, 0);
    }
}

course::Rgb SorrelDisplay::outwardColour(int kIter) const {
    switch (kIter) {
    case 0: return g_.MyColor[8];
    case 1: return g_.MyColor[1];
    case 2: return g_.MyColor[8];
    default: return course::RGB(255, 96, 0);
    }
}

void SorrelDisplay::setUp(const Ion& ion) {
    course::Surface& p = pic_;
    // x from −0.5 to 4.2, y from −9.5 (top) to 1 (bottom); orbitals go up as −8·u.
    p.Scale(-0.5, -9.5, 4.2, 1);

    // "初期波動関数 ＝ e^(−ar),  a = 27/16" (a = Z − 5/16)
    course::DrawingScope on(g_, p);
    g_.CurX = 1.5;
    g_.CurY = -9.0;
    g_.d(QStringLiteral("初期波動関数 ＝ "));
    // The formula is a point larger, on the baseline of the words before it.
    const double lineAscent = p.measure(QStringLiteral("A")).ascent;
    p.FontSize = 12;
    const double lift = (p.measure(QStringLiteral("A")).ascent - lineAscent) * p.ScaleHeight() / p.size().height();
    g_.CurY -= lift;
    g_.Courier(QStringLiteral("e"));
    g_.sp(QStringLiteral("-ar"));
    g_.di(QStringLiteral(",   a"));
    g_.d(QStringLiteral(" = "));
    g_.d(q(ion.exponentFraction()));
    g_.CurY += lift;
    p.FontSize = 11;

    // Axis title r R₁ₛ(r).
    g_.CurX = 0.1;
    g_.CurY = -9.2;
    g_.di(QStringLiteral("r"));
    g_.CurX += 0.04;
    g_.di(QStringLiteral("R"));
    g_.sf(QStringLiteral("1s"));
    g_.argr();

    p.Line(-1, 0, 4.2, 0, g_.Gray);
    p.Line(0, -10, 0, 1, g_.Gray);
    p.FontTransparent = false;
    for (int i = 0; i <= 5; ++i) {
        p.Line(i, 0, i, -0.2);
        g_.CurX = i - 0.05;
        if (i == 0) {
            // The 0 stands left of the vertical axis instead of on it: its ink ends a
            // pixel before the axis's stroke.
            course::Surface probe(p.fonts(), p.size());
            probe.FontName = p.FontName;
            probe.FontSize = p.FontSize;
            double x = 0;
            g_.dsp(probe, x, 0, QStringLiteral("0"));
            const double perPixel = p.ScaleWidth() / p.size().width();
            g_.CurX = std::min(g_.CurX, -(1 + course::inkBounds(probe, 0).right()) * perPixel);
        }
        g_.CurY = 0.1;
        g_.d(QString::number(i));
    }
    double x = 3.5;
    g_.dspItalic(p, x, 0.15, QStringLiteral("r"));
}

// D1: the orbital entering this cycle on the lower plot, with its legend entry.
Flow SorrelDisplay::cycleCurve(const HartreeState& s) {
    course::Surface& p = pic_;
    const int Npts = s.npts();
    const double h = s.step();
    const course::Rgb colour = cycleColour(s.colourIndex());
    const double k = orbitalScale(s);
    if (!pacer_.beginTrace())
        return Flow::Stop;
    course::DrawingScope on(g_, p);
    g_.CurX = 2.6;
    g_.CurY = 0.7 * s.nIter() - 8;
    g_.d(QStringLiteral("[") + course::TextRuns::TrimStr(s.nIter()) + QStringLiteral("] "));
    g_.ShowLineColor(p, g_.CurX, g_.CurY, colour);

    p.PSet(0, 0, colour);
    for (int i = 1; i <= Npts + 1; ++i) {
        const double r = i * h;
        p.LineTo(r, -8 * k * s.rR(i), colour);
        if (r > kRightEdge)
            return pacer_.pumpOnce() ? Flow::Continue : Flow::Stop;
        if (!pacer_.pacedPoint(i * kDrawDelay))
            return Flow::Stop;
    }
    return Flow::Continue;
}

// D2: the potential, hanging from the top edge (V = 0 at y = −1.1, V = −11 on the axis).
Flow SorrelDisplay::potential(const HartreeState& s) {
    course::Surface& p = picNumerov_;
    const int Npts = s.npts();
    const double h = s.step();
    if (!pacer_.beginTrace())
        return Flow::Stop;
    course::DrawingScope on(g_, p);
    p.Scale(-0.5, -1.1, 4.2, 0.1);
    p.Cls();

    p.FontSize = 11;
    g_.CurX = 3.0;
    g_.CurY = -1.0;
    g_.d(QStringLiteral("-%1/").arg(s.z()));
    g_.di(QStringLiteral("r"));
    g_.d(QStringLiteral(" + "));
    g_.phi();
    g_.CurX += 0.02;
    g_.argr();

    g_.CurX = 2.5;
    g_.CurY = -0.4;
    g_.di(QStringLiteral("r R"));
    g_.sf(QStringLiteral("1s"));
    g_.argr();

    p.Line(0, 0.1, 0, -1.1, g_.Gray);
    p.Line(-0.5, 0, 5.1, 0, g_.Gray);

    // The curve's pen; the surface's text colour stays as it is.
    const course::Rgb colour = kPotentialColour;
    p.DrawWidth = 2;
    const double k = potentialScale(s);
    p.PSet(h, -0.1 * k * s.Vtot(1) - 1.1, colour);
    Flow flow = Flow::Continue;
    for (int i = 2; i <= Npts; ++i) {
        const double r = i * h;
        p.LineTo(r, -0.1 * k * s.Vtot(i) - 1.1, colour);
        if (r > kRightEdge)
            break;
        if (!pacer_.pacedPoint(i * kDrawDelay)) {
            flow = Flow::Stop;
            break;
        }
    }
    p.DrawWidth = 1;
    return flow;
}

// D3: the new orbital on the upper plot, the inward half from r = 4.25 down to the
// matching point, then the outward half; successive inner steps overlay.
Flow SorrelDisplay::matchedSolution(const HartreeState& s) {
    course::Surface& p = picNumerov_;
    if (!pacer_.beginTrace())
        return Flow::Stop;
    p.DrawWidth = 2;
    Flow flow = Flow::Continue;

    const int Npts = s.npts();
    const int iMatch = s.matchIndex();
    const double h = s.step();
    const double k = orbitalScale(s);
    const int kIter = s.kIter();
    const course::Rgb in = inwardColour(kIter);
    // 2176 on helium's grid; a short grid is traced from its end.
    const int entry = std::min(static_cast<int>(kInwardEntry / h), Npts);
    p.PSet((Npts + 1) * h, 0, in);
    for (int i = entry; i >= iMatch && flow == Flow::Continue; --i) {
        p.LineTo(i * h, -k * s.rR(i), in);
        if (!pacer_.pacedPoint((entry - i) * kDrawDelay))
            flow = Flow::Stop;
    }

    // The outward half is a curve of its own: a step ends before it.
    const course::Rgb out = outwardColour(kIter);
    if (flow == Flow::Continue && !pacer_.beginTrace())
        flow = Flow::Stop;
    if (flow == Flow::Continue) {
        p.PSet(0, 0, out);
        for (int i = 1; i <= iMatch; ++i) {
            p.LineTo(i * h, -k * s.rR(i), out);
            if (!pacer_.pacedPoint(i * kDrawDelay)) {
                flow = Flow::Stop;
                break;
            }
        }
    }
    p.DrawWidth = 1;
    return flow;
}

// A new line of the table on the window, starting at x; the caller draws on the
// window (in a scope on it).
void SorrelDisplay::newTableLine(double x) {
    form_.PrintLine();
    g_.CurX = x;
    g_.CurY = form_.CurrentY;
}

// D4: "⊿ε₁ₛ = 0.10234， ε₁ₛ = -0.89766"
Flow SorrelDisplay::innerLine(const HartreeState& s) {
    course::DrawingScope on(g_, form_);
    newTableLine(0);
    g_.delta_eps();
    g_.d(QStringLiteral(" = ") + q(fixed5(s.dEps())));
    g_.d(QStringLiteral("， "));
    g_.eps_1s();
    g_.d(QStringLiteral(" = ") + q(fixed5(s.eps())));
    return Flow::Continue;
}

// D5: " [0]  E_total = -2.83466"
Flow SorrelDisplay::cycleLine(const HartreeState& s) {
    course::DrawingScope on(g_, form_);
    newTableLine(5);
    g_.d(QStringLiteral(" [") + course::TextRuns::TrimStr(s.nIter()) + QStringLiteral("]  "));
    g_.diClear(QStringLiteral("E"));
    g_.sf(QStringLiteral("total"));
    g_.d(QStringLiteral(" = ") + q(fixed5(s.Etotal())));
    return Flow::Continue;
}

// D6: the summary beside the variational and measured values, the closing sound
// and the download label.
Flow SorrelDisplay::finalReport(const HartreeState& s) {
    course::DrawingScope on(g_, form_);
    newTableLine(5);
    g_.dspMSkanji(form_, g_.CurX, g_.CurY + 0.1 * g_.CharH, QStringLiteral("一"));
    g_.d(QStringLiteral("電子エネルギー "));
    g_.epsln();
    g_.sf(QStringLiteral("1s "));
    g_.d(QStringLiteral(" = ") + q(fixed4(s.epsOld())));

    newTableLine(5);
    g_.d(QStringLiteral("電子間クーロン･エネルギー "));
    g_.di(QStringLiteral("V"));
    g_.sf(QStringLiteral("c"));
    g_.d(QStringLiteral(" = ") + q(fixed4(s.Vc())));

    newTableLine(5);
    g_.d(QStringLiteral("   全エネルギー "));
    g_.diClear(QStringLiteral("E"));
    g_.sf(QStringLiteral("total"));
    g_.d(QStringLiteral(" = ") + q(fixed4(s.Etotal())));
    if (precise)
        preciseLines(*precise);

    // The references of this ion: the variational energy −(Z − 5/16)² and, where
    // known, the measured one.
    const Ion ion = Ion::of(s);
    newTableLine(5);
    g_.d(QStringLiteral(" ") + q(fixed4(ion.variationalEnergy())) + QStringLiteral(" (変分法，"));
    g_.di(QStringLiteral("a"));
    g_.incx(0.2);
    g_.d(QStringLiteral("="));
    g_.incx(0.2);
    g_.d(q(ion.exponentFraction()) + QStringLiteral(" )"));

    if (const std::string measured = measuredLine(ion); !measured.empty()) {
        newTableLine(5);
        g_.d(q(measured));
    }

    if (onFinished)
        onFinished();
    return Flow::Continue;
}

// Splits text into lines no wider than width on the surface: Japanese text breaks
// between any two characters, a run of Latin letters and digits only at a space.
QStringList SorrelDisplay::wrap(const QString& text, double width) const {
    QStringList lines;
    QString line;
    for (const QChar ch : text) {
        const QString longer = line + ch;
        if (line.isEmpty() || form_.TextWidth(longer) <= width) {
            line = longer;
            continue;
        }
        const bool inWord = ch.unicode() < 0x80 && ch != QLatin1Char(' ') && line.back().unicode() < 0x80 &&
                            line.back() != QLatin1Char(' ');
        const qsizetype space = line.lastIndexOf(QLatin1Char(' '));
        if (inWord && space > 0) {
            lines << line.left(space);
            line = line.mid(space + 1) + ch;
        } else {
            lines << line;
            line = ch == QLatin1Char(' ') ? QString() : QString(ch);
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

// Precise mode: the total energy extrapolated to h → 0 beside the Hartree–Fock limit,
// in the empty middle of the upper plot (the table has no room left for two more
// lines); or, in the table, why a level of it failed.
void SorrelDisplay::preciseLines(const PreciseRun& run) {
    if (run.failure()) {
        newTableLine(5);
        g_.d(QStringLiteral(" 精密計算 (h → 0):"));
        wrappedLines(failureLines(run.failure()));
        return;
    }
    course::DrawingScope on(g_, picNumerov_);
    picNumerov_.FontSize = 11;
    // Opaque text: a diffuse orbital (H⁻) passes under it.
    const bool transparent = picNumerov_.FontTransparent;
    picNumerov_.FontTransparent = false;
    g_.CurX = 1.6;
    g_.CurY = -0.88;
    // Plain runs and a single italic letter: these move the cursor by text widths only,
    // not by the window's character cell, which the plot's own scale does not share.
    g_.d(QStringLiteral("精密 (h → 0) "));
    g_.di(QStringLiteral("E"));
    g_.d(QStringLiteral(" = ") + q(fixed7(run.Etotal())));
    g_.CurX = 1.6;
    g_.CurY = -0.76;
    g_.d(QStringLiteral("ハートリー・フォック極限 ") + q(fixed7(run.limit())));
    picNumerov_.FontTransparent = transparent;
}

void SorrelDisplay::wrappedLines(const std::vector<std::string>& sentences) {
    constexpr double left = 5;
    const double width = tableRight - left - 5;
    for (const std::string& sentence : sentences) {
        for (const QString& line : wrap(q(sentence), width)) {
            newTableLine(left);
            g_.d(line);
        }
    }
}

// Why the run ended without a result, in the table where the report would be,
// wrapped to the room left of the plots.
void SorrelDisplay::runFailed(const HartreeState& s) {
    course::DrawingScope on(g_, form_);
    wrappedLines(failureLines(s.failure()));
    if (onFailed)
        onFailed();
}

} // namespace sorrel
