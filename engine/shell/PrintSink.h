// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a printed page goes: the default printer, or, on a desktop without one, a PDF
// file in the user's documents folder that never overwrites an existing file.

#include <engine/system/Outcome.h>
#include <engine/textruns/Surface.h>

#include <QByteArray>
#include <QPrinterInfo>
#include <QString>

#include <functional>

class QPagedPaintDevice;

namespace course {

class PrintSink {
public:
    virtual ~PrintSink() = default;
    // `paint` draws the image in logical pixels; `size` is its extent.
    virtual Outcome print(const std::function<void(QPainter&)>& paint, QSize size,
                          const QString& jobName) = 0;
};

class SystemPrintSink : public PrintSink {
public:
    // `findPrinter` names the printer to use; a null printer means there is none and
    // the page is kept as a PDF instead.
    explicit SystemPrintSink(std::function<QPrinterInfo()> findPrinter = &QPrinterInfo::defaultPrinter)
        : findPrinter_(std::move(findPrinter)) {}
    Outcome print(const std::function<void(QPainter&)>& paint, QSize size, const QString& jobName) override;

private:
    std::function<QPrinterInfo()> findPrinter_;
};

// Writes `contents` as a new file "<stem>.pdf", "<stem>-2.pdf", … in `dir`: staged
// beside it, then given the first free name, so it never replaces a file and is
// whole or not there. `path` is set to the file written; a failure names the reason.
Outcome writeUniqueFile(const QString& dir, const QString& stem, const QString& suffix,
                        const QByteArray& contents, QString& path);
// The folder for saved pages: the documents folder when it exists, else home.
QString documentsFolder();

// Paints a logical-pixel image on a paged device at the device's resolution (vector
// text), shrunk to the printable width if it is wider.
bool paintOnPage(QPagedPaintDevice& device, int resolution, const std::function<void(QPainter&)>& paint,
                 QSize size);

} // namespace course
