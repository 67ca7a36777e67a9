// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// brindle: three pages on finding bound-state energies by Numerov integration from
// both ends and an energy correction from the kink at the matching point. Pages 0
// and 1 explain the method; page 2 runs it live on the l = 1 radial equation of the
// three-dimensional harmonic oscillator and traces every iteration.

#include <engine/shell/Document.h>

#include <engine/shell/PacedWaiter.h>
#include <engine/system/Outcome.h>

#include <brindle/Potential.h>

#include <QObject>
#include <QPointer>
#include <QRectF>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace course {
class CommandTable;
class Form1;
class Label;
class RunControls;
} // namespace course

namespace brindle {

class LiveRun;

class BrindleDocument : public course::Document {
public:
    BrindleDocument();
    ~BrindleDocument() override;

    const course::DocumentSettings& settings() const override;
    void drawPage(int k) override;

    // Tall curly brace from Symbol pieces: index 0 left, 1 right; ht is the height
    // factor (five pieces from ht 1 on, three below).
    void ColBrace(int index, double x, double y, double ht) {
        Typesetter::ColBrace(index, x, y, ht, BraceBuild::ExtendedFromOne);
    }
    // (z₁′(x₀) − z₂′(x₀)) at the cursor; leaves the marks after z₁ and z₂.
    void diffz();

    // Every wait of the live page divided by f (f > 0; std::invalid_argument else),
    // also in a run in progress.
    void setSpeed(double f);
    double speed() const { return pacing_.clock().speed(); }
    // How the live page waits: its paced clock (pause, step, speed) and the event
    // loop it sleeps in. Tests put in their own time source and event loop.
    course::PacedWaiter& pacing() { return pacing_; }

    // The keys 0..3 of the live page (chooseL) and O, C, W, M (choosePotential).
    void addCommands(course::CommandTable& table, course::Form1& form) override;
    // Adds the run's controls to the window, with their commands (P, N, →, [ and ], on
    // the live page only, also while a key holds KeyBusy); they show with the live page.
    void windowLoaded(course::Form1& form) override;
    course::RunControls* runControls() const;

    // Runs of the live page in progress (outermost first); cancelled ones included
    // until they have unwound.
    int runsInProgress() const { return int(runs_.size()); }

    // Angular momentum of the live page's oscillator, 0..3 (std::invalid_argument
    // otherwise); l = 1 unless chosen. A run in progress keeps the l it started with.
    void setL(int l);
    int l() const { return l_; }
    // The keys 0..3 of `form`'s window: on the live page they choose l and run the page
    // again, also while a run started by a key holds KeyBusy (the new run holds it in
    // turn): a run in progress is cancelled and the new one starts once it has unwound.
    // On the other pages they do nothing. Returns whether the key acted.
    bool chooseL(course::Form1& form, int l);

    // The model of the live page (the oscillator unless chosen); offGrid moves the
    // well's edge off the grid. l is brought into the model's range.
    void setPotential(PotentialKind kind, bool offGrid = false);
    PotentialKind potential() const { return kind_; }
    bool offGrid() const { return offGrid_; }
    // The keys O, C, W, M and the model labels of `form`'s window: on the live page they
    // choose the model (l = 0 when the model has no l as high as the one shown) and run
    // the page again, like chooseL; elsewhere they do nothing. Returns whether they acted.
    bool choosePotential(course::Form1& form, PotentialKind kind);
    // The back colour of the label of the chosen model.
    static constexpr course::Rgb kChosenLabel = course::RGB(200, 200, 255);

private:
    friend class LiveRun;

    // Page procedures.
    void pic0();
    void pic1();
    // The live page: recomputes and redraws everything, pacing the traces unless
    // Printing is set. A run draws only on the surface it started on.
    void pic2();

    void figure();                                  // the two partial solutions on page 0
    void caseLine(int index, double y);             // one case of z(x) = { … }
    void rangeText(bool left);                      // (x_min ≦ x ≦ x₀) / (x₀ ≦ x ≦ x_max)
    void x0();                                      // x₀
    void xSub(const char* sub);                     // x with a subscript clear of it
    void argx0();                                   // (x₀)
    void fnOf(const char* name, const char* index); // z₁(x), y(x), …
    void eigenFraction(bool improved);              // the built fraction of E (page 1)
    void fontSize(double size);

    void cancelRunsOn(const course::Surface* g);
    // The labels and keys that choose the model, right of the window's title.
    void addModelLabels(course::Form1& form, int titleRight);

    // The least white left between two inks that must not touch, in pixels.
    static constexpr double kAir = kInkAir;

    // Scratch marks of the built formulas.
    double lineY_ = 0;
    double markX_ = 0;
    double markX2_ = 0;

    int l_ = 1;
    PotentialKind kind_ = PotentialKind::Oscillator;
    bool offGrid_ = false;
    std::vector<QPointer<course::Label>> modelLabels_; // owned by the window
    course::PacedWaiter pacing_;
    QPointer<course::RunControls> controls_; // owned by the window
    std::unique_ptr<QObject> controlsShown_; // shows the controls with the live page
    std::vector<std::unique_ptr<QObject>> labelsShown_; // ... and the model labels
    std::vector<LiveRun*> runs_;
    bool rerun_ = false; // the page was shown again while its run waited
};

// The document at the given speed (the one chosen last time when none) and l,
// optionally with its live run paused.
std::unique_ptr<course::Document> makeDocument(std::optional<double> speed = 1.0, int l = 1,
                                               bool paused = false,
                                               PotentialKind kind = PotentialKind::Oscillator,
                                               bool offGrid = false);

// The l a model starts with: 1, or 0 for the Morse potential.
int defaultL(PotentialKind kind);

// The value of --potential: oscillator, coulomb, well or morse, written to `kind`.
course::Outcome parsePotential(const QString& text, PotentialKind& kind);

// The value of --l: a whole number from 0 to 3, written to `l`. Anything else is a
// failure that names the value, and leaves `l` alone.
course::Outcome parseL(const QString& text, int& l);

// The page-2 picture's size in pixels: the plot mapping px/py is measured on it even
// when the drawing goes to the print canvas.
QSize livePageSize();

} // namespace brindle
