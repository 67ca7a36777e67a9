// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The area of many small changes, kept as a grid of square tiles: a frame of a moving
// curve touches hundreds of short strokes, whose bounding rectangle would be most of
// the page and whose exact union is costly to build. The tiles they touch, joined into
// runs along each row of tiles, are a region of a few dozen rectangles that covers
// them with at most a tile's margin.

#include <QRect>
#include <QRegion>

#include <vector>

namespace course {

class DirtyTiles {
public:
    static constexpr int kTile = 16;

    // Marks the tiles `r` touches (parts at negative coordinates are left out).
    void add(const QRect& r);
    bool isEmpty() const { return count_ == 0; }
    // The marked tiles as a region, in the coordinates of the rectangles added.
    QRegion region() const;
    void clear();

private:
    std::vector<std::vector<bool>> rows_; // rows_[y][x]: the tile at x, y is marked
    int count_ = 0;
};

} // namespace course
