// SPDX-License-Identifier: GPL-3.0-or-later
#include "TypeCheck.h"

#include "InkCheck.h"

#include <QHash>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace course::testing {

namespace {

const QString kBody = QStringLiteral("メイリオ");
constexpr QChar kMinus(0x2212);

// A minus off the axis by more than this shows at 1x as a sign sitting high or low.
constexpr double kAxisTolerance = 0.5;
// A minus shorter than this share of the "+" reads as a hyphen.
constexpr double kMinusShortest = 0.8;
// Two runs of one line whose baselines differ by more than this stand visibly apart at
// 1x (half a device pixel).
constexpr double kBaselineTolerance = 0.5;
// A script whose ink comes closer than this to its base or a bar leaves no whole pixel
// of paper between them at 1x, and reads as touching.
constexpr double kScriptAir = 1.0;
// Edges of a rule this close to whole pixels fill them.
constexpr double kPixelTolerance = 0.02;

bool isBoxRule(QChar c) { return c == u'─' || c == u'━' || c == u'┄' || c == u'┈'; }

QString point(QPointF p) { return QStringLiteral("(%1, %2)").arg(p.x(), 0, 'f', 2).arg(p.y(), 0, 'f', 2); }

// Where the body font's "+" of `points` has the middle of its ink, and how long it is,
// relative to its baseline (the math axis of text at that size).
struct Axis {
    double height = 0; // above the baseline
    double plusWidth = 0;
};
Axis axisOf(FontTable& fonts, double points) {
    static QHash<qint64, Axis> cache;
    const qint64 key = std::llround(points * 1000);
    if (auto it = cache.constFind(key); it != cache.constEnd())
        return *it;
    Surface probe(fonts, QSize(200, 200));
    probe.FontName = kBody;
    probe.FontSize = points;
    probe.CurrentX = 0;
    probe.CurrentY = 0;
    probe.Print(QStringLiteral("+"));
    const DrawOp& op = probe.ops().back();
    const QRectF ink = inkBounds(op);
    const Axis a{op.ascent - ink.center().y(), ink.width()};
    cache.insert(key, a);
    return a;
}

// The ink of character `index` of a text run, when its glyphs map one to one onto its
// characters; the run's whole ink when it is that one character and blanks.
QRectF charInk(const DrawOp& op, qsizetype index) {
    const std::vector<QPainterPath> glyphs = glyphOutlines(op);
    if (qsizetype(glyphs.size()) == op.text.size())
        return glyphs[std::size_t(index)].boundingRect();
    if (op.text.trimmed().size() == 1)
        return inkBounds(op);
    return {};
}

double pointsOf(const DrawOp& op) { return op.nominalSize > 0 ? op.nominalSize : op.fontSize; }

struct LineOf {
    double baseline = 0;
    QString beside; // the run it was taken from
};

// Text whose baseline is the line's: Latin letters, digits, "=", "+", parentheses and
// Japanese; not Greek letters or bars, which the pages nudge up or down on purpose.
bool linesText(const QString& s) {
    bool any = false;
    for (QChar c : s) {
        if (c == u' ' || c == QChar(0x3000))
            continue;
        if (!(c.isDigit() || (c >= u'A' && c <= u'z' && c.isLetter()) || c == u'=' || c == u'+' || c == u'(' ||
              c == u')' || c == u'.' || c.unicode() >= 0x3000))
            return false;
        any = true;
    }
    return any;
}

// The baseline a minus stands on: that of the run drawn just before or after it, when
// that is text of the body font at its size on about the same line; its own otherwise.
LineOf lineBaseline(const std::vector<DrawOp>& ops, std::size_t i) {
    const DrawOp& minus = ops[i];
    const double points = pointsOf(minus);
    const double own = minus.a.y() + minus.ascent;
    for (std::size_t j : {i + 1, i - 1}) {
        if (j >= ops.size())
            continue;
        const DrawOp& op = ops[j];
        if (op.kind != DrawOp::Kind::Text || op.fontName != kBody || op.angle != 0 ||
            std::abs(pointsOf(op) - points) > 0.01 || !linesText(op.text))
            continue;
        const double baseline = op.a.y() + op.ascent;
        if (std::abs(baseline - own) <= 0.3 * minus.cell.height())
            return {baseline, op.text};
    }
    return {own, {}};
}

void checkMinus(FontTable& fonts, const std::vector<DrawOp>& ops, const DrawOp& op, std::size_t i,
                std::vector<TypeFault>& out) {
    const QString label = inkLabel(op);
    const QString text = op.text;
    if (op.fontName == QStringLiteral("Courier New") && text.contains(u'-'))
        out.push_back({QStringLiteral("minus"), label, QStringLiteral("a Courier hyphen stands for a minus"), i});
    else if (text.trimmed() == QStringLiteral("-") && op.fontName != QStringLiteral("Symbol"))
        out.push_back({QStringLiteral("minus"), label, QStringLiteral("a hyphen stands for a minus"), i});
    if (text.contains(u'\uFF0D'))
        out.push_back({QStringLiteral("minus"), label, QStringLiteral("a full-width dash stands for a minus"), i});
    for (qsizetype k = 0; k < text.size(); ++k) {
        if (text[k] != kMinus)
            continue;
        const QRectF ink = charInk(op, k);
        if (ink.isEmpty())
            continue;
        const Axis axis = axisOf(fonts, pointsOf(op));
        const LineOf line = lineBaseline(ops, i);
        const double off = (line.baseline - ink.center().y()) - axis.height;
        if (std::abs(off) > kAxisTolerance)
            out.push_back({QStringLiteral("minus"), label,
                           QStringLiteral("middle %1 px %2 the math axis (%3 px above the baseline of %4)")
                               .arg(std::abs(off), 0, 'f', 2)
                               .arg(off > 0 ? QStringLiteral("above") : QStringLiteral("below"))
                               .arg(axis.height, 0, 'f', 2)
                               .arg(line.beside.isEmpty() ? QStringLiteral("its own run")
                                                          : QStringLiteral("\"%1\"").arg(line.beside)),
                           i});
        if (ink.width() < kMinusShortest * axis.plusWidth)
            out.push_back({QStringLiteral("minus"), label,
                           QStringLiteral("%1 px long, the \"+\" %2 px")
                               .arg(ink.width(), 0, 'f', 2)
                               .arg(axis.plusWidth, 0, 'f', 2),
                           i});
    }
}

void checkRuleText(const DrawOp& op, std::size_t i, std::vector<TypeFault>& out) {
    const QString& s = op.text;
    for (qsizetype k = 0; k < s.size(); ++k) {
        if (isBoxRule(s[k]) || (s[k] == u'―' && k + 1 < s.size() && s[k + 1] == u'―')) {
            out.push_back({QStringLiteral("rule"), inkLabel(op),
                           QStringLiteral("a bar of rule characters, not one stroke"), i});
            return;
        }
    }
}

bool ruleCharacter(const DrawOp& op) {
    return op.kind == DrawOp::Kind::Text && op.text.size() == op.text.count(u'―') + op.text.count(u' ') &&
           op.text.contains(u'―');
}

// What a run is on its line, for the baseline rule: text that stands on the line's
// baseline (body text, italic variables, upright function names and the d of a
// derivative, the partial sign), or none (scripts, Greek letters the pages nudge, signs
// and pieces of constructs, rotated text).
enum class LineRole { None, Body, Italic, Upright, Partial };

bool asciiLetters(const QString& s) {
    const QString t = s.trimmed();
    if (t.isEmpty())
        return false;
    for (QChar c : t)
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u' ' || c == u','))
            return false;
    return true;
}

LineRole lineRole(const DrawOp& op) {
    if (op.kind != DrawOp::Kind::Text || op.angle != 0 || op.script != 0 ||
        op.constructKind != ConstructKind::None || op.text.trimmed().isEmpty())
        return LineRole::None;
    const QString& font = op.fontName;
    if (op.italic && (font == QStringLiteral("Bookman Old Style") || font == QStringLiteral("Times New Roman") ||
                      font == QStringLiteral("Century")))
        return asciiLetters(op.text) ? LineRole::Italic : LineRole::None;
    if (font == QStringLiteral("Courier New"))
        return asciiLetters(op.text) ? LineRole::Upright : LineRole::None;
    if (font == QStringLiteral("Symbol"))
        return op.text.trimmed() == QStringLiteral("∂") ? LineRole::Partial : LineRole::None;
    if (font == kBody && !op.italic)
        return linesText(op.text) ? LineRole::Body : LineRole::None;
    return LineRole::None;
}

double baselineOf(const DrawOp& op) { return op.a.y() + op.ascent; }
double emOf(const DrawOp& op) { return pointsOf(op) * 96.0 / 72.0; }

// Runs of one line follow one another: each starts about where the run drawn just
// before it ended, and its cell top or its baseline is near that of the line text
// before it. Each such pair of runs that are not scripts stands on one baseline.
void checkBaselines(const std::vector<DrawOp>& ops, Rgb background, std::vector<TypeFault>& out) {
    constexpr std::size_t kNone = ~std::size_t(0);
    std::size_t prev = kNone;
    for (std::size_t j = 0; j < ops.size(); ++j) {
        const DrawOp& op = ops[j];
        if (op.kind == DrawOp::Kind::Clear) {
            background = op.color;
            prev = kNone;
            continue;
        }
        if (op.kind != DrawOp::Kind::Text) {
            prev = kNone;
            continue;
        }
        if (op.color == background || lineRole(op) == LineRole::None)
            continue;
        const std::size_t i = prev == kNone ? j : prev;
        prev = j;
        if (i == j)
            continue;
        const DrawOp& before = ops[j - 1];
        const double em = std::max(emOf(op), emOf(ops[i]));
        const double penEnd = before.a.x() + before.cell.width();
        if (op.a.x() < penEnd - 3 || op.a.x() > penEnd + em)
            continue;
        const double drop = baselineOf(op) - baselineOf(ops[i]);
        const bool oneLine = std::abs(op.a.y() - ops[i].a.y()) <= 0.3 * em || std::abs(drop) <= 0.3 * em;
        if (!oneLine || std::abs(drop) <= kBaselineTolerance)
            continue;
        out.push_back({QStringLiteral("baseline"), inkLabel(op),
                       QStringLiteral("baseline %1 px %2 that of %3")
                           .arg(std::abs(drop), 0, 'f', 2)
                           .arg(drop > 0 ? QStringLiteral("below") : QStringLiteral("above"))
                           .arg(inkLabel(ops[i])),
                       j});
    }
}

// A fraction bar or a radical's overline; not the stroke of an ħ or an accent, which
// belong to their letter.
bool thinBar(const DrawOp& op) {
    return op.kind == DrawOp::Kind::Line && op.constructKind != ConstructKind::Plot &&
           op.constructKind != ConstructKind::Hbar && op.constructKind != ConstructKind::Accent && op.width <= 2 &&
           op.a.y() == op.b.y() && std::abs(op.b.x() - op.a.x()) >= 2;
}

// A script keeps kScriptAir of paper from the ink of its base (the run it follows on
// the line) and from any bar.
void checkScripts(const std::vector<DrawOp>& ops, Rgb background, std::vector<TypeFault>& out) {
    std::vector<std::size_t> bars;
    for (std::size_t i = 0; i < ops.size(); ++i)
        if (thinBar(ops[i]))
            bars.push_back(i);
    std::size_t cleared = 0; // the latest Clear
    for (std::size_t j = 0; j < ops.size(); ++j) {
        const DrawOp& op = ops[j];
        if (op.kind == DrawOp::Kind::Clear) {
            background = op.color;
            cleared = j;
            continue;
        }
        if (op.kind != DrawOp::Kind::Text || op.script == 0 || op.angle != 0 || op.color == background ||
            op.text.trimmed().isEmpty())
            continue;
        const Ink ink = inkOf(op);
        if (ink.empty())
            continue;
        // The base: the nearest text run before it that is not a script, when the script
        // starts over it or just past its end.
        for (std::size_t k = j; k-- > cleared;) {
            const DrawOp& base = ops[k];
            if (base.kind != DrawOp::Kind::Text || base.script != 0)
                continue;
            const double end = base.a.x() + base.cell.width();
            if (base.color != background && op.a.x() >= base.a.x() && op.a.x() <= end + emOf(op))
                if (const auto d = inkDistance(ink, inkOf(base), kScriptAir))
                    out.push_back({QStringLiteral("script"), inkLabel(op),
                                   QStringLiteral("%1 px from its base %2, less than %3 px, at %4")
                                       .arg(d->distance, 0, 'f', 2)
                                       .arg(inkLabel(base))
                                       .arg(kScriptAir, 0, 'f', 1)
                                       .arg(point(d->at)),
                                   j});
            break;
        }
        std::size_t until = j;
        while (until < ops.size() && ops[until].kind != DrawOp::Kind::Clear)
            ++until;
        for (std::size_t b : bars) {
            if (b < cleared || b >= until || ops[b].color == background)
                continue;
            if (const auto d = inkDistance(ink, inkOf(ops[b]), kScriptAir))
                out.push_back({QStringLiteral("script"), inkLabel(op),
                               QStringLiteral("%1 px from the bar %2, less than %3 px, at %4")
                                   .arg(d->distance, 0, 'f', 2)
                                   .arg(inkLabel(ops[b]))
                                   .arg(kScriptAir, 0, 'f', 1)
                                   .arg(point(d->at)),
                               j});
        }
    }
}

// Each bracket, brace and radical that recorded what it encloses spans that ink from
// top to bottom, a radical's overline covers its radicand from left to right, and a
// fraction bar covers both its parts.
void checkFit(const std::vector<DrawOp>& ops, Rgb background, std::vector<TypeFault>& out) {
    struct Sign {
        QRectF ink, bar, enclosed;
        std::size_t op = 0;
    };
    QHash<int, Sign> signs;
    std::vector<int> order;
    auto number = [](double v) { return QString::number(v, 'f', 2); };
    auto flush = [&] {
        for (int id : order) {
            const Sign& s = signs[id];
            const double shortTop = s.ink.top() - s.enclosed.top();
            const double shortBottom = s.enclosed.bottom() - s.ink.bottom();
            const QString kind = constructName(ops[s.op].constructKind);
            if (shortTop > kFitMargin || shortBottom > kFitMargin)
                out.push_back({QStringLiteral("fit"), inkLabel(ops[s.op]),
                               QStringLiteral("%1 ink from y %2 to %3, its content's from %4 to %5 (%6 px short)")
                                   .arg(kind, number(s.ink.top()), number(s.ink.bottom()),
                                        number(s.enclosed.top()), number(s.enclosed.bottom()),
                                        number(std::max(shortTop, shortBottom))),
                               s.op});
            if (ops[s.op].constructKind != ConstructKind::Radical)
                continue;
            const double shortLeft = s.bar.isNull() ? s.enclosed.width() : s.bar.left() - s.enclosed.left();
            const double shortRight = s.bar.isNull() ? s.enclosed.width() : s.enclosed.right() - s.bar.right();
            if (shortLeft > kFitMargin || shortRight > kFitMargin)
                out.push_back({QStringLiteral("fit"), inkLabel(ops[s.op]),
                               QStringLiteral("overline from x %1 to %2, the radicand's ink from %3 to %4")
                                   .arg(number(s.bar.left()), number(s.bar.right()), number(s.enclosed.left()),
                                        number(s.enclosed.right())),
                               s.op});
        }
        signs.clear();
        order.clear();
    };
    for (std::size_t i = 0; i < ops.size(); ++i) {
        const DrawOp& op = ops[i];
        if (op.kind == DrawOp::Kind::Clear) {
            flush();
            background = op.color;
            continue;
        }
        if (op.enclosed.isNull() || op.color == background)
            continue;
        const QRectF ink = inkBounds(op);
        if (ink.isEmpty())
            continue;
        const bool horizontal = op.kind == DrawOp::Kind::Line && op.a.y() == op.b.y();
        if (op.constructKind == ConstructKind::None && horizontal) {
            // A fraction bar and its two parts.
            const double shortLeft = ink.left() - op.enclosed.left();
            const double shortRight = op.enclosed.right() - ink.right();
            if (shortLeft > kFitMargin || shortRight > kFitMargin)
                out.push_back({QStringLiteral("fit"), inkLabel(op),
                               QStringLiteral("fraction bar from x %1 to %2, its parts' ink from %3 to %4")
                                   .arg(number(ink.left()), number(ink.right()), number(op.enclosed.left()),
                                        number(op.enclosed.right())),
                               i});
            continue;
        }
        if (op.constructKind != ConstructKind::Bracket && op.constructKind != ConstructKind::Brace &&
            op.constructKind != ConstructKind::Radical)
            continue;
        auto it = signs.find(op.construct);
        if (it == signs.end()) {
            it = signs.insert(op.construct, {ink, {}, op.enclosed, i});
            order.push_back(op.construct);
        } else {
            it->ink = it->ink.united(ink);
        }
        if (horizontal)
            it->bar = it->bar.isNull() ? ink : it->bar.united(ink);
    }
    flush();
}

// A plot's label keeps this much paper from every stroke of its curves at 1x (the
// engine's kInkAir): closer, the curve reads as cut by the label or running into it.
constexpr double kLabelAir = 1.0;

// The ink of a plot stroke as it shows, with the part inside `covers` taken away: an
// opaque text cell drawn over the stroke hides that part of it.
Ink strokeInkOutside(const DrawOp& stroke, const std::vector<QPolygonF>& covers) {
    if (covers.empty())
        return inkOf(stroke);
    QPainterPath shown;
    for (const InkPiece& piece : inkOf(stroke).pieces)
        for (const QPolygonF& poly : piece.outlines)
            shown.addPolygon(poly);
    shown.setFillRule(Qt::WindingFill);
    for (const QPolygonF& cell : covers) {
        QPainterPath hide;
        hide.addPolygon(cell);
        hide.closeSubpath();
        shown = shown.subtracted(hide);
    }
    Ink ink;
    InkPiece piece;
    for (const QPolygonF& poly : shown.toSubpathPolygons()) {
        if (poly.size() < 3)
            continue;
        piece.outlines.push_back(poly);
        piece.bounds |= poly.boundingRect();
    }
    if (!piece.outlines.empty()) {
        ink.bounds = piece.bounds;
        ink.pieces.push_back(std::move(piece));
    }
    return ink;
}

// The text cell of a run on the page, turned with the run.
QPolygonF cellOnPage(const DrawOp& op) {
    QTransform t;
    t.translate(op.a.x(), op.a.y());
    if (op.angle)
        t.rotate(-op.angle);
    return t.map(QPolygonF(QRectF(QPointF(0, 0), op.cell)));
}

bool curveStroke(const DrawOp& op) {
    return (op.kind == DrawOp::Kind::Line || op.kind == DrawOp::Kind::Point) &&
           op.constructKind == ConstructKind::Plot;
}

// label: no stroke of a plot (curves, axes, ticks and levels alike: a label sits clear
// of all of them) comes within kLabelAir of the glyph ink of a text run on the same
// drawing. A stroke drawn before an opaque run is taken where it still shows outside
// the cells of the opaque runs drawn after it, which are its halo (a blank opaque run
// is a patch of paper laid over the curves); strokes and text in the background
// colour leave no ink.
void checkLabels(const std::vector<DrawOp>& ops, Rgb background, std::vector<TypeFault>& out) {
    struct Label {
        std::size_t op;
        Ink ink;
    };
    std::size_t start = 0;
    while (start < ops.size()) {
        std::size_t end = start;
        while (end < ops.size() && (end == start || ops[end].kind != DrawOp::Kind::Clear))
            ++end;
        if (ops[start].kind == DrawOp::Kind::Clear)
            background = ops[start].color;
        std::vector<Label> labels;
        // Opaque text cells (blank ones too: a run of spaces is a patch of paper).
        std::vector<std::pair<std::size_t, QPolygonF>> cells;
        bool anyStroke = false;
        for (std::size_t i = start; i < end; ++i) {
            const DrawOp& op = ops[i];
            if (op.kind == DrawOp::Kind::Text && op.opaque && op.back == background)
                cells.emplace_back(i, cellOnPage(op));
            if (op.color == background)
                continue;
            if (op.kind == DrawOp::Kind::Text && !op.text.trimmed().isEmpty()) {
                Ink ink = inkOf(op);
                if (!ink.empty())
                    labels.push_back({i, std::move(ink)});
            } else if (curveStroke(op)) {
                anyStroke = true;
            }
        }
        if (anyStroke && !labels.empty())
            for (std::size_t i = start; i < end; ++i) {
                const DrawOp& stroke = ops[i];
                if (!curveStroke(stroke) || stroke.color == background)
                    continue;
                const double reach = stroke.width / 2.0 + 1 + kLabelAir;
                const QRectF box = QRectF(stroke.a, stroke.b).normalized().adjusted(-reach, -reach, reach, reach);
                std::optional<Ink> shown;
                for (const Label& label : labels) {
                    if (!box.intersects(label.ink.bounds))
                        continue;
                    if (!shown) {
                        std::vector<QPolygonF> covers;
                        for (const auto& [at, cell] : cells)
                            if (at > i && box.intersects(cell.boundingRect()))
                                covers.push_back(cell);
                        shown = strokeInkOutside(stroke, covers);
                    }
                    const auto d = inkDistance(*shown, label.ink, kLabelAir);
                    if (!d)
                        continue;
                    const DrawOp& text = ops[label.op];
                    out.push_back({QStringLiteral("label"), inkLabel(text),
                                   QStringLiteral("the stroke from %1 to %2 (width %3) comes %4 px from its ink, "
                                                  "less than %5 px, at %6")
                                       .arg(point(stroke.a), point(stroke.b))
                                       .arg(stroke.width)
                                       .arg(d->distance, 0, 'f', 2)
                                       .arg(kLabelAir, 0, 'f', 1)
                                       .arg(point(d->at)),
                                   label.op});
                }
            }
        start = end;
    }
}

} // namespace

double ruleOffPixel(const DrawOp& op) {
    if (op.kind != DrawOp::Kind::Line || op.width > 2)
        return -1;
    const bool horizontal = op.a.y() == op.b.y();
    const bool vertical = op.a.x() == op.b.x();
    if (horizontal == vertical)
        return -1;
    const double length = horizontal ? std::abs(op.b.x() - op.a.x()) : std::abs(op.b.y() - op.a.y());
    if (length < 2)
        return -1;
    const double o = (op.width % 2) ? 0.5 : 0.0;
    const double edge = (horizontal ? op.a.y() : op.a.x()) + o - op.width / 2.0;
    return std::abs(edge - std::round(edge));
}

std::vector<TypeFault> typeFaults(const Surface& g) {
    std::vector<TypeFault> out;
    const std::vector<DrawOp>& ops = g.ops();
    Rgb background = g.BackColor;
    checkBaselines(ops, background, out);
    checkScripts(ops, background, out);
    checkFit(ops, background, out);
    checkLabels(ops, background, out);
    for (std::size_t i = 0; i < ops.size(); ++i) {
        const DrawOp& op = ops[i];
        if (op.kind == DrawOp::Kind::Clear) {
            background = op.color;
            continue;
        }
        if (op.color == background)
            continue;
        if (op.kind == DrawOp::Kind::Text) {
            checkMinus(g.fonts(), ops, op, i, out);
            checkRuleText(op, i, out);
            // Two bar characters side by side on one baseline make one bar of two pieces.
            if (ruleCharacter(op))
                for (std::size_t j = i + 1; j < ops.size(); ++j) {
                    const DrawOp& next = ops[j];
                    if (!ruleCharacter(next) || std::abs(next.a.y() + next.ascent - op.a.y() - op.ascent) > 0.5)
                        continue;
                    if (inkDistance(inkOf(op), inkOf(next), kInkGap)) {
                        out.push_back({QStringLiteral("rule"), inkLabel(op),
                                       QStringLiteral("a bar drawn in pieces with %1").arg(inkLabel(next)), i});
                        break;
                    }
                }
            continue;
        }
        const double off = ruleOffPixel(op);
        if (off > kPixelTolerance)
            out.push_back({QStringLiteral("rule"), inkLabel(op),
                           QStringLiteral("edges %1 px off whole pixels at 1x (from %2 to %3, width %4)")
                               .arg(off, 0, 'f', 2)
                               .arg(point(op.a), point(op.b))
                               .arg(op.width),
                           i});
    }
    return out;
}

} // namespace course::testing
