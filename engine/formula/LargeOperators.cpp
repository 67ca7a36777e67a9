// SPDX-License-Identifier: GPL-3.0-or-later
// Large operators assembled from Symbol font pieces: integral, sum, radical and the
// tall parentheses and square brackets.

#include <engine/formula/Typesetter.h>

#include <engine/formula/FontNames.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace course {

using namespace formula;

namespace {
const QString kInfinity = QStringLiteral("∞");
} // namespace

void Typesetter::dspIntegral(Surface& g, double& x, double y) {
    SavedFont keep(g);
    g.FontName = kSymbolFont;
    const double TH = g.TextHeight(kA);
    // Upper and lower halves of the sign, one below the other from the same x.
    ConstructMark mark(g, ConstructKind::Integral);
    int xi = nint(x);
    gdiText(g, xi, nint(y - 0.28 * TH), symbolCode(kIntegralTop), 1);
    xi = nint(x);
    gdiText(g, xi, nint(y + 0.38 * TH), symbolCode(kIntegralBottom), 1);
    x = xi;
}

void Typesetter::dspIntInf(Surface& g, double& x, double y) {
    const double TW = g.TextWidth(kA);
    const double TH = g.TextHeight(kA);
    dspIntegral(g, x, y);
    SavedFont keep(g);
    g.FontSize = 0.8 * keep.size();
    double xu = x + 0.5 * TW;
    dsp(g, xu, y - 0.5 * TH, kInfinity);
    double xl = x;
    dsp(g, xl, y + 0.7 * TH, QStringLiteral("-"));
    dsp(g, xl, y + 0.7 * TH, kInfinity);
    x = xl + 0.5 * TW;
}

void Typesetter::IntLim(Surface& g, double& x, double y, const QString& upper, const QString& lower) {
    const double TW = g.TextWidth(kA);
    const double TH = g.TextHeight(kA);
    SavedFont keep(g);
    const double size0 = keep.size();
    dspIntegral(g, x, y);
    // One character of a limit in markup at 0.8 × the size.
    auto small = [&](double& xs, double ys, QChar c) {
        g.FontSize = 0.8 * size0;
        MarkupText(g, xs, ys, QString(c));
        g.FontSize = size0;
    };

    double xu = x + 0.5 * TW;
    for (qsizetype i = 0; i < upper.size();) {
        const QStringView rest = QStringView(upper).mid(i);
        if (rest.startsWith(u"pi")) {
            dspSymbol(g, xu, y - 0.6 * TH, QStringLiteral("p"));
            i += 2;
        } else if (rest.front() == u'_') {
            suf(g, xu, y - 0.5 * TH, rest.mid(1).toString());
            break;
        } else {
            small(xu, y - 0.5 * TH, rest.front());
            i += 1;
        }
    }

    double xl = x;
    for (qsizetype i = 0; i < lower.size();) {
        const QStringView rest = QStringView(lower).mid(i);
        if (rest.startsWith(u"-pi")) {
            dspCourier(g, xl, y + 0.7 * TH, QStringLiteral("-"));
            dspSymbol(g, xl, y + 0.6 * TH, QStringLiteral("p"));
            i += 3;
        } else if (rest.startsWith(u"pi")) {
            dspSymbol(g, xl, y + 0.7 * TH, QStringLiteral("p"));
            i += 2;
        } else if (rest.front() == u'_') {
            suf(g, xl, y + 0.7 * TH, rest.mid(1).toString());
            break;
        } else {
            small(xl, y + 0.7 * TH, rest.front());
            i += 1;
        }
    }
    x = xl + 0.5 * TW;
}

void Typesetter::dspSum(Surface& g, double& x, double y) {
    SavedFont keep(g);
    g.FontSize = 2 * keep.size();
    g.FontName = kSymbolFont;
    int xi = nint(x);
    gdiText(g, xi, nint(y), symbolCode(kSigma), 1);
    x = xi;
}

void Typesetter::SumK(Surface& g, double& x, double y, const QString& lower, const QString& upper) {
    const double TH = g.TextHeight(kA);
    const double wl = g.TextWidth(lower);
    const double wu = g.TextWidth(upper);
    // The limits keep two pixels of air from the sign.
    const double air = 2 * kInkAir;
    const QRectF sign = inkExtentOn(g, [&](Surface& s) {
        double xs = x;
        dspSum(s, xs, y - 0.5 * TH);
    });
    double xu = upper == kInfinity ? x + 4 : x + 10 - wu / 2;
    double yu = y - 0.6 * TH;
    const QRectF up = inkExtentOn(g, [&](Surface& s) {
        double xs = xu;
        sup(s, xs, yu, upper);
    });
    yu -= std::max(0.0, up.bottom() + air - sign.top());
    sup(g, xu, yu, upper);

    // The lower limit, centred under the sign, one character at a time. Letters are
    // italic and sit lower on their line than digits and signs of the body face; the
    // others come down to the letters' baseline, so that "n=0" does not read as n
    // with a raised "=0".
    auto baseline = [&](const QString& c, double yl) {
        Surface s(g.fonts(), g.size());
        s.FontName = g.FontName;
        s.FontSize = g.FontSize;
        double xs = 0;
        suf(s, xs, yl, c);
        const DrawOp& op = s.ops().back();
        return op.a.y() + op.ascent;
    };
    const double y0 = y + 0.65 * TH;
    const double digitDrop =
        std::max(0.0, std::round(baseline(QStringLiteral("n"), y0) - baseline(QStringLiteral("0"), y0)));
    double yl0 = y0;
    {
        double xs = x + 12 - wl / 2;
        const QRectF low = inkExtentOn(g, [&](Surface& s) {
            for (QChar c : lower)
                suf(s, xs, y0, QString(c));
        });
        yl0 += std::max(0.0, sign.bottom() + air - low.top());
    }
    double xl = x + 12 - wl / 2;
    for (QChar c : lower) {
        double yl = yl0;
        if (c == u'k')
            yl += 1;
        else if (QString(c) == kInfinity)
            yl += HasBookman == 1 ? 1 : 3;
        else if (!isAsciiLetter(c))
            yl += digitDrop;
        suf(g, xl, yl, QString(c));
    }
    dspSum(g, x, y - 0.5 * TH);
}

void Typesetter::BigBracket(double& x, double y, int kind) {
    Surface& g = pic();
    int top = 0, bottom = 0, extension = 0, gap = 0;
    switch (kind) {
    case 1:
        top = kParenLeftTop;
        bottom = kParenLeftBottom;
        extension = kParenLeftExtension;
        gap = 6;
        break;
    case 2:
        top = kParenRightTop;
        bottom = kParenRightBottom;
        extension = kParenRightExtension;
        gap = 6;
        break;
    case 3:
        top = kBracketLeftTop;
        bottom = kBracketLeftBottom;
        extension = kBracketLeftExtension;
        gap = BracketGap + 1;
        break;
    case 4:
        top = kBracketRightTop;
        bottom = kBracketRightBottom;
        extension = kBracketRightExtension;
        gap = BracketGap + 1;
        break;
    default: break; // no such bracket: nothing is drawn
    }
    if (!top) {
        g.FontBold = false;
        return;
    }
    // A left bracket is drawn at once, where the layout puts it, and remembered; its
    // right one is sized to the ink between the two, and when that reaches beyond the
    // left one, the left one is drawn again at the same size. The page moves past a
    // bracket itself, so drawing it again moves nothing.
    const bool right = kind == 2 || kind == 4;
    const OpenBracket here{&g, g.mark(), 0, x, y, kind, top, bottom, extension, gap};
    if (!right) {
        OpenBracket open = here;
        drawBracket(g, open, std::nullopt);
        open.pieces = g.mark().count - open.at.count;
        // Brackets left open on a page since cleared or taken back are forgotten.
        std::erase_if(openBrackets_, [&](const OpenBracket& b) {
            return b.surface == &g && (b.at.generation != open.at.generation || b.at.count + b.pieces > open.at.count);
        });
        openBrackets_.push_back(open);
        g.FontBold = false;
        return;
    }
    std::optional<OpenBracket> open;
    for (auto it = openBrackets_.end(); it != openBrackets_.begin();) {
        --it;
        if (it->surface == &g && it->at.generation == here.at.generation &&
            it->at.count + it->pieces <= here.at.count) {
            open = *it;
            openBrackets_.erase(it);
            break;
        }
    }
    std::optional<QRectF> enclosed;
    if (open) {
        const QRectF ink = inkBounds(g, open->at.count + open->pieces);
        if (!ink.isEmpty())
            enclosed = ink;
    }
    int left = 0;
    if (open && enclosed) {
        left = g.ops()[open->at.count].construct;
        if (bracketSpan(g, *open, enclosed) != bracketSpan(g, *open, std::nullopt) &&
            g.forget(open->at, open->pieces))
            left = drawBracket(g, *open, enclosed);
    }
    const int closing = drawBracket(g, here, enclosed);
    if (enclosed) {
        g.setEnclosed(left, *enclosed);
        g.setEnclosed(closing, *enclosed);
    }
    // The pieces are drawn bold; the surface is left not bold, whatever it was before.
    g.FontBold = false;
}

std::pair<int, int> Typesetter::bracketSpan(Surface& g, const OpenBracket& b, const std::optional<QRectF>& content) {
    // The pieces stand where the layout puts them, and further out where the content
    // reaches beyond: the top piece's ink to the content's top, the bottom piece's to
    // its bottom.
    int yTop = nint(b.y - b.gap);
    int yBottom = nint(b.y + 2 + b.gap);
    if (content) {
        yTop = std::min(yTop, int(std::floor(content->top() - bracketPieceInk(g, b.top).top())));
        yBottom = std::max(yBottom, int(std::ceil(content->bottom() - bracketPieceInk(g, b.bottom).bottom())));
    }
    return {yTop, yBottom};
}

QRectF Typesetter::bracketPieceInk(Surface& g, int code) {
    return inkExtentOn(g, [&](Surface& s) {
        s.FontName = kSymbolFont;
        s.FontBold = true;
        int xp = 0;
        gdiText(s, xp, 0, symbolCode(code), 1);
    });
}

int Typesetter::drawBracket(Surface& g, const OpenBracket& b, const std::optional<QRectF>& content) {
    const auto [yTop, yBottom] = bracketSpan(g, b, content);
    const QRectF topInk = bracketPieceInk(g, b.top);
    const QRectF bottomInk = bracketPieceInk(g, b.bottom);
    const QRectF extInk = bracketPieceInk(g, b.extension);
    SavedFont keep(g);
    g.FontName = kSymbolFont;
    g.FontBold = true;
    ConstructMark mark(g, ConstructKind::Bracket);
    // Both pieces from the same x.
    int xi = nint(b.x);
    gdiText(g, xi, yTop, symbolCode(b.top), 1);
    xi = nint(b.x);
    gdiText(g, xi, yBottom, symbolCode(b.bottom), 1);
    // Pieces set further apart than they reach are joined by extension pieces, each
    // overlapping the one before by half a pixel.
    double from = yTop + topInk.bottom();
    const double to = yBottom + bottomInk.top();
    while (extInk.height() >= 2 && from < to - 0.25) {
        // The last piece ends on the bottom piece, overlapping it rather than passing it.
        const bool last = from - 0.5 >= to + 0.5 - extInk.height();
        const double inkTop = last ? to + 0.5 - extInk.height() : from - 0.5;
        const int ye = int(std::floor(inkTop - extInk.top()));
        xi = nint(b.x);
        gdiText(g, xi, ye, symbolCode(b.extension), 1);
        if (last)
            break;
        from = ye + extInk.bottom();
    }
    return g.lastConstruct();
}

int Typesetter::bracketGapOver(double y, const QRectF& content, int least) {
    const QRectF top = bracketPieceInk(pic(), kBracketLeftTop);
    const QRectF bottom = bracketPieceInk(pic(), kBracketLeftBottom);
    // Pieces stand at whole pixels (nint of y - gap and y + 2 + gap, gap = BracketGap + 1):
    // half a pixel more either way covers the rounding.
    const double up = y + top.top() - content.top() + 0.5;
    const double down = content.bottom() - bottom.bottom() - y - 2 + 0.5;
    return std::max(least, int(std::ceil(std::max(up, down))) - 1);
}

void Typesetter::dspSqrt(Surface& g, double& x, double y, double w) {
    ConstructMark mark(g, ConstructKind::Radical);
    {
        SavedFont keep(g);
        g.FontBold = false;
        dspSymbol(g, x, y, symbolCode(kRadical));
    }
    g.Line(x, y + 1, x + w, y + 1, Gray);
    x += w;
}

void Typesetter::rootOf(const std::function<void()>& radicand) {
    Surface& g = pic();
    const QString sign = symbolCode(kRadical);
    const double size0 = g.FontSize;
    auto signInk = [&](double points) {
        return inkExtentOn(g, [&](Surface& s) {
            s.FontSize = points;
            s.FontBold = false;
            double xs = 0;
            dspSymbol(s, xs, 0, sign);
        });
    };
    const double x0 = CurX;
    const QRectF inside = inkExtent(radicand); // drawn from x0
    // The overline's pixel row, kInkAir above the radicand's ink.
    const double barTop = std::floor(inside.top() - kInkAir) - 1;
    // The sign is set at the size whose ink reaches from that row down to the
    // radicand's bottom, never smaller than the text's. Both ends are on this page's
    // pixels, so a print (set lower by a fraction of a pixel) may draw the sign a
    // hair larger or smaller.
    const QRectF unit = signInk(size0);
    const double points =
        unit.height() > 0 ? size0 * std::max(1.0, (inside.bottom() + 0.5 - barTop) / unit.height()) : size0;
    const QRectF ink = signInk(points);
    const double start = x0 + ink.right() + kInkAir; // where the radicand is drawn
    const double end = inside.right() - x0 + start + kInkAir;
    int root = 0;
    {
        ConstructMark mark(g, ConstructKind::Radical);
        {
            SavedFont keep(g);
            g.FontSize = points;
            g.FontBold = false;
            double xs = x0;
            dspSymbol(g, xs, barTop - ink.top(), sign);
        }
        // From the top of the sign's rising stroke, overlapping it by a pixel.
        g.Line(x0 + ink.right() - 1, barTop, end, barTop, Gray);
        root = g.lastConstruct();
    }
    CurX = start;
    const std::size_t first = g.ops().size();
    radicand();
    g.setEnclosed(root, inkBounds(g, first));
    CurX = std::max(CurX, end);
}

void Typesetter::ColBrace(int index, double x, double y, double ht, BraceBuild build) {
    Surface& g = pic();
    ConstructMark mark(g, ConstructKind::Brace);
    SavedFont keep(g);
    g.FontName = kSymbolFont;
    const int shift = index * (kBraceRightTop - kBraceLeftTop);
    const int xi = nint(x);
    const double step = ht * CharH;
    auto piece = [&](int code, double yp) {
        int xp = xi; // every piece from the same x
        gdiText(g, xp, nint(yp), symbolCode(code), 1);
    };
    if (build == BraceBuild::FivePieces) {
        piece(kBraceLeftTop + shift, y - 2 * step);
        piece(kBraceExtension, y - step);
        piece(kBraceLeftMiddle + shift, y);
        piece(kBraceExtension, y + step);
        piece(kBraceLeftBottom + shift, y + 2 * step);
        return;
    }
    piece(kBraceLeftTop + shift, y - 2 * step);
    piece(kBraceLeftMiddle + shift, y);
    piece(kBraceLeftBottom + shift, y + 2 * step);
    if (ht >= 1) {
        piece(kBraceExtension, y - step);
        piece(kBraceExtension, y + step);
    }
}

int Typesetter::ColBraceOver(int index, double x, const QRectF& content, BraceBuild build) {
    Surface& g = pic();
    // The ink of the top and bottom pieces about the brace's middle y, for a step of one
    // line: top = y - 2·step + topOffset, bottom = y + 2·step + bottomBelow.
    const QRectF unit = inkExtentOn(g, [&](Surface& s) {
        s.FontName = kSymbolFont;
        int xp = 0;
        gdiText(s, xp, 0, symbolCode(kBraceLeftTop), 1);
    });
    const QRectF unitBottom = inkExtentOn(g, [&](Surface& s) {
        s.FontName = kSymbolFont;
        int xp = 0;
        gdiText(s, xp, 0, symbolCode(kBraceLeftBottom), 1);
    });
    // The pieces stand a whole number of pixels apart from a whole pixel row, so the
    // brace has one shape wherever it falls within a pixel (on a page and on its print);
    // its reach is rounded up, and half a pixel at either end covers where the middle
    // is rounded to.
    const double need = content.height() + 1.0 - (unitBottom.bottom() - unit.top());
    const double step = std::max(0.0, std::ceil(need / 4));
    // y is the cell top of the middle piece: the top piece's ink starts at
    // y - 2·step + unit.top(), the bottom piece's ends at y + 2·step + unitBottom.bottom().
    const double y = std::round(content.center().y() - (unit.top() + unitBottom.bottom()) / 2);
    ColBrace(index, x, y, CharH > 0 ? step / CharH : 0, build);
    return g.lastConstruct();
}

void Typesetter::encloseSince(int construct, std::size_t first) {
    Surface& g = pic();
    g.setEnclosed(construct, inkBounds(g, first));
}

} // namespace course
