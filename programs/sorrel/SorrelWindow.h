// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Hartree window: the window itself is a drawing surface (the running table),
// with the title label, the hidden download label and the two plots on top. When it
// is loaded it runs the whole computation, drawing it as it goes, and ends with a
// summary, a sound and the download label. Escape or closing the window ends the
// program at once, also in the middle of a curve.

#include "Controls.h"
#include "SorrelDisplay.h"
#include "SorrelGlyphs.h"
#include <engine/shell/Label.h>
#include <engine/shell/ShellWindow.h>
#include <hartree/HartreeState.h>
#include <hartree/PreciseRun.h>

#include <engine/shell/PacedWaiter.h>

#include <QUrl>

#include <exception>
#include <functional>
#include <memory>
#include <optional>

class QPainter;

namespace course {
class RunControls;
}

namespace sorrel {

// Title of the program (window caption and title label).
inline const QString kProgramTitle = QStringLiteral("ヘリウム原子のハートリー近似");
// The title for nuclear charge Z: the ion's name, "リチウムイオン Li⁺ のハートリー近似".
QString programTitle(int Z);
// Caption of the download label, and what it says when the address cannot be opened.
QString downloadCaption();
QString downloadFailedCaption();

// What the download label opens: `configured` (an address chosen when the suite was
// built) when it is set, otherwise the suite's source archive `archiveName` in the data
// folder `dataDir` when it is there; an empty address when neither is.
QUrl sourceArchiveUrl(const QString& configured, const QString& dataDir, const QString& archiveName);
// The same for this build and the running program's data folder.
QUrl sourceArchiveUrl();

// How a window paces its drawing and reaches the browser.
struct SorrelWindowConfig {
    course::PacedClock::TimeSource clock = course::PacedClock::steadyTimeSource();
    double speed = 1.0;  // waits are divided by it
    bool waits = true;   // false: every time slot is due at once
    bool paused = false; // the run waits for P (or N) before its first curve
    course::Yield yield = course::Yield::eventLoop();
    // Opens an address with the desktop's handler; true when that worked. Empty: the
    // desktop's default handler (the web browser, or the archive program for a file).
    std::function<bool(const QUrl&)> openUrl;
    int Z = 2; // nuclear charge of the first run (1..10)
    // Precise mode: each run also computes the result extrapolated to h → 0 (unpaced,
    // before the drawing starts) and reports it beside the Hartree–Fock limit.
    bool precise = false;
    // The address the download label opens; empty: there is none to open.
    QUrl sourceUrl = sourceArchiveUrl();
    // Sounds and the end of the program; none: the window's own (the desktop's
    // sounds, Escape and closing end the process).
    course::Environment* environment = nullptr;
};

class SorrelWindow : public course::ShellWindow, private course::FormTarget {
    Q_OBJECT
public:
    using Config = SorrelWindowConfig;
    // A configuration that computes and draws everything without yielding or waiting.
    static Config unpaced();

    // `fonts` must outlive the window.
    explicit SorrelWindow(course::FontTable& fonts, Config config = Config());
    ~SorrelWindow() override;

    // Start-up after the window has been shown: font and character cell, engine
    // start-up, initial orbital, empty first table line, then the whole run. Returns
    // when the run has ended (completed, or stopped because the program is ending).
    // `observer` replaces the window's own display steps (tests wrap them).
    // The keys 1..9 and 0 choose Z = 1..10: a run in progress stops at its next yield
    // and load() starts again for the new charge (with the same observer); after the
    // run has ended the key starts a new run from the event loop, with the window's
    // own display steps. The key E switches precise mode the same way.
    RunOutcome load(HartreeObserver* observer = nullptr);

    // Nuclear charge of the current (or next) run.
    int charge() const { return Z_; }
    // What a key 1..9, 0 does: run again for charge Z (1..10).
    void chooseCharge(int Z);
    // Precise mode of the current (or next) run.
    bool preciseMode() const { return preciseMode_; }
    // What the key E does: precise mode on or off, and run again.
    void choosePrecise(bool on);
    // The precise result of the current run (precise mode only), else null.
    const PreciseRun* precise() const { return precise_.get(); }
    // Runs started by load() so far, restarts included.
    int runsStarted() const { return runsStarted_; }

    // The client area at 100 %, in logical pixels.
    static QSize designSize();

    // Parts, for the program's output and for tests.
    course::FontTable& fonts() const override { return ShellWindow::fonts(); }
    course::Surface& form() { return clientSurface(); }
    course::Surface& picNumerov() { return picNumerov_->surface(); }
    course::Surface& pic() { return pic_->surface(); }
    PictureBox* picNumerovBox() const { return picNumerov_; }
    PictureBox* picBox() const { return pic_; }
    course::Label* label1() const { return label1_; }
    course::Label* getSourceFile() const { return getSourceFile_; }
    SorrelGlyphs& glyphs() { return glyphs_; }
    SorrelDisplay& display() { return *display_; }
    // The run's paced clock (pause, step, speed) and the controls that show it.
    course::PacedClock& clock() { return pacer_.clock(); }
    course::RunControls* runControls() const { return controls_; }
    const HartreeState* state() const { return state_.get(); }
    std::optional<RunOutcome> outcome() const { return outcome_; }

protected:
    void windowClosing(QCloseEvent* event) override;

private:
    // Escape, the charge keys, the run's controls and the download label.
    void addCommands();
    // FormTarget (engine start-up).
    course::Rgb backColor() const override;
    void setBackColor(course::Rgb c) override;
    void setControlsBackColor(course::Rgb c) override;

    RunOutcome exec(HartreeObserver& observer);
    void prepare();
    course::Yield yieldFor(course::Yield y);
    bool stopRequested() const { return pendingCharge_ || glyphs_.env().endRequested(); }
    void reportException(const std::exception& e);
    void getSourceFileClick();
    // Runs again with this charge and mode: at the next yield of a run in progress,
    // or from the event loop after the run has ended.
    void restart(int Z, bool precise);
    // The mode of the next run: the one a key has asked for, else the current one.
    bool nextPrecise() const;

    Config config_;
    SorrelGlyphs glyphs_;
    course::PacedWaiter pacer_;
    course::Label* label1_;
    PictureBox* picNumerov_;
    PictureBox* pic_;
    course::Label* getSourceFile_;
    course::RunControls* controls_;
    std::unique_ptr<SorrelDisplay> display_;
    std::unique_ptr<HartreeState> state_;
    std::optional<RunOutcome> outcome_;
    int Z_ = 2;
    bool preciseMode_ = false;
    std::unique_ptr<PreciseRun> precise_;
    std::optional<int> pendingCharge_; // a key asked for another charge (or mode)
    bool pendingPrecise_ = false;      // ... and this precise mode
    bool running_ = false;
    int runsStarted_ = 0;
};

} // namespace sorrel
