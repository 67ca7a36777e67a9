// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A widget that shows a Surface: the persistent page image at the screen's scale times
// its device pixel ratio, repainted when the surface changes. The image is the
// recording replayed as vectors at that resolution, so the page is sharp at every
// scale. Repaints are gathered into frames: one when the drawing next yields to the
// event loop, at most one per kFrameMs (a 60 Hz screen's refresh), covering only the
// tiles drawn on since the last.

#include <engine/shell/ClientControl.h>
#include <engine/textruns/DirtyTiles.h>
#include <engine/textruns/Surface.h>

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

namespace course {

class SurfaceView : public QWidget, public ClientControl {
    Q_OBJECT
public:
    static constexpr int kFrameMs = 16;

    // The view's surface measures with `fonts`, which must outlive it.
    explicit SurfaceView(FontTable& fonts, QWidget* parent = nullptr);
    ~SurfaceView() override;

    // Called before the application is made: frames reach an X server as copied
    // requests, not through shared memory. A live run shows a few small areas 50 times
    // a second; with shared memory Qt waits for the server to have read the last frame
    // before it paints the next (a round trip, and a wake-up of its event thread, per
    // frame), which costs more than copying a few hundred bytes. Whole-window repaints
    // are rare (measured on Xephyr, a real X server with shared memory: sorrel's paced
    // run takes about a fifth less processor time, brindle's about the same; see
    // scripts/measure-copied-frames.sh). QT_XCB_NO_MITSHM set in the environment is
    // kept; COURSE_SHM_FRAMES=1 leaves Qt's shared memory on.
    static void preferCopiedFrames();

    // The area waiting for the next frame, in widget pixels (empty when nothing waits).
    QRegion pendingArea() const { return pending_.region(); }

    Surface& surface() { return surface_; }
    const Surface& surface() const { return surface_; }

    // Screen pixels per surface pixel (1 unless the window is zoomed).
    double scale() const { return scale_; }
    void placeAt(const QRect& design, double scale) override;
    void paintTo(QPainter& p) const override;

protected:
    // The scale alone, for a view whose place a layout chooses.
    void setViewScale(double scale);
    // The view is painted with a focus mark while it has the keyboard focus that Tab
    // or Shift+Tab gave it (focus given by a click or a page turn shows none).
    void paintEvent(QPaintEvent*) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    // At 100 % a view that was only given a widget size takes it as its surface size.
    void resizeEvent(QResizeEvent*) override;

private:
    void changed();
    void flush();

    Surface surface_;
    DirtyTiles pending_;
    QTimer frame_;
    QElapsedTimer shown_; // since the last frame was shown
    double scale_ = 1.0;
    bool focusMark_ = false;
};

} // namespace course
