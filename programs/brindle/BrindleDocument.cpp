// brindle's document: window settings, page dispatch and the pace of the live page.
// The explanation pages are in BrindlePages.cpp, their glyphs in BrindleGlyphs.cpp,
// the live iteration in LivePage.cpp.

#include "BrindleDocument.h"

#include <course/shell/Form1.h>
#include <course/shell/RunControls.h>

#include <QEvent>

#include <cmath>
#include <stdexcept>

namespace brindle {

namespace {

const QString kTitle = QStringLiteral("エネルギー固有値の数値計算");

course::DocumentSettings makeSettings() {
    course::DocumentSettings s;
    s.name = QStringLiteral("brindle");
    s.windowTitle = kTitle;
    s.pages = 3;
    s.pageFontSize = 13;
    s.tagColumns = 50;
    s.labelColor = course::RGB(244, 244, 255);
    s.hasIndent0 = true;
    s.keys = course::KeySet::B;
    s.switching = course::PageSwitching::ShowThisPic;
    s.lastPageDrawnWhenShown = true;
    s.printCanvasAtStart = true;
    s.layout.clientWidth = 11880;
    s.layout.clientHeight = 10860;
    s.layout.page = {240, 705, 11610, 10935};
    s.layout.cmdPrint = {9525, 105, 645, 480};
    s.layout.cmdBack = {10455, 165, 300, 390};
    s.layout.cmdGo = {10935, 150, 300, 390};
    s.layout.title = {2715, 135, 5385, 465};
    return s;
}

} // namespace

BrindleDocument::BrindleDocument() { installLKeys(); }

// The run's controls watch the document's clock: they go first, window or not.
BrindleDocument::~BrindleDocument() { delete controls_; }

const course::DocumentSettings& BrindleDocument::settings() const {
    static const course::DocumentSettings s = makeSettings();
    return s;
}

QSize livePageSize() {
    static const QSize size = makeSettings().layout.page.pixels().size();
    return size;
}

void BrindleDocument::drawPage(int k) {
    switch (k) {
    case 0: pic0(); break;
    case 1: pic1(); break;
    case 2: pic2(); break;
    default: break;
    }
}

void BrindleDocument::setSpeed(double f) { pacing_.clock().setSpeed(f); }

course::RunControls* BrindleDocument::runControls() const { return controls_; }

bool BrindleDocument::runKey(int keyCode) {
    if (!controls_ || CurPic != settings().pages - 1)
        return false;
    return controls_->key(keyCode);
}

namespace {
// Shows the run's controls exactly while the live page is the visible one.
class ShowWithPage final : public QObject {
public:
    ShowWithPage(QWidget* page, QWidget* controls) : controls_(controls) { page->installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (controls_ && (e->type() == QEvent::ShowToParent || e->type() == QEvent::HideToParent))
            controls_->setVisible(e->type() == QEvent::ShowToParent);
        return false;
    }

private:
    QPointer<QWidget> controls_;
};
} // namespace

void BrindleDocument::windowLoaded(course::Form1& form) {
    const course::DocumentSettings& s = settings();
    const int last = s.pages - 1;
    // Left of the title, above the page: the room no other control uses.
    const QRect title = s.layout.title.pixels();
    const QRect page = s.layout.page.pixels();
    controls_ = new course::RunControls(pacing_.clock(), s.name, form.client());
    controls_->setLabelColor(s.labelColor);
    form.place(controls_, QRect(8, 3, title.left() - 16, page.top() - 5));
    controls_->setVisible(form.pageVisible(last));
    controlsShown_ = std::make_unique<ShowWithPage>(form.pageView(last), controls_);
}

void BrindleDocument::fontSize(double size) { Pic->FontSize = size; }

} // namespace brindle
