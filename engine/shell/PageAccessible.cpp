// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/shell/PageAccessible.h>

#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace course {

namespace {

// The source a widget answers from, kept as the widget's child: it lives and goes with
// the widget, and the factory finds it there, so no table outside the widgets knows
// which widgets are exposed.
class SourceHolder : public QObject {
public:
    SourceHolder(QWidget* w, AccessibleSource s) : QObject(w), source(std::move(s)) {}
    AccessibleSource source;
};

SourceHolder* holderOf(QObject* object) {
    if (object)
        for (QObject* child : object->children())
            if (auto* h = dynamic_cast<SourceHolder*>(child))
                return h;
    return nullptr;
}

QAccessibleInterface* factory(const QString&, QObject* object) {
    auto* w = qobject_cast<QWidget*>(object);
    SourceHolder* h = w ? holderOf(w) : nullptr;
    return h ? new PageAccessible(w, h->source) : nullptr;
}

} // namespace

PageAccessible::PageAccessible(QWidget* w, AccessibleSource source)
    : QAccessibleWidget(w, source.role), source_(std::move(source)) {}

void PageAccessible::expose(QWidget* w, AccessibleSource source) {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
    if (SourceHolder* h = holderOf(w))
        h->source = std::move(source);
    else
        new SourceHolder(w, std::move(source));
    // Qt keeps the first interface made for a widget (a change of its title or name
    // makes one, and so did an earlier expose): it gives way to one made from this source.
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(w)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
        QAccessible::queryAccessibleInterface(w);
    }
}

QString PageAccessible::exposedText(QWidget* w) {
    const SourceHolder* h = holderOf(w);
    return h && h->source.text ? h->source.text().text : QString();
}

void PageAccessible::announce(QWidget* messageLabel, std::function<QString()> text) {
    if (!holderOf(messageLabel))
        expose(messageLabel, {QAccessible::AlertMessage, std::move(text), {}});
    QAccessibleEvent ev(messageLabel, QAccessible::Alert);
    QAccessible::updateAccessibility(&ev);
}

QStringList PageAccessible::actionNames() const {
    QStringList names = QAccessibleWidget::actionNames();
    if (source_.press)
        names.prepend(pressAction());
    return names;
}

void PageAccessible::doAction(const QString& actionName) {
    if (actionName != pressAction() || !source_.press) {
        QAccessibleWidget::doAction(actionName);
        return;
    }
    // After the reader's request has been answered: a press may start a long paced run.
    QTimer::singleShot(0, widget(), source_.press);
}

QStringList PageAccessible::keyBindingsForAction(const QString& actionName) const {
    if (actionName == pressAction() && source_.press)
        return {QStringLiteral("Space")};
    return QAccessibleWidget::keyBindingsForAction(actionName);
}

PageTextLayout PageAccessible::layout() const { return source_.text ? source_.text() : PageTextLayout(); }

QAccessible::State PageAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    if (source_.text) {
        s.readOnly = true;
        s.multiLine = true;
    }
    return s;
}

QString PageAccessible::text(QAccessible::Text t) const {
    switch (t) {
    case QAccessible::Name:
        if (source_.name)
            return source_.name();
        break;
    case QAccessible::Description:
        if (source_.description)
            return source_.description();
        if (!widget()->accessibleDescription().isEmpty())
            return widget()->accessibleDescription();
        if (source_.text)
            return layout().text.section(u'\n', 0, 0);
        break;
    default: break;
    }
    return QAccessibleWidget::text(t);
}

void* PageAccessible::interface_cast(QAccessible::InterfaceType t) {
    if (t == QAccessible::TextInterface && source_.text)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

void PageAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    const bool has = selectionIndex == 0 && selStart_ >= 0;
    *startOffset = has ? selStart_ : 0;
    *endOffset = has ? selEnd_ : 0;
}

int PageAccessible::selectionCount() const { return selStart_ >= 0 ? 1 : 0; }

void PageAccessible::addSelection(int startOffset, int endOffset) { setSelection(0, startOffset, endOffset); }

void PageAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex == 0)
        selStart_ = selEnd_ = -1;
}

void PageAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex != 0)
        return;
    const int n = characterCount();
    selStart_ = std::clamp(std::min(startOffset, endOffset), 0, n);
    selEnd_ = std::clamp(std::max(startOffset, endOffset), 0, n);
}

void PageAccessible::setCursorPosition(int position) { cursor_ = std::clamp(position, 0, characterCount()); }

QString PageAccessible::text(int startOffset, int endOffset) const {
    const QString all = layout().text;
    if (endOffset < 0 || endOffset > all.size())
        endOffset = int(all.size());
    startOffset = std::clamp(startOffset, 0, endOffset);
    return all.mid(startOffset, endOffset - startOffset);
}

int PageAccessible::characterCount() const { return int(layout().text.size()); }

QRect PageAccessible::characterRect(int offset) const {
    const PageTextLayout L = layout();
    for (const PageTextSpan& s : L.spans) {
        if (offset < s.start || offset >= s.start + s.length)
            continue;
        // The run's cell shared evenly among its characters.
        const double w = s.cell.width() / s.length;
        const QRectF r(s.cell.left() + w * (offset - s.start), s.cell.top(), w, s.cell.height());
        return QRect(widget()->mapToGlobal(r.topLeft().toPoint()), r.size().toSize());
    }
    return {};
}

int PageAccessible::offsetAtPoint(const QPoint& point) const {
    const QPointF p = widget()->mapFromGlobal(point);
    for (const PageTextSpan& s : layout().spans) {
        if (!s.cell.contains(p))
            continue;
        const double w = s.cell.width() / s.length;
        return s.start + std::clamp(int((p.x() - s.cell.left()) / w), 0, s.length - 1);
    }
    return -1;
}

QString PageAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    *startOffset = 0;
    *endOffset = std::max(offset, characterCount());
    return {};
}

} // namespace course
