// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A drawing surface that keeps what is drawn on it (like a picture box with
// AutoRedraw): every operation is recorded in logical pixels at 96 dpi, so the same
// drawing can be shown on screen at any device pixel ratio, replayed as vectors on a
// printer or PDF page, and inspected by tests.

#include <engine/textruns/FontTable.h>

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRegion>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QPainter;

namespace course {

using Rgb = std::uint32_t; // 0xRRGGBB

constexpr Rgb RGB(int r, int g, int b) { return (Rgb(r & 255) << 16) | (Rgb(g & 255) << 8) | Rgb(b & 255); }
QColor toQColor(Rgb c);

// What a construct's pieces draw together. The page text reads radicals, accents and the
// pieces of large signs by it; pieces of one construct are meant to touch. Plot strokes
// (all strokes drawn in a user scale, and those marked Plot) may cross any other stroke
// of a plot on the surface.
enum class ConstructKind { None, Plot, Integral, Bracket, Brace, Radical, Accent, Hbar };

// The kind's name, for messages ("integral", "bracket", …; "" for None).
QString constructName(ConstructKind kind);

struct DrawOp {
    enum class Kind { Clear, Text, Line, Point };
    Kind kind = Kind::Text;
    QPointF a; // Text: top-left of the text cell; Line: start; Point: centre
    QPointF b; // Line: end
    Rgb color = 0;
    int width = 1; // DrawWidth of lines and points
    // Text runs
    QString text;     // the Unicode text drawn
    QString fontName; // the font name the program asked for
    QString family;   // the installed family that draws it (resolved when recorded)
    // The program's text was Symbol byte codes and `text` is their Unicode (the font
    // drawing it has them at their Unicode code points).
    bool symbolTranslated = false;
    double fontSize = 0; // points
    // The size of the text the run stands in, points: the italic and minus faces are
    // set larger than the text around them (NominalSize); else fontSize.
    double nominalSize = 0;
    bool bold = false;
    bool italic = false;
    bool opaque = false; // the text cell is filled with `back` first
    Rgb back = 0;
    int angle = 0;     // degrees, counter-clockwise (device-context text)
    QSizeF cell;       // text cell in pixels (width, height)
    double ascent = 0; // baseline below the top of the cell, pixels
    // The construct (integral sign, tall bracket, radical and its bar, accent over a
    // letter, …) this operation is a piece of, 0 for none, and what it draws. A plot's
    // strokes are of kind Plot with construct 0 unless a mark made them one.
    int construct = 0;
    ConstructKind constructKind = ConstructKind::None;
    // Brackets, braces and radicals: the ink of what the construct encloses (the
    // content between a pair of brackets, the lines a brace gathers, a radicand); a
    // fraction bar: the ink of its numerator and denominator together. Page pixels,
    // recorded by the typesetter once both are drawn; null when unknown.
    QRectF enclosed;
    // A superscript (+1) or subscript (-1) run, drawn by the script routines; 0 for text
    // on its line.
    int script = 0;
};

class Surface {
public:
    // A surface measures and records its text with the fonts of `fonts`, which must
    // outlive it; what it recorded is drawn again without the table.
    explicit Surface(FontTable& fonts, QSize sizePx = QSize(774, 729));

    // The table this surface measures with: scratch surfaces that measure for it take
    // the same one.
    FontTable& fonts() const { return *fonts_; }

    // Font and pen properties, applied to the next operation.
    QString FontName = QStringLiteral("メイリオ");
    double FontSize = 14.25;
    bool FontBold = false;
    bool FontItalic = false;
    bool FontTransparent = true;
    Rgb ForeColor = 0x000000;
    int DrawWidth = 1;
    Rgb BackColor = 0xFFFFFF;
    int BorderStyle = 0;
    bool AutoRedraw = true;
    // Current point, in the current scale's units.
    double CurrentX = 0;
    double CurrentY = 0;

    // Draws text with its top-left corner at the current point and leaves
    // CurrentX at its end. An empty string draws nothing.
    void Print(const QString& s);
    // Print followed by a line end: back to the left edge, one text line down.
    void PrintLine(const QString& s = {});
    // Extent of a string in the current font, in the current scale's units.
    double TextWidth(const QString& s) const;
    double TextHeight(const QString& s) const;

    // A horizontal or vertical line of DrawWidth 1 or 2 is set across its direction on
    // the nearest place (ruleAt) where its edges lie on whole pixels.
    void Line(double x1, double y1, double x2, double y2, std::optional<Rgb> color = {});
    // Where a thin rule of `width` asked at `v` (pixels, across its direction) is set.
    static double ruleAt(double v, int width);
    // Line from the current point ("Line -(x, y)").
    void LineTo(double x2, double y2, std::optional<Rgb> color = {});
    void PSet(double x, double y, std::optional<Rgb> color = {});
    // Fills with BackColor, forgets what was drawn and sets the current point to 0, 0.
    void Cls();

    // What is drawn so far, to go back to: the part of a picture that moves is drawn
    // after a mark and taken back before it is drawn again, so that the rest of the page
    // is neither recorded nor painted again.
    struct Mark {
        std::size_t count = 0;
        std::uint64_t generation = 0;
    };
    Mark mark() const { return {ops_.size(), generation_}; }
    // Forgets what was drawn after `m` and paints the area it covered afresh from what
    // stays; false (and nothing forgotten) when the surface was cleared or resized since.
    bool rollBack(const Mark& m);
    // Forgets the `count` operations drawn right after `m` and paints the area they
    // covered afresh from what stays (a construct drawn again at another size); false
    // (and nothing forgotten) when the surface was cleared or resized since.
    bool forget(const Mark& m, std::size_t count);

    // User scale: (x1, y1) is the top-left, (x2, y2) the bottom-right corner.
    void Scale(double x1, double y1, double x2, double y2);
    // Back to pixels with the origin at the top-left (ScaleMode 3).
    void ScalePixels();
    bool userScale() const { return scaled_; }
    double ScaleWidth() const;
    double ScaleHeight() const;
    QPointF toPixels(double x, double y) const;

    // Device-context text: `s` at integer pixel position (x, y) (top-left of the
    // unrotated cell), in the current font, turned `angle` degrees; returns the
    // unrotated extent. With draw false it only measures.
    QSizeF deviceText(int x, int y, const QString& s, bool draw, int angle = 0);

    QSize size() const { return size_; }
    void resize(QSize sizePx);

    const std::vector<DrawOp>& ops() const { return ops_; }
    // Replays the drawing on a painter whose coordinates are logical pixels.
    void render(QPainter& p) const;
    // The page image at a device pixel ratio (kept and updated incrementally).
    const QImage& image(qreal dpr = 1.0) const;

    // Called after every change, so a view can schedule a repaint.
    void setChangeListener(std::function<void()> f) { changed_ = std::move(f); }
    std::uint64_t revision() const { return revision_; }
    // The area the latest change touched, in pixels, so a view repaints only that.
    QRectF lastChange() const { return lastChange_; }

    // Font metrics at 96 dpi for a run in this surface's current font.
    struct Metrics {
        double width;
        double height;
        double ascent;
    };
    Metrics measure(const QString& s) const;
    // Text as it is drawn: Symbol byte codes become Unicode where the font needs it.
    QString drawnText(const QString& s) const;

    // Operations drawn between these two calls are marked as pieces of one construct
    // of the given kind (see ConstructMark). Marks nest; the outermost one applies.
    void beginConstruct(ConstructKind kind);
    void endConstruct();
    // The id of the construct begun latest (0 before any), as DrawOp::construct has it.
    int lastConstruct() const { return lastConstruct_; }
    // Records on operation `op` (a fraction bar) the ink it spans (DrawOp::enclosed).
    void setEnclosedOf(std::size_t op, const QRectF& ink) {
        if (op < ops_.size())
            ops_[op].enclosed = ink;
    }
    // Records on every piece of `construct` the ink it encloses (DrawOp::enclosed).
    void setEnclosed(int construct, const QRectF& ink) {
        for (DrawOp& op : ops_)
            if (construct != 0 && op.construct == construct)
                op.enclosed = ink;
    }
    // Text runs drawn between these two calls stand in text of `points` (see
    // NominalSize). They nest; the innermost applies.
    void beginNominalSize(double points);
    void endNominalSize();
    // Text runs drawn between these two calls are a superscript (+1) or subscript (-1).
    // They nest; the innermost applies.
    void beginScript(int level);
    void endScript();

private:
    void add(DrawOp op);
    // A text run in the current font and colours, with its font resolved.
    DrawOp textOp(QPointF at, const QString& s, const Metrics& m) const;
    double xFactor() const; // user units per pixel
    double yFactor() const;

    FontTable* fonts_;
    QSize size_;
    bool scaled_ = false;
    double sx1_ = 0, sy1_ = 0, sx2_ = 0, sy2_ = 0;
    std::vector<DrawOp> ops_;
    std::uint64_t revision_ = 0;
    QRectF lastChange_;
    std::function<void()> changed_;

    mutable QImage cache_;
    mutable qreal cacheDpr_ = 0;
    mutable std::size_t cachePainted_ = 0;
    mutable std::uint64_t cacheGeneration_ = ~0ull;
    mutable QRegion cacheRepair_; // painted over by operations since forgotten
    // What a page that rolls back frame after frame keeps: the image of the operations
    // before the earliest mark it rolls back to, from which the area of each frame taken
    // back is copied instead of painted again.
    std::size_t stillMark_ = 0; // the operations that image shows; 0: none
    mutable QImage still_;
    mutable qreal stillDpr_ = 0;
    mutable std::uint64_t stillGeneration_ = ~0ull;
    std::uint64_t generation_ = 0;                    // bumped by Cls and resize
    // Whether operations [from, to) paint the same pixels under a clip as without one.
    bool clipSafe(std::size_t from, std::size_t to) const;
    std::vector<std::pair<int, ConstructKind>> constructs_; // open construct marks, outermost first
    int lastConstruct_ = 0;
    std::vector<double> nominalSizes_; // open NominalSize marks, innermost last
    std::vector<int> scripts_;         // open ScriptMark levels, innermost last
};

// Marks what is drawn on `g` while it lives as the pieces of one construct, whose ink
// is meant to join (the halves of an integral sign, the pieces of a tall bracket, a
// radical sign and its bar, an accent and its letter). Kind Plot marks the curves and
// axes of a plot drawn in pixels: its strokes may cross those of other plots.
class ConstructMark {
public:
    ConstructMark(Surface& g, ConstructKind kind) : g_(g) { g_.beginConstruct(kind); }
    ~ConstructMark() { g_.endConstruct(); }
    ConstructMark(const ConstructMark&) = delete;
    ConstructMark& operator=(const ConstructMark&) = delete;

private:
    Surface& g_;
};

// Marks the text runs drawn on `g` while it lives as standing in text of `points`: a
// face set larger than the text around it (the italic letters, the Courier minus) is
// read at that text's size, so the page text finds its line and its scripts.
class NominalSize {
public:
    NominalSize(Surface& g, double points) : g_(g) { g_.beginNominalSize(points); }
    ~NominalSize() { g_.endNominalSize(); }
    NominalSize(const NominalSize&) = delete;
    NominalSize& operator=(const NominalSize&) = delete;

private:
    Surface& g_;
};

// Marks the text runs drawn on `g` while it lives as a superscript (level +1) or a
// subscript (-1): they are raised or lowered off the line on purpose.
class ScriptMark {
public:
    ScriptMark(Surface& g, int level) : g_(g) { g_.beginScript(level); }
    ~ScriptMark() { g_.endScript(); }
    ScriptMark(const ScriptMark&) = delete;
    ScriptMark& operator=(const ScriptMark&) = delete;

private:
    Surface& g_;
};

// The font a recorded text run is drawn in, for a device of `deviceDpi`.
QFont fontOf(const DrawOp& op, double deviceDpi = 96.0);

// The outline of each glyph of a text run as it is drawn, in page pixels; none for
// other operations.
std::vector<QPainterPath> glyphOutlines(const DrawOp& op);
// All of them as one path.
QPainterPath textOutline(const DrawOp& op);
// The right edge of a text run's ink inside `band` (page pixels): the right of
// textOutline(op) intersected with the band, without cutting every glyph; none when
// no ink of the run lies in the band.
std::optional<double> inkRightWithin(const DrawOp& op, const QRectF& band);
// Bounds of the ink of an operation (glyph outlines, a stroke at its width, a point),
// in page pixels; empty when it draws nothing.
QRectF inkBounds(const DrawOp& op);

// Characters of a text run that its font has no glyph for (they would show as
// empty boxes or come from an unrelated fallback font).
QString missingCharacters(const DrawOp& op);
// All such characters on a surface, each once.
QString missingCharacters(const Surface& g);

// The ink of the operations of `g` from index `first` on, united: pages size bars and
// nudge neighbours from this rather than from text cells.
QRectF inkBounds(const Surface& g, std::size_t first);

} // namespace course
