#include "SorrelWindow.h"

#include <course/shell/EventPump.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QPainter>

namespace sorrel {

QUrl sourceArchiveUrl() { return QUrl(kCourseSiteAddress + kSourceArchiveName); }

namespace {
// Client area 12075 × 11010 twips.
constexpr int kClientWidthTwips = 12075;
constexpr int kClientHeightTwips = 11010;
constexpr course::Rgb kWhite = 0xFFFFFF;
} // namespace

QSize SorrelWindow::clientSize() { return twipsRect(0, 0, kClientWidthTwips, kClientHeightTwips).size(); }

SorrelWindow::Config SorrelWindow::unpaced() {
    Config c;
    c.waits = false;
    c.yield = CurvePacer::none();
    return c;
}

SorrelWindow::SorrelWindow(Config config)
    : config_(std::move(config)), pacer_(Pacer(config_.clock, config_.speed, config_.waits), config_.yield) {
    setWindowTitle(kProgramTitle);
    setFixedSize(clientSize());
    surface().resize(clientSize());
    surface().FontName = QStringLiteral("メイリオ");

    // Stacking order: the title lowest, the download label on top.
    label1_ = new LabelView(this, QStringLiteral("メイリオ"), 15.75);
    label1_->place(twipsRect(2715, 165, 5640, 480));
    label1_->setCaption(kProgramTitle);

    picNumerov_ = new PictureBox(this);
    picNumerov_->place(twipsRect(4575, 630, 7365, 3915));
    pic_ = new PictureBox(this);
    pic_->place(twipsRect(4620, 4800, 7380, 6105));

    getSourceFile_ = new LabelView(this, QStringLiteral("メイリオ"), 9.75);
    getSourceFile_->place(twipsRect(7305, 240, 4560, 345));
    getSourceFile_->setCaption(kDownloadCaption);
    getSourceFile_->setCursor(Qt::PointingHandCursor);
    getSourceFile_->setToolTip(sourceArchiveUrl().toString());
    getSourceFile_->hide(); // until the run has ended
    connect(getSourceFile_, &LabelView::clicked, this, [this] { getSourceFileClick(); });

    display_ =
        std::make_unique<SorrelDisplay>(glyphs_, surface(), picNumerov_->surface(), pic_->surface(), pacer_);
    display_->onFinished = [this] {
        course::TextRuns::chime();
        getSourceFile_->show();
    };
    glyphs_.Form = &surface();

    // Key preview: the window sees Escape whichever of its controls has the focus.
    qApp->installEventFilter(this);
}

SorrelWindow::~SorrelWindow() {
    if (qApp)
        qApp->removeEventFilter(this);
}

RunOutcome SorrelWindow::load(HartreeObserver* observer) {
    course::Surface& f = surface();
    // Character cell of the window's font; the lower plot takes the same size.
    f.FontSize = 11;
    glyphs_.CharW = f.TextWidth(QStringLiteral("A"));
    glyphs_.CharH = f.TextHeight(QStringLiteral("A"));
    pic_->surface().FontSize = f.FontSize;

    glyphs_.Initialize(*this);

    state_ = std::make_unique<HartreeState>();

    // The table starts below one empty line.
    f.Cls();
    f.PrintLine();

    return exec(observer ? *observer : *display_);
}

RunOutcome SorrelWindow::exec(HartreeObserver& observer) {
    getSourceFile_->setBackColor(kWhite);
    display_->setUp();
    outcome_ = state_->run(observer);
    return *outcome_;
}

void SorrelWindow::getSourceFileClick() {
    const QUrl url = sourceArchiveUrl();
    const bool opened = config_.openUrl ? config_.openUrl(url) : QDesktopServices::openUrl(url);
    if (!opened)
        getSourceFile_->setCaption(kDownloadFailedCaption);
}

void SorrelWindow::paintClientArea(QPainter& p) const {
    surface().render(p);
    for (QObject* child : children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || !w->isVisibleTo(this))
            continue;
        p.save();
        p.translate(w->geometry().topLeft());
        if (auto* box = qobject_cast<PictureBox*>(w))
            box->paintTo(p);
        else if (auto* label = qobject_cast<LabelView*>(w))
            label->paintTo(p);
        p.restore();
    }
}

bool SorrelWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w->window() == this && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            course::End();
            return true;
        }
    }
    return course::SurfaceView::eventFilter(watched, event);
}

void SorrelWindow::closeEvent(QCloseEvent* event) {
    course::End();
    event->accept();
}

course::Rgb SorrelWindow::backColor() const { return surface().BackColor; }

void SorrelWindow::setBackColor(course::Rgb c) {
    surface().BackColor = c;
    surface().Cls();
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
