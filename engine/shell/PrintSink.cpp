// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/shell/PrintSink.h>

#include <engine/textruns/Units.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
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

QString createUniqueFile(const QString& dir, const QString& stem, const QString& suffix) {
    for (int n = 1; n < 10000; ++n) {
        const QString name = n == 1 ? stem + suffix : QStringLiteral("%1-%2%3").arg(stem).arg(n).arg(suffix);
        QFile f(QDir(dir).filePath(name));
        if (f.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return f.fileName();
        if (!f.exists())
            return {}; // not writable for another reason
    }
    return {};
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
            return {true,
                    QStringLiteral("「%1」をプリンター %2 に送りました。").arg(jobName, info.printerName())};
        return {false, QStringLiteral("プリンター %1 に印刷できませんでした。").arg(info.printerName())};
    }
    // No printer installed: keep the page as a PDF the user can print later.
    const QString stem = jobName + QDateTime::currentDateTime().toString(QStringLiteral("-yyyyMMdd"));
    const QString path = createUniqueFile(documentsFolder(), stem, QStringLiteral(".pdf"));
    if (path.isEmpty())
        return {
            false,
            QStringLiteral("プリンターがなく、PDF も %1 に保存できませんでした。").arg(documentsFolder())};
    QPdfWriter writer(path);
    writer.setResolution(1200);
    writer.setCreator(jobName);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    if (!paintOnPage(writer, writer.resolution(), paint, size)) {
        QFile::remove(path);
        return {false, QStringLiteral("PDF を %1 に書けませんでした。").arg(path)};
    }
    return {true, QStringLiteral("プリンターがないため PDF に保存しました: %1").arg(path)};
}

} // namespace course
