// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/textruns/DirtyTiles.h>

#include <algorithm>

namespace course {

void DirtyTiles::add(const QRect& r) {
    const QRect q = r.intersected(QRect(0, 0, 1 << 20, 1 << 20));
    if (q.isEmpty())
        return;
    const int x0 = q.left() / kTile, x1 = q.right() / kTile;
    const int y0 = q.top() / kTile, y1 = q.bottom() / kTile;
    if (int(rows_.size()) <= y1)
        rows_.resize(std::size_t(y1) + 1);
    for (int y = y0; y <= y1; ++y) {
        std::vector<bool>& row = rows_[std::size_t(y)];
        if (int(row.size()) <= x1)
            row.resize(std::size_t(x1) + 1, false);
        for (int x = x0; x <= x1; ++x) {
            if (!row[std::size_t(x)]) {
                row[std::size_t(x)] = true;
                ++count_;
            }
        }
    }
}

QRegion DirtyTiles::region() const {
    QRegion area;
    for (std::size_t y = 0; y < rows_.size(); ++y) {
        const std::vector<bool>& row = rows_[y];
        for (std::size_t x = 0; x < row.size();) {
            if (!row[x]) {
                ++x;
                continue;
            }
            std::size_t end = x;
            while (end < row.size() && row[end])
                ++end;
            area += QRect(int(x) * kTile, int(y) * kTile, int(end - x) * kTile, kTile);
            x = end;
        }
    }
    return area;
}

void DirtyTiles::clear() {
    rows_.clear();
    count_ = 0;
}

} // namespace course
