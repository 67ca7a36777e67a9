// SPDX-License-Identifier: GPL-3.0-or-later
// Page 2: the eigenvalue iteration run live. Every iteration's joined wave function
// is traced inward and then outward, one grid step per 0.01 s, while the program
// sleeps in its event loop; each converged state is drawn in blue with its energy
// level between the classical turning points. The waits go by the document's paced
// clock: the reader may pause the run (P), step it on by one half-trace at a time
// while paused (N, →) and change its speed ([, ]); the clock stands still while
// paused, so the trace goes on afterwards at its pace instead of catching up.
//
// Re-entrancy. The event loop runs during every wait, so other handlers run in the
// middle of a run:
//  - A run draws only on the surface it started on: it draws in a scope on that
//    surface, and a print started meanwhile draws in a scope of its own on the print
//    canvas, which puts Pic back when the print returns; the print neither receives
//    the rest of the run nor loses its own drawing.
//  - A print during a run draws its own complete page on the print canvas; for page 2
//    that is a whole run of its own with Printing set: no waits and no sounds, so it
//    never yields and nothing can nest inside it. It draws only the last pass, which
//    is all the finished page shows, so that it takes a few milliseconds.
//  - Showing page 2 again while a run is still going (the user went back and forth)
//    cancels the old run before the new one starts; when the event loop returns to
//    the old run, it stops without drawing anything more and plays no sound.
//  - End (Escape, closing the window) stops a run at its next yield.
// Sounds: a chime when a state has converged and the notify sound two seconds after
// the last, only for a run that is not printing and has not been cancelled. A run
// that goes on while the reader looks at another page still plays them.
// The surface's font size, FontTransparent and DrawWidth are put back when a run
// ends, so that a page printed later on the same print canvas is drawn as usual.

#include "BrindleDocument.h"

#include <engine/shell/EventPump.h>
#include <engine/shell/Form1.h>
#include <engine/shell/RunControls.h>
#include <engine/shell/SurfaceView.h>
#include <engine/system/Language.h>

#include <brindle/EigenIteration.h>
#include <brindle/PlotMapping.h>
#include <brindle/TableFormat.h>

#include <QApplication>
#include <QKeyEvent>
#include <QScopedValueRollback>

#include <algorithm>
#include <cmath>

namespace brindle {

using course::Surface;

namespace {
constexpr course::Rgb kCyan = course::RGB(0, 224, 224);
constexpr course::Rgb kMagenta = course::RGB(255, 0, 255);
constexpr course::Rgb kGreen = course::RGB(0, 224, 0);
constexpr course::Rgb kOrange = course::RGB(255, 96, 0);
constexpr course::Rgb kRed = course::RGB(255, 0, 0);

constexpr int kLastVisibleStep = 640; // 5/h: points with x ≥ 5 are not traced

// The pace: one traced grid step every 0.01 s, and the closing two seconds.
using std::chrono::nanoseconds;
constexpr nanoseconds kStep = std::chrono::milliseconds(10);
constexpr nanoseconds kClosingWait = std::chrono::seconds(2);
} // namespace

class LiveRun final : public EigenObserver {
    using Rgb = course::Rgb;

public:
    LiveRun(BrindleDocument& doc, Surface& g, bool printing)
        : doc_(doc), g_(g), printing_(printing), pacing_(doc.pacing_) {
        doc_.runs_.push_back(this);
    }
    ~LiveRun() override {
        auto& runs = doc_.runs_;
        runs.erase(std::remove(runs.begin(), runs.end(), this), runs.end());
    }
    LiveRun(const LiveRun&) = delete;
    LiveRun& operator=(const LiveRun&) = delete;

    Surface& surface() const { return g_; }
    void cancel() {
        cancelled_ = true;
        it_.requestCancel();
    }

    void execute() {
        it_.setPotential(doc_.potential(), doc_.offGrid());
        it_.setL(doc_.l());
        window_ = it_.potential().plotWindow(doc_.l());
        course::DrawingScope on(doc_, g_);
        // The surface's font and pen as they were when the run ends, however it ends
        // (the print canvas is used again).
        struct PenGuard {
            Surface& g;
            const double size = g.FontSize;
            const bool transparent = g.FontTransparent;
            const int width = g.DrawWidth;
            ~PenGuard() {
                g.FontSize = size;
                g.FontTransparent = transparent;
                g.DrawWidth = width;
            }
        } pen{g_};
        g_.FontSize = 12;
        labelAreas_ = labelAreas();
        keepClear_ = labelAreas_;
        // Axes, ticks, curves and levels are one plot: its strokes meet and cross.
        course::ConstructMark plot(g_, course::ConstructKind::Plot);
        it_.run(this);
    }

    // A print draws only the last pass: every pass starts by clearing the page, so a
    // print's page is the final pass's background, and the traces, rows and curves
    // of the passes before it would be drawn only to be cleared.
    bool drawn(const EigenIteration& it, int s) const { return !printing_ || s == it.passCount(); }

    bool passStarted(const EigenIteration& it, int s, double trialE) override {
        if (!drawn(it, s))
            return !cancelled_;
        background(it, s);
        rowOffset_ = 0;
        if (s < it.passCount()) {
            doc_.CurX = osc() ? px(-0.8) : brindle::px(-0.8, W());
            doc_.CurY = osc() ? py(9) : brindle::py(9, H());
            row([&] {
                doc_.ds(QStringLiteral("エネルギー初期値 = ") + QString::fromStdString(formatTrialEnergy(trialE)));
            });
        }
        return !cancelled_;
    }

    bool iteration(const EigenIteration& it, const IterationRecord& rec) override {
        if (!drawn(it, rec.s))
            return !cancelled_;
        const int s = rec.s;
        const Grid& grid = it.grid(s);
        const int m = grid.match;
        const int last = grid.last;
        const double h = grid.h;
        const bool even = rec.n % 2 == 0;
        if (osc()) {
            // Inward part, from the far end down to the matching point.
            if (!beginTrace())
                return false;
            g_.DrawWidth = 2;
            const course::Rgb inward = even ? kMagenta : kGreen;
            g_.PSet(px(kLastIndex * h), py(0), inward);
            for (int i = kLastIndex - 1; i >= m; --i) {
                if (i * h >= 5)
                    continue;
                strokeTo(g_, px(i * h), py(5 * it.P(i, s)), inward);
                if (!waitUntil((kLastVisibleStep - i) * kStep))
                    return false;
            }
            // Outward part, from the origin up to the matching point.
            if (!beginTrace())
                return false;
            const course::Rgb outward = even ? kCyan : kOrange;
            g_.PSet(px(0), py(0), outward);
            for (int i = 1; i <= m; ++i) {
                strokeTo(g_, px(i * h), py(5 * it.P(i, s)), outward);
                if (!waitUntil(i * kStep))
                    return false;
            }
        } else {
            // The other models' grids are longer: about as many traced steps as the
            // oscillator's, every stride-th grid point, and only inside the window.
            const int visible = std::min(last, int(window_.right / h));
            const int inStride = std::max(1, int(std::ceil((visible - m) / 640.0)));
            const int outStride = std::max(1, int(std::ceil(std::min(m, visible) / 224.0)));
            if (!beginTrace())
                return false;
            g_.DrawWidth = 2;
            const course::Rgb inward = even ? kMagenta : kGreen;
            int step = 0;
            int i = visible;
            g_.PSet(px(i * h), py(wave(it, i, s)), inward);
            for (i -= inStride; i >= m; i -= inStride) {
                strokeTo(g_, px(i * h), py(wave(it, i, s)), inward);
                if (!waitUntil(++step * kStep))
                    return false;
            }
            if (!beginTrace())
                return false;
            const course::Rgb outward = even ? kCyan : kOrange;
            g_.PSet(px(0), py(0), outward);
            step = 0;
            for (i = outStride; i <= std::min(m, visible); i += outStride) {
                strokeTo(g_, px(i * h), py(wave(it, i, s)), outward);
                if (!waitUntil(++step * kStep))
                    return false;
            }
        }
        g_.DrawWidth = 1;

        // The result row of this iteration.
        if (!roomForRow(it, rec.s, rec.row))
            return false;
        doc_.CurX = osc() ? px(-0.9) : brindle::px(-0.9, W());
        doc_.CurY = rowY(rec.row);
        row([&] {
            doc_.ds(QStringLiteral(" ⊿"));
            doc_.it(QStringLiteral("E"));
            doc_.addx(8);
            doc_.ds(QStringLiteral("= ") + QString::fromStdString(formatDeltaE(rec.dE)));
            doc_.ds(QStringLiteral("，"));
            doc_.it(QStringLiteral(" E"));
            doc_.ds(QStringLiteral(" = ") + QString::fromStdString(formatEnergy(rec.newE)));
        });
        return !cancelled_;
    }

    bool stateFinished(const EigenIteration& it, const StateResult& res) override {
        if (!drawn(it, res.s))
            return !cancelled_;
        g_.DrawWidth = 2;
        g_.PSet(px(0), py(0));
        finalCurve(g_, it, res.s);
        g_.DrawWidth = 1;
        // The level between the classical turning points.
        g_.PSet(px(res.xL), py(res.Es));
        strokeTo(g_, px(res.xR), py(res.Es), kRed);
        if (!osc())
            levelLabel(res.s, res.Es, res.exact, it.result().relativeAccuracy);
        if (!printing_)
            doc_.chime();
        return !cancelled_;
    }

    // The converged function had the wrong number of nodes: one line in the style of
    // the result rows says which level was found and which was skipped; the rows of
    // the restart follow below it.
    bool levelSkipped(const EigenIteration& it, const LevelSkip& skip) override {
        if (!drawn(it, skip.s))
            return !cancelled_;
        if (!roomForRow(it, skip.s, skip.row))
            return false;
        doc_.CurX = osc() ? px(-0.9) : brindle::px(-0.9, W());
        doc_.CurY = rowY(skip.row);
        row([&] {
            doc_.ds(QStringLiteral(" 節 %1 個: 第%2準位").arg(skip.nodes).arg(skip.foundLevel()));
            doc_.it(QStringLiteral(" E"));
            doc_.ds(QStringLiteral(" = %1 に収束，第%2準位を飛ばした → %3 から")
                        .arg(QString::fromStdString(formatEnergy(skip.foundE)))
                        .arg(skip.s)
                        .arg(QString::fromStdString(formatTrialEnergy(skip.restartE))));
        });
        return !cancelled_;
    }

    bool finalPass(const EigenIteration&) override {
        if (printing_)
            return true;
        if (!beginTrace() || !waitUntil(kClosingWait))
            return false;
        doc_.notify();
        return true;
    }

private:
    // Yields, then sleeps in the event loop until the trace's paced time reaches
    // `offset`; false when the run has to stop (cancelled, or the program is ending).
    // While printing nothing is waited for.
    bool waitUntil(nanoseconds offset) {
        return paced([&](const course::PacedWaiter::Cancelled& c) { return pacing_.pacedPoint(offset, c); });
    }
    // The start of a half-trace: a step ends here and a pause holds the run before it
    // draws anything more; the trace's time starts afterwards.
    bool beginTrace() {
        return paced([&](const course::PacedWaiter::Cancelled& c) { return pacing_.beginTrace(c); });
    }
    template <typename Wait>
    bool paced(Wait wait) {
        if (!printing_ && !cancelled_) {
            const auto stop = [this] { return cancelled_ || doc_.env().endRequested(); };
            if (!wait(stop) || stop())
                cancel();
        }
        return !cancelled_;
    }

    bool osc() const { return it_.potential().kind() == PotentialKind::Oscillator; }
    static double W() { return livePageSize().width(); }
    // The other models' window ends where the window's client area does: the picture
    // reaches a little below it.
    double H() const {
        if (osc())
            return livePageSize().height();
        const course::DocumentLayout& layout = doc_.settings().layout;
        const double client = double(layout.clientHeight) / course::units::kTwipsPerPixel;
        return std::min<double>(livePageSize().height(), client - layout.page.pixels().top());
    }
    double px(double x) const {
        if (osc())
            return brindle::px(x, W());
        return (x - window_.left) / (window_.right - window_.left) * W();
    }
    // The oscillator's plot moves down by shift() so that the highest level stays
    // below the title; the other models have a window of their own.
    double py(double y) const {
        if (osc())
            return brindle::py(y - shift(), H());
        return (window_.top - y) / (window_.top - window_.bottom) * H();
    }
    double shift() const { return std::max(0.0, exactEnergy(kStateCount, it_.l()) - 9.0); }
    double wave(const EigenIteration& it, int i, int s) const { return window_.waveScale * it.P(i, s); }

    // The result rows go down one line each from the top; the other models' rows
    // keep the oscillator's places, and when a state needs more rows than the page
    // holds, the page is drawn afresh and its rows start again at the top.
    double rowY(float row) const {
        if (osc())
            return py(8.8 - row);
        return brindle::py(8.8 - (row - rowOffset_), H());
    }
    bool roomForRow(const EigenIteration& it, int s, float row) {
        if (osc() || rowY(row) + 2 * doc_.CharH < H())
            return true;
        background(it, s);
        rowOffset_ = row - 1;
        return !cancelled_;
    }

    // The finished function of state s from the origin: the oscillator's over its
    // whole grid, the others' up to the window's edge, at about a point per pixel.
    void finalCurve(Surface& g, const EigenIteration& it, int s) {
        const Grid& grid = it.grid(s);
        if (osc()) {
            for (int i = 1; i <= kLastIndex; ++i)
                strokeTo(g, px(i * grid.h), py(5 * it.P(i, s)), doc_.Blue);
            return;
        }
        const double perPixel = (window_.right - window_.left) / W();
        const int stride = std::max(1, int(perPixel / grid.h));
        for (int i = stride; i <= grid.last; i += stride) {
            strokeTo(g, px(i * grid.h), py(wave(it, i, s)), doc_.Blue);
            if (i * grid.h > window_.right)
                break;
        }
    }

    // The computed energy of a level, its exact value and the difference, at the
    // right edge of the page just above the level line.
    // The difference is written with two digits and a two-digit exponent; the
    // label's place is that of the widest such text, so that the area kept clear for
    // it before the level is known holds it.
    static QString levelText(int s, double E, double exact, bool relative, const QString& difference) {
        return QStringLiteral("E%1 = %2（厳密 %3，%4 %5）")
            .arg(s)
            .arg(E, 0, 'f', 7)
            .arg(exact, 0, 'g', 7)
            .arg(relative ? QStringLiteral("相対差") : QStringLiteral("差"))
            .arg(difference);
    }
    void levelLabel(int s, double E, double exact, bool relative) {
        const double d = relative ? (E - exact) / std::fabs(exact) : E - exact;
        const QString text = levelText(s, E, exact, relative, QString::number(d, 'e', 1));
        const QString widest = levelText(s, E, exact, relative, QStringLiteral("-8.8e-88"));
        double x = W() - std::max(drawnWidth(widest), drawnWidth(text)) - 6;
        doc_.dsp(*doc_.Pic, x, labelTop(s), text);
    }
    // The ink of `text` drawn with its cell at (0, 0) (its minus signs are drawn
    // wider than the font's hyphen).
    QRectF inkOfText(const QString& text) {
        return doc_.inkOf([&] {
            double x = 0;
            doc_.dsp(*doc_.Pic, x, 0, text);
        });
    }
    // How far the ink of `text` reaches right of where it starts.
    double drawnWidth(const QString& text) { return inkOfText(text).right(); }
    // The cell top of the r axis' labels: their digits' ink starts 3 px under the axis,
    // or 3 px under a level line that would pass through them (Morse's highest level
    // lies a few pixels under 0, hydrogen's a line's height).
    double rLabelTop() {
        const QRectF ink = inkOfText(QStringLiteral("0"));
        const Potential& model = it_.potential();
        const double clear = BrindleDocument::kAir + 1.0;
        double top = py(0) + 3;
        for (int k = model.stateCount(it_.l()); k >= 1; --k) {
            const double y = py(model.exactEnergy(k, it_.l()));
            if (y + clear >= top && y - clear <= top + ink.height())
                top = y + 3;
        }
        return top - ink.top();
    }
    // The lowest ink of those labels.
    double rLabelBottom() { return rLabelTop() + inkOfText(QStringLiteral("0")).bottom(); }
    // Each label stands just above its level, or below the label of the level above
    // when the two levels lie closer than a line.
    double labelTop(int s) {
        const Potential& model = it_.potential();
        const double line = doc_.CharH + 2;
        // Below the labels of the r axis, which the levels under 0 come close to.
        double top = rLabelBottom() + 3;
        double y = 0;
        for (int k = model.stateCount(it_.l()); k >= s; --k) {
            y = std::max(py(model.exactEnergy(k, it_.l())) - line + 1, top);
            top = y + line;
        }
        return y;
    }

    void background(const EigenIteration& it, int s) {
        const Rgb gray = doc_.Gray;
        Surface& g = g_;
        g.Cls();
        g.ScalePixels();
        keepClear_ = labelAreas_;
        // The pen and text mode every pass's background is drawn with, whatever the
        // pass before left: the axis numbers are transparent, so that the axis and
        // its ticks show through their cells.
        g.DrawWidth = 1;
        g.FontTransparent = true;

        // Axes and ticks.
        g.CurrentX = 0;
        g.CurrentY = py(0);
        strokeTo(g, g.ScaleWidth(), py(0), gray);
        g.CurrentX = px(0);
        g.CurrentY = 0;
        strokeTo(g, px(0), g.ScaleHeight(), gray);
        if (osc()) {
            for (int d = 0; d <= 5; ++d)
                g.Line(px(d), py(0), px(d), py(0.3), gray);
            tickLabels();
            for (int d = 0; d <= 4; ++d)
                g.Line(px(d + 0.5), py(0), px(d + 0.5), py(0.2), gray);
            for (int d = 1; d <= 9; ++d)
                g.Line(px(-0.03), py(d), px(0.03), py(d), gray);
        } else {
            // Ticks every rTick along r and every yTick along y, a tick a fiftieth of
            // the window high or wide.
            const double up = (window_.top - window_.bottom) / 50;
            const double across = (window_.right - window_.left) / 120;
            for (int d = 1; d * window_.rTick < window_.right; ++d)
                g.Line(px(d * window_.rTick), py(0), px(d * window_.rTick), py(up), gray);
            for (int d = int(std::ceil(window_.bottom / window_.yTick)); d * window_.yTick < window_.top; ++d)
                if (d != 0 && py(d * window_.yTick) > 1.5 * doc_.CharH)
                    g.Line(px(-across), py(d * window_.yTick), px(across), py(d * window_.yTick), gray);
            tickLabels();
        }

        // The states finished so far.
        for (int j = 1; j < s; ++j) {
            g.CurrentX = px(0);
            g.CurrentY = py(0);
            finalCurve(g, it, j);
            g.CurrentX = px(it.xL(j));
            g.CurrentY = py(it.Es(j));
            strokeTo(g, px(it.xR(j)), py(it.Es(j)), kRed);
        }

        curveLabels();

        // The effective potential.
        g.DrawWidth = 2;
        const int l = it.l();
        if (osc()) {
            const double h = EigenIteration::h();
            g.CurrentX = px(h);
            g.CurrentY = py(Vpot(h, l));
            for (int i = 2; i <= kLastIndex - 1; ++i)
                strokeTo(g, px(i * h), py(Vpot(i * h, l)), kCyan);
        } else {
            // Only where it lies within half a window of the picture: near the origin
            // it runs off to minus or plus infinity.
            const double span = window_.top - window_.bottom;
            const double h = (window_.right - window_.left) / W() / 2;
            bool drawing = false;
            for (double r = h; r <= window_.right; r += h) {
                const double v = it.potential().effective(r, l);
                if (v < window_.bottom - span / 2 || v > window_.top + span / 2) {
                    drawing = false;
                    continue;
                }
                if (!drawing) {
                    g.CurrentX = px(r);
                    g.CurrentY = py(v);
                    drawing = true;
                    continue;
                }
                strokeTo(g, px(r), py(v), kCyan);
            }
            // The jump of the well is a vertical stretch: a pixel apart in r, the
            // samples either side of it are joined by one stroke above.
        }

        // Title and the axis name; text hides what lies under it from here on.
        g.FontTransparent = false;
        titles();
        g.DrawWidth = 1;
        if (!osc())
            for (int j = 1; j < s; ++j)
                levelLabel(j, it.Es(j), it.potential().exactEnergy(j, l), it.result().relativeAccuracy);
    }

    // The tick labels 0 … 4 under the horizontal axis.
    void tickLabels() {
        Surface& g = *doc_.Pic;
        if (!osc()) {
            // The r axis: its multiples of rTick under it, the 0 left of the vertical
            // axis; the y axis: its multiples of yTick left of it.
            // Placed by their ink, not by their text cells: the r labels' digits
            // hang `gap` below the axis, so that a level just under 0 (hydrogen's
            // highest) passes below them, and the y labels' digits are centred on
            // their ticks.
            const double gap = 3;
            for (int d = 0; d * window_.rTick < window_.right; ++d) {
                const QString t = QString::number(d * window_.rTick);
                const QRectF ink = inkOfText(t);
                double x = px(d * window_.rTick) - (ink.left() + ink.right()) / 2;
                if (d == 0)
                    x = px(0) - gap - ink.right();
                if (x + ink.right() < W())
                    doc_.dsp(g, x, rLabelTop(), t);
            }
            for (int d = int(std::ceil(window_.bottom / window_.yTick)); d * window_.yTick < window_.top; ++d) {
                if (d == 0)
                    continue;
                const QString t = QString::number(d * window_.yTick, 'g', 3);
                const QRectF ink = inkOfText(t);
                const double y = py(d * window_.yTick) - (ink.top() + ink.bottom()) / 2;
                double x = px(-(window_.right - window_.left) / 120) - gap - ink.right();
                if (y > doc_.CharH * 1.5 && y + g.TextHeight(t) < H())
                    doc_.dsp(g, x, y, t);
            }
            return;
        }
        for (int d = 0; d <= 5; ++d) {
            // The plotted window ends at x = 4.2: the label 5 would lie beyond the
            // picture's right edge and is not drawn.
            double x = px(d - 0.04);
            if (d == 0) {
                // The 0 stands left of the vertical axis instead of on it, its ink
                // ending three pixels before the axis (the axis passes its area).
                const QRectF ink =
                    doc_.inkOf([this] { doc_.dsp(*doc_.Pic, doc_.CurX, doc_.CurY, QStringLiteral("0")); });
                x = std::min(x, px(0) - 3 - ink.right());
            }
            if (x < livePageSize().width())
                doc_.dsp(g, x, py(-0.1), QString::number(d));
        }
    }

    // The curve labels V(r) and rR(r), where they find room between the levels and
    // curves of this l.
    void curveLabels() {
        struct Spots {
            double vY, rRx, rRy;
        };
        static constexpr Spots kSpots[kMaxL + 1] = {
            {8.9, 3.45, 4.6}, {8, 3.4, 2}, {8.9, 3.4, 2}, {8, 3.45, 5.4}};
        Spots spot = osc() ? kSpots[it_.l()] : Spots{};
        double vx = 3.5;
        if (!osc()) {
            // Near the top right, where the curves of these models leave room.
            const double across = window_.right - window_.left;
            const double up = window_.top - window_.bottom;
            vx = spot.rRx = window_.left + 0.84 * across;
            spot.vY = window_.top - 0.10 * up;
            spot.rRy = window_.top - 0.16 * up;
        }
        doc_.CurX = px(vx);
        doc_.CurY = py(spot.vY);
        doc_.it(QStringLiteral("V"));
        doc_.addx(3);
        doc_.ds(QStringLiteral("("));
        doc_.it(QStringLiteral("r"));
        doc_.addx(2);
        doc_.ds(QStringLiteral(")"));
        doc_.CurX = px(spot.rRx);
        doc_.CurY = py(spot.rRy);
        doc_.it(QStringLiteral("r"));
        doc_.addx(6);
        doc_.it(QStringLiteral("R"));
        doc_.addx(3);
        doc_.ds(QStringLiteral("("));
        doc_.it(QStringLiteral("r"));
        doc_.addx(2);
        doc_.ds(QStringLiteral(")"));
    }

    // The page title and the axis name r.
    void titles() {
        Surface& g = *doc_.Pic;
        const int l = it_.l();
        doc_.CurX = 0;
        doc_.CurY = 0;
        doc_.ds(modelTitle() + QStringLiteral(" ("));
        doc_.it(QStringLiteral("l"));
        doc_.addx(2); // the italic l leans into the equals sign otherwise
        doc_.ds(QStringLiteral("=%1) の動径波動関数").arg(l));
        double x = osc() ? px(2.5) : W() - doc_.CharW - 4;
        doc_.dspItalic(g, x, osc() ? py(-0.15) : py(0) - doc_.CharH - 4, QStringLiteral("r"));
    }
    QString modelTitle() const {
        switch (it_.potential().kind()) {
        case PotentialKind::Coulomb:
            return QStringLiteral("水素原子");
        case PotentialKind::Well:
            return doc_.offGrid() ? QStringLiteral("有限の球形井戸（端が格子点の間）") : QStringLiteral("有限の球形井戸");
        case PotentialKind::Morse:
            return QStringLiteral("モース・ポテンシャル");
        case PotentialKind::Oscillator:
            break;
        }
        return QStringLiteral("３次元調和振動子");
    }

    // Where the plot's strokes stay away from: the ink of every label with a pixel
    // of white and half a pen around it, and the whole cell of the opaque title,
    // which would hide them anyway.
    std::vector<QRectF> labelAreas() {
        Surface scratch(g_.fonts(), g_.size());
        scratch.FontName = g_.FontName;
        scratch.FontSize = g_.FontSize;
        const std::size_t opaque = doc_.drawOn(scratch, [this, &scratch] {
            tickLabels();
            curveLabels();
            // The level labels, at the exact levels, with a difference as wide as
            // the one they will show.
            if (!osc())
                for (int s = 1; s <= it_.stateCount(); ++s) {
                    const double e = it_.potential().exactEnergy(s, it_.l());
                    levelLabel(s, e, e, it_.potential().relativeAccuracy());
                }
            const std::size_t n = scratch.ops().size();
            titles();
            return n;
        });
        std::vector<QRectF> areas;
        const double pad = BrindleDocument::kAir + 1.0;
        for (std::size_t i = 0; i < scratch.ops().size(); ++i) {
            const course::DrawOp& op = scratch.ops()[i];
            QRectF r = course::inkBounds(op).adjusted(-pad, -pad, pad, pad);
            if (i >= opaque && op.kind == course::DrawOp::Kind::Text)
                r |= QRectF(op.a, op.cell);
            areas.push_back(r);
        }
        return areas;
    }

    // A row of text over the plot, drawn by `draw` from the cursor. The traces drawn
    // before it in the pass may pass under it: it is laid on a patch of paper (an
    // opaque run of blanks) that reaches kAir past its ink on every side, so their
    // ends stop short of its letters; the strokes drawn after it keep clear of the
    // patch as of the labels.
    void row(const std::function<void()>& draw) {
        Surface& g = g_;
        const double x = doc_.CurX;
        const double y = doc_.CurY;
        const QRectF ink = doc_.inkExtent(draw);
        if (ink.isEmpty()) {
            draw();
            return;
        }
        const QRectF patch = ink.adjusted(-BrindleDocument::kAir - 0.5, -BrindleDocument::kAir - 0.5,
                                          BrindleDocument::kAir + 0.5, BrindleDocument::kAir + 0.5);
        const QString blank(QStringLiteral(" "));
        const double cellHeight = g.TextHeight(blank);
        const int blanks = int(std::ceil(patch.width() / g.TextWidth(blank)));
        const bool transparent = g.FontTransparent;
        g.FontTransparent = false;
        // Blanks as wide as the patch, their cell centred on the row's ink (a line of
        // the body font holds the row's letters with room to spare; lines of them
        // stacked otherwise).
        for (double top = patch.top();; top += cellHeight) {
            const double at = cellHeight >= patch.height() ? patch.center().y() - cellHeight / 2
                                                           : std::min(top, patch.bottom() - cellHeight);
            g.CurrentX = patch.left();
            g.CurrentY = at;
            g.Print(QString(blanks, u' '));
            if (at + cellHeight >= patch.bottom())
                break;
        }
        doc_.CurX = x;
        doc_.CurY = y;
        draw();
        g.FontTransparent = transparent;
        keepClear_.push_back(patch.adjusted(-1, -1, 1, 1));
    }

    // A line of the plot from the current point, left out where it would reach into
    // a label's area (a curve passes under a label with a gap). A line that reaches
    // an area is halved until its pieces either keep clear or are under two pixels.
    void strokeTo(Surface& g, double x, double y, Rgb colour) {
        const double half = g.DrawWidth / 2.0;
        const double x0 = g.CurrentX;
        const double y0 = g.CurrentY;
        const QRectF ink =
            QRectF(QPointF(x0, y0), QPointF(x, y)).normalized().adjusted(-half, -half, half, half);
        const bool reaches = std::any_of(keepClear_.begin(), keepClear_.end(),
                                         [&](const QRectF& a) { return a.intersects(ink); });
        if (!reaches) {
            g.LineTo(x, y, colour);
        } else if (std::hypot(x - x0, y - y0) > 2) {
            strokeTo(g, (x0 + x) / 2, (y0 + y) / 2, colour);
            strokeTo(g, x, y, colour);
        } else {
            g.CurrentX = x;
            g.CurrentY = y;
        }
    }

    BrindleDocument& doc_;
    Surface& g_;
    const bool printing_;
    course::PacedWaiter& pacing_;
    EigenIteration it_;
    PlotWindow window_;
    float rowOffset_ = 0; // rows drawn before the page was drawn afresh
    bool cancelled_ = false;
    std::vector<QRectF> labelAreas_; // of the labels every pass draws
    std::vector<QRectF> keepClear_;  // and of the rows drawn so far in this pass
};

void BrindleDocument::cancelRunsOn(const Surface* g) {
    for (LiveRun* r : runs_)
        if (&r->surface() == g)
            r->cancel();
}

void BrindleDocument::pic2() {
    Surface& g = *Pic;
    // A run already going on this surface is waiting in the event loop, and this call
    // comes from there: it is cancelled, and the new run starts once it has unwound,
    // in the outer call below. Runs never nest, however many keys ask for one.
    bool running = false;
    for (const LiveRun* r : runs_)
        running = running || &r->surface() == &g;
    cancelRunsOn(&g);
    if (running && Printing == 0) {
        rerun_ = true;
        return;
    }
    // While a print is prepared the run draws at once, without waiting: it ends here.
    do {
        rerun_ = false;
        LiveRun run(*this, g, Printing != 0);
        run.execute();
    } while (rerun_ && !env().endRequested());
}

void BrindleDocument::setL(int l) {
    checkL(l);
    l_ = l;
}

bool BrindleDocument::chooseL(course::Form1& form, int l) {
    const int last = settings().pages - 1;
    if (&form.document() != this || CurPic != last || l < kMinL || l > makePotential(kind_)->maxL())
        return false;
    setL(l);
    // Showing the page again runs it anew: at once, holding KeyBusy as a key's run
    // does, or after the run in progress.
    QScopedValueRollback<bool> busy(KeyBusy, true);
    form.ShowThisPic(last);
    return true;
}

void BrindleDocument::setPotential(PotentialKind kind, bool offGrid) {
    kind_ = kind;
    offGrid_ = offGrid && kind == PotentialKind::Well;
    l_ = std::min(l_, makePotential(kind)->maxL());
    for (std::size_t k = 0; k < modelLabels_.size(); ++k)
        if (modelLabels_[k])
            modelLabels_[k]->setBackColor(int(k) == int(kind_) ? kChosenLabel : settings().labelColor);
}

bool BrindleDocument::choosePotential(course::Form1& form, PotentialKind kind) {
    const int last = settings().pages - 1;
    if (&form.document() != this || CurPic != last)
        return false;
    setPotential(kind, kind == kind_ && offGrid_);
    QScopedValueRollback<bool> busy(KeyBusy, true);
    form.ShowThisPic(last);
    return true;
}

void BrindleDocument::addCommands(course::CommandTable& table, course::Form1& form) {
    using K = course::Keystroke;
    std::vector<K> digits;
    for (int l = kMinL; l <= kMaxL; ++l)
        digits.push_back(K::plain(Qt::Key_0 + l));
    course::Command choose{
        QStringLiteral("choose-l"), digits,
        QCoreApplication::translate("brindle::BrindleDocument",
                                    "On the last page: choose the angular momentum l = 0 … 3 "
                                    "and compute again"),
        [this, &form](int key) { chooseL(form, key - Qt::Key_0); }};
    // Also while a run started by a key holds KeyBusy: the new run holds it in turn.
    choose.enabled = [this] { return CurPic == settings().pages - 1; };
    table.add(std::move(choose));
}

std::unique_ptr<course::Document> makeDocument(std::optional<double> speed, int l, bool paused,
                                               PotentialKind kind, bool offGrid) {
    auto doc = std::make_unique<BrindleDocument>();
    doc->setSpeed(speed ? *speed : course::savedSpeed(doc->settings().name));
    doc->setL(l);
    doc->setPotential(kind, offGrid);
    if (paused)
        doc->pacing().clock().pause();
    return doc;
}

int defaultL(PotentialKind kind) { return std::min(1, makePotential(kind)->maxL()); }

course::Outcome parsePotential(const QString& text, PotentialKind& kind) {
    const std::optional<PotentialKind> k = potentialFromKey(text.trimmed().toStdString());
    if (!k)
        return course::Outcome::failure(
            course::Catalog::terminal()
                .translate("brindle", "--potential needs oscillator, coulomb, well or morse, not \"%1\"")
                .arg(text));
    kind = *k;
    return course::Outcome::success();
}

course::Outcome parseL(const QString& text, int& l) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < kMinL || v > kMaxL)
        return course::Outcome::failure(
            course::Catalog::terminal()
                .translate("brindle",
                           "--l needs a whole number from 0 to 3 (the angular momentum), not \"%1\"")
                .arg(text));
    l = v;
    return course::Outcome::success();
}

} // namespace brindle
