// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window every program builds on. Its client area is a drawing surface of a
// fixed design size (logical pixels at 96 dpi, from the window's layout in twips) with
// the controls on top, each at its design rectangle. The window
//
// - sees every key press of its widgets first (key preview) and hands it to the key
//   handlers added with addKeyHandler (a modal overlay), then to its command table,
//   where every command of the window is declared once (keys, action, label, overview);
// - shows the client area at a scale: resizable, the page drawn to fit, centred,
//   aspect kept; Ctrl + =/+ and Ctrl + − step the scale, Ctrl + 0 returns to 100 %,
//   Ctrl + wheel zooms, F11 toggles full screen; a step resizes the window to the
//   scaled page up to the screen's available area (beyond it the page scrolls);
// - remembers its last size per program (QSettings) and restores it, never larger than
//   the screen;
// - paints its whole client area at its design size onto any painter (printing and
//   export), whatever the scale on screen.

#include <engine/shell/ClientControl.h>
#include <engine/shell/CommandTable.h>
#include <engine/shell/SurfaceView.h>
#include <engine/system/Outcome.h>

#include <QFont>
#include <QHash>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

class QKeyEvent;
class QScrollArea;

namespace course {

// Names the application for its settings: the suite as organisation, the program as
// application. Called once by each program's main, before its window is made.
void nameApplication(const QString& program);

class ShellWindow : public QWidget {
    Q_OBJECT
public:
    // The scale steps of Ctrl + = and Ctrl + −, from the smallest to the largest.
    static const std::vector<double>& scaleSteps();
    static double minScale() { return scaleSteps().front(); }
    static double maxScale() { return scaleSteps().back(); }
    // The step after `scale` towards larger (direction > 0) or smaller (< 0) pages;
    // `scale` itself at either end.
    static double stepFrom(double scale, int direction);

    // The window, its surfaces and its controls measure and draw with `fonts`, made by
    // whoever makes the window and kept alive longer than it.
    ShellWindow(FontTable& fonts, QSize clientSize, QWidget* parent = nullptr);
    ~ShellWindow() override;

    FontTable& fonts() const { return fonts_; }
    // The client area at 100 %, in logical pixels.
    QSize clientSize() const { return clientSize_; }
    // The client area's own surface (its back colour, and what a program draws on the
    // window itself) and its widget, the parent of every control.
    SurfaceView* client() const { return client_; }
    Surface& clientSurface() { return client_->surface(); }
    const Surface& clientSurface() const { return client_->surface(); }

    // Puts `w` (a child of client()) at `design` and keeps it there at every scale.
    void place(QWidget* w, const QRect& design);
    QRect designRect(const QWidget* w) const { return design_.value(w); }

    // Paints the client area and its visible controls, in stacking order, at the design
    // size onto `p` (logical pixels, origin at the client area's top-left corner).
    void paintClientArea(QPainter& p) const;
    // The client area as a picture at a device pixel ratio, as the bytes of a PNG file
    // (empty when it cannot be encoded) and of a one-page PDF; the exports write the
    // whole file or none, and fail with the file and the reason.
    QImage clientImage(double dpr) const;
    QByteArray clientPng(double dpr) const;
    Outcome clientPdf(QByteArray& out, const QString& title, const QString& creator) const;
    Outcome exportClientPng(const QString& file, double dpr) const;
    Outcome exportClientPdf(const QString& file, const QString& title, const QString& creator) const;

    // Zoom.
    double scale() const { return scale_; }
    // Shows the client area at `scale` (clamped to the steps' range) and resizes the
    // window to it, up to the screen's available area.
    void setScale(double scale);
    void zoomIn() { setScale(stepFrom(scale_, +1)); }
    void zoomOut() { setScale(stepFrom(scale_, -1)); }
    void resetZoom() { setScale(1.0); }
    void toggleFullScreen();
    // The scale at which the client area fits `area`, within the steps' range.
    double fitScale(QSize area) const;

    // The window's commands: its keys, what they do, the labels that do the same and
    // the key overview.
    CommandTable& commands() { return commands_; }
    const CommandTable& commands() const { return commands_; }
    // Adds the view's commands: zoom (Ctrl + =, Ctrl + −, Ctrl + 0, and the wheel's line
    // in the overview) and full screen (F11). A window adds them where its overview
    // lists them.
    void addViewCommands();

    // Keys that go before every command (an overview that any key closes): a handler
    // returns true when it used the key. Asked in the order they were added.
    using KeyHandler = std::function<bool(QKeyEvent*)>;
    void addKeyHandler(KeyHandler handler) { keyHandlers_.push_back(std::move(handler)); }

    // The size kept in the settings, clamped to `available`; empty when none is kept.
    static QSize restoredSize(QSize available);
    // The window size that shows the client area at `scale`, within `available`.
    QSize sizeForScale(double scale, QSize available) const;
    // Where a window of geometry `window` (its frame's margins `frame` outside it) lies
    // on a screen whose available area is `available`: no larger than the area, and
    // moved in where it hangs over an edge.
    static QRect fittedGeometry(const QRect& window, const QRect& available, const QMargins& frame);

protected:
    // Closing: the size is saved first.
    virtual void windowClosing(QCloseEvent*) {}

    bool eventFilter(QObject* watched, QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void applyScale(double scale);
    void placeOne(QWidget* w, const QRect& design);
    QSize availableSize() const;
    void saveSize();
    // Keeps the window, frame and all, within the screen's available area (the first
    // window, a restored size, a small screen or a large scale).
    void fitToScreen();

    FontTable& fonts_;
    QSize clientSize_;
    QScrollArea* scroll_;
    SurfaceView* client_;
    QHash<const QWidget*, QRect> design_;
    QHash<const QWidget*, QFont> designFont_; // of the plain widgets placed
    std::vector<KeyHandler> keyHandlers_;
    CommandTable commands_;
    double scale_ = 1.0;
    // The size a scale step asked for: reaching it keeps the scale; any other size
    // (the user's, full screen) fits the page to the window.
    QSize expected_;
    bool restored_ = false;
    int wheel_ = 0; // wheel angle not yet turned into a step
    QTimer saveTimer_;
};

} // namespace course
