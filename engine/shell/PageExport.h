#pragma once
// Writing a document's pages without a display: PNG pictures of the screen pages at
// 1x and 2x, and a PDF with one page per document page and real, searchable text.

#include <course/textruns/Outcome.h>

#include <QSize>
#include <QString>

class QImage;

namespace course {

class Form1;
class Surface;

// The part of a surface from its top-left corner, at a device pixel ratio.
QImage renderSurface(const Surface& s, QSize size, double dpr);

// Each fails with the reason when a file cannot be written.
Outcome exportPng(Form1& w, const QString& dir);
Outcome exportPdf(Form1& w, const QString& file);

// Draws the pages that start-up leaves for later, so that every page has content.
void completePagesForExport(Form1& w);

} // namespace course
