#include <course/shell/PageAccessible.h>

#include <QHash>
#include <QWidget>

#include <algorithm>

namespace course {

namespace {

QHash<const QObject*, AccessibleSource>& sources() {
    static QHash<const QObject*, AccessibleSource> map;
    return map;
}

QAccessibleInterface* factory(const QString&, QObject* object) {

    auto* w = qobject_cast<QWidget*>(object);
    if (!w)
        return nullptr;
    auto it = sources().constFind(object);
    return it == sources().constEnd() ? nullptr : new PageAccessible(w, *it);
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
    const bool known = sources().contains(w);
    sources().insert(w, std::move(source));
    if (!known)
        QObject::connect(w, &QObject::destroyed, w, [w] { sources().remove(w); });
    // Qt keeps the first interface made for a widget (a change of its title or name
    // makes one): one made before it was exposed here gives way to this one.
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(w);
    if (made && !dynamic_cast<PageAccessible*>(made)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
        QAccessible::queryAccessibleInterface(w);
    }
}

QString PageAccessible::exposedText(QWidget* w) {
    auto it = sources().constFind(w);
    return it != sources().constEnd() && it->text ? it->text().text : QString();
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
