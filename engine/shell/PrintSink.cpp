// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/shell/PrintSink.h>

#include <engine/system/Language.h>
#include <engine/system/StagedFile.h>
#include <engine/textruns/Units.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QStandardPaths>

namespace course {

QString documentsFolder() {
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!docs.isEmpty() && QDir(docs).exists())
        return docs;
    return QDir::homePath();
}

Outcome writeUniqueFile(const QString& dir, const QString& stem, const QString& suffix,
                        const QByteArray& contents, QString& path) {
    path.clear();
    const QDir folder(dir);
    // The file is the window's: its messages are in the window's language.
    const Language language = windowLanguage();
    StagedFile staged(folder.filePath(stem + suffix), language);
    if (Outcome r = staged.stage(contents); !r)
        return r;
    for (int n = 1; n < 10000; ++n) {
        const QString name = n == 1 ? stem + suffix : QStringLiteral("%1-%2%3").arg(stem).arg(n).arg(suffix);
        bool taken = false;
        const Outcome r = staged.commitNew(folder.filePath(name), taken);
        if (r) {
            path = folder.filePath(name);
            return r;
        }
        if (!taken)
            return r;
    }
    return Outcome::failure(Catalog(language)
                                .translate("course::PrintSink", "cannot write %1: every name is taken")
                                .arg(folder.filePath(stem + suffix)));
}

bool paintOnPage(QPagedPaintDevice& device, int resolution, const std::function<void(QPainter&)>& paint,
                 QSize size) {
    QPainter p;
    if (!p.begin(&device))
        return false;
    const QRectF area(QPointF(0, 0), QSizeF(device.width(), device.height()));
    double s = resolution / units::kLogicalDpi;
    if (size.width() * s > area.width())
        s = area.width() / size.width();
    p.scale(s, s);
    paint(p);
    return p.end();
}

Outcome SystemPrintSink::print(const std::function<void(QPainter&)>& paint, QSize size,
                               const QString& jobName) {
    const QPrinterInfo info = findPrinter_();
    if (!info.isNull()) {
        QPrinter printer(info, QPrinter::HighResolution);
        printer.setDocName(jobName);
        if (paintOnPage(printer, printer.resolution(), paint, size))
            return {true, QCoreApplication::translate("course::PrintSink", "Sent “%1” to the printer %2.")
                              .arg(jobName, info.printerName())};
        return {false, QCoreApplication::translate("course::PrintSink", "Could not print on the printer %1.")
                           .arg(info.printerName())};
    }
    // No printer installed: keep the page as a PDF the user can print later. It is made
    // in memory and written whole, so no half-written file is left under its name.
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(1200);
        writer.setCreator(jobName);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        if (!paintOnPage(writer, writer.resolution(), paint, size) || bytes.isEmpty())
            return {false,
                    QCoreApplication::translate(
                        "course::PrintSink", "There is no printer, and the PDF could not be made either.")};
    }
    const QString stem = jobName + QDateTime::currentDateTime().toString(QStringLiteral("-yyyyMMdd"));
    QString path;
    if (const Outcome r = writeUniqueFile(documentsFolder(), stem, QStringLiteral(".pdf"), bytes, path); !r)
        return {false,
                QCoreApplication::translate("course::PrintSink",
                                            "There is no printer, and the PDF could not be saved either: %1")
                    .arg(r.message)};
    return {true, QCoreApplication::translate("course::PrintSink",
                                              "There is no printer, so the page was saved as a PDF: %1")
                      .arg(path)};
}

} // namespace course
