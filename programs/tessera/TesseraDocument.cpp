// SPDX-License-Identifier: GPL-3.0-or-later
// The tessera document: its window settings, the glyphs its pages share (the
// differences Δt and Δx, the fraction (Δx)²/Δt and the brackets of the 4×4 matrices)
// and the controls of the live page. The live page itself is in LivePage.cpp.

#include "TesseraDocument.h"

#include "PacketControls.h"

#include <engine/shell/Form1.h>
#include <engine/shell/RunControls.h>

#include <QCoreApplication>
#include <QEvent>

#include <cmath>

namespace tessera {

using course::DocumentSettings;
using course::KeySet;
using course::PageSwitching;

QString title() { return QStringLiteral("クランク・ニコルソン法による時間発展"); }

namespace {

// What differs from the defaults: four pages, the last one live, the tag column, no
// first indent, key set A, pages switched in place, the print canvas made on the
// first print, and F1 and Print printing the window itself.
const DocumentSettings kSettings{
    .name = QStringLiteral("tessera"),
    .windowTitle = title(),
    .pages = 4,
    .tagColumns = 55,
    .hasIndent0 = false,
    .keys = KeySet::A,
    .switching = PageSwitching::Inline,
    .lastPageDrawnWhenShown = true,
    .printCanvasAtStart = false,
    .printKeysPrintWindow = true,
    // The window design in twips: client area; page; print label; back and go arrows;
    // title.
    // clang-format off
    .layout = {11880, 10860, {195, 585, 11610, 10935}, {9270, 90, 615, 420},
               {10080, 105, 240, 420}, {10515, 105, 240, 420}, {2445, 75, 6405, 480}},
    // clang-format on
};

// tessera writes the full-width comma in body text, sets a superscript ω a pixel
// lower and spaces (x) in pixels.
course::RunStyle tesseraStyle() {
    course::RunStyle s;
    s.bodyComma = QStringLiteral("，");
    s.omegaScriptDrop = 1;
    s.argX = course::RunStyle::Spacing::Pixels;
    return s;
}
} // namespace

TesseraDocument::TesseraDocument() : course::Document(tesseraStyle()) {}

// The run's controls watch the document's clock: they go first, window or not.
TesseraDocument::~TesseraDocument() {
    delete controls_;
    delete packetControls_;
}

const DocumentSettings& TesseraDocument::settings() const { return kSettings; }

void TesseraDocument::drawPage(int k) {
    course::drawPageOf(*this, k,
                       {&TesseraDocument::pic0, &TesseraDocument::pic1, &TesseraDocument::pic2,
                        &TesseraDocument::pic3});
}

// ---- The live page's controls ----

void TesseraDocument::setSpeed(double f) { pacing_.clock().setSpeed(f); }

course::RunControls* TesseraDocument::runControls() const { return controls_; }

PacketControls* TesseraDocument::packetControls() const { return packetControls_; }

namespace {
// Shows a control exactly while the live page is the visible one.
class ShowWithPage final : public QObject {
public:
    ShowWithPage(QWidget* page, QWidget* control) : control_(control) { page->installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (control_ && (e->type() == QEvent::ShowToParent || e->type() == QEvent::HideToParent))
            control_->setVisible(e->type() == QEvent::ShowToParent);
        return false;
    }

private:
    QPointer<QWidget> control_;
};
} // namespace

void TesseraDocument::windowLoaded(course::Form1& form) {
    const DocumentSettings& s = settings();
    const int last = s.pages - 1;
    // A strip along the bottom of the client area, which the live page leaves empty:
    // the run's controls on the left, the scheme's labels on the right.
    const QRect page = s.layout.page.pixels();
    const int bottom = s.layout.clientHeight / course::units::kTwipsPerPixel;
    const QRect strip(page.left() + 8, bottom - kControlStrip, page.width() - 16, kControlStrip - 2);
    controls_ = new course::RunControls(form.fonts(), pacing_.clock(), s.name, form.client());
    controls_->setLabelColor(s.labelColor);
    form.place(controls_, QRect(strip.left(), strip.top(), 330, strip.height()));
    packetControls_ = new PacketControls(form.fonts(), form.client());
    packetControls_->setLabelColor(s.labelColor);
    packetControls_->showScheme(scheme_ == Scheme::Explicit);
    form.place(packetControls_, QRect(strip.left() + 340, strip.top(), strip.width() - 340, 24));
    for (QWidget* w : std::initializer_list<QWidget*>{controls_, packetControls_}) {
        w->setVisible(form.pageVisible(last));
        shownWithPage_.push_back(std::make_unique<ShowWithPage>(form.pageView(last), w));
    }
    // The live page's keys act there only, also while a key holds KeyBusy; they are
    // listed with the page keys, before the ones every window has.
    const auto onLivePage = [this, last] { return CurPic == last; };
    const QString where = QCoreApplication::translate("tessera::TesseraDocument", "On the last page: ");
    for (course::Command& c : controls_->commands(onLivePage, true, where))
        form.commands().add(std::move(c), QStringLiteral("copy-text"));
    for (course::Command& c : packetControls_->commands([this, &form] { toggleScheme(form); },
                                                        [this, &form](int f) { changeTimeStep(form, f); },
                                                        onLivePage, where))
        form.commands().add(std::move(c), QStringLiteral("copy-text"));
}

// ---- Glyphs ----

void TesseraDocument::DeltaT(double y) {
    course::Surface& g = pic();
    dsp(g, CurX, y, QStringLiteral("⊿"));
    addx(2);
    dspItalic(g, CurX, y, QStringLiteral("t"));
}

void TesseraDocument::DeltaX(double y) {
    course::Surface& g = pic();
    addx(2);
    dsp(g, CurX, y, QStringLiteral("⊿"));
    addx(1);
    dspItalic(g, CurX, y, QStringLiteral("x"));
    addx(2);
}

void TesseraDocument::DeltaTPar(double y) {
    course::Surface& g = pic();
    dsp(g, CurX, y, QStringLiteral("("));
    DeltaT(y);
    addx(2);
    dsp(g, CurX, y, QStringLiteral(")"));
}

void TesseraDocument::DeltaXSq(double y) {
    course::Surface& g = pic();
    dsp(g, CurX, y, QStringLiteral("("));
    DeltaX(y);
    dsp(g, CurX, y, QStringLiteral(")"));
    dspSq(g, CurX, y);
}

void TesseraDocument::MatBrackets(double X, double Y) {
    course::Surface& g = pic();
    // Left bracket: top serif, stem over the four rows, bottom serif. Its corners lie on
    // whole pixels, where the surface sets thin rules, so that stem and serifs meet.
    double x = std::round(X + 10);
    const double y = std::round(Y + CharH), yEnd = std::round(y + 4 * CharH);
    g.Line(x, y, x - 5, y);
    g.LineTo(x - 5, yEnd);
    g.LineTo(x, yEnd);
    // Right bracket, ten characters and 3 px further (clear of the subscript of the
    // last diagonal entry).
    x = std::round(X + 10 * CharW + 3);
    g.Line(x, y, x + 5, y);
    g.LineTo(x + 5, yEnd);
    g.LineTo(x, yEnd);
}

void TesseraDocument::DxSqOverDt() {
    course::Surface& g = pic();
    incx(1);
    // A bar of 5.8 characters covers the numerator (Δx)² set from half a character in,
    // and Δt is centred under it 1.6 characters in.
    g.Line(CurX, CurY + 0.5 * CharH, CurX + kDxSqBar * CharW, CurY + 0.5 * CharH);
    const double X0 = CurX;
    incx(1.6);
    DeltaT(CurY + 0.5 * CharH);
    CurX = X0;
    incx(0.5);
    DeltaXSq(CurY - 0.5 * CharH);
}

// ---- Pieces the pages repeat ----

void TesseraDocument::idx(const QString& letter, const QString& index) {
    it(letter);
    // The index keeps clear of the italic letter's lower right corner.
    clearOfLast([&] { sf(index); });
}

void TesseraDocument::tag(const QString& t) {
    CurX = TagCol;
    ds(t);
}

void TesseraDocument::at(double x, double lines) {
    CurX = x;
    incy(lines);
}

void TesseraDocument::half() { dspHalf(pic(), CurX, CurY); }

void TesseraDocument::headingColor(bool blue) { pic().ForeColor = blue ? Blue : MyColor[0]; }

std::unique_ptr<course::Document> makeDocument(std::optional<double> speed, bool paused) {
    auto doc = std::make_unique<TesseraDocument>();
    doc->setSpeed(speed ? *speed : course::savedSpeed(doc->settings().name));
    if (paused)
        doc->pacing().clock().pause();
    return doc;
}

} // namespace tessera
