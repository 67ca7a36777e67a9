// SPDX-License-Identifier: GPL-3.0-or-later
// brindle's document: window settings, page dispatch and the pace of the live page.
// The explanation pages are in BrindlePages.cpp, their glyphs in BrindleGlyphs.cpp,
// the live iteration in LivePage.cpp.

#include "BrindleDocument.h"

#include <engine/shell/Form1.h>
#include <engine/shell/Label.h>
#include <engine/shell/RunControls.h>

#include <QCoreApplication>
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
         controls_->commands([this, last] { return CurPic == last; }, true,
                             QCoreApplication::translate("brindle::BrindleDocument", "On the last page: ")))
        form.commands().add(std::move(c), QStringLiteral("copy-text"));
    addModelLabels(form, int(std::ceil(ink.isEmpty() ? title.right() : ink.right())));
}

void BrindleDocument::addModelLabels(course::Form1& form, int titleRight) {
    using K = course::Keystroke;
    const course::DocumentSettings& s = settings();
    const int last = s.pages - 1;
    const QRect page = s.layout.page.pixels();
    const QRect print = s.layout.cmdPrint.pixels();
    // The models, by key and by their labels right of the title, above the page.
    struct Model {
        PotentialKind kind;
        Qt::Key key;
        const char* caption; // translated in the context brindle::BrindleDocument
        const char* meaning;
    };
    static constexpr Model kModels[] = {
        {PotentialKind::Oscillator, Qt::Key_O, QT_TRANSLATE_NOOP("brindle::BrindleDocument", "Oscillator"),
         QT_TRANSLATE_NOOP("brindle::BrindleDocument",
                           "On the last page: compute again for the 3-D harmonic oscillator r²/2")},
        {PotentialKind::Coulomb, Qt::Key_C, QT_TRANSLATE_NOOP("brindle::BrindleDocument", "Hydrogen"),
         QT_TRANSLATE_NOOP("brindle::BrindleDocument",
                           "On the last page: compute again for the hydrogen atom −1/r (l = 0 … 2)")},
        {PotentialKind::Well, Qt::Key_W, QT_TRANSLATE_NOOP("brindle::BrindleDocument", "Well"),
         QT_TRANSLATE_NOOP("brindle::BrindleDocument",
                           "On the last page: compute again for the finite spherical "
                           "well (V₀ = 25, a = 1, l = 0 … 2)")},
        {PotentialKind::Morse, Qt::Key_M, QT_TRANSLATE_NOOP("brindle::BrindleDocument", "Morse"),
         QT_TRANSLATE_NOOP("brindle::BrindleDocument",
                           "On the last page: compute again for the Morse potential (D = 8, r₀ = 3, l = 0)")},
    };
    auto translated = [](const char* text) {
        return QCoreApplication::translate("brindle::BrindleDocument", text);
    };
    // Each as wide as its caption, a little smaller than the run's labels so that the
    // four fit between the title and the print label.
    int x = titleRight + 6;
    const int top = 3, height = page.top() - 8;
    for (const Model& m : kModels) {
        auto* label = new course::Label(form.fonts(), form.client(), translated(m.caption),
                                        QStringLiteral("メイリオ"), 8.25, course::Label::Align::Centre);
        label->setMargin(2);
        const int width = std::min(label->sizeHint().width(), (print.left() - 6 - x) - 2);
        label->setCursor(Qt::PointingHandCursor);
        label->setToolTip(translated(m.meaning));
        label->setBackColor(m.kind == kind_ ? kChosenLabel : s.labelColor);
        form.place(label, QRect(x, top, width, height));
        x += width + 2;
        label->setVisible(form.pageVisible(last));
        modelLabels_.push_back(label);
        labelsShown_.push_back(std::make_unique<ShowWithPage>(form.pageView(last), label));
        course::Command c{QStringLiteral("choose-potential-") +
                              QString::fromUtf8(potentialKey(m.kind).data()),
                          {K::plain(m.key)},
                          translated(m.meaning),
                          [this, &form, kind = m.kind](int) { choosePotential(form, kind); }};
        c.label = label;
        c.enabled = [this] { return CurPic == settings().pages - 1; };
        form.commands().add(std::move(c), QStringLiteral("copy-text"));
    }
}

void BrindleDocument::fontSize(double size) { Pic->FontSize = size; }

} // namespace brindle
