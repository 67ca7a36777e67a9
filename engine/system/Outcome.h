// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The result of an operation that can fail in an expected way: a page that cannot be
// written, a printer that refuses a page, a value the user gave that cannot be used.
// It carries a message for the user either way (where the page went, or what went
// wrong). Faults nobody expects are exceptions instead; they are caught once, where
// the program's event handlers and command-line modes begin (Form1, DocumentMain).

#include <QString>

namespace course {

struct Outcome {
    bool ok = true;
    QString message; // for the user: what was done, or what failed; may be empty on success

    static Outcome success(QString message = {}) { return {true, std::move(message)}; }
    static Outcome failure(QString message) { return {false, std::move(message)}; }
    // A failure saying `message` when `bad` holds, else a silent success: the shape of a
    // check of one value ("--export-pdf needs a file name").
    static Outcome failureIf(bool bad, QString message) {
        return bad ? failure(std::move(message)) : success();
    }
    explicit operator bool() const { return ok; }
};

} // namespace course
