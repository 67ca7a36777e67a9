#include "Export.h"

#include "SorrelWindow.h"

#include <course/textruns/Units.h>

#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

namespace sorrel {

course::Outcome exportPng(const SorrelWindow& window, const QString& file, int scale) {
    const QSize size = SorrelWindow::clientSize();
    QImage img = course::units::imageAt(size, scale);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        window.paintClientArea(p);
    }
    QImageWriter writer(file, "png");
    if (!writer.write(img))
        return course::Outcome::failure(
            QStringLiteral("cannot write %1: %2").arg(file, writer.errorString()));
    return course::Outcome::success();
}

course::Outcome exportPdf(const SorrelWindow& window, const QString& file) {
    const QSize size = SorrelWindow::clientSize();
    {
        // QPdfWriter does not report an unwritable path until painting begins; check first
        // so that no empty file is left behind on failure either.
        QFile probe(file);
        if (!probe.open(QIODevice::WriteOnly))
            return course::Outcome::failure(
                QStringLiteral("cannot write %1: %2").arg(file, probe.errorString()));
    }
    QPdfWriter pdf(file);
    pdf.setCreator(QStringLiteral("sorrel"));
    pdf.setTitle(kProgramTitle);
    // One page the size of the window at 96 dpi; one device unit = one window pixel.
    pdf.setResolution(96);
    pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(size.width() * course::units::kPointsPerPixel,
                                                   size.height() * course::units::kPointsPerPixel),
                                            QPageSize::Point, QString(), QPageSize::ExactMatch),
                                  QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QPainter p;
    if (!p.begin(&pdf))
        return course::Outcome::failure(QStringLiteral("cannot write %1").arg(file));
    window.paintClientArea(p);
    if (!p.end())
        return course::Outcome::failure(QStringLiteral("cannot finish %1").arg(file));
    return course::Outcome::success();
}

} // namespace sorrel
