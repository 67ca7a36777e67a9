// SPDX-License-Identifier: GPL-3.0-or-later
#include "BrindleProgram.h"

#include "BrindleDocument.h"
#include "DataExport.h"

#include <brindle/TableFormat.h>

#include <cstdio>
#include <stdexcept>

namespace brindle {

using course::Outcome;

BrindleProgram::BrindleProgram() {
    program_.name = QStringLiteral("brindle");
    program_.summary = QStringLiteral(
        "Bound-state energies by Numerov integration from both ends: three pages, the last one live.");
    program_.make = [this] { return makeDocument(run_.speed, l_, run_.paused); };
    program_.options.push_back(
        {QStringLiteral("--table"), QString(),
         QStringLiteral("print every iteration and the converged states as text and exit"),
         [this](const QString&) {
             table_ = true;
             return Outcome::success();
         },
         true});
    for (course::ProgramOption& o : course::runOptions(run_, QStringLiteral("the live page")))
        program_.options.push_back(std::move(o));
    program_.options.push_back(
        {QStringLiteral("--l"), QStringLiteral("L"),
         QStringLiteral("angular momentum of the oscillator, 0 to 3 (default 1), for --table,\n"
                        "--export-data and the live page; on the live page the keys 0 to 3\n"
                        "choose it and run the page again"),
         [this](const QString& v) { return parseL(v, l_); }, true});
    program_.options.push_back(
        {QStringLiteral("--export-data"), QStringLiteral("DIR"),
         QStringLiteral("compute the run without waiting and write its figures as CSV files\n"
                        "into DIR (made if missing) and exit: iterations.csv, states.csv,\n"
                        "level-skips.csv, wavefunctions.csv; files already there are refused"),
         [this](const QString& v) {
             dataDir_ = v;
             return Outcome::failureIf(v.isEmpty(), QStringLiteral("--export-data needs a folder"));
         },
         true});
    // --force (the shell's) replaces files already in DIR.
    program_.writesFiles = [this] { return !dataDir_.isEmpty(); };
    // The text modes write no pages and open no window: the page options would be
    // silently ignored with them.
    program_.checks.push_back([this](const course::DocumentCommandLine& line) {
        const bool textMode = table_ || !dataDir_.isEmpty();
        return Outcome::failureIf(
            textMode && (line.exporting() || line.page != 0),
            QStringLiteral("%1 cannot be combined with --export-pdf, --export-png or --page")
                .arg(table_ ? QStringLiteral("--table") : QStringLiteral("--export-data")));
    });
    // A fault of the core ends the program with "brindle: <message>" and status 1
    // (runDocumentProgram's boundary).
    program_.textMode = [this](const course::DocumentCommandLine& line) -> std::optional<int> {
        if (!table_ && dataDir_.isEmpty())
            return std::nullopt;
        // One run serves both the table and the files, so their numbers agree.
        EigenIteration it;
        it.setL(l_);
        compute(it);
        if (table_) {
            const std::string text = formatTable(it.result());
            if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0)
                throw std::runtime_error("cannot write the table to standard output");
        }
        return dataDir_.isEmpty() ? 0 : exportData(it, dataDir_, line.force);
    };
}

} // namespace brindle
