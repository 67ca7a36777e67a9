// SPDX-License-Identifier: GPL-3.0-or-later
#include "InkCheck.h"

#include <QHash>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <limits>

namespace course::testing {

namespace {

// Outlines are flattened at this magnification, so that the chords of their curves
// stay within a small fraction of the gap.
constexpr double kFlatten = 8.0;

InkPiece pieceOf(const QPainterPath& path) {
    InkPiece piece;
    const QTransform up = QTransform::fromScale(kFlatten, kFlatten);
    const QTransform down = QTransform::fromScale(1 / kFlatten, 1 / kFlatten);
    for (const QPolygonF& poly : up.map(path).toSubpathPolygons()) {
        if (poly.size() < 3)
            continue;
        piece.outlines.push_back(down.map(poly));
        piece.bounds |= piece.outlines.back().boundingRect();
    }
    return piece;
}

// Glyph outlines of a run drawn at the origin, unturned (runs repeat: cached).
const std::vector<InkPiece>& textPieces(const DrawOp& op) {
    static QHash<QString, std::vector<InkPiece>> cache;
    const QString key = QStringLiteral("%1|%2|%3|%4|%5|%6")
                            .arg(op.fontName)
                            .arg(op.fontSize)
                            .arg(op.bold)
                            .arg(op.italic)
                            .arg(op.ascent)
                            .arg(op.text);
    auto it = cache.find(key);
    if (it != cache.end())
        return *it;
    DrawOp atOrigin = op;
    atOrigin.a = QPointF(0, 0);
    atOrigin.angle = 0;
    std::vector<InkPiece> pieces;
    for (const QPainterPath& glyph : glyphOutlines(atOrigin)) {
        InkPiece piece = pieceOf(glyph);
        if (!piece.outlines.empty())
            pieces.push_back(std::move(piece));
    }
    return *cache.insert(key, std::move(pieces));
}

double lineOffset(int width) { return (width % 2) ? 0.5 : 0.0; }

// Signed area sense does not matter: the winding number of p over all outlines.
int winding(const std::vector<QPolygonF>& outlines, QPointF p) {
    int w = 0;
    for (const QPolygonF& poly : outlines) {
        const qsizetype n = poly.size();
        for (qsizetype i = 0; i < n; ++i) {
            const QPointF a = poly[i];
            const QPointF b = poly[(i + 1) % n];
            const double cross = (b.x() - a.x()) * (p.y() - a.y()) - (p.x() - a.x()) * (b.y() - a.y());
            if (a.y() <= p.y()) {
                if (b.y() > p.y() && cross > 0)
                    ++w;
            } else if (b.y() <= p.y() && cross < 0) {
                --w;
            }
        }
    }
    return w;
}

struct Segment {
    QPointF a, b;
    QRectF box;
};

std::vector<Segment> segmentsNear(const InkPiece& piece, const QRectF& area) {
    std::vector<Segment> out;
    for (const QPolygonF& poly : piece.outlines) {
        const qsizetype n = poly.size();
        for (qsizetype i = 0; i < n; ++i) {
            const QPointF a = poly[i];
            const QPointF b = poly[(i + 1) % n];
            const QRectF box = QRectF(a, b).normalized();
            if (box.right() < area.left() || box.left() > area.right() || box.bottom() < area.top() ||
                box.top() > area.bottom())
                continue;
            out.push_back({a, b, box});
        }
    }
    return out;
}

double cross(QPointF o, QPointF a, QPointF b) {
    return (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x());
}

// Closest point of segment [a, b] to p.
QPointF closestOn(QPointF a, QPointF b, QPointF p) {
    const QPointF d = b - a;
    const double len2 = QPointF::dotProduct(d, d);
    if (len2 == 0)
        return a;
    const double t = std::clamp(QPointF::dotProduct(p - a, d) / len2, 0.0, 1.0);
    return a + t * d;
}

double dist(QPointF a, QPointF b) { return std::hypot(a.x() - b.x(), a.y() - b.y()); }

// Distance between two segments and the midpoint of their closest points.
InkDistance segmentDistance(const Segment& s, const Segment& t) {
    const double d1 = cross(s.a, s.b, t.a), d2 = cross(s.a, s.b, t.b);
    const double d3 = cross(t.a, t.b, s.a), d4 = cross(t.a, t.b, s.b);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0))) {
        const double u = d1 / (d1 - d2);
        return {0, t.a + u * (t.b - t.a)};
    }
    InkDistance best{std::numeric_limits<double>::infinity(), {}};
    auto consider = [&](QPointF p, QPointF q) {
        const double d = dist(p, q);
        if (d < best.distance)
            best = {d, (p + q) / 2};
    };
    consider(s.a, closestOn(t.a, t.b, s.a));
    consider(s.b, closestOn(t.a, t.b, s.b));
    consider(t.a, closestOn(s.a, s.b, t.a));
    consider(t.b, closestOn(s.a, s.b, t.b));
    return best;
}

bool near(const QRectF& a, const QRectF& b, double limit) {
    return a.left() - limit < b.right() && b.left() - limit < a.right() && a.top() - limit < b.bottom() &&
           b.top() - limit < a.bottom();
}

std::optional<InkDistance> pieceDistance(const InkPiece& p, const InkPiece& q, double limit) {
    const QRectF pArea = p.bounds.adjusted(-limit, -limit, limit, limit);
    const QRectF qArea = q.bounds.adjusted(-limit, -limit, limit, limit);
    const std::vector<Segment> ps = segmentsNear(p, qArea);
    const std::vector<Segment> qs = segmentsNear(q, pArea);
    std::optional<InkDistance> best;
    for (const Segment& s : ps) {
        const QRectF sArea = s.box.adjusted(-limit, -limit, limit, limit);
        for (const Segment& t : qs) {
            if (!near(sArea, t.box, 0) && !sArea.intersects(t.box))
                continue;
            const InkDistance d = segmentDistance(s, t);
            if (d.distance < limit && (!best || d.distance < best->distance)) {
                best = d;
                if (d.distance == 0)
                    return best;
            }
        }
    }
    // One inside the other without crossing edges.
    for (const QPolygonF& poly : p.outlines)
        if (q.bounds.contains(poly.front()) && winding(q.outlines, poly.front()) != 0)
            return InkDistance{0, poly.front()};
    for (const QPolygonF& poly : q.outlines)
        if (p.bounds.contains(poly.front()) && winding(p.outlines, poly.front()) != 0)
            return InkDistance{0, poly.front()};
    return best;
}

bool plotStroke(const DrawOp& op) {
    return op.kind != DrawOp::Kind::Text && op.constructKind == ConstructKind::Plot;
}

bool isRuleText(const QString& s) {
    bool any = false;
    for (QChar c : s) {
        if (c == u'─' || c == u'―' || c == u'━')
            any = true;
        else if (c != u' ' && c != QChar(0x3000))
            return false;
    }
    return any;
}

bool sameSpot(QPointF a, QPointF b) {
    return std::abs(a.x() - b.x()) < 1e-6 && std::abs(a.y() - b.y()) < 1e-6;
}

// Why two contacting operations are meant to join, or an empty string.
QString construct(const std::vector<DrawOp>& ops, std::size_t i, std::size_t j) {
    const DrawOp& a = ops[i];
    const DrawOp& b = ops[j];
    if (a.construct != 0 && a.construct == b.construct && a.constructKind != ConstructKind::Plot)
        return constructName(a.constructKind);
    using K = DrawOp::Kind;
    if (a.kind == K::Line && b.kind == K::Line) {
        if (j == i + 1 &&
            (sameSpot(a.b, b.a) || sameSpot(a.a, b.a) || sameSpot(a.b, b.b) || sameSpot(a.a, b.b)))
            return QStringLiteral("polyline");
    }
    if (a.kind == K::Text && b.kind == K::Text) {
        if (a.text == b.text && sameSpot(a.a, b.a) && a.fontName == b.fontName && a.fontSize == b.fontSize &&
            a.bold == b.bold && a.italic == b.italic && a.angle == b.angle)
            return QStringLiteral("overprint");
        if (isRuleText(a.text) && isRuleText(b.text) && a.a.y() + a.ascent == b.a.y() + b.ascent &&
            a.fontSize == b.fontSize)
            return QStringLiteral("rule");
    }
    return {};
}

} // namespace

Ink inkOf(const DrawOp& op) {
    Ink ink;
    switch (op.kind) {
    case DrawOp::Kind::Clear: break;
    case DrawOp::Kind::Text: {
        QTransform t;
        t.translate(op.a.x(), op.a.y());
        if (op.angle)
            t.rotate(-op.angle);
        for (const InkPiece& p : textPieces(op)) {
            InkPiece moved;
            for (const QPolygonF& poly : p.outlines) {
                moved.outlines.push_back(t.map(poly));
                moved.bounds |= moved.outlines.back().boundingRect();
            }
            ink.pieces.push_back(std::move(moved));
        }
        break;
    }
    case DrawOp::Kind::Line: {
        const double o = lineOffset(op.width);
        const QPointF a = op.a + QPointF(o, o);
        const QPointF b = op.b + QPointF(o, o);
        QPainterPath path;
        if (a == b) {
            const double r = op.width / 2.0;
            path.addEllipse(a, r, r);
        } else {
            QPainterPath line(a);
            line.lineTo(b);
            QPainterPathStroker stroker;
            stroker.setWidth(op.width);
            stroker.setCapStyle(Qt::RoundCap);
            stroker.setJoinStyle(Qt::RoundJoin);
            path = stroker.createStroke(line);
        }
        ink.pieces.push_back(pieceOf(path));
        break;
    }
    case DrawOp::Kind::Point: {
        const double w = std::max(1, op.width);
        const double o = lineOffset(op.width);
        QPainterPath path;
        path.addRect(QRectF(op.a.x() + o - w / 2, op.a.y() + o - w / 2, w, w));
        ink.pieces.push_back(pieceOf(path));
        break;
    }
    }
    for (const InkPiece& p : ink.pieces)
        ink.bounds |= p.bounds;
    return ink;
}

std::optional<InkDistance> inkDistance(const Ink& a, const Ink& b, double limit) {
    if (a.empty() || b.empty() || !near(a.bounds, b.bounds, limit))
        return std::nullopt;
    std::optional<InkDistance> best;
    for (const InkPiece& p : a.pieces)
        for (const InkPiece& q : b.pieces) {
            if (!near(p.bounds, q.bounds, limit))
                continue;
            const std::optional<InkDistance> d = pieceDistance(p, q, limit);
            if (d && (!best || d->distance < best->distance))
                best = d;
            if (best && best->distance == 0)
                return best;
        }
    return best;
}

QString inkLabel(const DrawOp& op) {
    auto pt = [](QPointF p) {
        return QStringLiteral("(%1, %2)").arg(p.x(), 0, 'f', 1).arg(p.y(), 0, 'f', 1);
    };
    switch (op.kind) {
    case DrawOp::Kind::Text: return QStringLiteral("\"%1\"").arg(op.text);
    case DrawOp::Kind::Line: return QStringLiteral("line %1–%2").arg(pt(op.a), pt(op.b));
    case DrawOp::Kind::Point: return QStringLiteral("point %1").arg(pt(op.a));
    case DrawOp::Kind::Clear: break;
    }
    return QStringLiteral("clear");
}

std::vector<InkContact> inkContacts(const Surface& g, double gap) {
    const std::vector<DrawOp>& ops = g.ops();
    Rgb background = g.BackColor;
    std::vector<Ink> inks(ops.size());
    for (std::size_t i = 0; i < ops.size(); ++i) {
        if (ops[i].kind == DrawOp::Kind::Clear)
            background = ops[i].color;
        else if (ops[i].color != background)
            inks[i] = inkOf(ops[i]);
    }
    std::vector<bool> plotStrokes(ops.size());
    for (std::size_t i = 0; i < ops.size(); ++i)
        plotStrokes[i] = plotStroke(ops[i]);
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < ops.size(); ++i)
        if (!inks[i].empty())
            order.push_back(i);
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return inks[a].bounds.left() < inks[b].bounds.left(); });

    std::vector<InkContact> contacts;
    for (std::size_t m = 0; m < order.size(); ++m) {
        const Ink& a = inks[order[m]];
        for (std::size_t n = m + 1; n < order.size(); ++n) {
            const Ink& b = inks[order[n]];
            if (b.bounds.left() >= a.bounds.right() + gap)
                break;
            if (plotStrokes[order[m]] && plotStrokes[order[n]])
                continue;
            const std::optional<InkDistance> d = inkDistance(a, b, gap);
            if (!d)
                continue;
            InkContact c;
            c.first = std::min(order[m], order[n]);
            c.second = std::max(order[m], order[n]);
            c.firstLabel = inkLabel(ops[c.first]);
            c.secondLabel = inkLabel(ops[c.second]);
            c.where = *d;
            c.construct = construct(ops, c.first, c.second);
            contacts.push_back(std::move(c));
        }
    }
    std::sort(contacts.begin(), contacts.end(), [](const InkContact& a, const InkContact& b) {
        return std::pair(a.first, a.second) < std::pair(b.first, b.second);
    });
    return contacts;
}

} // namespace course::testing
