// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing pictures and PDFs without a display, the one path of every export: a PNG of
// anything painted in logical pixels at a device pixel ratio, and a PDF whose pages
// are replayed as vectors with real, searchable text. A document's export writes its
// screen pages at 1x and 2x and a PDF with one page per document page.

#include <engine/system/Outcome.h>
#include <engine/textruns/Surface.h>

#include <QByteArray>
#include <QSize>
#include <QString>

#include <functional>
#include <vector>

class QImage;
class QPainter;

namespace course {

class Form1;

using Painting = std::function<void(QPainter&)>;

// An image of `size` logical pixels at `dpr`, filled with `background`, then painted.
QImage renderImage(QSize size, double dpr, Rgb background, const Painting& paint);
// The part of a surface from its top-left corner, at a device pixel ratio.
QImage renderSurface(const Surface& s, QSize size, double dpr);

// A picture as the bytes of a PNG file; empty when it cannot be encoded.
QByteArray pngBytes(const QImage& img);
// Each writes a whole file or none (engine/system/StagedFile.h) and fails with the
// file and the system's reason when it cannot be written.
Outcome savePng(const QImage& img, const QString& file);

struct PdfPage {
    QSize size; // logical pixels
    Painting paint;
};
// `resolution` is the PDF's device units per inch; the pages paint in logical pixels.
// The document is made in memory, into `out`.
Outcome pdfBytes(QByteArray& out, const std::vector<PdfPage>& pages, const QString& title,
                 const QString& creator, int resolution);
Outcome writePdf(const QString& file, const std::vector<PdfPage>& pages, const QString& title,
                 const QString& creator, int resolution);

// A document's pages: page-0.png, page-0@2x.png, … in `dir` (made when missing; files
// already there are refused unless `overwrite`); all pages in one PDF, which replaces
// the file. exportDocument writes either or both, all or none.
Outcome exportPng(Form1& w, const QString& dir, bool overwrite = false);
Outcome exportPdf(Form1& w, const QString& file);
Outcome exportDocument(Form1& w, const QString& pngDir, const QString& pdf, bool overwrite);

// Draws the pages that start-up leaves for later, so that every page has content.
void completePagesForExport(Form1& w);

} // namespace course
