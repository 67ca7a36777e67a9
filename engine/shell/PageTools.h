// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a reader does with the page besides reading it: Ctrl + C copies the page's text,
// Ctrl + Shift + C the page as a picture at twice its size, "?" shows the overview of
// the window's keys. A window owns one of these; it adds these commands to the window's
// table (with the view's zoom keys between them), closes the overview on any key while
// it is open, and tells screen readers when the page's text changes.

#include <engine/shell/KeyOverlay.h>

#include <QAccessible>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <vector>

class QAccessibleEvent;
class QKeyEvent;
class QLabel;

namespace course {

class Form1;
class ShellWindow;

struct PageSource {
    std::function<QString()> text;                    // the page as text
    std::function<QImage(double dpr)> picture;        // the page as a picture
    std::function<QWidget*()> view;                   // the widget a screen reader reads it from
    std::function<std::uint64_t()> revision;          // changes whenever the text may have changed
    std::function<void(const QString&)> message = {}; // empty: a small note in the window's corner
};

class PageTools : public QObject, private QAccessible::ActivationObserver {
    Q_OBJECT
public:
    static constexpr double kPictureScale = 2.0;
    static constexpr int kAnnounceMs = 250;

    // `fonts` (the window's) must outlive the tools. Adds the copy commands, the view's
    // and the overview's to the window's table; the overview lists the whole table.
    PageTools(FontTable& fonts, ShellWindow* window, PageSource source);
    ~PageTools() override;

    // For a document window: its current page, its keys, its status line for messages
    // and names for its labels.
    static PageTools* install(Form1& w, std::function<void(const QString&)> message);
    // The tools `window` has, or null.
    static PageTools* of(QWidget* window);
    // A key press while the overview is open: it only closes it (true). Else false.
    bool keyPress(const QKeyEvent& e);

    // Each returns the message the window shows.
    QString copyText();
    QString copyPicture();
    void showKeys() { overlay_->open(); }
    KeyOverlay* overlay() const { return overlay_; }
    // The note shown where the window has no message line of its own.
    QLabel* note() const { return note_; }

    // Sends screen readers the page's new text when it differs from what they were
    // last told (also checked every kAnnounceMs while a screen reader listens).
    void announce();
    // Where announcements go instead of the platform's screen-reader bridge (tests on a
    // platform without one); null: the bridge, and only while a screen reader listens.
    using AnnouncementSink = std::function<void(QAccessibleEvent*)>;
    void setAnnouncementSink(AnnouncementSink sink);

private:
    // The page is checked every kAnnounceMs only while someone listens: no timer wakes
    // the process otherwise.
    void accessibilityActiveChanged(bool active) override;
    void checkWhileListened();
    void say(const QString& text);

    FontTable& fonts_;
    ShellWindow* window_;
    PageSource source_;
    KeyOverlay* overlay_;
    QLabel* note_ = nullptr;
    QTimer noteTimer_;
    QTimer announceTimer_;
    QHash<QWidget*, QString> announced_;
    AnnouncementSink sink_;
    QWidget* checkedView_ = nullptr;
    std::uint64_t checkedRevision_ = 0;
};

} // namespace course
