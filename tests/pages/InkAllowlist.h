// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Ink contacts that stay on the pages on purpose, each with its reason. One entry a
// line, fields separated by " | ":
//   program | where | first | second | reason
// `where` is "page N", "printed page N", another surface's name or "*" for anywhere;
// first and second are the report labels of the two items, in either order. Blank
// lines and lines starting with "#" are ignored.

#include <QString>

#include <vector>

namespace course::testing {

class InkAllowlist {
public:
    struct Entry {
        QString program, where, first, second, reason;
        int line = 0;
    };

    // Parses `text`; a malformed line is an error naming its line number.
    static InkAllowlist parse(const QString& text, QString* error);
    // Reads and parses a file; a missing file is an error.
    static InkAllowlist load(const QString& path, QString* error);

    // The entry that allows this contact, or null.
    const Entry* find(const QString& program, const QString& where, const QString& a, const QString& b) const;
    const std::vector<Entry>& entries() const { return entries_; }

private:
    std::vector<Entry> entries_;
};

} // namespace course::testing
