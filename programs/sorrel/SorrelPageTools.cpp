#include "SorrelPageTools.h"

#include "SorrelWindow.h"

#include <course/shell/PageAccessible.h>
#include <course/shell/PageTools.h>
#include <course/textruns/PageText.h>
#include <course/textruns/Units.h>

#include <QPainter>

namespace sorrel {

namespace {

// The window's parts one after the other, an empty line between them; the spans keep
// their cells in window coordinates.
course::PageTextLayout windowText(SorrelWindow& w) {
    course::PageTextLayout all;
    auto add = [&all](const course::PageTextLayout& part, QPointF offset) {
        if (part.text.isEmpty())
            return;
        if (!all.text.isEmpty())
            all.text += QStringLiteral("\n\n");
        const int base = int(all.text.size());
        for (course::PageTextSpan s : part.spans) {
            s.start += base;
            s.cell.translate(offset);
            all.spans.push_back(s);
        }
        all.text += part.text;
    };
    auto caption = [](const LabelView* l) {
        return course::PageTextLayout{l->caption(), {{0, int(l->caption().size()), QRectF(l->geometry())}}};
    };
    add(caption(w.label1()), {});
    add(course::pageTextLayout(w.form()), {});
    for (PictureBox* box : {w.picNumerovBox(), w.picBox()})
        add(course::pageTextLayout(box->surface()), box->view()->mapTo(&w, QPoint(0, 0)));
    if (w.getSourceFile()->isVisibleTo(&w))
        add(caption(w.getSourceFile()), {});
    return all;
}

} // namespace

course::PageTools* installPageTools(SorrelWindow& w) {
    course::PageSource source;
    source.text = [&w] { return windowText(w).text; };
    source.picture = [&w](double dpr) {
        QImage img = course::units::imageAt(SorrelWindow::clientSize(), dpr);
        img.fill(Qt::white);
        QPainter p(&img);
        w.paintClientArea(p);
        return img;
    };
    source.view = [&w]() -> QWidget* { return &w; };
    source.revision = [&w] {
        return w.form().revision() + w.pic().revision() + w.picNumerov().revision() +
               w.label1()->surface().revision() + std::uint64_t(w.getSourceFile()->isVisibleTo(&w));
    };

    std::vector<course::KeyRow> keys = {
        {QStringLiteral("Esc"), QStringLiteral("終了")},
        {QStringLiteral("1 … 9 / 0"), QStringLiteral("核電荷 Z = 1 … 10 で計算し直す")},
    };
    for (const std::vector<course::KeyRow>& rows : {course::runKeys(), course::commonKeys()})
        keys.insert(keys.end(), rows.begin(), rows.end());
    auto* tools = new course::PageTools(&w, std::move(source), std::move(keys));

    course::PageAccessible::expose(&w, {QAccessible::Document, {}, {}, [&w] { return windowText(w); }});
    LabelView* title = w.label1();
    course::PageAccessible::expose(title,
                                   {QAccessible::StaticText, [title] { return title->caption(); }, {}});
    LabelView* download = w.getSourceFile();
    course::PageAccessible::expose(download,
                                   {QAccessible::Button, [download] { return download->caption(); }, {}});
    return tools;
}

} // namespace sorrel
