// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/textruns/TextRuns.h>

#include <engine/textruns/SavedFont.h>
#include <engine/csv/NumberText.h>
#include <engine/textruns/FontTable.h>

#include <cmath>
#include <stdexcept>

namespace course {

namespace {
const QString kBody = QStringLiteral("メイリオ");
const QString kA = QStringLiteral("A");
const QString kBookman = QStringLiteral("Bookman Old Style");
const QString kMinus = QStringLiteral("\u2212");
// The full-width hyphen-minus of Japanese text, which the pages write for a minus.
constexpr char16_t kWideMinus = u'\uFF0D';

bool isLower(QChar c) { return c >= u'a' && c <= u'z'; }
bool isUpper(QChar c) { return c >= u'A' && c <= u'Z'; }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }
} // namespace

int nint(double v) { return static_cast<int>(std::nearbyint(v)); }

TextRuns::TextRuns(RunStyle style) : style_(std::move(style)) { SetMyColor(); }

DrawingScope::DrawingScope(TextRuns& runs, Surface& g)
    : runs_(runs), pic_(runs.Pic.p_), curX_(runs.CurX), curY_(runs.CurY) {
    runs_.Pic.p_ = &g;
}

DrawingScope::~DrawingScope() {
    runs_.Pic.p_ = pic_;
    runs_.CurX = curX_;
    runs_.CurY = curY_;
}

Surface& TextRuns::pic() const {
    if (!Pic)
        throw std::logic_error("no drawing surface selected");
    return *Pic;
}

void TextRuns::Initialize(FormTarget& frm) {
    HasBookman = frm.fonts().hasFontOrStandIn(kBookman) ? 1 : -1;
    SetMyColor();
    if (!style_.greyWindow && frm.backColor() == 0xFFFFFF) {
        FormBack = 0xFFFFFF;
    } else {
        FormBack = RGB(240, 240, 240);
        frm.setBackColor(FormBack);
    }
    frm.setControlsBackColor(FormBack);
    SupRaise = 0.2;
    SupScale = 0.75;
    SubDrop = 0.3;
    SubScale = 0.85;
}

void TextRuns::SetMyColor() {
    const Palette p = makePalette(style_.swapRedGray);
    MyColor = p.MyColor;
    Blue = p.Blue;
    Gray = p.Gray;
}

bool TextRuns::FontExist(const QString& fName) const { return pic().fonts().hasFontOrStandIn(fName); }

void TextRuns::prnt(Surface& g, const QString& fntName, double& locX, double locY, const QString& strg) {
    SavedFont keep(g);
    g.FontName = fntName;
    dsp1(g, locX, locY, strg);
}

void TextRuns::dsp1(Surface& g, double& locX, double locY, const QString& strg) {
    if (strg.isEmpty())
        return;
    g.CurrentX = locX;
    g.CurrentY = locY;
    g.Print(strg);
    locX = g.CurrentX;
}

void TextRuns::dsp(Surface& g, double& x, double y, const QString& msg) {
    if (g.FontName != kBody) {
        dsp1(g, x, y, msg);
        return;
    }
    // A full-width minus is a dash of the Japanese face, longer than a minus and not
    // on the math axis: the true minus of the body font is set in the room it takes.
    if (const qsizetype wide = msg.indexOf(kWideMinus); wide >= 0) {
        dsp(g, x, y, msg.left(wide));
        const double room = g.TextWidth(QString(QChar(kWideMinus)));
        double at = x + (room - g.TextWidth(kMinus)) / 2;
        dsp1(g, at, y, kMinus);
        x += room;
        dsp(g, x, y, msg.mid(wide + 1));
        return;
    }
    QString rest = msg;
    if (rest.startsWith(u'-')) {
        dspCourier(g, x, y, QStringLiteral("-"));
        rest.remove(0, 1);
    }
    // The body font's comma sits high and wide; commas are set in the gothic font,
    // a little lower.
    const QString& comma = style_.bodyComma;
    while (!rest.isEmpty()) {
        const qsizetype at = rest.indexOf(comma);
        if (at < 0) {
            dsp1(g, x, y, rest);
            break;
        }
        dsp1(g, x, y, rest.left(at));
        dspMSkanji(g, x, y + 0.15 * g.TextHeight(kA), comma);
        // After ", " the text goes on from the blank, which is drawn once more.
        rest = rest.mid(at + 1);
    }
}

double TextRuns::lineDrop(Surface& g, double nominal) const {
    const double own = g.measure(kA).ascent;
    SavedFont keep(g);
    g.FontName = kBody;
    g.FontSize = nominal;
    g.FontBold = false;
    g.FontItalic = false;
    // Metrics are pixels; a user scale counts its own units down the page.
    const double unitsPerPixel = g.userScale() ? g.ScaleHeight() / g.size().height() : 1.0;
    return (g.measure(kA).ascent - own) * unitsPerPixel;
}

void TextRuns::dspItalic(Surface& g, double& locX, double locY, const QString& strg) {
    if (HasBookman == 0)
        HasBookman = g.fonts().hasFontOrStandIn(kBookman) ? 1 : -1;
    SavedFont keep(g);
    NominalSize standIn(g, keep.size());
    g.FontItalic = true;
    if (HasBookman == 1) {
        g.FontSize = style_.italicScale * keep.size();
        g.FontName = kBookman;
        dsp1(g, locX, locY + lineDrop(g, keep.size()), strg);
    } else {
        g.FontSize = 1.15 * keep.size();
        g.FontBold = true;
        const bool v = strg == QStringLiteral("v");
        g.FontName = v ? QStringLiteral("Century") : QStringLiteral("Times New Roman");
        dsp1(g, locX, locY + lineDrop(g, keep.size()) - (v ? 1 : 0), strg);
    }
}

void TextRuns::dspCourier(Surface& g, double& locX, double locY, const QString& strg) {
    SavedFont keep(g);
    NominalSize standIn(g, keep.size());
    const QString courier = QStringLiteral("Courier New");
    // A spaced minus (" - ") is one run, its blanks with it, so that the text of the
    // page reads it as one sign at the text's size.
    if (strg.count(u'-') == 1 && strg.trimmed() == QStringLiteral("-") && strg.size() > 1) {
        const qsizetype at = strg.indexOf(u'-');
        g.FontSize = 1.2 * keep.size();
        g.FontName = courier;
        const double before = g.TextWidth(strg.left(at));
        const double room = g.TextWidth(QStringLiteral("-"));
        const double all = g.TextWidth(strg);
        g.FontName = keep.name();
        g.FontSize = keep.size();
        const double ascent = g.measure(kMinus).ascent;
        g.FontName = kBody;
        const QString run = strg.left(at) + kMinus + strg.mid(at + 1);
        const Surface::Metrics sign = g.measure(kMinus);
        double x = locX + before + (room - sign.width) / 2 - g.TextWidth(strg.left(at));
        dsp1(g, x, locY + ascent - sign.ascent, run);
        locX += all;
        return;
    }
    QString rest = strg;
    while (!rest.isEmpty()) {
        const qsizetype at = rest.indexOf(u'-');
        if (at != 0) {
            // Letters (the d of a derivative, function names) stand on the baseline of
            // the text around them.
            g.FontSize = 1.2 * keep.size();
            g.FontName = courier;
            dsp1(g, locX, locY + lineDrop(g, keep.size()), at < 0 ? rest : rest.left(at));
            g.FontName = keep.name();
            g.FontSize = keep.size();
            if (at < 0)
                break;
            rest.remove(0, at);
        }
        // The Courier hyphen is short and sits above the axis of the text around it. A
        // minus is the true minus sign of the body font at the text's size, on the
        // baseline of the text it stands in, centred in the room the Courier hyphen took.
        g.FontSize = 1.2 * keep.size();
        g.FontName = courier;
        const double room = g.TextWidth(QStringLiteral("-"));
        g.FontName = keep.name();
        g.FontSize = keep.size();
        const double ascent = g.measure(kMinus).ascent;
        g.FontName = kBody;
        const Surface::Metrics sign = g.measure(kMinus);
        double x = locX + (room - sign.width) / 2;
        dsp1(g, x, locY + ascent - sign.ascent, kMinus);
        g.FontName = keep.name();
        locX += room;
        rest.remove(0, 1);
    }
}

void TextRuns::dspSymbol(Surface& g, double& locX, double locY, const QString& strg) {
    prnt(g, QStringLiteral("Symbol"), locX, locY, strg);
}

void TextRuns::dspSymbolItalic(Surface& g, double& locX, double locY, const QString& strg) {
    SavedFont keep(g);
    g.FontItalic = true;
    prnt(g, QStringLiteral("Symbol"), locX, locY, strg);
}

void TextRuns::dspMSkanji(Surface& g, double& locX, double locY, const QString& strg) {
    prnt(g, QStringLiteral("ＭＳ ゴシック"), locX, locY, strg);
}

void TextRuns::sup(Surface& g, double& locX, double locY, const QString& strg) {
    const double TW = g.TextWidth(kA);
    const double TH = g.TextHeight(kA);
    SavedFont keep(g);
    ScriptMark raised(g, 1);
    const double size0 = keep.size();
    g.FontSize = SupScale * size0;
    double xs = locX;
    const double ys = locY - SupRaise * TH;
    QString rest = strg;
    const bool names = style_.scriptNames;
    while (!rest.isEmpty()) {
        const QChar c = rest.at(0);
        int used = 1;
        if (names && rest.contains(QStringLiteral("Time:"))) {
            dsp(g, xs, ys, rest);
            used = rest.size();
        } else if (names && rest.startsWith(QStringLiteral("phi"))) {
            xs += 0.1 * TW;
            SavedFont slant(g);
            g.FontItalic = true;
            dsp(g, xs, ys, QStringLiteral("φ"));
            used = 3;
        } else if (names && rest.startsWith(QStringLiteral("fi"))) {
            dspSymbolItalic(g, xs, ys, QStringLiteral("j"));
            used = 2;
        } else if (names && rest.startsWith(QStringLiteral("theta"))) {
            dspSymbolItalic(g, xs, ys + 1, QStringLiteral("q"));
            used = 5;
        } else if (names && rest.startsWith(QStringLiteral("pi"))) {
            g.FontSize = size0;
            xs += 1;
            dspSymbol(g, xs, ys - 2, QStringLiteral("p"));
            xs += 1;
            g.FontSize = SupScale * size0;
            used = 2;
        } else if (names && rest.startsWith(QStringLiteral("alpha"))) {
            dspSymbolItalic(g, xs, ys, QStringLiteral("a"));
            used = 5;
        } else if (names && rest.startsWith(QStringLiteral("beta"))) {
            dspSymbolItalic(g, xs, ys, QStringLiteral("b"));
            used = 4;
        } else if (names && rest.startsWith(QStringLiteral("omega"))) {
            dspOmega(g, xs, ys + style_.omegaScriptDrop);
            xs += 2;
            used = 5;
        } else if (isLower(c) || isUpper(c)) {
            dspItalic(g, xs, ys, QString(c));
            xs += style_.scriptLetterGap == RunStyle::Spacing::Letters ? 0.1 * TW : 2;
        } else if (isDigit(c)) {
            dsp(g, xs, ys, QString(c));
        } else if (c == u'-') {
            dspCourier(g, xs, ys, QStringLiteral("-"));
        } else {
            dsp(g, xs, ys, QString(c));
        }
        rest.remove(0, used);
    }
    locX = xs;
}

void TextRuns::suf(Surface& g, double& locX, double locY, const QString& strg) {
    const double TW = g.TextWidth(kA);
    const double TH = g.TextHeight(kA);
    SavedFont keep(g);
    ScriptMark lowered(g, -1);
    const double size0 = keep.size();
    g.FontSize = SubScale * size0;
    double xs = locX;
    double ys = locY + SubDrop * TH;
    if (!style_.scriptNames) {
        dsp(g, xs, ys, strg);
        locX = xs;
        return;
    }
    QString rest = strg;
    while (!rest.isEmpty()) {
        const QChar c = rest.at(0);
        int used = 1;
        if (rest == QStringLiteral("min") || rest == QStringLiteral("max") ||
            rest.contains(QStringLiteral("Time:"))) {
            dsp(g, xs, ys, rest);
            used = rest.size();
        } else if (rest.startsWith(QStringLiteral("phi"))) {
            SavedFont slant(g);
            g.FontItalic = true;
            dsp(g, xs, ys, QStringLiteral("φ"));
            used = 3;
        } else if (rest.startsWith(QStringLiteral("fi"))) {
            dspSymbolItalic(g, xs, ys, QStringLiteral("j"));
            used = 2;
        } else if (rest.startsWith(QStringLiteral("theta"))) {
            dspSymbolItalic(g, xs, ys + 1, QStringLiteral("q"));
            used = 5;
        } else if (rest.startsWith(QStringLiteral("pi"))) {
            g.FontSize = size0;
            xs += 1;
            dspSymbol(g, xs, ys - 2, QStringLiteral("p"));
            xs += 1;
            g.FontSize = SubScale * size0;
            used = 2;
        } else if (rest.startsWith(QStringLiteral("alpha"))) {
            dspSymbolItalic(g, xs, ys, QStringLiteral("a"));
            used = 5;
        } else if (rest.startsWith(QStringLiteral("beta"))) {
            dspSymbolItalic(g, xs, ys, QStringLiteral("b"));
            used = 4;
        } else if (c == u'j') {
            xs += 1;
            dspItalic(g, xs, ys, QStringLiteral("j"));
            xs += 0.2 * TW;
        } else if (isLower(c)) {
            dspItalic(g, xs, ys, QString(c));
            xs += 0.2 * TW;
        } else if (isUpper(c)) {
            // From a capital on, the rest of the subscript is smaller and lower.
            g.FontSize = 0.9 * SubScale * size0;
            ys = locY + (SubDrop + 0.1) * TH;
            dspItalic(g, xs, ys, QString(c));
        } else if (isDigit(c)) {
            dsp(g, xs, ys, QString(c));
        } else if (c == u'+' || c == u'-') {
            dspCourier(g, xs, ys, QString(c));
        } else {
            dsp(g, xs, ys, QString(c));
        }
        rest.remove(0, used);
    }
    locX = xs;
}

void TextRuns::dspSq(Surface& g, double& locX, double locY) {
    SavedFont keep(g);
    ScriptMark raised(g, 1);
    g.FontSize = SupScale * keep.size();
    dsp(g, locX, locY - 0.1 * g.TextHeight(QStringLiteral("2")), QStringLiteral("2"));
}

void TextRuns::dspHalf(Surface& g, double& locX, double& locY) {
    const double TW = g.TextWidth(kA);
    const double TH = g.TextHeight(kA);
    const double yb = locY + 0.05 * TH;
    dsp(g, locX, yb, QStringLiteral("―"));
    SavedFont keep(g);
    g.FontSize = 0.9 * keep.size();
    double x = locX - 1.2 * TW;
    dsp(g, x, yb - 0.35 * TH, QStringLiteral("1"));
    x = locX - 1.2 * TW;
    dsp(g, x, yb + 0.4 * TH, QStringLiteral("2"));
}

void TextRuns::dspOmega(Surface& g, double& locX, double locY) {
    SavedFont keep(g);
    const double TH = g.TextHeight(kA);
    g.FontItalic = true;
    if (HasBookman != 1)
        g.FontBold = true;
    dsp(g, locX, locY - 0.05 * TH, QStringLiteral("ω"));
}

void TextRuns::dspEps(Surface& g, double& locX, double locY) {
    SavedFont keep(g);
    g.FontSize = 1.05 * keep.size();
    dsp(g, locX, locY - 2, QStringLiteral("ε"));
}

void TextRuns::dspPi(Surface& g, double& locX, double locY) {
    SavedFont keep(g);
    g.FontSize = 1.2 * keep.size();
    dspSymbol(g, locX, locY - 0.08 * g.TextHeight(QStringLiteral("p")), QStringLiteral("p"));
}

void TextRuns::dspD(double& locX, double locY) {
    dspCourier(pic(), locX, locY, QStringLiteral("d"));
    locX += 1;
}

void TextRuns::argr(Surface& g, double& locX, double locY) {
    if (style_.argR == RunStyle::Spacing::Letters) {
        CharW = g.TextWidth(kA);
        dsp(g, locX, locY, QStringLiteral("("));
        dspItalic(g, locX, locY, QStringLiteral("r"));
        locX += 0.3 * CharW;
        dsp(g, locX, locY, QStringLiteral(")"));
        return;
    }
    dsp(g, locX, locY, QStringLiteral("("));
    if (HasBookman != 1)
        locX += 2;
    dspItalic(g, locX, locY, QStringLiteral("r"));
    locX += 4;
    dsp(g, locX, locY, QStringLiteral(")"));
}

void TextRuns::argx(Surface& g, double& locX, double locY) {
    dsp(g, locX, locY, QStringLiteral("("));
    if (style_.argX == RunStyle::Spacing::Pixels) {
        if (HasBookman != 1)
            locX += 2;
        dspItalic(g, locX, locY, QStringLiteral("x"));
    } else {
        const double TW = g.TextWidth(kA);
        if (HasBookman != 1)
            locX += 0.2 * TW;
        dspItalic(g, locX, locY, QStringLiteral("x"));
        locX += 0.2 * TW;
    }
    dsp(g, locX, locY, QStringLiteral(")"));
}

void TextRuns::argy(Surface& g, double& locX, double locY) {
    dsp(g, locX, locY, QStringLiteral("("));
    if (HasBookman != 1)
        locX += 4;
    dspItalic(g, locX, locY, QStringLiteral("y"));
    dsp(g, locX, locY, QStringLiteral(")"));
}

QString TextRuns::TrimStr(double v) {
    // Up to 15 significant digits; exponent form below 1E-4 and from 1E15 on,
    // with a signed two-digit exponent; no zero before the decimal point. Always a
    // decimal point, whatever the process locale says.
    QString s = QString::fromStdString(numberText(v, std::chars_format::general, 15)).toUpper();
    if (s.startsWith(QStringLiteral("0.")))
        s.remove(0, 1);
    else if (s.startsWith(QStringLiteral("-0.")))
        s.remove(1, 1);
    if (s == QStringLiteral("-0"))
        s = QStringLiteral("0");
    return s;
}

} // namespace course
