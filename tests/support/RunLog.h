// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers that read a surface's recorded operations as a log of runs and lines.

#include <engine/textruns/FontTable.h>
#include <engine/textruns/Surface.h>

#include <QString>

#include <vector>

namespace course::testing {

// The recorded operations of one kind, in order.
inline std::vector<DrawOp> opsOfKind(const Surface& g, DrawOp::Kind kind) {
    std::vector<DrawOp> out;
    for (const DrawOp& op : g.ops())
        if (op.kind == kind)
            out.push_back(op);
    return out;
}

inline std::vector<DrawOp> texts(const Surface& g) { return opsOfKind(g, DrawOp::Kind::Text); }
inline std::vector<DrawOp> lines(const Surface& g) { return opsOfKind(g, DrawOp::Kind::Line); }

inline QString joined(const Surface& g) {
    QString s;
    for (const DrawOp& op : texts(g))
        s += op.text;
    return s;
}

// The Unicode character a Symbol-font code draws.
inline QString sym(int code) { return symbolToUnicode(QString(QChar(code))); }

// Right edge of a text run's cell.
inline double right(const DrawOp& op) { return op.a.x() + op.cell.width(); }

} // namespace course::testing
