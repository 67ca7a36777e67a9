// SPDX-License-Identifier: GPL-3.0-or-later
#include "SorrelWindow.h"

#include "SorrelPageTools.h"

#include <engine/shell/Document.h>
#include <engine/shell/EventPump.h>
#include <engine/shell/Form1.h>
#include <engine/shell/RunControls.h>
#include <engine/shell/PageTools.h>
#include <engine/system/DataFolder.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace sorrel {

#ifndef SORREL_SOURCE_URL
#define SORREL_SOURCE_URL ""
#endif
#ifndef SORREL_SOURCE_ARCHIVE
#define SORREL_SOURCE_ARCHIVE ""
#endif

QUrl sourceArchiveUrl(const QString& configured, const QString& dataDir, const QString& archiveName) {
    if (!configured.isEmpty())
        return QUrl(configured);
    if (dataDir.isEmpty() || archiveName.isEmpty())
        return {};
    const QFileInfo archive(dataDir + u'/' + archiveName);
    return archive.isFile() ? QUrl::fromLocalFile(archive.absoluteFilePath()) : QUrl();
}

QUrl sourceArchiveUrl() {
    return sourceArchiveUrl(QStringLiteral(SORREL_SOURCE_URL), course::DataFolder::path(),
                            QStringLiteral(SORREL_SOURCE_ARCHIVE));
}

QString downloadCaption() {
    return QCoreApplication::translate("sorrel::SorrelWindow", "Get the source files of this software");
}

QString downloadFailedCaption() {
    return QCoreApplication::translate("sorrel::SorrelWindow", "Could not open the source files");
}

QString programTitle(int Z) {
    if (Z == 2)
        return kProgramTitle;
    return QString::fromStdString(Ion{Z}.name()) + QStringLiteral(" のハートリー近似");
}

namespace {
// Client area 12075 × 11010 twips.
constexpr int kClientWidthTwips = 12075;
constexpr int kClientHeightTwips = 11010;
constexpr course::Rgb kWhite = 0xFFFFFF;
constexpr double kTitleFontSize = 15.75;
constexpr course::Rgb kControlsColor = course::RGB(244, 244, 255);
} // namespace

QSize SorrelWindow::designSize() {
    return course::TwipsRect{0, 0, kClientWidthTwips, kClientHeightTwips}.pixels().size();
}

SorrelWindow::Config SorrelWindow::unpaced() {
    Config c;
    c.waits = false;
    c.yield = course::Yield::none();
    return c;
}

SorrelWindow::SorrelWindow(course::FontTable& fonts, Config config)
    : ShellWindow(fonts, designSize()), config_(std::move(config)),
      pacer_(course::PacedClock(config_.clock, config_.speed), yieldFor(config_.yield)), Z_(config_.Z),
      preciseMode_(config_.precise) {
    pacer_.setWaits(config_.waits);
    if (config_.paused)
        pacer_.clock().pause();
    if (config_.environment)
        glyphs_.useEnvironment(*config_.environment);
    HartreeSetup::forCharge(Z_); // refuses a charge outside 1..10
    setWindowTitle(programTitle(Z_));
    course::Surface& form = clientSurface();
    form.FontName = QStringLiteral("メイリオ");

    // Stacking order: the title lowest, the download label on top.
    QWidget* area = client();
    const QString font = QStringLiteral("メイリオ");
    label1_ = new course::Label(fonts, area, programTitle(Z_), font, kTitleFontSize);
    place(label1_, course::TwipsRect{2715, 165, 5640, 480}.pixels());

    picNumerov_ = new PictureBox(fonts, area);
    place(picNumerov_, course::TwipsRect{4575, 630, 7365, 3915}.pixels());
    pic_ = new PictureBox(fonts, area);
    place(pic_, course::TwipsRect{4620, 4800, 7380, 6105}.pixels());

    getSourceFile_ = new course::Label(fonts, area, downloadCaption(), font, 9.75);
    place(getSourceFile_, course::TwipsRect{7305, 240, 4560, 345}.pixels());
    getSourceFile_->setCursor(Qt::PointingHandCursor);
    getSourceFile_->setToolTip(config_.sourceUrl.toDisplayString(QUrl::PreferLocalFile));
    getSourceFile_->hide(); // until the run has ended

    // The run's controls take the download label's place while a run is drawn.
    controls_ = new course::RunControls(fonts, pacer_.clock(), QStringLiteral("sorrel"), area);
    controls_->setLabelColor(kControlsColor);
    place(controls_, course::TwipsRect{7305, 30, 4560, 600}.pixels());
    controls_->hide();

    display_ =
        std::make_unique<SorrelDisplay>(glyphs_, form, picNumerov_->surface(), pic_->surface(), pacer_);
    display_->onFinished = [this] {
        glyphs_.chime();
        getSourceFile_->show();
    };
    glyphs_.Form = &form;
    display_->tableRight = std::min(designRect(picNumerov_).left(), designRect(pic_).left());

    addCommands();
    installPageTools(*this);
}

void SorrelWindow::addCommands() {
    using K = course::Keystroke;
    course::CommandTable& t = commands();
    t.add({QStringLiteral("end"), {K::plain(Qt::Key_Escape)}, tr("Quit"), [this](int) {
               glyphs_.env().End();
           }});
    std::vector<K> digits;
    for (int d = 1; d <= 10; ++d)
        digits.push_back(K::plain(Qt::Key_0 + d % 10));
    t.add({QStringLiteral("choose-charge"), digits,
           tr("Compute again with the nuclear charge Z = 1 … 10 (0 is 10)"),
           [this](int key) { chooseCharge(key == Qt::Key_0 ? 10 : key - Qt::Key_0); }});
    t.add(
        {QStringLiteral("precise"),
         {K::plain(Qt::Key_E)},
         tr("Precise mode (extrapolated to h → 0, beside the Hartree–Fock limit) on and off, computed again"),
         [this](int) { choosePrecise(!nextPrecise()); }});
    // Pause, step and speed act while a run is drawn.
    for (course::Command& c : controls_->commands([this] { return running_; }))
        t.add(std::move(c));
    t.add({QStringLiteral("download"),
           {},
           tr("Open the source files"),
           [this](int) { getSourceFileClick(); },
           getSourceFile_});
}

SorrelWindow::~SorrelWindow() {
    // The controls watch the clock, which goes before the window's children do.
    delete controls_;
}

course::Yield SorrelWindow::yieldFor(course::Yield y) {
    // A key that chose another charge, or the end of the program, stops the run at its
    // next yield; either also wakes a paused run.
    course::Yield w;
    w.pumpOnce = [this, pump = std::move(y.pumpOnce)] { return pump() && !stopRequested(); };
    w.sleep = [this, sleep = std::move(y.sleep)](std::optional<course::Yield::Nanos> until,
                                                 const std::function<bool()>& wake) {
        return sleep(until, [this, &wake] { return stopRequested() || wake(); }) && !stopRequested();
    };
    return w;
}

RunOutcome SorrelWindow::load(HartreeObserver* observer) {
    running_ = true;
    for (;;) {
        prepare();
        ++runsStarted_;
        try {
            exec(observer ? *observer : *display_);
        } catch (...) {
            running_ = false;
            controls_->hide();
            pendingCharge_.reset();
            throw;
        }
        if (!pendingCharge_ || glyphs_.env().endRequested())
            break;
        Z_ = *pendingCharge_;
        preciseMode_ = pendingPrecise_;
        pendingCharge_.reset();
    }
    // Nothing is left to pause: the download label (or the failure) takes the place.
    running_ = false;
    controls_->hide();
    pendingCharge_.reset();
    return *outcome_;
}

void SorrelWindow::chooseCharge(int Z) {
    if (Z < kMinCharge || Z > kMaxCharge)
        return;
    restart(Z, nextPrecise());
}

void SorrelWindow::choosePrecise(bool on) { restart(running_ && pendingCharge_ ? *pendingCharge_ : Z_, on); }

bool SorrelWindow::nextPrecise() const { return running_ && pendingCharge_ ? pendingPrecise_ : preciseMode_; }

void SorrelWindow::restart(int Z, bool precise) {
    if (running_) {
        pendingCharge_ = Z;
        pendingPrecise_ = precise;
        return;
    }
    // The run has ended: start again from the event loop, with the window's own
    // display steps.
    Z_ = Z;
    preciseMode_ = precise;
    QTimer::singleShot(0, this, [this] {
        if (running_)
            return;
        try {
            load();
        } catch (const std::exception& e) {
            reportException(e);
        }
    });
}

void SorrelWindow::reportException(const std::exception& e) {
    const QString message = tr("Could not go on computing: %1").arg(QString::fromLocal8Bit(e.what()));
    course::DrawingScope on(glyphs_, clientSurface());
    clientSurface().PrintLine();
    glyphs_.CurX = 5;
    glyphs_.CurY = clientSurface().CurrentY;
    glyphs_.d(message);
}

// Start-up of one run: the window's font and character cell, the engine's start-up
// (which clears every surface), the ion's title, the initial state and an empty first
// table line.
void SorrelWindow::prepare() {
    course::Surface& f = clientSurface();
    // Character cell of the window's font; the lower plot takes the same size.
    f.FontSize = 11;
    glyphs_.CharW = f.TextWidth(QStringLiteral("A"));
    glyphs_.CharH = f.TextHeight(QStringLiteral("A"));
    pic_->surface().FontSize = f.FontSize;

    glyphs_.Initialize(*this);

    const QString title = programTitle(Z_);
    setWindowTitle(title);
    // A longer ion name is set smaller so that it ends before the download label.
    course::Surface& caption = label1_->surface();
    caption.FontSize = kTitleFontSize;
    const double room = designRect(getSourceFile_).left() - designRect(label1_).left();
    const double width = caption.TextWidth(title);
    if (width > room)
        caption.FontSize = std::floor(kTitleFontSize * room / width * 4) / 4;
    label1_->setCaption(title);
    getSourceFile_->hide();
    controls_->setVisible(pacer_.waits());
    pic_->surface().Cls();
    picNumerov_->surface().Cls();
    state_ = std::make_unique<HartreeState>(HartreeSetup::forCharge(Z_));
    // Precise mode's levels take a fraction of a second unpaced: they are ready before
    // the drawing starts, for the report at its end.
    precise_.reset();
    display_->precise = nullptr;
    if (preciseMode_) {
        precise_ = std::make_unique<PreciseRun>(Z_);
        precise_->run();
        display_->precise = precise_.get();
    }

    // The table starts below one empty line.
    f.Cls();
    f.PrintLine();
}

RunOutcome SorrelWindow::exec(HartreeObserver& observer) {
    getSourceFile_->setBackColor(kWhite);
    display_->setUp(Ion{Z_});
    outcome_ = state_->run(observer);
    return *outcome_;
}

void SorrelWindow::getSourceFileClick() {
    const QUrl& url = config_.sourceUrl;
    const bool opened = url.isValid() && !url.isEmpty() &&
                        (config_.openUrl ? config_.openUrl(url) : QDesktopServices::openUrl(url));
    if (!opened)
        getSourceFile_->setCaption(downloadFailedCaption());
}

void SorrelWindow::windowClosing(QCloseEvent* event) {
    glyphs_.env().End();
    event->accept();
}

course::Rgb SorrelWindow::backColor() const { return clientSurface().BackColor; }

void SorrelWindow::setBackColor(course::Rgb c) {
    clientSurface().BackColor = c;
    clientSurface().Cls();
}

void SorrelWindow::setControlsBackColor(course::Rgb c) {
    label1_->setBackColor(c);
    getSourceFile_->setBackColor(c);
    // A new back colour erases a picture box.
    for (PictureBox* box : {picNumerov_, pic_}) {
        box->surface().BackColor = c;
        box->surface().Cls();
    }
}

} // namespace sorrel
