// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/textruns/PageText.h>

#include <engine/textruns/FontTable.h>

#include <QHash>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <optional>

namespace course {

namespace {

// Runs smaller than their line by this factor are scripts; within it, of the line's size.
constexpr double kScriptRatio = 0.92;
// Runs of the line's size belong to it when their baselines are this close (× line height).
constexpr double kSameLine = 0.3;
// A script's middle sits this far (× line height) above or below the line's.
constexpr double kScriptShift = 0.12;
// Scripts and large signs belong to a line when their middle lies on its band, widened
// by this much (× line height) above and below.
constexpr double kBandSlack = 0.35;
// A horizontal gap wider than this (× line height) reads as a space.
constexpr double kSpaceGap = 0.3;
// Lines further apart than this (× line height) are separated by an empty line.
constexpr double kParagraphGap = 1.9;

QString pieceText(char32_t c) {
    switch (c) {
    case 0x2320: return QStringLiteral("∫"); // upper half of an integral sign
    case 0x239B: return QStringLiteral("(");
    case 0x239E: return QStringLiteral(")");
    case 0x23A1: return QStringLiteral("[");
    case 0x23A4: return QStringLiteral("]");
    default: break;
    }
    const bool graphical = c == 0x2321 || c == 0x23AE || (c >= 0x239C && c <= 0x23AD) || c == 0x23D0 ||
                           c == 0x23AF || c == 0x203E || (c >= 0xF000 && c <= 0xF0FF);
    return graphical ? QString() : QString::fromUcs4(&c, 1);
}

// The pieces large signs are built from: they take the middle of their whole sign and
// find their line by it.
bool largeSignPiece(const DrawOp& op) {
    switch (op.constructKind) {
    case ConstructKind::Integral:
    case ConstructKind::Bracket:
    case ConstructKind::Brace: return true;
    default: return false;
    }
}

enum class Role { Base, Sup, Sub };

struct Token {
    QString text;
    QRectF cell;
    double baseline = 0;
    double size = 0;
    double centre = 0; // vertical centre; a piece takes that of its whole sign
    bool bodyFace = false; // drawn in the body font, whose cell makes a line's height
    bool piece = false;
    int radical = 0; // the radical construct whose sign this is, 0 for none
    Role role = Role::Base;
};

struct Line {
    double baseline = 0;
    double top = 0;
    double height = 0;
    double size = 0;
    std::vector<int> tokens;
};

bool sameSize(double a, double lineSize) {
    const double r = a / lineSize;
    return r >= kScriptRatio && r <= 1 / kScriptRatio;
}

std::vector<Token> tokensOf(const Surface& g) {
    std::vector<Token> tokens;
    QHash<int, QRectF> constructCells;
    for (const DrawOp& op : g.ops())
        if (op.kind == DrawOp::Kind::Text && op.construct)
            constructCells[op.construct] |= QRectF(op.a, op.cell);
    int accentOf = 0; // construct of the last letter that an accent may go over
    for (const DrawOp& op : g.ops()) {
        if (op.kind != DrawOp::Kind::Text)
            continue;
        // An accent over a letter becomes the combining mark after it.
        if (op.constructKind == ConstructKind::Accent && op.construct == accentOf && !tokens.empty() &&
            op.text == QStringLiteral("~")) {
            tokens.back().text += QChar(0x0303);
            continue;
        }
        Token t;
        t.text = readableText(op);
        if (t.text.trimmed().isEmpty())
            continue;
        t.cell = QRectF(op.a, op.cell);
        t.baseline = op.a.y() + op.ascent;
        t.size = op.nominalSize;
        t.bodyFace = op.fontName == QStringLiteral("メイリオ");
        t.piece = largeSignPiece(op);
        t.centre = (t.piece ? constructCells.value(op.construct) : t.cell).center().y();
        if (op.constructKind == ConstructKind::Radical && t.text.trimmed() == QStringLiteral("√"))
            t.radical = op.construct;
        accentOf = op.constructKind == ConstructKind::Accent ? op.construct : 0;
        tokens.push_back(std::move(t));
    }
    return tokens;
}

// The nominal size most of the page's characters are drawn at.
double bodySize(const std::vector<Token>& tokens) {
    QHash<qint64, qsizetype> count;
    for (const Token& t : tokens)
        count[std::llround(t.size * 100)] += t.text.size();
    qint64 best = 0;
    qsizetype most = -1;
    for (auto it = count.cbegin(); it != count.cend(); ++it)
        if (it.value() > most || (it.value() == most && it.key() > best)) {
            best = it.key();
            most = it.value();
        }
    return best / 100.0;
}

// The stroke of a fraction: a short horizontal line, or a run of horizontal bar
// characters, with its own text (numerator, denominator) right above and below.
struct Bar {
    double x1 = 0, x2 = 0, y = 0;
    std::vector<int> runs; // the bar's own runs, when it is drawn with characters
};

bool barText(const QString& s) {
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c == u'―' || c == u'─' || c == u'—'; });
}

std::vector<Bar> barsOf(const Surface& g, const std::vector<Token>& tokens, double H) {
    std::vector<Bar> bars;
    for (const DrawOp& op : g.ops()) {
        if (op.kind != DrawOp::Kind::Line || op.constructKind == ConstructKind::Plot ||
            op.constructKind == ConstructKind::Radical || std::abs(op.a.y() - op.b.y()) > 0.5)
            continue;
        const double len = std::abs(op.b.x() - op.a.x());
        if (len >= 0.3 * H && len <= 12 * H)
            bars.push_back({std::min(op.a.x(), op.b.x()), std::max(op.a.x(), op.b.x()), op.a.y(), {}});
    }
    // Bar characters side by side make one bar.
    std::vector<int> chars;
    for (int k = 0; k < int(tokens.size()); ++k)
        if (barText(tokens[k].text.trimmed()))
            chars.push_back(k);
    std::sort(chars.begin(), chars.end(),
              [&](int a, int b) { return tokens[a].cell.left() < tokens[b].cell.left(); });
    std::vector<Bar> drawn;
    for (int k : chars) {
        const QRectF& c = tokens[k].cell;
        auto joins = std::find_if(drawn.begin(), drawn.end(), [&](const Bar& b) {
            return std::abs(b.y - c.center().y()) < 1 && c.left() - b.x2 < 2 && c.left() >= b.x1;
        });
        if (joins != drawn.end()) {
            joins->x2 = std::max(joins->x2, c.right());
            joins->runs.push_back(k);
        } else {
            drawn.push_back({c.left(), c.right(), c.center().y(), {k}});
        }
    }
    bars.insert(bars.end(), drawn.begin(), drawn.end());
    // Inner fractions first, so that an outer one takes them whole.
    std::stable_sort(bars.begin(), bars.end(),
                     [](const Bar& a, const Bar& b) { return a.x2 - a.x1 < b.x2 - b.x1; });
    return bars;
}

std::vector<Line> gatherLines(std::vector<Token>& tokens, double body);
void writeLine(PageTextLayout& out, const Line& l, const std::vector<Token>& tokens);

// Numerator or denominator as one line of text, in parentheses unless it is one word.
// A few runs (a numerator, the limit of a sum) as one line of text.
QString partText(std::vector<Token> part) {
    PageTextLayout out;
    // Its base line is the size most of its larger characters have; the runs well
    // below the largest are its scripts.
    double largest = 0;
    for (const Token& t : part)
        largest = std::max(largest, t.size);
    std::vector<Token> large;
    for (const Token& t : part)
        if (t.size >= 0.8 * largest)
            large.push_back(t);
    const std::vector<Line> lines = gatherLines(part, bodySize(large));
    for (const Line& l : lines) {
        if (!out.text.isEmpty())
            out.text += u' ';
        writeLine(out, l, part);
    }
    return out.text.simplified();
}

// Numerator or denominator, in parentheses unless it is one word.
QString fractionPart(std::vector<Token> part) {
    const QString text = partText(std::move(part));
    const bool word = std::all_of(text.begin(), text.end(), [](QChar c) { return c.isLetterOrNumber(); });
    return word ? text : u'(' + text + u')';
}

// A script in the page's notation: mark and text, in parentheses unless one character.
QString script(QChar mark, const QString& text) {
    if (text.isEmpty())
        return {};
    return text.toUcs4().size() == 1 ? mark + text : mark + (u'(' + text + u')');
}

// Keeps the tokens not marked gone, in order, followed by `added` (the runs that
// replace the gone ones).
void dropGone(std::vector<Token>& tokens, const std::vector<bool>& gone, std::vector<Token> added = {}) {
    std::vector<Token> kept;
    for (std::size_t k = 0; k < tokens.size(); ++k)
        if (!gone[k])
            kept.push_back(std::move(tokens[k]));
    for (Token& t : added)
        kept.push_back(std::move(t));
    tokens.swap(kept);
}

// The limits set above and below a large sum sign become its scripts: "∑_(n=0)^∞".
void foldLimits(std::vector<Token>& tokens, double H, double body) {
    std::vector<bool> gone(tokens.size(), false);
    for (std::size_t o = 0; o < tokens.size(); ++o) {
        if (gone[o] || tokens[o].text.trimmed() != QStringLiteral("∑") || tokens[o].size < 1.5 * body)
            continue;
        const QRectF sign = tokens[o].cell;
        const double middle = tokens[o].centre;
        std::vector<Token> above, below;
        for (std::size_t k = 0; k < tokens.size(); ++k) {
            const Token& t = tokens[k];
            const double cx = t.cell.center().x();
            if (k == o || gone[k] || t.size >= 0.95 * body || cx < sign.left() - 0.2 * H ||
                cx > sign.right() + 0.2 * H)
                continue;
            if (t.centre < middle - 0.25 * sign.height() && t.cell.bottom() > sign.top() - 0.6 * H)
                above.push_back(t);
            else if (t.centre > middle + 0.25 * sign.height() && t.cell.top() < sign.bottom() + 0.6 * H)
                below.push_back(t);
            else
                continue;
            gone[k] = true;
        }
        if (!below.empty())
            tokens[o].text += script(u'_', partText(below));
        if (!above.empty())
            tokens[o].text += script(u'^', partText(above));
    }
    dropGone(tokens, gone);
}

// The runs above and below a bar that are a fraction's numerator and denominator.
struct FractionParts {
    std::vector<int> above, below;
    bool has(int k) const {
        return std::find(above.begin(), above.end(), k) != above.end() ||
               std::find(below.begin(), below.end(), k) != below.end();
    }
};

bool ownRun(const Bar& bar, int k) { return std::find(bar.runs.begin(), bar.runs.end(), k) != bar.runs.end(); }

// How far a part may reach past either end of its bar (× line height).
constexpr double kBarMargin = 0.25;

// The runs whose cells reach the bar from right above or below it, between its ends.
// None when text runs across an end of the bar (the stroke underlines or strikes it) or
// one side is empty.
std::optional<FractionParts> partsAtBar(const Bar& bar, const std::vector<Token>& tokens,
                                        const std::vector<bool>& gone, double H) {
    const double margin = kBarMargin * H;
    FractionParts parts;
    for (int k = 0; k < int(tokens.size()); ++k) {
        // The bar of another fraction (drawn with characters) is no text above or
        // below this one, whatever its length.
        if (gone[k] || ownRun(bar, k) || barText(tokens[k].text.trimmed()))
            continue;
        const Token& t = tokens[k];
        const double dy = t.centre - bar.y;
        if (std::abs(dy) < 0.2 * H || std::abs(dy) > 1.15 * H)
            continue;
        if (t.cell.right() <= bar.x1 || t.cell.left() >= bar.x2)
            continue;
        if (t.cell.left() < bar.x1 - margin || t.cell.right() > bar.x2 + margin)
            return std::nullopt;
        // A part's cells reach the bar; text of the next line up or down, within
        // reach of the middle only where lines are close, does not.
        if ((dy < 0 ? bar.y - t.cell.bottom() : t.cell.top() - bar.y) > 0.5 * H)
            continue;
        (dy < 0 ? parts.above : parts.below).push_back(k);
    }
    if (parts.above.empty() || parts.below.empty())
        return std::nullopt;
    return parts;
}

// Whether `t` is a script of one of the runs `core`: smaller, its middle within the
// base's cell (a script of the next line down or up only touches it), beside it.
bool scriptOfAny(const Token& t, const std::vector<int>& core, const std::vector<Token>& tokens, double margin) {
    const double middle = t.cell.center().y();
    return std::any_of(core.begin(), core.end(), [&](int c) {
        const QRectF& b = tokens[c].cell;
        return t.size < kScriptRatio * tokens[c].size && middle > b.top() && middle < b.bottom() &&
               t.cell.left() < b.right() + margin && t.cell.right() > b.left() - margin;
    });
}

// Adds to each part the scripts of its runs that reach further from the bar.
void addPartScripts(const Bar& bar, FractionParts& parts, const std::vector<Token>& tokens,
                    const std::vector<bool>& gone, double H) {
    const double margin = kBarMargin * H;
    for (std::vector<int>* side : {&parts.above, &parts.below}) {
        const std::vector<int> core = *side;
        for (int k = 0; k < int(tokens.size()); ++k) {
            const Token& t = tokens[k];
            if (gone[k] || ownRun(bar, k) || parts.has(k))
                continue;
            if (t.cell.left() < bar.x1 - margin || t.cell.right() > bar.x2 + H)
                continue;
            if (scriptOfAny(t, core, tokens, margin))
                side->push_back(k);
        }
    }
}

// The fraction as one run "numerator/denominator" on the bar's line; its parts and its
// bar's own runs are marked gone.
Token fractionRun(const Bar& bar, const FractionParts& parts, const std::vector<Token>& tokens,
                  std::vector<bool>& gone) {
    Token f;
    f.cell = QRectF(bar.x1, bar.y, bar.x2 - bar.x1, 0);
    auto part = [&](const std::vector<int>& ks) {
        std::vector<Token> ts;
        for (int k : ks) {
            ts.push_back(tokens[k]);
            f.cell |= tokens[k].cell;
            gone[k] = true;
        }
        return fractionPart(std::move(ts));
    };
    f.text = part(parts.above);
    f.text += u'/' + part(parts.below);
    f.baseline = f.centre = bar.y;
    f.size = tokens[parts.above.front()].size;
    f.piece = true;
    for (int k : bar.runs)
        gone[k] = true;
    return f;
}

// Replaces each fraction's runs by one run "numerator/denominator" on the bar's line.
// Inner fractions are folded first and are then a run of an outer one's part.
void foldFractions(const Surface& g, std::vector<Token>& tokens, double H) {
    std::vector<bool> gone(tokens.size(), false);
    for (const Bar& bar : barsOf(g, tokens, H)) {
        if (std::any_of(bar.runs.begin(), bar.runs.end(), [&](int k) { return gone[k]; }))
            continue;
        std::optional<FractionParts> parts = partsAtBar(bar, tokens, gone, H);
        if (!parts)
            continue;
        addPartScripts(bar, *parts, tokens, gone, H);
        Token f = fractionRun(bar, *parts, tokens, gone);
        tokens.push_back(std::move(f));
        gone.push_back(false);
    }
    dropGone(tokens, gone);
}

// Replaces each radical sign and what lies under its overline by one run "√x" or
// "√(…)" at the sign's place. Fractions inside the radicand are read first; a radical
// inside a fraction is then a run of that fraction's part.
void foldRadicals(const Surface& g, std::vector<Token>& tokens, double H) {
    std::vector<bool> gone(tokens.size(), false);
    std::vector<Token> folded;
    for (std::size_t s = 0; s < tokens.size(); ++s) {
        if (!tokens[s].radical || gone[s])
            continue;
        // The overline: the construct's longest horizontal stroke.
        double x1 = 0, x2 = 0, y = 0;
        for (const DrawOp& op : g.ops())
            if (op.kind == DrawOp::Kind::Line && op.construct == tokens[s].radical &&
                std::abs(op.a.y() - op.b.y()) <= 0.5 && std::abs(op.b.x() - op.a.x()) > x2 - x1) {
                x1 = std::min(op.a.x(), op.b.x());
                x2 = std::max(op.a.x(), op.b.x());
                y = op.a.y();
            }
        const QRectF sign = tokens[s].cell;
        std::vector<Token> radicand;
        std::vector<std::size_t> taken;
        for (std::size_t k = 0; k < tokens.size(); ++k) {
            const Token& t = tokens[k];
            const QPointF c = t.cell.center();
            if (k == s || gone[k] || x2 - x1 < 1 || c.x() < x1 || c.x() > x2 || c.y() < y ||
                c.y() > sign.bottom() + 0.3 * H)
                continue;
            radicand.push_back(t);
            taken.push_back(k);
        }
        Token root = tokens[s];
        root.radical = 0;
        root.piece = true;
        if (!radicand.empty()) {
            QRectF under;
            for (const Token& t : radicand)
                under |= t.cell;
            foldFractions(g, radicand, H);
            const QString text = partText(std::move(radicand));
            // Parentheses unless one character: "√π", "√(4π)".
            root.text = QStringLiteral("√") + (text.toUcs4().size() == 1 ? text : u'(' + text + u')');
            root.cell |= under;
            root.size = std::max(root.size, tokens[taken.front()].size);
            for (std::size_t k : taken)
                gone[k] = true;
        }
        root.centre = root.cell.center().y();
        gone[s] = true;
        folded.push_back(std::move(root));
    }
    dropGone(tokens, gone, std::move(folded));
}

double horizontalDistance(const Token& t, const Line& l, const std::vector<Token>& tokens) {
    double d = std::numeric_limits<double>::max();
    for (int k : l.tokens) {
        const QRectF& c = tokens[k].cell;
        d = std::min(d, std::max({0.0, c.left() - t.cell.right(), t.cell.left() - c.right()}));
    }
    return d;
}

std::vector<Line> gatherLines(std::vector<Token>& tokens, double body) {
    // Text at the body size first, so that its lines exist before scripts and large
    // signs look for the line they belong to.
    std::vector<int> order(tokens.size());
    std::iota(order.begin(), order.end(), 0);
    auto distance = [&](const Token& t) {
        return t.piece ? std::numeric_limits<double>::max() : std::abs(std::log(t.size / body));
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const double da = distance(tokens[a]), db = distance(tokens[b]);
        if (da != db)
            return da < db;
        // Faces set on one baseline: the body text opens the line, so that a line is
        // as tall as its words whichever run was drawn first.
        const double ka = std::round(100 * tokens[a].baseline), kb = std::round(100 * tokens[b].baseline);
        if (ka != kb)
            return ka < kb;
        return tokens[a].bodyFace && !tokens[b].bodyFace;
    });

    std::vector<Line> lines;
    for (int k : order) {
        Token& t = tokens[k];
        int best = -1;
        double bestH = 0, bestV = 0;
        for (int i = 0; i < int(lines.size()); ++i) {
            const Line& l = lines[i];
            double h = 0, v = 0; // text beside it, then how far from the line's middle
            if (!t.piece && sameSize(t.size, l.size)) {
                v = std::abs(t.baseline - l.baseline);
                if (v > kSameLine * l.height)
                    continue;
            } else {
                // Scripts and large signs: their middle lies on the line's band; of two
                // such lines, the one with text nearest beside them.
                const double slack = kBandSlack * l.height;
                if (t.centre < l.top - slack || t.centre > l.top + l.height + slack)
                    continue;
                h = horizontalDistance(t, l, tokens);
                if (h <= 0.5 * l.height)
                    h = 0;
                v = std::abs(t.centre - (l.top + l.height / 2));
            }
            if (best < 0 || h < bestH || (h == bestH && v < bestV)) {
                best = i;
                bestH = h;
                bestV = v;
            }
        }
        if (best < 0) {
            lines.push_back({t.baseline, t.cell.top(), t.cell.height(), t.size, {}});
            best = int(lines.size()) - 1;
        }
        Line& l = lines[best];
        l.tokens.push_back(k);
        // A script's middle is raised or lowered against the line's; fonts differ too
        // much in where they put the baseline to go by that.
        const double shift = t.centre - (l.top + l.height / 2);
        if (!t.piece && t.size < kScriptRatio * l.size) {
            if (shift < -kScriptShift * l.height)
                t.role = Role::Sup;
            else if (shift > kScriptShift * l.height)
                t.role = Role::Sub;
        }
    }
    std::sort(lines.begin(), lines.end(),
              [](const Line& a, const Line& b) { return a.baseline < b.baseline; });
    return lines;
}

// Appends `s` to the layout, remembering the cell it came from.
void append(PageTextLayout& out, const QString& s, const QRectF& cell) {
    out.spans.push_back({int(out.text.size()), int(s.size()), cell});
    out.text += s;
}

void writeScript(PageTextLayout& out, QChar mark, const std::vector<const Token*>& script) {
    if (script.empty())
        return;
    QString joined;
    for (const Token* t : script)
        joined += t->text;
    joined = joined.trimmed();
    const bool single = joined.toUcs4().size() == 1;
    out.text += mark;
    if (!single)
        out.text += u'(';
    for (const Token* t : script) {
        append(out, t->text.trimmed(), t->cell);
    }
    if (!single)
        out.text += u')';
}

void writeLine(PageTextLayout& out, const Line& l, const std::vector<Token>& tokens) {
    std::vector<const Token*> row;
    for (int k : l.tokens)
        row.push_back(&tokens[k]);
    std::stable_sort(row.begin(), row.end(),
                     [](const Token* a, const Token* b) { return a->cell.left() < b->cell.left(); });
    // A letter drawn twice a pixel apart (a heavier stroke) is read once.
    std::vector<const Token*> kept;
    for (const Token* t : row) {
        const bool twice = std::any_of(kept.begin(), kept.end(), [t](const Token* k) {
            return k->text == t->text && k->role == t->role &&
                   std::abs(k->cell.left() - t->cell.left()) < 0.25 * t->cell.width() &&
                   std::abs(k->baseline - t->baseline) < 0.25 * t->cell.height();
        });
        if (!twice)
            kept.push_back(t);
    }
    row.swap(kept);
    const int lineStart = int(out.text.size());
    std::vector<const Token*> sub, sup;
    auto flushScripts = [&] {
        writeScript(out, u'_', sub);
        writeScript(out, u'^', sup);
        sub.clear();
        sup.clear();
    };
    double right = -std::numeric_limits<double>::max();
    for (const Token* t : row) {
        const bool gap =
            right > -std::numeric_limits<double>::max() && t->cell.left() - right > kSpaceGap * l.height;
        if (t->role == Role::Base) {
            flushScripts();
            if (gap && int(out.text.size()) > lineStart && !out.text.back().isSpace() &&
                !t->text.front().isSpace())
                out.text += u' ';
            append(out, t->text, t->cell);
        } else {
            (t->role == Role::Sub ? sub : sup).push_back(t);
        }
        right = std::max(right, t->cell.right());
    }
    flushScripts();
}

// Blanks collapsed and trimmed, keeping each span on the characters it drew.
PageTextLayout tidy(const PageTextLayout& raw) {
    PageTextLayout out;
    std::vector<int> spanOf(raw.text.size(), -1);
    for (int i = 0; i < int(raw.spans.size()); ++i)
        for (int c = 0; c < raw.spans[i].length; ++c)
            spanOf[raw.spans[i].start + c] = i;
    int lastSpan = -1;
    for (qsizetype c = 0; c < raw.text.size(); ++c) {
        const QChar ch = raw.text.at(c);
        const bool blank = ch == u' ' || ch == u'\t';
        if (blank && (out.text.isEmpty() || out.text.back() == u' ' || out.text.back() == u'\n'))
            continue;
        if (ch == u'\n' && !out.text.isEmpty() && out.text.back() == u' ')
            out.text.chop(1);
        const int s = spanOf[c];
        if (s >= 0 && !blank) {
            if (s == lastSpan && !out.spans.empty() &&
                out.spans.back().start + out.spans.back().length == int(out.text.size()))
                out.spans.back().length += 1;
            else
                out.spans.push_back({int(out.text.size()), 1, raw.spans[s].cell});
            lastSpan = s;
        } else {
            lastSpan = -1;
        }
        out.text += ch;
    }
    while (!out.text.isEmpty() && (out.text.back() == u' ' || out.text.back() == u'\n'))
        out.text.chop(1);
    while (!out.spans.empty() && out.spans.back().start >= out.text.size())
        out.spans.pop_back();
    return out;
}

} // namespace

QString readableText(const DrawOp& op) {
    if (op.kind != DrawOp::Kind::Text)
        return {};
    if (op.fontName != QStringLiteral("Symbol"))
        return op.text;
    // Symbol runs are recorded as Unicode where the Unicode Symbol face draws them,
    // else as the byte codes the installed Symbol face draws.
    const QString unicode = op.symbolTranslated ? op.text : symbolToUnicode(op.text);
    QString out;
    for (char32_t c : unicode.toUcs4())
        out += pieceText(c);
    return out;
}

PageTextLayout pageTextLayout(const Surface& g) {
    std::vector<Token> tokens = tokensOf(g);
    const double body = bodySize(tokens);
    const auto bodyToken =
        std::find_if(tokens.begin(), tokens.end(), [body](const Token& t) { return t.size == body; });
    if (bodyToken != tokens.end()) {
        const double lineHeight = bodyToken->cell.height();
        foldRadicals(g, tokens, lineHeight);
        foldFractions(g, tokens, lineHeight);
        foldLimits(tokens, lineHeight, body);
    }
    const std::vector<Line> lines = gatherLines(tokens, bodySize(tokens));
    PageTextLayout raw;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            raw.text += u'\n';
            const Line& prev = lines[i - 1];
            if (lines[i].baseline - prev.baseline > kParagraphGap * prev.height)
                raw.text += u'\n';
        }
        writeLine(raw, lines[i], tokens);
    }
    return tidy(raw);
}

QString pageText(const Surface& g) { return pageTextLayout(g).text; }

} // namespace course
