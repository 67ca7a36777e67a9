// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/shell/PageTools.h>

#include <engine/shell/Form1.h>
#include <engine/shell/PageAccessible.h>
#include <engine/shell/PageExport.h>
#include <engine/textruns/FontTable.h>
#include <engine/textruns/PageText.h>

#include <QAccessible>
#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>

namespace course {

namespace {
constexpr int kNoteMs = 4000;

bool modifierOnly(int key) {
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock: return true;
    default: return false;
    }
}
} // namespace

PageTools::PageTools(FontTable& fonts, ShellWindow* window, PageSource source)
    : QObject(window), fonts_(fonts), window_(window), source_(std::move(source)),
      overlay_(new KeyOverlay(fonts, window, [window] { return window->commands().overview(); },
                              [window] { return window->scale(); })) {
    CommandTable& t = window->commands();
    const auto C = Qt::Key_C;
    t.add({QStringLiteral("copy-text"), {{C, Qt::ControlModifier}}, tr("Copy the page's text"), [this](int) {
               say(copyText());
           }});
    t.add({QStringLiteral("copy-picture"),
           {{C, Qt::ControlModifier | Qt::ShiftModifier}},
           tr("Copy the page as a picture"),
           [this](int) { say(copyPicture()); }});
    window->addViewCommands();
    // "?" is Shift + / on most layouts; some deliver the slash with Shift.
    t.add({QStringLiteral("keys"),
           {{Qt::Key_Question, Qt::NoModifier, true}, Keystroke{Qt::Key_Slash, Qt::ShiftModifier}.hidden()},
           tr("This list of keys"),
           [this](int) { showKeys(); }});
    window->addKeyHandler([this](QKeyEvent* e) { return keyPress(*e); });
    announceTimer_.setInterval(kAnnounceMs);
    connect(&announceTimer_, &QTimer::timeout, this, &PageTools::announce);
    QAccessible::installActivationObserver(this);
    checkWhileListened();
    noteTimer_.setSingleShot(true);
}

PageTools::~PageTools() { QAccessible::removeActivationObserver(this); }

void PageTools::setAnnouncementSink(AnnouncementSink sink) {
    sink_ = std::move(sink);
    checkWhileListened();
}

void PageTools::accessibilityActiveChanged(bool) { checkWhileListened(); }

void PageTools::checkWhileListened() {
    const bool listened = sink_ || QAccessible::isActive();
    if (listened && !announceTimer_.isActive())
        announceTimer_.start();
    else if (!listened)
        announceTimer_.stop();
}

PageTools* PageTools::of(QWidget* window) {
    return window ? window->findChild<PageTools*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

bool PageTools::keyPress(const QKeyEvent& e) {
    // While the overview is open every key only closes it.
    if (!overlay_->isOpen())
        return false;
    if (!modifierOnly(e.key()) && !e.isAutoRepeat())
        overlay_->close();
    return true;
}

QString PageTools::copyText() {
    const QString text = source_.text();
    if (text.isEmpty())
        return tr("This page has no text to copy");
    QGuiApplication::clipboard()->setText(text);
    return tr("Copied the page's text (%n character(s))", nullptr, int(text.size()));
}

QString PageTools::copyPicture() {
    const QImage img = source_.picture(kPictureScale);
    QByteArray png;
    QBuffer buffer(&png);
    if (img.isNull() || !buffer.open(QIODevice::WriteOnly) || !img.save(&buffer, "PNG"))
        return tr("Could not make a picture of the page");
    auto* data = new QMimeData;
    data->setImageData(img);
    data->setData(QStringLiteral("image/png"), png);
    QGuiApplication::clipboard()->setMimeData(data);
    return tr("Copied the page as a picture (%1 × %2 pixels)").arg(img.width()).arg(img.height());
}

void PageTools::say(const QString& text) {
    if (source_.message) {
        source_.message(text);
        return;
    }
    if (!note_) {
        note_ = new QLabel(window_);
        note_->setFont(fonts_.font(QStringLiteral("メイリオ"), 9, false, false));
        note_->setStyleSheet(
            QStringLiteral("background: #fff8e0; border: 1px solid #c0a040; padding: 2px 6px;"));
        note_->hide();
        connect(&noteTimer_, &QTimer::timeout, note_, &QWidget::hide);
    }
    note_->setText(text);
    note_->adjustSize();
    note_->move(4, window_->height() - note_->height() - 4);
    note_->show();
    PageAccessible::announce(note_, [l = note_] { return l->text(); });
    note_->raise();
    noteTimer_.start(kNoteMs);
}

void PageTools::announce() {
    if (!sink_ && !QAccessible::isActive())
        return;
    QWidget* view = source_.view ? source_.view() : nullptr;
    if (!view)
        return;
    // Reading the page again only when something was drawn since.
    const std::uint64_t revision = source_.revision ? source_.revision() : 0;
    if (source_.revision && view == checkedView_ && revision == checkedRevision_)
        return;
    checkedView_ = view;
    checkedRevision_ = revision;
    const QString now = source_.text();
    auto it = announced_.find(view);
    if (it != announced_.end() && *it == now)
        return;
    const QString before = it != announced_.end() ? *it : QString();
    announced_.insert(view, now);
    QAccessibleTextUpdateEvent ev(view, 0, before, now);
    if (sink_)
        sink_(&ev);
    else
        QAccessible::updateAccessibility(&ev);
}

PageTools* PageTools::install(Form1& w, std::function<void(const QString&)> message) {
    Document& doc = w.document();
    PageSource source;
    source.text = [&w, &doc] { return pageText(w.page(doc.CurPic)); };
    source.picture = [&w, &doc](double dpr) {
        return renderSurface(w.page(doc.CurPic), w.visiblePageSize(), dpr);
    };
    source.view = [&w, &doc]() -> QWidget* { return w.pageView(doc.CurPic); };
    source.revision = [&w, &doc] { return w.page(doc.CurPic).revision(); };
    source.message = std::move(message);
    auto* tools = new PageTools(w.fonts(), &w, std::move(source));

    // The names of the labels' commands.
    w.printLabel()->setAccessibleName(QCoreApplication::translate("course::Form1", "Print"));
    w.backLabel()->setAccessibleName(QCoreApplication::translate("course::Form1", "Previous page"));
    w.goLabel()->setAccessibleName(QCoreApplication::translate("course::Form1", "Next page"));
    for (int k = 0; k < w.pageCount(); ++k) {
        SurfaceView* view = w.pageView(k);
        view->setAccessibleName(tr("Page %1 of %2").arg(k + 1).arg(w.pageCount()));
        PageAccessible::expose(
            view, {QAccessible::Document, {}, {}, [view] { return pageTextLayout(view->surface()); }});
    }
    return tools;
}

} // namespace course
