// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/shell/PageExport.h>

#include <engine/shell/ExportFolder.h>
#include <engine/shell/Form1.h>
#include <engine/system/Language.h>
#include <engine/system/StagedFile.h>
#include <engine/textruns/Units.h>

#include <QBuffer>
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

QByteArray pngBytes(const QImage& img) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    return writer.write(img) ? bytes : QByteArray();
}

Outcome savePng(const QImage& img, const QString& file) {
    const QByteArray bytes = pngBytes(img);
    if (bytes.isEmpty())
        return Outcome::failure(
            Catalog::terminal()
                .translate("course::PageExport", "cannot write %1: the picture cannot be encoded")
                .arg(file));
    return writeFileAtomically(file, bytes);
}

Outcome pdfBytes(QByteArray& out, const std::vector<PdfPage>& pages, const QString& title,
                 const QString& creator, int resolution) {
    out.clear();
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
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
        return Outcome::failure(Catalog::terminal().translate("course::PageExport", "cannot start the PDF"));
    const double s = resolution / units::kLogicalDpi;
    for (std::size_t k = 0; k < pages.size(); ++k) {
        if (k > 0) {
            writer.setPageSize(pageSize(pages[k].size));
            if (!writer.newPage())
                return Outcome::failure(Catalog::terminal()
                                            .translate("course::PageExport", "cannot add page %1 to the PDF")
                                            .arg(k + 1));
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
    if (!p.end() || out.isEmpty())
        return Outcome::failure(Catalog::terminal().translate("course::PageExport", "cannot finish the PDF"));
    return Outcome::success();
}

Outcome writePdf(const QString& file, const std::vector<PdfPage>& pages, const QString& title,
                 const QString& creator, int resolution) {
    QByteArray bytes;
    if (Outcome r = pdfBytes(bytes, pages, title, creator, resolution); !r)
        return Outcome::failure(
            Catalog::terminal().translate("course::PageExport", "cannot write %1: %2").arg(file, r.message));
    return writeFileAtomically(file, bytes);
}

void completePagesForExport(Form1& w) {
    if (w.document().settings().lastPageDrawnWhenShown)
        w.drawPageForExport(w.pageCount() - 1);
}

namespace {

// The screen pages at 1x and 2x, and the title box where there is one.
Outcome addPngPages(Form1& w, ExportFolder& folder) {
    auto both = [&folder](const Surface& s, QSize size, const QString& stem) -> Outcome {
        for (double dpr : {1.0, 2.0}) {
            const QString name =
                dpr == 1.0 ? stem + QStringLiteral(".png") : stem + QStringLiteral("@2x.png");
            const QByteArray bytes = pngBytes(renderSurface(s, size, dpr));
            if (bytes.isEmpty())
                return Outcome::failure(Catalog::terminal()
                                            .translate("course::PageExport", "cannot encode the picture %1")
                                            .arg(name));
            folder.add(name, bytes);
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

Outcome documentPdf(Form1& w, QByteArray& out) {
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
    return pdfBytes(out, pages, name, name, kResolution);
}

} // namespace

Outcome exportPng(Form1& w, const QString& dir, bool overwrite) { return exportDocument(w, dir, {}, overwrite); }

Outcome exportPdf(Form1& w, const QString& file) { return exportDocument(w, {}, file, false); }

Outcome exportDocument(Form1& w, const QString& pngDir, const QString& pdf, bool overwrite) {
    StagedFiles files;
    if (!pngDir.isEmpty()) {
        ExportFolder folder(pngDir);
        folder.setOverwrite(overwrite);
        if (Outcome r = addPngPages(w, folder); !r)
            return r;
        if (const QString error = folder.prepare(); !error.isEmpty())
            return Outcome::failure(error);
        folder.addTo(files);
    }
    if (!pdf.isEmpty()) {
        QByteArray bytes;
        if (Outcome r = documentPdf(w, bytes); !r)
            return Outcome::failure(Catalog::terminal()
                                        .translate("course::PageExport", "cannot write %1: %2")
                                        .arg(pdf, r.message));
        files.add(pdf, bytes);
    }
    return files.write();
}

} // namespace course
