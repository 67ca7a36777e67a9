// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// tessera: four pages on the time-dependent Schrödinger equation solved by the
// Crank–Nicolson scheme — time and space differencing, stability, the reduction of
// one time step to a tridiagonal linear system, and the modified Cholesky method on a
// 4×4 example with forward and back substitution. The last page runs the scheme live
// on a Gaussian packet in the harmonic oscillator beside its exact evolution.

#include <engine/shell/Document.h>
#include <engine/shell/PacedWaiter.h>
#include <engine/system/Outcome.h>

#include <packet/PacketEvolution.h>

#include <QObject>
#include <QPointer>
#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace course {
class CommandTable;
class Form1;
class RunControls;
} // namespace course

namespace tessera {

class LiveRun;
class PacketControls;

// The program's title: caption of the window and of its title label, and the line
// above the first heading of the printed page 0.
QString title();

class TesseraDocument : public course::Document {
public:
    TesseraDocument();
    ~TesseraDocument() override;

    const course::DocumentSettings& settings() const override;
    void drawPage(int k) override;

    // Glyphs of this document. They draw on Pic at CurX and advance it; y is the top
    // of the text.
    void DeltaT(double y);    // Δt
    void DeltaX(double y);    // Δx with 2 px either side
    void DeltaTPar(double y); // (Δt)
    void DeltaXSq(double y);  // (Δx)²
    // Square brackets around a 4-row matrix whose origin is X and whose rows start one
    // line below Y; the right bracket stands 10 characters and 3 px to the right.
    void MatBrackets(double X, double Y);
    // (Δx)² over Δt at the cursor; CurX ends after the numerator, inside the bar.
    void DxSqOverDt();
    // Length of that fraction's bar in characters.
    static constexpr double kDxSqBar = 5.8;
    // Height of the strip at the bottom of the client area that holds the live page's
    // controls, in design pixels; the live page draws nothing there.
    static constexpr int kControlStrip = 40;

    // ---- The live page ----
    // Every wait of the live page divided by f (f > 0; std::invalid_argument else).
    void setSpeed(double f);
    double speed() const { return pacing_.clock().speed(); }
    // How the live page waits (pause, step, speed, and the event loop it sleeps in).
    course::PacedWaiter& pacing() { return pacing_; }
    // The scheme and Δt = 2π/stepsPerPeriod of the next run of the live page; a run in
    // progress keeps the ones it started with.
    Scheme scheme() const { return scheme_; }
    void setScheme(Scheme s) { scheme_ = s; }
    int stepsPerPeriod() const { return stepsPerPeriod_; }
    // Halves (factor −1) or doubles (+1) Δt within its range; false when at its end.
    bool scaleTimeStep(int factor);
    // On the live page of `form`'s window: switches between the Crank–Nicolson and the
    // explicit scheme, or halves or doubles Δt, and runs the page again (a run in
    // progress is cancelled and the new one starts once it has unwound). Elsewhere
    // nothing. Returns whether it acted.
    bool toggleScheme(course::Form1& form);
    bool changeTimeStep(course::Form1& form, int factor);

    // Adds the run's controls and the scheme's labels to the window, with their
    // commands (on the live page only, also while a key holds KeyBusy).
    void windowLoaded(course::Form1& form) override;
    course::RunControls* runControls() const;
    PacketControls* packetControls() const;
    // Runs of the live page in progress (outermost first), cancelled ones included
    // until they have unwound.
    int runsInProgress() const { return int(runs_.size()); }

private:
    friend class LiveRun;

    // Page procedures: each clears Pic and draws the whole page on it. The live page
    // (pic3) evolves the packet and draws it frame by frame, paced, unless Printing is
    // set; then it computes the run at once and draws its last frame.
    void pic0();
    void pic1();
    void pic2();
    void pic3();
    void rerunLivePage(course::Form1& form);

    // Pieces the pages repeat.
    void fn() { fSS(QStringLiteral("n"), {}); }                 // fⁿ
    void fn1() { fSS(QStringLiteral("n+1"), {}); }              // fⁿ⁺¹
    void fnk(const QString& k) { fSS(QStringLiteral("n"), k); } // fⁿ_k
    void gn() { gSS(QStringLiteral("n"), {}); }                 // gⁿ
    void gnk(const QString& k) { gSS(QStringLiteral("n"), k); } // gⁿ_k
    void idx(const QString& letter, const QString& index);      // italic letter, subscript
    void tag(const QString& t);                                 // equation tag at TagCol
    void at(double x, double lines);                            // CurX = x, then incy lines
    void half();                                                // ½ at the cursor
    void headingColor(bool blue);

    course::PacedWaiter pacing_;
    Scheme scheme_ = Scheme::CrankNicolson;
    int stepsPerPeriod_ = kStepsPerPeriod;
    QPointer<course::RunControls> controls_;  // owned by the window
    QPointer<PacketControls> packetControls_; // owned by the window
    std::vector<std::unique_ptr<QObject>> shownWithPage_;
    std::vector<LiveRun*> runs_;
    bool rerun_ = false; // the page was shown again while its run waited
    // The last frame of the live page's run for each scheme and Δt, for prints and
    // exports: a run's result does not change, and computing it takes half a second.
    std::map<std::pair<int, int>, std::shared_ptr<const PacketEvolution>> lastFrames_;
};

// The document, its live page at the given speed (the one chosen last time when none),
// optionally paused before its first frame.
std::unique_ptr<course::Document> makeDocument(std::optional<double> speed = 1.0, bool paused = false);


} // namespace tessera
