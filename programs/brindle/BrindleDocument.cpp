// brindle's document: window settings, page dispatch and the pace of the live page.
// The explanation pages are in BrindlePages.cpp, their glyphs in BrindleGlyphs.cpp,
// the live iteration in LivePage.cpp.

#include "BrindleDocument.h"

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

BrindleDocument::BrindleDocument() { installLKeys(); }

BrindleDocument::~BrindleDocument() = default;

const course::DocumentSettings& BrindleDocument::settings() const { return kSettings; }

QSize livePageSize() {
    static const QSize size = kSettings.layout.page.pixels().size();
    return size;
}

void BrindleDocument::drawPage(int k) {
    course::drawPageOf(*this, k, {&BrindleDocument::pic0, &BrindleDocument::pic1, &BrindleDocument::pic2});
}

void BrindleDocument::setSpeed(double f) {
    if (!std::isfinite(f) || !(f > 0))
        throw std::invalid_argument("speed factor must be finite and positive");
    speed_ = f;
}

void BrindleDocument::setPacer(Pacer* p) { pacer_ = p ? p : &defaultPacer_; }

void BrindleDocument::fontSize(double size) { Pic->FontSize = size; }

} // namespace brindle
