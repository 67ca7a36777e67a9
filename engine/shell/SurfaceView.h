#pragma once
// A widget that shows a Surface: the persistent page image at the screen's device
// pixel ratio, repainted when the surface changes. Repaints are gathered into frames:
// at most one per kFrameMs, covering only the area drawn since the last one.

#include <course/textruns/Surface.h>

#include <QTimer>
#include <QWidget>

namespace course {

class SurfaceView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFrameMs = 20;

    explicit SurfaceView(QWidget* parent = nullptr);
    ~SurfaceView() override;

    // The area waiting for the next frame (empty when nothing is waiting).
    QRect pendingArea() const { return pending_; }

    Surface& surface() { return surface_; }
    const Surface& surface() const { return surface_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    void changed();
    void flush();

    Surface surface_;
    QRect pending_;
    QTimer frame_;
};

} // namespace course
