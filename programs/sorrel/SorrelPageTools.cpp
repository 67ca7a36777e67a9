// SPDX-License-Identifier: GPL-3.0-or-later
#include "SorrelPageTools.h"

#include "SorrelWindow.h"

#include <engine/shell/PageAccessible.h>
#include <engine/shell/PageTools.h>
#include <engine/textruns/PageText.h>

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
    // Cells are where the parts lie in the client area at 100 %, whatever the zoom.
    auto caption = [&w](const course::Label* l) {
        return course::PageTextLayout{l->caption(), {{0, int(l->caption().size()), QRectF(w.designRect(l))}}};
    };
    add(caption(w.label1()), {});
    add(course::pageTextLayout(w.form()), {});
    for (PictureBox* box : {w.picNumerovBox(), w.picBox()})
        add(course::pageTextLayout(box->surface()),
            w.designRect(box).topLeft() + QPoint(PictureBox::kBorder, PictureBox::kBorder));
    if (w.getSourceFile()->isVisibleTo(&w))
        add(caption(w.getSourceFile()), {});
    return all;
}

} // namespace

course::PageTools* installPageTools(SorrelWindow& w) {
    course::PageSource source;
    source.text = [&w] { return windowText(w).text; };
    source.picture = [&w](double dpr) { return w.clientImage(dpr); };
    source.view = [&w]() -> QWidget* { return &w; };
    source.revision = [&w] {
        return w.form().revision() + w.pic().revision() + w.picNumerov().revision() +
               w.label1()->surface().revision() + std::uint64_t(w.getSourceFile()->isVisibleTo(&w));
    };

    auto* tools = new course::PageTools(w.fonts(), &w, std::move(source));

    course::PageAccessible::expose(&w, {QAccessible::Document, {}, {}, [&w] { return windowText(w); }});
    course::Label* title = w.label1();
    course::PageAccessible::expose(title,
                                   {QAccessible::StaticText, [title] { return title->caption(); }, {}});
    course::Label* download = w.getSourceFile();
    course::PageAccessible::expose(download,
                                   {QAccessible::Button, [download] { return download->caption(); }, {}});
    return tools;
}

} // namespace sorrel
