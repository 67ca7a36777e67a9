// SPDX-License-Identifier: GPL-3.0-or-later
// Page 3: the scheme of pages 0–2 run live. The Gaussian packet of the oscillator,
// displaced by A = 2 with width B = 0.7, is advanced by Crank–Nicolson (or, chosen
// with E, by the explicit scheme of [2]) and drawn frame by frame as |Ψ(x, t)|² over
// the exact density of the closed form, with t, the norm and the largest difference
// from the exact density. A Crank–Nicolson run lasts ten periods, 100 frames each;
// an explicit one draws every step until its norm passes 10⁶, and stops there with a
// message, long before the numbers overflow.
//
// The pace: one frame every 40 ms of the document's paced clock, so a period takes
// 4 s at ×1; the explicit scheme's frames (one step each) every 100 ms. Each drawn
// frame is a trace of the clock: N steps a paused run by one drawn frame, and a pause
// holds the run before the next. A drawn frame covers twice the speed's frames (1 to
// 32), so the page is redrawn every 80 ms of real time at most. The rows of numbers
// are drawn anew with every fourth drawn frame, the last one and a frame the reader
// pauses or steps on; the curves with every one. The rows' words are drawn once, with
// the page's still parts; each number stands right-aligned in a slot of its own, as wide
// as the widest number of the run, so that a new reading redraws only the numbers.
//
// Re-entrancy is brindle's: a run draws only on the surface it started on (in a
// DrawingScope), a print draws a whole run of its own at once with Printing set (no
// waits), showing the page again while a run waits cancels it and the new run starts
// once it has unwound, and End stops a run at its next yield.

#include "PacketControls.h"
#include "TesseraDocument.h"

#include <engine/shell/EventPump.h>
#include <engine/shell/Form1.h>

#include <packet/PacketRun.h>

#include <QScopedValueRollback>

#include <algorithm>
#include <chrono>
#include <memory>
#include <utility>
#include <cmath>
#include <numbers>
#include <optional>

namespace tessera {

using course::Surface;

namespace {

using std::chrono::nanoseconds;
constexpr nanoseconds kFrame = std::chrono::milliseconds(40);
// The explicit scheme is drawn step by step, slower, so that the growth can be seen.
constexpr nanoseconds kExplicitFrame = std::chrono::milliseconds(100);
constexpr int kMostFramesPerDraw = 32;
// The rows of numbers are drawn anew with every fourth drawn frame (about three times a
// second, as a meter shows its reading), with the last one and with a frame the reader
// steps to or pauses on: numbers that change 12 times a second cannot be read, and
// typesetting and painting them was a third of a frame's cost. Between, they stay and
// only the curves are drawn again.
constexpr int kFramesPerRows = 4;
// A curve's points closer than this to the line through their neighbours are left out,
// pixels.
constexpr double kStraight = 0.15;
// Steps a print computes between two looks at the window's events (about 20 ms).
constexpr long kPrintSlice = 500;

constexpr course::Rgb kComputed = course::RGB(0, 0, 255);
constexpr course::Rgb kExact = course::RGB(175, 175, 175);
constexpr course::Rgb kRed = course::RGB(220, 0, 0);

// The plot on the page, in page pixels: x from −7 to 7, the density from 0 to 1.
constexpr double kPlotLeft = 70, kPlotRight = 750, kPlotTop = 245, kPlotBottom = 600;
constexpr double kXRange = 7, kRhoTop = 1.0;
// Rows of the status lines, in page pixels.
constexpr double kMethodRow = 100, kStatusRow = 126, kMessageRow = 152;

double px(double x) { return kPlotLeft + (x + kXRange) / (2 * kXRange) * (kPlotRight - kPlotLeft); }
double py(double rho) { return kPlotBottom - rho / kRhoTop * (kPlotBottom - kPlotTop); }

enum class Ending { Running, Finished, BlownUp };

QString fixed(double v, int decimals) { return QString::number(v, 'f', decimals); }

// "1.23e-05" as "1.23×10⁻⁵" is drawn by the caller; this gives mantissa and exponent.
void scientific(double v, QString& mantissa, QString& exponent) {
    const QString s = QString::number(v, 'e', 2);
    const qsizetype e = s.indexOf(QLatin1Char('e'));
    mantissa = s.left(e);
    exponent = QString::number(s.mid(e + 1).toInt()).replace(QLatin1Char('-'), QStringLiteral("−"));
}

} // namespace

class LiveRun final {
public:
    LiveRun(TesseraDocument& doc, Surface& g, bool printing)
        : doc_(doc), g_(g), printing_(printing), pacing_(doc.pacing_), scheme_(doc.scheme_),
          stepsPerPeriod_(doc.stepsPerPeriod_) {
        doc_.runs_.push_back(this);
    }
    ~LiveRun() {
        auto& runs = doc_.runs_;
        runs.erase(std::remove(runs.begin(), runs.end(), this), runs.end());
    }
    LiveRun(const LiveRun&) = delete;
    LiveRun& operator=(const LiveRun&) = delete;

    Surface& surface() const { return g_; }
    void cancel() { cancelled_ = true; }

    void execute() {
        course::DrawingScope on(doc_, g_);
        // The surface's font and pen as they were when the run ends, however it ends
        // (the print canvas is used again).
        struct PenGuard {
            Surface& g;
            const double size = g.FontSize;
            const int width = g.DrawWidth;
            const course::Rgb fore = g.ForeColor;
            ~PenGuard() {
                g.FontSize = size;
                g.DrawWidth = width;
                g.ForeColor = fore;
            }
        } pen{g_};
        g_.FontSize = doc_.PageFontSize;

        const bool cn = scheme_ == Scheme::CrankNicolson;
        const int stepsPerFrame = cn ? stepsPerPeriod_ / kFramesPerPeriod : 1;
        // Ten periods; the explicit scheme has blown up long before.
        const long lastFrame = long(kPeriods) * (cn ? kFramesPerPeriod : stepsPerPeriod_);
        const auto key = std::make_pair(int(scheme_), stepsPerPeriod_);
        if (printing_) {
            // The last frame of a run with these settings, computed once: a run on the
            // screen that got to its end left it here, or this print computes it.
            std::shared_ptr<const PacketEvolution>& last = doc_.lastFrames_[key];
            if (!last) {
                auto q = std::make_shared<PacketEvolution>(ExactPacket(kDisplacement, kPacketWidth),
                                                           stepsPerPeriod_, scheme_);
                // In slices, handling the window's events between them as a print's
                // step does: the run takes most of a second, the window answers meanwhile.
                const long steps = lastFrame * stepsPerFrame;
                for (long done = 0; done < steps && !q->blownUp();) {
                    const long n = std::min<long>(kPrintSlice, steps - done);
                    q->advance(int(n));
                    done += n;
                    course::DoEvents();
                    if (doc_.env().endRequested())
                        return;
                }
                // A run on the screen may have left the same frame meanwhile.
                std::shared_ptr<const PacketEvolution>& kept = doc_.lastFrames_[key];
                if (!kept)
                    kept = std::move(q);
            }
            const std::shared_ptr<const PacketEvolution> frame = doc_.lastFrames_[key];
            draw(*frame, ending(*frame, frame->steps() / stepsPerFrame, lastFrame));
            return;
        }
        auto run = std::make_shared<PacketEvolution>(ExactPacket(kDisplacement, kPacketWidth), stepsPerPeriod_,
                                                     scheme_);
        PacketEvolution& p = *run;
        draw(p, Ending::Running);
        long frame = 0;
        while (frame < lastFrame && !p.blownUp()) {
            if (!beginTrace())
                return;
            const long n = std::min<long>(framesPerDraw(), lastFrame - frame);
            p.advance(int(n * stepsPerFrame));
            frame += n;
            const Ending end = ending(p, frame, lastFrame);
            drawNext(p, end, end != Ending::Running || held() || rowsBehind_ + 1 >= kFramesPerRows);
            if (end != Ending::Running)
                doc_.lastFrames_[key] = run;
            if (!pacedPoint(n * (cn ? kFrame : kExplicitFrame)))
                return;
        }
    }

private:
    // The numbers of the rows, as they are written.
    struct Readings {
        QString steps, t, periods, norm; // periods with the parenthesis: " (1.23"
        QString mantissa, exponent;       // the largest difference, mantissa×10^exponent
    };
    static Ending ending(const PacketEvolution& p, long frame, long lastFrame) {
        if (p.blownUp())
            return Ending::BlownUp;
        return frame >= lastFrame ? Ending::Finished : Ending::Running;
    }

    // Frames covered by one drawn frame: twice the speed, rounded, from 1 to 32. A
    // frame redraws the plot, so the window is redrawn at most 12.5 times a second
    // (every 80 ms) at any speed; below ×½ every frame is drawn.
    int framesPerDraw() const {
        const double s = pacing_.clock().speed();
        return std::clamp(int(std::lround(2 * s)), 1, kMostFramesPerDraw);
    }

    // The start of a frame: a step ends here and a pause holds the run.
    bool beginTrace() {
        return paced([&](const course::PacedWaiter::Cancelled& c) { return pacing_.beginTrace(c); });
    }
    // Sleeps in the event loop until the frame's paced time reaches `offset`. A pause
    // meanwhile wakes it once to draw the rows of the frame it holds, if they are older.
    bool pacedPoint(nanoseconds offset) {
        const auto stop = [this] { return cancelled_ || doc_.env().endRequested(); };
        while (!cancelled_) {
            bool rowsDue = false;
            const bool reached = pacing_.pacedPoint(offset, [&] {
                rowsDue = held() && rowsBehind_ > 0;
                return rowsDue || stop();
            });
            if (stop() || (!reached && !rowsDue))
                break;
            if (reached)
                return true;
            drawNext(*shown_, Ending::Running, true);
        }
        cancel();
        return false;
    }
    // Paused, or stepping to the next frame: the reader looks at this one.
    bool held() const { return pacing_.clock().paused() || pacing_.clock().stepping(); }
    template <typename Wait>
    bool paced(Wait wait) {
        if (!cancelled_) {
            const auto stop = [this] { return cancelled_ || doc_.env().endRequested(); };
            if (!wait(stop) || stop())
                cancel();
        }
        return !cancelled_;
    }

    // One whole frame: the page's still parts (its text, the axes and their labels),
    // then what moves (the rows of numbers, the exact and the computed density).
    void draw(const PacketEvolution& p, Ending end) {
        Surface& g = g_;
        g.Cls();
        g.ScalePixels();
        stillTexts();
        {
            course::ConstructMark plot(g, course::ConstructKind::Plot);
            axes();
        }
        const Readings now = readings(p);
        fitSlots(now);
        rowWords(p);
        still_ = g.mark();
        drawMoving(p, end, &now);
    }
    // The next frame: the last one's moving parts taken back and drawn anew, so that
    // only the area they cover is painted and shown again (the rows of numbers stay
    // unless `withRows`); the whole frame when the page was cleared or resized meanwhile.
    void drawNext(const PacketEvolution& p, Ending end, bool withRows) {
        std::optional<Readings> now;
        if (withRows)
            now = readings(p);
        // A number wider than its slot widens it: the words are laid out anew.
        if (now && fitSlots(*now))
            draw(p, end);
        else if (g_.rollBack(now ? still_ : rowsEnd_))
            drawMoving(p, end, now ? &*now : nullptr);
        else
            draw(p, end);
    }
    // `rows`: the numbers to draw the rows with, none to keep those drawn.
    void drawMoving(const PacketEvolution& p, Ending end, const Readings* rows) {
        Surface& g = g_;
        shown_ = &p;
        if (rows) {
            rowNumbers(*rows, end);
            rowsEnd_ = g.mark();
            rowsBehind_ = 0;
        } else {
            ++rowsBehind_;
        }
        course::ConstructMark plot(g, course::ConstructKind::Plot);
        // Grid points 0.04 apart inside the plot: about 1.9 px.
        stride_ = std::max(1, int(std::lround(0.04 / p.dx())));
        const int first = int(std::ceil((-kXRange - p.x(0)) / p.dx()));
        const int last = first + (int(std::floor((kXRange - p.x(0)) / p.dx())) - first) / stride_ * stride_;
        g.DrawWidth = 6;
        const ExactPacket::Density exact = p.exactDensityNow();
        curve(p, first, last, [&](int k) { return exact(p.x(k)); }, kExact);
        g.DrawWidth = 2;
        curve(p, first, last, [&](int k) { return p.density(k); }, kComputed);
        g.DrawWidth = 1;
    }

    // A polyline of the density through every stride_-th point, clipped at the top; points
    // on a flat stretch (where it lies on the axis) and points the polyline would bend
    // at by less than kStraight pixels (the packet's flanks) are left out: fewer
    // segments to record, stroke and show, the same curve to the eye.
    template <typename Rho>
    void curve(const PacketEvolution& p, int first, int last, Rho rho, course::Rgb colour) {
        auto yOf = [&](int k) { return std::max(kPlotTop, py(rho(k))); };
        std::vector<QPointF>& pts = curvePoints_;
        pts.clear();
        int k = first;
        double y = yOf(k);
        pts.emplace_back(px(p.x(k)), y);
        double prevY = y;
        const int d = stride_;
        // Each point's height is worked out once: the next one's is kept for its turn.
        double nextY = yOf(std::min(first + d, last));
        for (k = first + d; k <= last; k += d) {
            y = nextY;
            const int next = std::min(k + d, last);
            nextY = next == k ? y : yOf(next);
            const bool flat = std::abs(y - prevY) < 0.2 && std::abs(nextY - y) < 0.2 && k != last;
            if (!flat) {
                // Close a flat stretch where it ends.
                if (std::abs(pts.back().x() - px(p.x(k - d))) > 0.5)
                    pts.emplace_back(px(p.x(k - d)), prevY);
                pts.emplace_back(px(p.x(k)), y);
            }
            prevY = y;
        }
        Surface& g = g_;
        g.PSet(pts[0].x(), pts[0].y(), colour);
        std::size_t anchor = 0;
        for (std::size_t i = 2; i < pts.size(); ++i)
            if (!straight(pts, anchor, i)) {
                g.LineTo(pts[i - 1].x(), pts[i - 1].y(), colour);
                anchor = i - 1;
            }
        if (pts.size() > 1)
            g.LineTo(pts.back().x(), pts.back().y(), colour);
    }
    // Whether every point between pts[from] and pts[to] lies within kStraight of the
    // line between them.
    static bool straight(const std::vector<QPointF>& pts, std::size_t from, std::size_t to) {
        const QPointF a = pts[from], d = pts[to] - a;
        const double length = std::hypot(d.x(), d.y());
        for (std::size_t j = from + 1; j < to; ++j) {
            const QPointF e = pts[j] - a;
            if (std::abs(d.x() * e.y() - d.y() * e.x()) > kStraight * length)
                return false;
        }
        return true;
    }

    void axes() {
        Surface& g = g_;
        const course::Rgb gray = doc_.Gray;
        g.Line(kPlotLeft, kPlotBottom, kPlotRight, kPlotBottom, gray);
        g.Line(kPlotLeft, kPlotBottom, kPlotLeft, kPlotTop, gray);
        for (int d = -7; d <= 7; ++d)
            g.Line(px(d), kPlotBottom, px(d), kPlotBottom + (d % 2 == 0 ? 6 : 3), gray);
        for (int j = 1; j <= 5; ++j)
            g.Line(kPlotLeft - 5, py(0.2 * j), kPlotLeft, py(0.2 * j), gray);
    }

    // The words over the plot and the axis labels.
    void stillTexts() {
        TesseraDocument& d = doc_;
        Surface& g = g_;
        g.ForeColor = d.MyColor[0];
        d.CurY = Printing() ? d.CharH : 0;
        d.CurX = d.Indent1;
        d.dspBlue(QStringLiteral("(7) 波束の時間発展を計算する."));

        d.NewPara();
        d.ds(QStringLiteral("調和振動子 "));
        d.it(QStringLiteral("V"));
        d.ds(QStringLiteral(" = "));
        d.it(QStringLiteral("x"));
        d.sp(QStringLiteral("2"));
        d.ds(QStringLiteral("/2 の中に置いたガウス型の波束 ("));
        d.it(QStringLiteral("A"));
        d.ds(QStringLiteral(" = 2，"));
        d.it(QStringLiteral("B"));
        d.ds(QStringLiteral(" = 0.7) を"));
        d.NewLine();
        if (scheme_ == Scheme::CrankNicolson)
            d.ds(QStringLiteral("クランク・ニコルソン法で動かし，青い線で描きます。灰色の太い線は厳密解です。"));
        else
            d.ds(QStringLiteral("陽解法 [2] で動かし，青い線で描きます。灰色の太い線は厳密解です。"));

        // Axis labels: x under the axis every 2, the density left of it.
        for (int x = -6; x <= 6; x += 2) {
            const QString s = x < 0 ? QStringLiteral("−%1").arg(-x) : QString::number(x);
            double at = px(x) - g.TextWidth(s) / 2;
            d.dsp(g, at, kPlotBottom + 8, s);
        }
        for (int j : {0, 5, 10}) {
            const QString s = j == 10 ? QStringLiteral("1") : j == 0 ? QStringLiteral("0") : QStringLiteral("0.5");
            double at = kPlotLeft - 9 - g.TextWidth(s);
            d.dsp(g, at, py(0.1 * j) - d.CharH / 2, s);
        }
        double at = kPlotRight + 6;
        d.dspItalic(g, at, kPlotBottom - d.CharH / 2, QStringLiteral("x"));
        d.CurX = kPlotLeft - 4;
        d.CurY = kPlotTop - d.CharH - 8;
        d.ds(QStringLiteral("|Ψ("));
        d.it(QStringLiteral("x"));
        d.addx(1); // the italic x leans over its advance into the comma
        d.ds(QStringLiteral(","));
        d.it(QStringLiteral(" t"));
        d.ds(QStringLiteral(")|"));
        d.sp(QStringLiteral("2"));
    }

    Readings readings(const PacketEvolution& p) const {
        Readings r;
        r.steps = QString::number(p.steps());
        r.t = fixed(p.t(), 3);
        r.periods = periodsText(fixed(p.t() / ExactPacket::period(), 2));
        r.norm = fixed(p.norm(), normDecimals());
        scientific(p.maxError(), r.mantissa, r.exponent);
        return r;
    }
    // " (1.23": the periods' number with the blank and the parenthesis before it.
    static QString periodsText(const QString& number) { return QStringLiteral(" (") + number; }
    int normDecimals() const { return scheme_ == Scheme::CrankNicolson ? 12 : 6; }

    // Widens the slots to the widest number a run can show (the step count and the time
    // of its last frame; a norm of 1 for Crank–Nicolson, up to the stop for the explicit
    // scheme), set in the widest digit, and to `now`. True when a slot grew after the
    // words were laid out.
    bool fitSlots(const Readings& now) {
        Surface& g = g_;
        const bool laidOut = slots_.t > 0;
        if (!laidOut) {
            double widest = 0;
            QChar digit = QLatin1Char('0');
            for (char c = '0'; c <= '9'; ++c)
                if (const double w = g.TextWidth(QString(QLatin1Char(c))); w > widest)
                    widest = w, digit = QLatin1Char(c);
            const auto inWidest = [&](QString s) {
                for (QChar& c : s)
                    if (c.isDigit())
                        c = digit;
                return g.TextWidth(s);
            };
            const bool cn = scheme_ == Scheme::CrankNicolson;
            const long lastSteps = long(kPeriods) * stepsPerPeriod_;
            const double lastT = kPeriods * ExactPacket::period();
            slots_.steps = inWidest(QString::number(lastSteps));
            slots_.t = inWidest(fixed(lastT, 3));
            slots_.periods = inWidest(periodsText(fixed(kPeriods, 2)));
            slots_.norm = inWidest(fixed(cn ? 1.0 : kBlowUpNorm, normDecimals()));
        }
        bool grew = false;
        const auto fit = [&](double& slot, const QString& s) {
            if (const double w = g.TextWidth(s); w > slot) {
                slot = w;
                grew = true;
            }
        };
        fit(slots_.steps, now.steps);
        fit(slots_.t, now.t);
        fit(slots_.periods, now.periods);
        fit(slots_.norm, now.norm);
        return laidOut && grew;
    }

    // The words of the rows: the method and its steps, the time, the norm and the
    // largest difference, with room left for the numbers.
    void rowWords(const PacketEvolution& p) {
        TesseraDocument& d = doc_;
        Surface& g = g_;
        g.ForeColor = d.MyColor[0];
        const double shift = Printing() ? d.CharH : 0;
        d.CurX = d.LeftMargin;
        d.CurY = shift + kMethodRow;
        d.ds(scheme_ == Scheme::CrankNicolson ? QStringLiteral("クランク・ニコルソン法　")
                                              : QStringLiteral("陽解法　"));
        d.ds(QStringLiteral("⊿"));
        d.it(QStringLiteral("t"));
        d.ds(QStringLiteral(" = 2π/%1 = %2　　⊿").arg(stepsPerPeriod_).arg(fixed(p.dt(), 5)));
        d.it(QStringLiteral("x"));
        d.ds(QStringLiteral(" = %1　　").arg(fixed(p.dx(), 2)));
        at_.steps = d.CurX;
        d.CurX += slots_.steps;
        d.ds(QStringLiteral(" ステップ"));

        d.CurX = d.LeftMargin;
        d.CurY = shift + kStatusRow;
        d.it(QStringLiteral("t"));
        d.ds(QStringLiteral(" = "));
        at_.t = d.CurX;
        d.CurX += slots_.t;
        // The parenthesis goes with the periods' number, so that the room a shorter
        // number leaves falls between the two numbers, not inside the parentheses.
        at_.periods = d.CurX;
        d.CurX += slots_.periods;
        d.ds(QStringLiteral(" 周期)　　ノルム = "));
        at_.norm = d.CurX;
        d.CurX += slots_.norm;
        d.ds(QStringLiteral("　　最大差 = "));
        at_.error = d.CurX;
    }

    // The numbers of the rows, each right-aligned in its slot, and the message a run
    // ends with.
    void rowNumbers(const Readings& now, Ending end) {
        TesseraDocument& d = doc_;
        Surface& g = g_;
        g.ForeColor = d.MyColor[0];
        const double shift = Printing() ? d.CharH : 0;
        const auto number = [&](double at, double slot, double row, const QString& s) {
            d.CurX = at + slot - g.TextWidth(s);
            d.CurY = shift + row;
            d.ds(s);
        };
        number(at_.steps, slots_.steps, kMethodRow, now.steps);
        number(at_.t, slots_.t, kStatusRow, now.t);
        number(at_.periods, slots_.periods, kStatusRow, now.periods);
        number(at_.norm, slots_.norm, kStatusRow, now.norm);
        d.CurX = at_.error;
        d.ds(now.mantissa + QStringLiteral("×10"));
        d.sp(now.exponent);

        d.CurX = d.LeftMargin;
        d.CurY = shift + kMessageRow;
        if (end == Ending::BlownUp) {
            g.ForeColor = kRed;
            d.ds(QStringLiteral("陽解法は不安定です。ノルムが 10"));
            d.sp(QStringLiteral("6"));
            d.ds(QStringLiteral(" を超えたので，ここで計算を止めました。"));
            g.ForeColor = d.MyColor[0];
        } else if (end == Ending::Finished) {
            g.ForeColor = d.Blue;
            d.ds(QStringLiteral("10 周期を計算しました。ノルムは保たれ，計算は厳密解と重なっています。"));
            g.ForeColor = d.MyColor[0];
        }
    }

    bool Printing() const { return doc_.Printing != 0; }

    TesseraDocument& doc_;
    Surface& g_;
    const bool printing_;
    course::PacedWaiter& pacing_;
    const Scheme scheme_;
    const int stepsPerPeriod_;
    int stride_ = 1; // grid points per plotted point
    std::vector<QPointF> curvePoints_; // the points of the curve being drawn
    Surface::Mark still_; // where the still parts of the page end
    Surface::Mark rowsEnd_; // where the rows of numbers end
    int rowsBehind_ = 0;    // frames drawn since the rows were
    // The widths of the numbers' slots and where they begin, page pixels (0: not yet
    // laid out).
    struct {
        double steps = 0, t = 0, periods = 0, norm = 0;
    } slots_;
    struct {
        double steps = 0, t = 0, periods = 0, norm = 0, error = 0;
    } at_;
    const PacketEvolution* shown_ = nullptr; // the run the page shows
    bool cancelled_ = false;
};

void TesseraDocument::pic3() {
    Surface& g = *Pic;
    // A run already going on this surface is waiting in the event loop, and this call
    // comes from there: it is cancelled, and the new run starts once it has unwound,
    // in the outer call below.
    bool running = false;
    for (LiveRun* r : runs_)
        if (&r->surface() == &g) {
            running = true;
            r->cancel();
        }
    if (running && Printing == 0) {
        rerun_ = true;
        return;
    }
    do {
        rerun_ = false;
        LiveRun run(*this, g, Printing != 0);
        run.execute();
    } while (rerun_ && !env().endRequested());
}

bool TesseraDocument::scaleTimeStep(int factor) {
    const int next = factor < 0 ? stepsPerPeriod_ * 2 : stepsPerPeriod_ / 2;
    if (next < kMinStepsPerPeriod || next > kMaxStepsPerPeriod)
        return false;
    stepsPerPeriod_ = next;
    return true;
}

void TesseraDocument::rerunLivePage(course::Form1& form) {
    // Showing the page again runs it anew: at once, holding KeyBusy as a key's run
    // does, or after the run in progress.
    QScopedValueRollback<bool> busy(KeyBusy, true);
    form.ShowThisPic(settings().pages - 1);
}

bool TesseraDocument::toggleScheme(course::Form1& form) {
    if (&form.document() != this || CurPic != settings().pages - 1)
        return false;
    scheme_ = scheme_ == Scheme::CrankNicolson ? Scheme::Explicit : Scheme::CrankNicolson;
    if (packetControls_)
        packetControls_->showScheme(scheme_ == Scheme::Explicit);
    rerunLivePage(form);
    return true;
}

bool TesseraDocument::changeTimeStep(course::Form1& form, int factor) {
    if (&form.document() != this || CurPic != settings().pages - 1)
        return false;
    if (!scaleTimeStep(factor)) {
        env().beep();
        return false;
    }
    rerunLivePage(form);
    return true;
}

} // namespace tessera
