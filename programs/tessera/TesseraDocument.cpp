// SPDX-License-Identifier: GPL-3.0-or-later
// The tessera document: its window settings and the glyphs its pages share (the
// differences Δt and Δx, the fraction (Δx)²/Δt and the brackets of the 4×4 matrices).

#include "TesseraDocument.h"

namespace tessera {

using course::DocumentSettings;
using course::KeySet;
using course::PageSwitching;

QString title() { return QStringLiteral("クランク・ニコルソン法による時間発展"); }

namespace {

// What differs from the defaults: the tag column, no first indent, key set A, pages
// switched in place, the print canvas made on the first print, and F1 and Print
// printing the window itself.
const DocumentSettings kSettings{
    .name = QStringLiteral("tessera"),
    .windowTitle = title(),
    .tagColumns = 55,
    .hasIndent0 = false,
    .keys = KeySet::A,
    .switching = PageSwitching::Inline,
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

const DocumentSettings& TesseraDocument::settings() const { return kSettings; }

void TesseraDocument::drawPage(int k) {
    course::drawPageOf(*this, k, {&TesseraDocument::pic0, &TesseraDocument::pic1, &TesseraDocument::pic2});
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
    // Left bracket: top serif, stem over the four rows, bottom serif.
    double x = X + 10, y = Y + CharH;
    g.Line(x, y, x - 5, y);
    g.LineTo(x - 5, y + 4 * CharH);
    g.LineTo(x, y + 4 * CharH);
    // Right bracket, ten characters and 3 px further (clear of the subscript of the
    // last diagonal entry).
    x = X + 10 * CharW + 3;
    g.Line(x, y, x + 5, y);
    g.LineTo(x + 5, y + 4 * CharH);
    g.LineTo(x, y + 4 * CharH);
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

std::unique_ptr<course::Document> makeDocument() { return std::make_unique<TesseraDocument>(); }

} // namespace tessera
