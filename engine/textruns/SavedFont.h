// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Puts a surface's font (name, size, bold, italic) back when it goes out of scope:
// every run and construct leaves the surface's font as it found it.

#include <engine/textruns/Surface.h>

#include <QString>

namespace course {

class SavedFont {
public:
    explicit SavedFont(Surface& g)
        : g_(g), name_(g.FontName), size_(g.FontSize), bold_(g.FontBold), italic_(g.FontItalic) {}
    ~SavedFont() {
        g_.FontName = name_;
        g_.FontSize = size_;
        g_.FontBold = bold_;
        g_.FontItalic = italic_;
    }
    SavedFont(const SavedFont&) = delete;
    SavedFont& operator=(const SavedFont&) = delete;
    const QString& name() const { return name_; }
    double size() const { return size_; }

private:
    Surface& g_;
    QString name_;
    double size_;
    bool bold_;
    bool italic_;
};

} // namespace course
