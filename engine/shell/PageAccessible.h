// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a screen reader learns of a page: the widget that shows it answers with a name,
// a description and the page's text through the text interface, in reading order (see
// PageText.h). A window exposes its page widgets here; Qt asks the factory installed
// by expose() for their interfaces.

#include <engine/textruns/PageText.h>

#include <QAccessibleWidget>

#include <functional>

namespace course {

struct AccessibleSource {
    QAccessible::Role role = QAccessible::Document;
    std::function<QString()> name;             // empty: the widget's accessible name
    std::function<QString()> description;      // empty: the widget's, else the first line of text
    std::function<PageTextLayout()> text = {}; // empty: no text interface
    std::function<void()> press = {};          // set: a press action that calls it
};

class PageAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    PageAccessible(QWidget* w, AccessibleSource source);

    // Makes `w` answer screen readers from `source`, for as long as it lives.
    static void expose(QWidget* w, AccessibleSource source);
    // The page text `w` exposes (empty when it exposes none).
    static QString exposedText(QWidget* w);
    // Makes a message label an alert and announces its text now, as screen readers
    // announce alerts (call it after the label is shown with its new text).
    static void announce(QWidget* messageLabel, std::function<QString()> text);

    QAccessible::Role role() const override { return source_.role; }
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    // QAccessibleActionInterface: a pressable widget adds the press action.
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

    // QAccessibleTextInterface: the page is read-only; the reader's cursor and a
    // selection are kept for it.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override { return cursor_; }
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    PageTextLayout layout() const;

    AccessibleSource source_;
    int cursor_ = 0;
    int selStart_ = -1, selEnd_ = -1;
};

} // namespace course
