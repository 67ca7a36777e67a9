// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/shell/Form1.h>

#include <engine/shell/EventPump.h>
#include <engine/shell/KeyCode.h>
#include <engine/shell/PageAccessible.h>
#include <engine/shell/PageTools.h>
#include <engine/textruns/Units.h>
#include <engine/system/Language.h>
#include <engine/textruns/FontTable.h>

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QScopedValueRollback>
#include <QTimer>

#include <cstdio>
#include <string>

namespace course {

namespace {
const QString kDesignFont = QStringLiteral("メイリオ");
constexpr double kDesignFontSize = 14.25;
// Outer frame of the main window, added to the client area for the print canvas.
const QSize kFrame(16, 39);

// With COURSE_STATE_TRACE set, the window reports every change of its page state on
// standard error, so that a test driving the real program from outside can check it.
bool stateTraced() {
    static const bool on = qEnvironmentVariableIsSet("COURSE_STATE_TRACE");
    return on;
}

// What Initialize does to the print canvas: a white window without controls.
class CanvasTarget : public FormTarget {
public:
    explicit CanvasTarget(Surface& s) : s_(s) {}
    Rgb backColor() const override { return s_.BackColor; }
    void setBackColor(Rgb c) override { s_.BackColor = c; }
    void setControlsBackColor(Rgb) override {}
    FontTable& fonts() const override { return s_.fonts(); }

private:
    Surface& s_;
};

// The pages after the first are drawn this long after start-up at the latest, when
// the first frame has not come by then.
constexpr int kRestOfPagesLatestMs = 250;

// Calls `then` from the event loop after `view` has been painted for the first time,
// that is once the window's first frame is on its way to the screen.
class AfterFirstPaint : public QObject {
public:
    AfterFirstPaint(QWidget* view, std::function<void()> then) : QObject(view), then_(std::move(then)) {
        view->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, watched, then_);
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> then_;
};
} // namespace

Form1::Form1(Document& doc, FontTable& fonts, QWidget* parent)
    : ShellWindow(fonts,
                  TwipsRect{0, 0, doc.settings().layout.clientWidth, doc.settings().layout.clientHeight}
                      .pixels()
                      .size(),
                  parent),
      doc_(doc), settings_(doc.settings()), sink_(std::make_unique<SystemPrintSink>()) {
    const DocumentLayout& L = settings_.layout;
    setWindowTitle(settings_.windowTitle);
    setFont(fonts.font(kDesignFont, kDesignFontSize, false, false));
    clientSurface().BackColor = 0xFFFFFF;
    clientSurface().Cls();

    QWidget* area = client();
    for (int k = 0; k < settings_.pages; ++k) {
        auto* v = new SurfaceView(fonts, area);
        place(v, L.page.pixels());
        v->setFocusPolicy(Qt::StrongFocus);
        v->setVisible(k == 0);
        pic_.push_back(v);
    }
    auto makeLabel = [this, area, &fonts](const QString& text, const TwipsRect& r) {
        auto* l = new Label(fonts, area, text, kDesignFont, kDesignFontSize, Label::Align::Centre);
        place(l, r.pixels());
        l->setCursor(Qt::PointingHandCursor);
        return l;
    };
    cmdPrint_ = makeLabel(tr("Print"), L.cmdPrint);
    cmdBack_ = makeLabel(QStringLiteral("↑"), L.cmdBack);
    cmdGo_ = makeLabel(QStringLiteral("↓"), L.cmdGo);
    if (L.titleBox) {
        picTitle_ = new SurfaceView(fonts, area);
        place(picTitle_, L.title.pixels());
    } else {
        label1_ =
            new Label(fonts, area, settings_.windowTitle, kDesignFont, kDesignFontSize, Label::Align::Centre);
        place(label1_, L.title.pixels());
    }
    // Its colours come with its first message: a style sheet set here would cost
    // every start-up the style sheet machinery.
    status_ = new QLabel(area);
    status_->setWordWrap(true);
    status_->setFont(fonts.font(kDesignFont, 10, false, false));
    place(status_, QRect(8, clientSize().height() - 48, clientSize().width() - 16, 40));
    status_->hide();
    statusTimer_.setSingleShot(true);
    connect(&statusTimer_, &QTimer::timeout, status_, &QWidget::hide);

    addPageCommands();
    PageTools::install(*this, [this](const QString& m) { showMessage(m, false); });
}

void Form1::addPageCommands() {
    CommandTable& t = commands();
    t.setBoundary([this](const std::function<void()>& f) { handle(f); });
    // In key sets A and B a key's action holds KeyBusy, and the page keys are refused
    // while it is held; Escape always ends the program.
    const bool guarded = settings_.keys != KeySet::C;
    t.setBusyFlag(guarded ? &doc_.KeyBusy : nullptr);
    t.setRefusedHook([](int key) {
        if (stateTraced())
            std::fprintf(stderr, "course-state: refused key=%d\n", key);
    });
    using K = Keystroke;
    const bool setC = settings_.keys == KeySet::C;
    t.add({QStringLiteral("end"), {K::plain(Qt::Key_Escape)}, tr("Quit"), [this](int) { doc_.env().End(); }});
    std::vector<K> back{K::plain(Qt::Key_Up)}, go{K::plain(Qt::Key_Down)};
    if (setC) {
        back.push_back(K::plain(Qt::Key_Left));
        go.push_back(K::plain(Qt::Key_Right));
    }
    back.push_back(K::plain(Qt::Key_Backspace));
    go.push_back(K::plain(Qt::Key_Return));
    go.push_back(K::plain(Qt::Key_Enter).hidden());
    if (!setC)
        go.push_back(K::plain(Qt::Key_Space));
    t.add({QStringLiteral("previous-page"), back, tr("Previous page"), [this](int) { cmdBack_Click(); },
           cmdBack_, guarded});
    t.add(
        {QStringLiteral("next-page"), go, tr("Next page"), [this](int) { cmdGo_Click(); }, cmdGo_, guarded});
    if (settings_.keys == KeySet::B) {
        t.add({QStringLiteral("first-page"),
               {K::plain(Qt::Key_Home)},
               tr("First page"),
               [this](int) { ShowThisPic(0); },
               nullptr,
               guarded});
        t.add({QStringLiteral("last-page"),
               {K::plain(Qt::Key_End)},
               tr("Last page"),
               [this](int) { ShowThisPic(settings_.pages - 1); },
               nullptr,
               guarded});
    }
    if (settings_.keys == KeySet::A && settings_.printKeysPrintWindow)
        t.add({QStringLiteral("print-window"),
               {K::plain(Qt::Key_F1), K::plain(Qt::Key_Print)},
               tr("Print the whole window"),
               [this](int) { PrintForm1(); },
               nullptr,
               guarded});
    t.add({QStringLiteral("print"), {}, tr("Print"), [this](int) { cmdPrint_Click(); }, cmdPrint_});
    doc_.addCommands(t, *this);
}

Form1::~Form1() = default;

Rgb Form1::backColor() const { return clientSurface().BackColor; }

void Form1::setBackColor(Rgb c) {
    clientSurface().BackColor = c;
    clientSurface().Cls();
}

void Form1::setControlsBackColor(Rgb c) {
    for (Label* l : {cmdPrint_, cmdBack_, cmdGo_, label1_})
        if (l)
            l->setBackColor(c);
    for (SurfaceView* v : pic_)
        v->surface().BackColor = c;
    if (picTitle_)
        picTitle_->surface().BackColor = c;
}

Surface& Form1::Form2() {
    if (!printCanvas_) {
        printCanvas_ = std::make_shared<Surface>(fonts(), clientSize() + kFrame);
        printCanvas_->FontName = kDesignFont;
        printCanvas_->FontSize = 12;
        printCanvas_->BackColor = 0xFFFFFF;
        CanvasTarget target(*printCanvas_);
        doc_.Initialize(target);
        printCanvas_->Cls();
    }
    return *printCanvas_;
}

void Form1::unloadForm2() {
    Form2(); // created first if it never existed, as unloading loads it
    // A print in progress keeps its canvas (and draws on it in a scope of its own).
    printCanvas_.reset();
}

QRectF Form1::titleInk() const {
    const SurfaceView* title = picTitle_ ? picTitle_ : label1_;
    if (!title)
        return {};
    const QRectF ink = inkBounds(title->surface(), 0);
    return ink.isEmpty() ? ink : ink.translated(settings_.layout.title.pixels().topLeft());
}

void Form1::Form_Load(bool show) {
    setBackColor(0xFFFFFF);
    doc_.Initialize(*this);
    for (Label* l : {cmdPrint_, cmdBack_, cmdGo_})
        l->setBackColor(settings_.labelColor);
    if (settings_.printCanvasAtStart)
        Form2();
    if (picTitle_) {
        Surface& t = picTitle_->surface();
        t.AutoRedraw = true;
        t.BackColor = backColor();
        t.FontSize = 16;
        t.BorderStyle = 0;
        t.Cls();
        doc_.drawOn(t, [this] { doc_.drawTitleBox(); });
    }
    doc_.PageFontSize = settings_.pageFontSize;
    Surface& first = pic_[0]->surface();
    first.AutoRedraw = true;
    first.BorderStyle = 0;
    first.BackColor = backColor();
    first.FontSize = doc_.PageFontSize;
    first.Cls();

    doc_.CharW = first.TextWidth(QStringLiteral("A"));
    doc_.CharH = first.TextHeight(QStringLiteral("A"));
    doc_.LeftMargin = nint(2 * doc_.CharW);
    if (settings_.hasIndent0)
        doc_.Indent0 = nint(2 * doc_.CharW + doc_.LeftMargin);
    doc_.Indent1 = nint(5 * doc_.CharW + doc_.LeftMargin);
    doc_.Indent2 = nint(10 * doc_.CharW + doc_.LeftMargin);
    doc_.TagCol = nint(settings_.tagColumns * doc_.CharW + doc_.LeftMargin);

    // Further pages copy the first one's properties and are not visible.
    for (int k = 1; k < settings_.pages; ++k) {
        Surface& s = pic_[k]->surface();
        s.FontName = first.FontName;
        s.FontSize = first.FontSize;
        s.BackColor = first.BackColor;
        s.BorderStyle = first.BorderStyle;
        s.AutoRedraw = true;
        s.Cls();
        pic_[k]->hide();
    }
    pic_[0]->show();
    pic_[0]->setFocus(Qt::OtherFocusReason);
    doc_.windowLoaded(*this);
    if (show)
        this->show();
    doc_.CurPic = 0;
    pagesToDraw_ = settings_.lastPageDrawnWhenShown ? settings_.pages - 1 : settings_.pages;
    pagesDrawn_ = 0;
    // The load is complete, and traced, once every page it draws is drawn.
    loadTracePending_ = true;
    if (!show || pagesToDraw_ <= 1) {
        drawPendingPages();
    } else {
        // The first frame waits only for the page it shows; the others follow it.
        doc_.drawPageOn(pic_[0]->surface(), 0);
        pagesDrawn_ = 1;
        const auto drawRest = [self = QPointer<Form1>(this)] {
            if (self)
                self->handle([&] { self->drawPendingPages(); });
        };
        new AfterFirstPaint(pic_[0], drawRest);
        // A window that is never painted (minimised at once) draws them all the same.
        QTimer::singleShot(kRestOfPagesLatestMs, this, drawRest);
    }
}

void Form1::drawPendingPages() {
    while (pagesDrawn_ < pagesToDraw_) {
        const int k = pagesDrawn_++;
        doc_.drawPageOn(pic_[k]->surface(), k);
    }
    if (loadTracePending_) {
        loadTracePending_ = false;
        traceState("load");
    }
}

void Form1::applyVisibility() {
    for (int i = 0; i < int(pic_.size()); ++i)
        pic_[i]->setVisible(i == doc_.CurPic);
    // The page shown takes the focus, where a screen reader announces it.
    pic_[doc_.CurPic]->setFocus(Qt::OtherFocusReason);
}

void Form1::applyArrows() {
    cmdBack_->setVisible(doc_.CurPic > 0);
    cmdGo_->setVisible(doc_.CurPic < settings_.pages - 1);
}

void Form1::traceState(const char* what) const {
    if (!stateTraced())
        return;
    std::string shown;
    for (const SurfaceView* v : pic_)
        shown += v->isVisibleTo(this) ? '1' : '0';
    std::fprintf(stderr, "course-state: %s page=%d shown=%s back=%d go=%d\n", what, doc_.CurPic,
                 shown.c_str(), int(cmdBack_->isVisibleTo(this)), int(cmdGo_->isVisibleTo(this)));
}

void Form1::cmdBack_Click() {
    drawPendingPages();
    if (settings_.switching == PageSwitching::ShowThisPic) {
        Backward();
        return;
    }
    if (doc_.CurPic == 0)
        return;
    doc_.CurPic -= 1;
    applyVisibility();
    applyArrows();
    traceState("show");
}

void Form1::cmdGo_Click() {
    drawPendingPages();
    if (settings_.switching == PageSwitching::ShowThisPic) {
        Forward();
        return;
    }
    if (doc_.CurPic == settings_.pages - 1)
        return;
    doc_.CurPic += 1;
    applyVisibility();
    applyArrows();
    traceState("show");
    // A live last page is redrawn, and recomputed, whenever it is shown.
    if (settings_.lastPageDrawnWhenShown && doc_.CurPic == settings_.pages - 1)
        doc_.drawPageOn(pic_[doc_.CurPic]->surface(), doc_.CurPic);
}

void Form1::Backward() {
    if (doc_.CurPic == 0)
        return;
    ShowThisPic(doc_.CurPic - 1);
}

void Form1::Forward() {
    if (doc_.CurPic == settings_.pages - 1)
        return;
    ShowThisPic(doc_.CurPic + 1);
}

void Form1::ShowThisPic(int iPicNo) {
    doc_.requirePage(iPicNo);
    drawPendingPages();
    doc_.CurPic = iPicNo;
    applyVisibility();
    applyArrows();
    traceState("show");
    if (settings_.lastPageDrawnWhenShown && iPicNo == settings_.pages - 1)
        doc_.drawPageOn(pic_[iPicNo]->surface(), iPicNo);
}

void Form1::Form_KeyDown(int keyCode) {
    const int qt = key::qtKey(keyCode);
    if (!qt)
        return;
    const QKeyEvent e(QEvent::KeyPress, qt, Qt::NoModifier);
    commands().dispatch(e);
}

void Form1::cmdPrint_Click() {
    if (doc_.Printing) {
        traceState("refused-print");
        return;
    }
    drawPendingPages();
    const QScopedValueRollback<int> printing(doc_.Printing, 1);
    doc_.LeftMargin = nint(doc_.CharW);
    Form2();
    // The print holds on to its canvas: a close request handled during the yield
    // below unloads the canvas, and a handler there may even end the window.
    const std::shared_ptr<Surface> canvas = printCanvas_;
    const QPointer<Form1> self(this);
    if (settings_.clearCanvasBeforePrint)
        canvas->Cls();
    const int page = doc_.CurPic;
    doc_.drawPageOn(*canvas, page);
    DoEvents();
    // Ending, closed or gone: the window that asked for the print is no more, so
    // the page it prepared is not sent.
    if (doc_.env().endRequested() || !self || printCanvas_ != canvas)
        return;
    const Outcome r = sink_->print([&canvas](QPainter& p) { canvas->render(p); }, canvas->size(),
                                   QStringLiteral("%1-page%2").arg(settings_.name).arg(page + 1));
    showMessage(r.message, !r.ok);
    traceState("print");
}

void Form1::PrintForm1() {
    const Outcome r = sink_->print([this](QPainter& p) { paintClientArea(p); }, clientSize(),
                                   QStringLiteral("%1-window").arg(settings_.name));
    showMessage(r.message, !r.ok);
}

void Form1::showMessage(const QString& text, bool error) {
    if (text.isEmpty())
        return;
    status_->setText(text);
    status_->setStyleSheet(
        error ? QStringLiteral("background: #ffe8e8; border: 1px solid #c04040; padding: 4px;")
              : QStringLiteral("background: #fff8e0; border: 1px solid #c0a040; padding: 4px;"));
    status_->show();
    status_->raise();
    PageAccessible::announce(status_, [l = status_] { return l->text(); });
    statusTimer_.start(error ? 30000 : 15000);
}

void Form1::handle(const std::function<void()>& handler) {
    // The terminal and the window each say it in their own language.
    QString message, shown;
    try {
        handler();
        return;
    } catch (const std::exception& e) {
        message = shown = QString::fromLocal8Bit(e.what());
    } catch (...) {
        message = Catalog::terminal().translate("course::Form1", "unknown failure");
        shown = tr("unknown failure");
    }
    std::fprintf(stderr, "%s: %s\n", qPrintable(settings_.name), message.toLocal8Bit().constData());
    showMessage(tr("Could not carry on: %1").arg(shown), true);
}

QString Form1::statusMessage() const { return status_->isVisibleTo(this) ? status_->text() : QString(); }

void Form1::drawPageForExport(int k) {
    drawPendingPages();
    const QScopedValueRollback<int> printing(doc_.Printing, 1);
    doc_.drawPageOn(pic_.at(k)->surface(), k);
}

QSize Form1::visiblePageSize() const {
    const QRect r = settings_.layout.page.pixels();
    return QSize(std::min(r.width(), clientSize().width() - r.left()),
                 std::min(r.height(), clientSize().height() - r.top()));
}

void Form1::windowClosing(QCloseEvent* e) {
    unloadForm2();
    if (settings_.closeOnlyUnloadsCanvas) {
        e->accept();
        return;
    }
    doc_.env().End();
    e->accept();
}

} // namespace course
