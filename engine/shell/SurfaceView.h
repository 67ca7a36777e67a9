#pragma once
// A widget that shows a Surface: the persistent page image at the screen's device
// pixel ratio, repainted when the surface changes.

#include <course/textruns/Surface.h>

#include <QWidget>

namespace course {

class SurfaceView : public QWidget {
    Q_OBJECT
public:
    explicit SurfaceView(QWidget* parent = nullptr);
    ~SurfaceView() override;

    Surface& surface() { return surface_; }
    const Surface& surface() const { return surface_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    Surface surface_;
};

} // namespace course
