// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/textruns/OpPainter.h>

#include <engine/system/VectorState.h>
#include <engine/textruns/Units.h>

#include <QPaintEngine>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace course {

namespace {
using units::lineOffset;

// How far a joined segment reaches back into the one before it, pixels: the ends of
// the two meet inside painted ink, so no seam of half-covered pixels shows where they
// abut.
constexpr double kReachBack = 0.5;
// A wedge's straight edges lie this far inside the segments beside it, radians.
constexpr double kWedgeOverlap = 0.1;
// The largest gap between a wedge's arc and the true circle, pixels.
constexpr double kArcSagitta = 0.02;

QPointF unit(QPointF d) {
    const double length = std::hypot(d.x(), d.y());
    return length > 0 ? d / length : QPointF();
}
double cross(QPointF u, QPointF v) { return u.x() * v.y() - u.y() * v.x(); }
double dot(QPointF u, QPointF v) { return u.x() * v.x() + u.y() * v.y(); }
} // namespace

namespace {
// Paints a text run in `f`, its font on the painter's device.
void paintTextIn(QPainter& p, const DrawOp& op, const QFont& f) {
    p.save();
    p.translate(op.a);
    if (op.angle)
        p.rotate(-op.angle);
    if (op.opaque)
        p.fillRect(QRectF(QPointF(0, 0), op.cell), toQColor(op.back));
    p.setFont(f);
    p.setPen(toQColor(op.color));
    p.drawText(QPointF(0, op.ascent), op.text);
    p.restore();
}
} // namespace

void paintOp(QPainter& p, const DrawOp& op) {
    switch (op.kind) {
    case DrawOp::Kind::Clear: p.fillRect(QRectF(-1e5, -1e5, 2e5, 2e5), toQColor(op.color)); break;
    case DrawOp::Kind::Line: {
        QPen pen(toQColor(op.color), op.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(pen);
        const double o = lineOffset(op.width);
        p.drawLine(op.a + QPointF(o, o), op.b + QPointF(o, o));
        break;
    }
    case DrawOp::Kind::Point: {
        const double w = std::max(1, op.width);
        const double o = lineOffset(op.width);
        p.fillRect(QRectF(op.a.x() + o - w / 2, op.a.y() + o - w / 2, w, w), toQColor(op.color));
        break;
    }
    case DrawOp::Kind::Text: {
        const double dpi = p.device() ? p.device()->logicalDpiY() : units::kLogicalDpi;
        paintTextIn(p, op, fontOf(op, dpi));
        break;
    }
    }
}

bool joinsIntoCurves(const DrawOp& op) { return op.kind == DrawOp::Kind::Line && op.width >= 2; }

OpPainter::OpPainter(QPainter& p)
    : p_(p), fast_(p.paintEngine() && p.paintEngine()->type() == QPaintEngine::Raster) {}

OpPainter::~OpPainter() { finish(); }

bool OpPainter::joins(const DrawOp& op) const {
    return last_ && last_->width == op.width && last_->color == op.color && last_->b == op.a;
}

void OpPainter::paint(const DrawOp& op) {
    // Qt's text and font caches leave the vector registers' upper halves in use, which
    // slows the stroking code (and its sines and arc tangents) after them.
    clearUpperVectorState();
    if (!fast_ || !joinsIntoCurves(op)) {
        skip();
        flatPen_ = false;
        if (op.kind == DrawOp::Kind::Text)
            paintText(op);
        else
            paintOp(p_, op);
        return;
    }
    if (joins(op)) {
        paintJoinedLine(op);
        return;
    }
    finish();
    const double o = lineOffset(op.width);
    const QPointF a = op.a + QPointF(o, o), b = op.b + QPointF(o, o);
    const QColor colour = toQColor(op.color);
    setFlatPen(op);
    p_.drawLine(a, b);
    cap(a, op.width / 2.0, colour);
    last_ = &op;
    capPending_ = true;
}

void OpPainter::paintJoinedLine(const DrawOp& op) {
    const QPointF before = unit(last_->b - last_->a);
    const QPointF along = unit(op.b - op.a);
    if (along.isNull())
        return; // a point on the curve: the segment before it ends there already
    const double r = op.width / 2.0;
    const double o = lineOffset(op.width);
    const QPointF a = op.a + QPointF(o, o), b = op.b + QPointF(o, o);
    const QColor colour = toQColor(op.color);
    const double back = std::min(kReachBack, r);
    // A joined segment has the width and colour of the one before.
    if (!flatPen_)
        setFlatPen(op);
    p_.drawLine(a - along * back, b);

    // The reach-back covers the outer side of a bend up to asin(back / r); a sharper
    // bend gets the round join's wedge there.
    const double turn = std::atan2(cross(before, along), dot(before, along));
    if (!before.isNull() && std::abs(turn) > 0.9 * std::asin(back / r)) {
        const double side = turn > 0 ? 1.0 : -1.0;
        // The outer normals of the two segments, as angles: the wedge sweeps from one to
        // the other, reaching a little into both.
        const double from = std::atan2(-side * before.x(), side * before.y()) - side * kWedgeOverlap;
        const double sweep = turn + side * 2 * kWedgeOverlap;
        const double step = 2 * std::acos(std::max(0.0, 1 - kArcSagitta / r));
        const int pieces = std::max(1, int(std::ceil(std::abs(sweep) / step)));
        QPolygonF wedge;
        wedge.reserve(pieces + 2);
        wedge << a;
        for (int i = 0; i <= pieces; ++i) {
            const double angle = from + sweep * i / pieces;
            wedge << a + r * QPointF(std::cos(angle), std::sin(angle));
        }
        p_.setPen(Qt::NoPen);
        p_.setBrush(colour);
        flatPen_ = false;
        p_.drawPolygon(wedge);
    }
    last_ = &op;
    capPending_ = true;
}

void OpPainter::paintText(const DrawOp& op) {
    const double dpi = p_.device() ? p_.device()->logicalDpiY() : units::kLogicalDpi;
    const auto same = [&](const Font& f) {
        return f.family == op.family && f.points == op.fontSize && f.bold == op.bold && f.italic == op.italic &&
               f.dpi == dpi;
    };
    auto it = std::find_if(fonts_.begin(), fonts_.end(), same);
    if (it == fonts_.end()) {
        if (fonts_.size() == kFontsKept)
            fonts_.erase(fonts_.begin());
        fonts_.push_back({op.family, op.fontSize, op.bold, op.italic, dpi, fontOf(op, dpi)});
        it = fonts_.end() - 1;
    }
    paintTextIn(p_, op, it->font);
}

void OpPainter::setFlatPen(const DrawOp& op) {
    p_.setPen(QPen(toQColor(op.color), op.width, Qt::SolidLine, Qt::FlatCap));
    flatPen_ = true;
}

void OpPainter::cap(QPointF centre, double radius, QColor colour) {
    flatPen_ = false;
    p_.setPen(Qt::NoPen);
    p_.setBrush(colour);
    p_.drawEllipse(centre, radius, radius);
}

void OpPainter::skip() {
    finish();
    last_ = nullptr;
}

void OpPainter::resume(const DrawOp& op) {
    last_ = fast_ && joinsIntoCurves(op) ? &op : nullptr;
    capPending_ = false;
}

void OpPainter::finish() {
    if (last_ && capPending_) {
        const double o = lineOffset(last_->width);
        cap(last_->b + QPointF(o, o), last_->width / 2.0, toQColor(last_->color));
    }
    capPending_ = false;
}

} // namespace course
