#include <course/shell/PageExport.h>

#include <course/textruns/Units.h>

#include <course/shell/Form1.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

namespace course {

QImage renderSurface(const Surface& s, QSize size, double dpr) {
    QImage img = units::imageAt(size, dpr);
    img.fill(toQColor(s.BackColor));
    QPainter p(&img);
    p.setClipRect(QRect(QPoint(0, 0), size));
    s.render(p);
    p.end();
    return img;
}

void completePagesForExport(Form1& w) {
    if (w.document().settings().lastPageDrawnWhenShown)
        w.drawPageForExport(w.pageCount() - 1);
}

Outcome exportPng(Form1& w, const QString& dir) {
    if (!QDir().mkpath(dir))
        return Outcome::failure(QStringLiteral("cannot create the folder %1").arg(dir));
    const QDir d(dir);
    auto save = [&](const QImage& img, const QString& name) {
        const QString path = d.filePath(name);
        if (!img.save(path, "PNG"))
            return Outcome::failure(QStringLiteral("cannot write %1").arg(path));
        return Outcome::success();
    };
    for (int k = 0; k < w.pageCount(); ++k) {
        for (double dpr : {1.0, 2.0}) {
            const QString name =
                dpr == 1.0 ? QStringLiteral("page-%1.png").arg(k) : QStringLiteral("page-%1@2x.png").arg(k);
            if (Outcome r = save(renderSurface(w.page(k), w.visiblePageSize(), dpr), name); !r)
                return r;
        }
    }
    if (Surface* title = w.titleBox()) {
        for (double dpr : {1.0, 2.0}) {
            Outcome r = save(renderSurface(*title, title->size(), dpr),
                             dpr == 1.0 ? QStringLiteral("title.png") : QStringLiteral("title@2x.png"));
            if (!r)
                return r;
        }
    }
    return Outcome::success();
}

Outcome exportPdf(Form1& w, const QString& file) {
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return Outcome::failure(QStringLiteral("cannot write %1: %2").arg(file, out.errorString()));
    constexpr int kResolution = 960; // ten device units per layout pixel
    QPdfWriter writer(&out);
    writer.setResolution(kResolution);
    writer.setCreator(w.document().settings().windowTitle);
    writer.setTitle(w.document().settings().windowTitle);
    const QSize pageSize = w.visiblePageSize();
    Surface* title = w.titleBox();
    auto pointsOf = [](QSize px) {
        return QSizeF(px.width() * units::kPointsPerPixel, px.height() * units::kPointsPerPixel);
    };
    // The title box, where there is one, heads the first page.
    const int titleHeight = title ? title->size().height() : 0;
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setPageSize(QPageSize(pointsOf(QSize(pageSize.width(), pageSize.height() + titleHeight)),
                                 QPageSize::Point, QString(), QPageSize::ExactMatch));
    QPainter p;
    if (!p.begin(&writer))
        return Outcome::failure(QStringLiteral("cannot start a PDF in %1").arg(file));
    const double s = kResolution / units::kLogicalDpi;
    for (int k = 0; k < w.pageCount(); ++k) {
        if (k > 0) {
            writer.setPageSize(
                QPageSize(pointsOf(pageSize), QPageSize::Point, QString(), QPageSize::ExactMatch));
            if (!writer.newPage())
                return Outcome::failure(QStringLiteral("cannot add a page to %1").arg(file));
        }
        p.save();
        p.scale(s, s);
        if (k == 0 && title) {
            title->render(p);
            p.translate(0, titleHeight);
        }
        p.setClipRect(QRect(QPoint(0, 0), pageSize));
        w.page(k).render(p);
        p.restore();
    }
    if (!p.end())
        return Outcome::failure(QStringLiteral("cannot finish the PDF %1").arg(file));
    return Outcome::success();
}

} // namespace course
