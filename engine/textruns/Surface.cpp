// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/textruns/Surface.h>

#include <engine/textruns/DirtyTiles.h>

#include <engine/textruns/Units.h>

#include <engine/textruns/FontTable.h>
#include <engine/textruns/OpPainter.h>

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>
#include <QTransform>
#include <QPainter>
#include <QRawFont>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace course {

QColor toQColor(Rgb c) { return QColor((c >> 16) & 255, (c >> 8) & 255, c & 255); }

namespace {
using units::lineOffset;
using units::referenceDevice;
} // namespace

Surface::Surface(FontTable& fonts, QSize sizePx) : fonts_(&fonts), size_(sizePx) {}

QString Surface::drawnText(const QString& s) const {
    return fonts_->symbolCodesTranslated(FontName) ? symbolToUnicode(s) : s;
}

Surface::Metrics Surface::measure(const QString& s) const {
    const FontTable::TextMetrics m = fonts_->measure(FontName, FontSize, FontBold, FontItalic, drawnText(s));
    return {m.width, m.height, m.ascent};
}

double Surface::xFactor() const { return scaled_ ? (sx2_ - sx1_) / size_.width() : 1.0; }
double Surface::yFactor() const { return scaled_ ? (sy2_ - sy1_) / size_.height() : 1.0; }

QPointF Surface::toPixels(double x, double y) const {
    if (!scaled_)
        return {x, y};
    return {(x - sx1_) / xFactor(), (y - sy1_) / yFactor()};
}

double Surface::TextWidth(const QString& s) const { return measure(s).width * xFactor(); }
double Surface::TextHeight(const QString& s) const { return measure(s).height * yFactor(); }

void Surface::Print(const QString& s) {
    if (s.isEmpty())
        return;
    const Metrics m = measure(s);
    add(textOp(toPixels(CurrentX, CurrentY), s, m));
    CurrentX += m.width * xFactor();
}

DrawOp Surface::textOp(QPointF at, const QString& s, const Metrics& m) const {
    DrawOp op;
    op.kind = DrawOp::Kind::Text;
    op.a = at;
    op.color = ForeColor;
    op.text = drawnText(s);
    op.fontName = FontName;
    op.family = fonts_->familyFor(FontName);
    op.symbolTranslated = fonts_->symbolCodesTranslated(FontName);
    op.fontSize = FontSize;
    op.nominalSize = nominalSizes_.empty() ? FontSize : nominalSizes_.back();
    op.script = scripts_.empty() ? 0 : scripts_.back();
    op.bold = FontBold;
    op.italic = FontItalic;
    op.opaque = !FontTransparent;
    op.back = BackColor;
    op.cell = QSizeF(m.width, m.height);
    op.ascent = m.ascent;
    return op;
}

void Surface::PrintLine(const QString& s) {
    Print(s);
    CurrentX = scaled_ ? sx1_ : 0.0;
    CurrentY += TextHeight(QStringLiteral("A"));
}

namespace {
// A thin horizontal or vertical stroke is moved across its direction (by less than half
// a pixel) so that its edges lie on whole pixels: at 1x it fills one row or column of
// pixels (two for width 2) instead of smearing into two grey ones, and on every whole
// device pixel ratio it stays as crisp. In a plot this sets its axes, its levels and the
// flat pieces of its curves alike, so that the pieces of one level stay at one height.
void snapRule(DrawOp& op) {
    if (op.width > 2)
        return;
    const bool horizontal = op.a.y() == op.b.y();
    const bool vertical = op.a.x() == op.b.x();
    if (horizontal == vertical)
        return;
    auto snap = [&op](double v) { return Surface::ruleAt(v, op.width); };
    if (horizontal) {
        const double y = snap(op.a.y());
        op.a.setY(y);
        op.b.setY(y);
    } else {
        const double x = snap(op.a.x());
        op.a.setX(x);
        op.b.setX(x);
    }
}
} // namespace

double Surface::ruleAt(double v, int width) {
    const double o = (width % 2) ? 0.5 : 0.0;
    const double half = width / 2.0;
    return std::round(v + o - half) - o + half;
}

void Surface::Line(double x1, double y1, double x2, double y2, std::optional<Rgb> color) {
    DrawOp op;
    op.kind = DrawOp::Kind::Line;
    op.a = toPixels(x1, y1);
    op.b = toPixels(x2, y2);
    op.color = color.value_or(ForeColor);
    op.width = DrawWidth;
    snapRule(op);
    add(std::move(op));
    CurrentX = x2;
    CurrentY = y2;
}

void Surface::LineTo(double x2, double y2, std::optional<Rgb> color) {
    Line(CurrentX, CurrentY, x2, y2, color);
}

void Surface::PSet(double x, double y, std::optional<Rgb> color) {
    DrawOp op;
    op.kind = DrawOp::Kind::Point;
    op.a = toPixels(x, y);
    op.color = color.value_or(ForeColor);
    op.width = DrawWidth;
    add(std::move(op));
    CurrentX = x;
    CurrentY = y;
}

void Surface::Cls() {
    ops_.clear();
    ++generation_;
    DrawOp op;
    op.kind = DrawOp::Kind::Clear;
    op.color = BackColor;
    add(std::move(op));
    CurrentX = 0;
    CurrentY = 0;
}

namespace {
QRectF touchedArea(const DrawOp& op, QSize size) {
    const double pad = op.width + 1.0;
    switch (op.kind) {
    case DrawOp::Kind::Clear: return QRectF(QPointF(0, 0), QSizeF(size));
    case DrawOp::Kind::Line: return QRectF(op.a, op.b).normalized().adjusted(-pad, -pad, pad, pad);
    case DrawOp::Kind::Point: return QRectF(op.a, op.a).adjusted(-pad, -pad, pad, pad);
    case DrawOp::Kind::Text: {
        // Italic overhang and turned text reach past the cell; allow a cell's height.
        const double h = op.cell.height();
        if (op.angle)
            return QRectF(op.a.x() - h, op.a.y() - op.cell.width() - h, 3 * h, op.cell.width() + 2 * h);
        return QRectF(op.a, op.cell).adjusted(-h / 2, -2, h / 2, 2);
    }
    }
    return QRectF(QPointF(0, 0), QSizeF(size));
}
} // namespace

namespace {
// Copies the device pixels under `area` (page pixels) from one page image to another of
// the same size and format.
void copyArea(const QImage& from, QImage& to, const QRegion& area, qreal dpr) {
    const int depth = from.depth() / 8;
    for (const QRect& r : area) {
        const int x0 = std::max(0, int(std::floor(r.left() * dpr)));
        const int y0 = std::max(0, int(std::floor(r.top() * dpr)));
        const int x1 = std::min(to.width(), int(std::ceil((r.right() + 1) * dpr)));
        const int y1 = std::min(to.height(), int(std::ceil((r.bottom() + 1) * dpr)));
        if (x1 <= x0)
            continue;
        for (int y = y0; y < y1; ++y)
            std::memcpy(to.scanLine(y) + x0 * depth, from.constScanLine(y) + x0 * depth, std::size_t(x1 - x0) * depth);
    }
}
} // namespace

bool Surface::clipSafe(std::size_t from, std::size_t to) const {
    return std::none_of(ops_.begin() + std::ptrdiff_t(from), ops_.begin() + std::ptrdiff_t(to), joinsIntoCurves);
}

bool Surface::rollBack(const Mark& m) {
    if (m.generation != generation_ || m.count > ops_.size() || m.count == 0)
        return false;
    // The kept image serves every later mark too (a page may keep more at times, as
    // rows of numbers that change less often than the picture under them).
    if (stillMark_ == 0 || m.count < stillMark_) {
        stillMark_ = m.count;
        still_ = QImage();
    }
    return forget(m, ops_.size() - m.count);
}

bool Surface::forget(const Mark& m, std::size_t count) {
    if (m.generation != generation_ || m.count > ops_.size() || count > ops_.size() - m.count || m.count == 0)
        return false;
    if (count == 0)
        return true;
    if (m.count < stillMark_) {
        // Operations of the kept part go: its image no longer shows it.
        stillMark_ = 0;
        still_ = QImage();
    }
    DirtyTiles touched;
    const auto first = ops_.begin() + std::ptrdiff_t(m.count);
    for (auto it = first; it != first + std::ptrdiff_t(count); ++it)
        touched.add(touchedArea(*it, size_).toAlignedRect());
    ops_.erase(first, first + std::ptrdiff_t(count));
    ++revision_;
    const QRegion area = touched.region();
    cacheRepair_ += area;
    // The image keeps what was painted after the forgotten operations; what they
    // covered is painted again from what stays.
    if (cachePainted_ >= m.count + count)
        cachePainted_ -= count;
    else
        cachePainted_ = std::min(cachePainted_, m.count);
    // The views repaint the area, a rectangle at a time.
    for (const QRect& r : area) {
        lastChange_ = QRectF(r);
        if (changed_)
            changed_();
    }
    return true;
}

void Surface::Scale(double x1, double y1, double x2, double y2) {
    scaled_ = true;
    sx1_ = x1;
    sy1_ = y1;
    sx2_ = x2;
    sy2_ = y2;
}

void Surface::ScalePixels() { scaled_ = false; }

double Surface::ScaleWidth() const { return scaled_ ? sx2_ - sx1_ : size_.width(); }
double Surface::ScaleHeight() const { return scaled_ ? sy2_ - sy1_ : size_.height(); }

QSizeF Surface::deviceText(int x, int y, const QString& s, bool draw, int angle) {
    const Metrics m = measure(s);
    if (draw && !s.isEmpty()) {
        DrawOp op = textOp(QPointF(x, y), s, m);
        op.angle = angle;
        add(std::move(op));
    }
    return {m.width, m.height};
}

void Surface::resize(QSize sizePx) {
    size_ = sizePx;
    ++generation_;
    ++revision_;
    lastChange_ = QRectF(QPointF(0, 0), QSizeF(size_));
    if (changed_)
        changed_();
}


QString constructName(ConstructKind kind) {
    switch (kind) {
    case ConstructKind::None: return {};
    case ConstructKind::Plot: return QStringLiteral("plot");
    case ConstructKind::Integral: return QStringLiteral("integral");
    case ConstructKind::Bracket: return QStringLiteral("bracket");
    case ConstructKind::Brace: return QStringLiteral("brace");
    case ConstructKind::Radical: return QStringLiteral("radical");
    case ConstructKind::Accent: return QStringLiteral("accent");
    case ConstructKind::Hbar: return QStringLiteral("hbar");
    }
    return {};
}

void Surface::beginNominalSize(double points) { nominalSizes_.push_back(points); }

void Surface::endNominalSize() {
    if (!nominalSizes_.empty())
        nominalSizes_.pop_back();
}

void Surface::beginScript(int level) { scripts_.push_back(level); }

void Surface::endScript() {
    if (!scripts_.empty())
        scripts_.pop_back();
}

void Surface::beginConstruct(ConstructKind kind) {
    // A construct built inside another is a piece of the outer one.
    if (constructs_.empty())
        constructs_.emplace_back(++lastConstruct_, kind);
    else
        constructs_.push_back(constructs_.back());
}

void Surface::endConstruct() {
    if (!constructs_.empty())
        constructs_.pop_back();
}

void Surface::add(DrawOp op) {
    if (!constructs_.empty()) {
        op.construct = constructs_.back().first;
        op.constructKind = constructs_.back().second;
    } else if (scaled_ && (op.kind == DrawOp::Kind::Line || op.kind == DrawOp::Kind::Point)) {
        // Strokes in a user scale draw a plot: curves and axes that cross by design.
        op.constructKind = ConstructKind::Plot;
    }
    lastChange_ = touchedArea(op, size_);
    ops_.push_back(std::move(op));
    ++revision_;
    if (changed_)
        changed_();
}

QFont fontOf(const DrawOp& op, double deviceDpi) {
    return FontTable::fontOf(op.family, op.fontSize, op.bold, op.italic, deviceDpi);
}

void Surface::render(QPainter& p) const {
    p.save();
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    p.setClipRect(QRectF(QPointF(0, 0), QSizeF(size_)), Qt::IntersectClip);
    p.fillRect(QRectF(QPointF(0, 0), QSizeF(size_)), toQColor(BackColor));
    {
        OpPainter painter(p);
        for (const DrawOp& op : ops_)
            painter.paint(op);
    }
    p.restore();
}

const QImage& Surface::image(qreal dpr) const {
    const bool fresh =
        cache_.isNull() || cacheDpr_ != dpr || cacheGeneration_ != generation_ || cachePainted_ > ops_.size();
    if (fresh) {
        cache_ = units::imageAt(size_, dpr);
        cache_.fill(toQColor(BackColor));
        cacheDpr_ = dpr;
        cachePainted_ = 0;
        cacheGeneration_ = generation_;
        cacheRepair_ = QRegion();
    }
    const bool stillShown = !still_.isNull() && stillDpr_ == dpr && stillGeneration_ == generation_ &&
                            cachePainted_ >= stillMark_ && clipSafe(stillMark_, cachePainted_);
    if (!cacheRepair_.isEmpty() && stillShown) {
        // The area is copied from the kept image, and what was kept after its mark is
        // painted there again.
        copyArea(still_, cache_, cacheRepair_, dpr);
        if (cachePainted_ > stillMark_) {
            QPainter p(&cache_);
            p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
            p.setClipRegion(cacheRepair_);
            for (std::size_t i = stillMark_; i < cachePainted_; ++i)
                if (cacheRepair_.intersects(touchedArea(ops_[i], size_).toAlignedRect()))
                    paintOp(p, ops_[i]);
        }
        cacheRepair_ = QRegion();
    } else if (!cacheRepair_.isEmpty()) {
        // What forgotten operations painted: the operations that stay, painted afresh on
        // a page image of their own, and the area copied from it. Painted under a clip
        // instead, or on a smaller image, lines on the painter's fast path end in other
        // edge pixels than on the whole page.
        QImage fresh = units::imageAt(size_, dpr);
        fresh.fill(toQColor(BackColor));
        {
            QPainter p(&fresh);
            p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
            OpPainter painter(p);
            for (std::size_t i = 0; i < cachePainted_; ++i)
                painter.paint(ops_[i]);
        }
        copyArea(fresh, cache_, cacheRepair_, dpr);
        cacheRepair_ = QRegion();
    }
    if (stillMark_ != 0 && cachePainted_ == stillMark_ && !stillShown) {
        // Shared until the next operation is painted on the page image.
        still_ = cache_;
        stillDpr_ = dpr;
        stillGeneration_ = generation_;
    }
    if (cachePainted_ < ops_.size()) {
        QPainter p(&cache_);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        OpPainter painter(p);
        if (cachePainted_ > 0)
            painter.resume(ops_[cachePainted_ - 1]);
        for (std::size_t i = cachePainted_; i < ops_.size(); ++i)
            painter.paint(ops_[i]);
        cachePainted_ = ops_.size();
    }
    return cache_;
}

namespace {
// Lays a text run out as it is drawn and calls visit(font, glyph, position, transform)
// for each glyph: the glyph's outline placed at `position`, mapped by `transform`, is
// its ink in page pixels.
template <typename Visit>
void forEachGlyph(const DrawOp& op, Visit visit) {
    if (op.kind != DrawOp::Kind::Text)
        return;
    // Laid out on the 96-dpi device, as the run is measured and drawn.
    QTextLayout layout(op.text, fontOf(op), const_cast<QImage*>(&referenceDevice()));
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid())
        return;
    QTransform t;
    t.translate(op.a.x(), op.a.y());
    if (op.angle)
        t.rotate(-op.angle);
    t.translate(0, op.ascent - line.ascent());
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QRawFont raw = run.rawFont();
        const QList<quint32> ids = run.glyphIndexes();
        const QList<QPointF> at = run.positions();
        for (qsizetype i = 0; i < ids.size(); ++i)
            visit(raw, ids[i], at[i], t);
    }
}
} // namespace

std::vector<QPainterPath> glyphOutlines(const DrawOp& op) {
    std::vector<QPainterPath> glyphs;
    forEachGlyph(op, [&](const QRawFont& raw, quint32 id, QPointF at, const QTransform& t) {
        const QPainterPath glyph = raw.pathForGlyph(id);
        if (!glyph.isEmpty())
            glyphs.push_back(t.map(glyph.translated(at)));
    });
    return glyphs;
}

std::optional<double> inkRightWithin(const DrawOp& op, const QRectF& band) {
    // Cutting an outline with the band is what costs; the font's box of each glyph, a
    // pixel larger all round, bounds its ink. So the glyphs are cut from the one whose
    // box reaches furthest right, and only while a box could still reach past the ink
    // found: for a long run, one or two glyphs instead of all.
    struct Candidate {
        QRectF box;
        QRawFont raw;
        quint32 id;
        QPointF at;
        QTransform t;
    };
    std::vector<Candidate> candidates;
    forEachGlyph(op, [&](const QRawFont& raw, quint32 id, QPointF at, const QTransform& t) {
        const QRectF box = t.mapRect(raw.boundingRect(id).translated(at)).adjusted(-1, -1, 1, 1);
        if (box.bottom() >= band.top() && box.top() <= band.bottom())
            candidates.push_back({box, raw, id, at, t});
    });
    std::sort(candidates.begin(), candidates.end(),
              [](const Candidate& a, const Candidate& b) { return a.box.right() > b.box.right(); });
    QPainterPath cutter;
    cutter.addRect(band);
    QRectF found;
    for (const Candidate& c : candidates) {
        if (!found.isEmpty() && c.box.right() <= found.right())
            break;
        const QPainterPath glyph = c.raw.pathForGlyph(c.id);
        if (!glyph.isEmpty())
            found |= c.t.map(glyph.translated(c.at)).intersected(cutter).boundingRect();
    }
    if (found.isEmpty())
        return std::nullopt;
    return found.right();
}

QPainterPath textOutline(const DrawOp& op) {
    QPainterPath path;
    for (const QPainterPath& glyph : glyphOutlines(op))
        path.addPath(glyph);
    return path;
}

QRectF inkBounds(const DrawOp& op) {
    switch (op.kind) {
    case DrawOp::Kind::Clear: break;
    case DrawOp::Kind::Text: return textOutline(op).boundingRect();
    case DrawOp::Kind::Line: {
        const double o = lineOffset(op.width);
        const double r = op.width / 2.0;
        return QRectF(op.a, op.b).normalized().translated(o, o).adjusted(-r, -r, r, r);
    }
    case DrawOp::Kind::Point: {
        const double w = std::max(1, op.width);
        const double o = lineOffset(op.width);
        return QRectF(op.a.x() + o - w / 2, op.a.y() + o - w / 2, w, w);
    }
    }
    return {};
}

QString missingCharacters(const DrawOp& op) {
    if (op.kind != DrawOp::Kind::Text)
        return {};
    // The run's own font must have the glyph: Qt would draw a missing one from a fallback
    // font, in another design and, in a PDF, as another embedded font.
    const QRawFont font = QRawFont::fromFont(fontOf(op));
    QString missing;
    for (char32_t c : op.text.toUcs4()) {
        if (c == U' ' || c == 0x3000)
            continue;
        if (!font.supportsCharacter(c))
            missing += QString::fromUcs4(&c, 1);
    }
    return missing;
}

QString missingCharacters(const Surface& g) {
    QString all;
    for (const DrawOp& op : g.ops())
        for (QChar c : missingCharacters(op))
            if (!all.contains(c))
                all += c;
    return all;
}

QRectF inkBounds(const Surface& g, std::size_t first) {
    QRectF all;
    for (std::size_t i = first; i < g.ops().size(); ++i)
        all |= inkBounds(g.ops()[i]);
    return all;
}

} // namespace course
