// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a printed job back: its page count and paper size, its picture, and how far
// that picture is from a page exported as PNG.

#include <QImage>
#include <QSizeF>
#include <QString>

#include <vector>

namespace course::testing {

struct PdfFacts {
    int pages = 0;
    QSizeF pageSize; // points
    QString error;   // empty when the file could be read
};
PdfFacts pdfFacts(const QString& pdf);

// The first page of a PDF at `dpi`, as an image; a null image on failure.
QImage rasterizePdf(const QString& pdf, double dpi, QString* error = nullptr);

} // namespace course::testing

namespace course::testing {

// Where ink is (dark or coloured pixels) in an image.
class InkMap {
public:
    explicit InkMap(const QImage& img, QPoint origin = {}, QSize size = {});
    QSize size() const { return size_; }
    bool at(int x, int y) const { return level(x, y) == 2; }
    // Ink or the light edge of a stroke.
    bool faint(int x, int y) const { return level(x, y) > 0; }
    // Ink or edge within `tol` pixels of (x, y).
    bool near(int x, int y, int tol) const;
    // The drawing cut into pieces: text lines (bands between blank rows), each cut
    // where a gap of at least `gap` blank columns separates words or formulas.
    std::vector<QRect> pieces(int gap) const;
    // Ink pixels per row.
    std::vector<int> rowProfile() const;

private:
    int level(int x, int y) const {
        return x >= 0 && y >= 0 && x < size_.width() && y < size_.height()
                   ? on_[std::size_t(y) * size_.width() + x]
                   : 0;
    }
    QSize size_;
    std::vector<unsigned char> on_;
};

struct PieceMatch {
    QRect piece;      // in the picture it was taken from
    double unmatched; // share of its ink with no ink nearby in the other picture
    bool fromExpected;
};

// Compares two pictures of one page piece by piece, in both directions: each piece
// of one looks for its ink in the other at `offset` (other = this + offset) moved by
// one of `dxChoices`, give or take `slack` pixels either way, and reports the
// smallest share of its ink that finds nothing there. A missing or extra line, or a
// formula moved by more than the slack, leaves a piece with most of its ink unmatched.
std::vector<PieceMatch> comparePieces(const InkMap& expected, const InkMap& actual, QPoint offset,
                                      const std::vector<int>& dxChoices, int slack, int gap);

// The picture with the ink inside `piece` moved by `by` (what a misplaced formula
// or, moved off the page, a lost line looks like).
QImage withPieceMoved(const QImage& img, const QRect& piece, QPoint by);

// The vertical shift (within ±range) that best lines up the rows of two pictures.
int bestRowShift(const InkMap& expected, const InkMap& actual, int range);

} // namespace course::testing
