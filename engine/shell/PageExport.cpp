// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/shell/PageExport.h>

#include <engine/shell/Form1.h>
#include <engine/textruns/Units.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPdfWriter>

namespace course {

QImage renderImage(QSize size, double dpr, Rgb background, const Painting& paint) {
    QImage img = units::imageAt(size, dpr);
    img.fill(toQColor(background));
    QPainter p(&img);
    paint(p);
    p.end();
    return img;
}

QImage renderSurface(const Surface& s, QSize size, double dpr) {
    return renderImage(size, dpr, s.BackColor, [&s, size](QPainter& p) {
        p.setClipRect(QRect(QPoint(0, 0), size));
        s.render(p);
    });
}

Outcome savePng(const QImage& img, const QString& file) {
    QImageWriter writer(file, "png");
    if (!writer.write(img))
        return Outcome::failure(QStringLiteral("cannot write %1: %2").arg(file, writer.errorString()));
    return Outcome::success();
}

Outcome writePdf(const QString& file, const std::vector<PdfPage>& pages, const QString& title,
                 const QString& creator, int resolution) {
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return Outcome::failure(QStringLiteral("cannot write %1: %2").arg(file, out.errorString()));
    QPdfWriter writer(&out);
    writer.setResolution(resolution);
    writer.setCreator(creator);
    writer.setTitle(title);
    auto pageSize = [](QSize px) {
        return QPageSize(QSizeF(px.width() * units::kPointsPerPixel, px.height() * units::kPointsPerPixel),
                         QPageSize::Point, QString(), QPageSize::ExactMatch);
    };
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    if (!pages.empty())
        writer.setPageSize(pageSize(pages.front().size));
    QPainter p;
    if (!p.begin(&writer))
        return Outcome::failure(QStringLiteral("cannot start a PDF in %1").arg(file));
    const double s = resolution / units::kLogicalDpi;
    for (std::size_t k = 0; k < pages.size(); ++k) {
        if (k > 0) {
            writer.setPageSize(pageSize(pages[k].size));
            if (!writer.newPage())
                return Outcome::failure(QStringLiteral("cannot add a page to %1").arg(file));
        }
        // At 96 dpi a device unit is a logical pixel already.
        if (s != 1.0) {
            p.save();
            p.scale(s, s);
        }
        pages[k].paint(p);
        if (s != 1.0)
            p.restore();
    }
    if (!p.end())
        return Outcome::failure(QStringLiteral("cannot finish the PDF %1").arg(file));
    return Outcome::success();
}

void completePagesForExport(Form1& w) {
    if (w.document().settings().lastPageDrawnWhenShown)
        w.drawPageForExport(w.pageCount() - 1);
}

Outcome exportPng(Form1& w, const QString& dir) {
    if (!QDir().mkpath(dir))
        return Outcome::failure(QStringLiteral("cannot create the folder %1").arg(dir));
    const QDir d(dir);
    auto both = [&d](const Surface& s, QSize size, const QString& stem) -> Outcome {
        for (double dpr : {1.0, 2.0}) {
            const QString name =
                dpr == 1.0 ? stem + QStringLiteral(".png") : stem + QStringLiteral("@2x.png");
            if (Outcome r = savePng(renderSurface(s, size, dpr), d.filePath(name)); !r)
                return r;
        }
        return Outcome::success();
    };
    for (int k = 0; k < w.pageCount(); ++k) {
        if (Outcome r = both(w.page(k), w.visiblePageSize(), QStringLiteral("page-%1").arg(k)); !r)
            return r;
    }
    if (Surface* title = w.titleBox())
        return both(*title, title->size(), QStringLiteral("title"));
    return Outcome::success();
}

Outcome exportPdf(Form1& w, const QString& file) {
    constexpr int kResolution = 960; // ten device units per layout pixel
    const QSize pageSize = w.visiblePageSize();
    const Surface* title = w.titleBox();
    std::vector<PdfPage> pages;
    for (int k = 0; k < w.pageCount(); ++k) {
        const Surface& page = w.page(k);
        // The title box, where there is one, heads the first page.
        const int titleHeight = k == 0 && title ? title->size().height() : 0;
        pages.push_back({QSize(pageSize.width(), pageSize.height() + titleHeight),
                         [&page, title, titleHeight, pageSize](QPainter& p) {
                             if (titleHeight) {
                                 title->render(p);
                                 p.translate(0, titleHeight);
                             }
                             p.setClipRect(QRect(QPoint(0, 0), pageSize));
                             page.render(p);
                         }});
    }
    const QString name = w.document().settings().windowTitle;
    return writePdf(file, pages, name, name, kResolution);
}

} // namespace course
