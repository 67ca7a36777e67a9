// SPDX-License-Identifier: GPL-3.0-or-later
// brindle's document: window settings, page dispatch and the pace of the live page.
// The explanation pages are in BrindlePages.cpp, their glyphs in BrindleGlyphs.cpp,
// the live iteration in LivePage.cpp.

#include "BrindleDocument.h"

#include <engine/shell/Form1.h>
#include <engine/shell/RunControls.h>

#include <QEvent>

#include <cmath>
#include <stdexcept>

namespace brindle {

namespace {

const QString kTitle = QStringLiteral("エネルギー固有値の数値計算");

// What differs from the defaults: the label colour and the live last page.
const course::DocumentSettings kSettings{
    .name = QStringLiteral("brindle"),
    .windowTitle = kTitle,
    .labelColor = course::RGB(244, 244, 255),
    .lastPageDrawnWhenShown = true,
    // The window design in twips: client area; page; print label; back and go arrows;
    // title.
    // clang-format off
    .layout = {11880, 10860, {240, 705, 11610, 10935}, {9525, 105, 645, 480},
               {10455, 165, 300, 390}, {10935, 150, 300, 390}, {2715, 135, 5385, 465}},
    // clang-format on
};

} // namespace

BrindleDocument::BrindleDocument() = default;

// The run's controls watch the document's clock: they go first, window or not.
BrindleDocument::~BrindleDocument() { delete controls_; }

const course::DocumentSettings& BrindleDocument::settings() const { return kSettings; }

QSize livePageSize() {
    static const QSize size = kSettings.layout.page.pixels().size();
    return size;
}

void BrindleDocument::drawPage(int k) {
    course::drawPageOf(*this, k, {&BrindleDocument::pic0, &BrindleDocument::pic1, &BrindleDocument::pic2});
}

void BrindleDocument::setSpeed(double f) { pacing_.clock().setSpeed(f); }

course::RunControls* BrindleDocument::runControls() const { return controls_; }


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
    // Left of the title's ink, above the page: the room no other control uses. The
    // title is centred in a wider box, so its box would leave the labels too little.
    const QRect title = s.layout.title.pixels();
    const QRect page = s.layout.page.pixels();
    const QRectF ink = form.titleInk();
    const int titleInk = ink.isEmpty() ? title.left() : int(std::floor(ink.left()));
    controls_ = new course::RunControls(form.fonts(), pacing_.clock(), s.name, form.client());
    controls_->setLabelColor(s.labelColor);
    form.place(controls_, QRect(8, 3, titleInk - 16, page.top() - 5));
    controls_->setVisible(form.pageVisible(last));
    controlsShown_ = std::make_unique<ShowWithPage>(form.pageView(last), controls_);
    // The run's keys act on the live page only, also while a key holds KeyBusy; they are
    // listed with the page keys, before the ones every window has.
    for (course::Command& c :
         controls_->commands([this, last] { return CurPic == last; }, true, QStringLiteral("最後のページで")))
        form.commands().add(std::move(c), QStringLiteral("copy-text"));
}

void BrindleDocument::fontSize(double size) { Pic->FontSize = size; }

} // namespace brindle
