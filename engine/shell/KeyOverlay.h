// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small overview of a window's keys, laid over the whole window: a panel with one row
// per command (its keys, what it does), read from the window's commands when it opens
// and drawn at the window's scale. Any key or click closes it; the window's key filter
// routes the keys here while it is open, so the key that closes it does nothing else.

#include <engine/textruns/FontTable.h>

#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

namespace course {

struct KeyRow {
    QString keys;    // "Ctrl + C", "↑ / Backspace"
    QString meaning; // in the reader's language
};

class KeyOverlay : public QWidget {
    Q_OBJECT
public:
    using Rows = std::function<std::vector<KeyRow>()>;
    // `fonts` (the window's) must outlive the overlay; `rows` lists the keys, `scale` is
    // the window's zoom (empty: 1).
    KeyOverlay(FontTable& fonts, QWidget* window, Rows rows, std::function<double()> scale = {});

    // The rows as they are now (what the overlay shows when it opens).
    std::vector<KeyRow> rows() const { return rows_ ? rows_() : std::vector<KeyRow>{}; }
    // Covers the window and shows the panel on top of everything else in it.
    void open();
    void close();
    bool isOpen() const { return open_; }

    // The panel and, for each row, where its key and its meaning are written, in the
    // overlay's coordinates: laid out from the font's own measures, so nothing is cut.
    struct Layout {
        QRect panel;
        QRect title;
        std::vector<QRect> keys;
        std::vector<QRect> meanings;
        QRect hint;
    };
    Layout layout() const;

    static QString title();
    static QString hint();

protected:
    // Follows the window's size while open: a zoom or a resize keeps it covering all.
    bool eventFilter(QObject* watched, QEvent* e) override;
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    QFont rowFont() const;
    QFont titleFont() const;
    double scale() const { return scale_ ? scale_() : 1.0; }
    int scaled(int v) const;

    FontTable& fonts_;
    Rows rows_;
    std::function<double()> scale_;
    std::vector<KeyRow> shown_; // the rows read when the overlay opened
    bool open_ = false; // also while the window itself is not shown
};

} // namespace course
