// SPDX-License-Identifier: GPL-3.0-or-later
#include "BrindleProgram.h"

#include "BrindleDocument.h"
#include "DataExport.h"

#include <brindle/TableFormat.h>

#include <engine/system/Language.h>

#include <cstdio>
#include <stdexcept>

namespace brindle {

using course::Outcome;

BrindleProgram::BrindleProgram() {
    const course::Catalog msg = course::Catalog::terminal();
    program_.name = QStringLiteral("brindle");
    program_.summary = msg.translate(
        "brindle",
        "Bound-state energies by Numerov integration from both ends: three pages, the last one live.");
    program_.make = [this] {
        const PotentialKind kind = kind_.value_or(PotentialKind::Oscillator);
        return makeDocument(run_.speed, l_.value_or(defaultL(kind)), run_.paused, kind, offGrid_);
    };
    program_.options.push_back(
        {QStringLiteral("--table"), QString(),
         msg.translate("brindle", "print every iteration and the converged states as text and exit"),
         [this](const QString&) {
             table_ = true;
             return Outcome::success();
         },
         true});
    for (course::ProgramOption& o : course::runOptions(run_, course::RunOptionsOf::LivePage))
        program_.options.push_back(std::move(o));
    program_.options.push_back(
        {QStringLiteral("--l"), QStringLiteral("L"),
         msg.translate("brindle", "angular momentum, for --table, --export-data and the live page: 0 to 3\n"
                                  "for the oscillator, 0 to 2 for coulomb and well, 0 for morse (default 1,\n"
                                  "for morse 0); on the live page the keys 0 to 3 choose it"),
         [this](const QString& v) {
             int l = 1;
             Outcome r = parseL(v, l);
             if (r)
                 l_ = l;
             return r;
         },
         true});
    program_.options.push_back(
        {QStringLiteral("--potential"), QStringLiteral("P"),
         msg.translate("brindle",
                       "the model: oscillator (default), coulomb (hydrogen, V = -1/r), well (finite\n"
                       "spherical well, V0 = 25, a = 1) or morse (D = 8, r0 = 3); --table then ends\n"
                       "with every level beside its exact value and the difference; on the live\n"
                       "page the keys O, C, W and M choose it"),
         [this](const QString& v) {
             PotentialKind kind = PotentialKind::Oscillator;
             Outcome r = parsePotential(v, kind);
             if (r)
                 kind_ = kind;
             return r;
         },
         true});
    program_.options.push_back(
        {QStringLiteral("--off-grid"), QString(),
         msg.translate("brindle", "with --potential well: put the well's edge r = a between two grid points\n"
                                  "instead of on one, to see what the jump of V does to Numerov's method"),
         [this](const QString&) {
             offGrid_ = true;
             return Outcome::success();
         },
         true});
    program_.options.push_back(
        {QStringLiteral("--export-data"), QStringLiteral("DIR"),
         msg.translate("brindle", "compute the run without waiting and write its figures as CSV files\n"
                                  "into DIR (made if missing) and exit: iterations.csv, states.csv,\n"
                                  "level-skips.csv, wavefunctions.csv; files already there are refused"),
         [this, msg](const QString& v) {
             dataDir_ = v;
             return Outcome::failureIf(v.isEmpty(), msg.translate("brindle", "--export-data needs a folder"));
         },
         true});
    // --force (the shell's) replaces files already in DIR.
    program_.writesFiles = [this] { return !dataDir_.isEmpty(); };
    // l must suit the model, and only the well has an edge to move off the grid.
    program_.checks.push_back([this, msg](const course::DocumentCommandLine&) {
        const PotentialKind kind = kind_.value_or(PotentialKind::Oscillator);
        if (offGrid_ && kind != PotentialKind::Well)
            return Outcome::failure(msg.translate("brindle", "--off-grid applies only to --potential well"));
        const int maxL = makePotential(kind)->maxL();
        return Outcome::failureIf(
            l_ && *l_ > maxL,
            msg.translate("brindle", "--l %1 is not computed for the %2: l goes from 0 to %3")
                .arg(*l_)
                .arg(QString::fromUtf8(potentialKey(kind).data(), qsizetype(potentialKey(kind).size())))
                .arg(maxL));
    });
    // The text modes write no pages and open no window: the page options would be
    // silently ignored with them.
    program_.checks.push_back([this, msg](const course::DocumentCommandLine& line) {
        const bool textMode = table_ || !dataDir_.isEmpty();
        return Outcome::failureIf(
            textMode && (line.exporting() || line.page != 0),
            msg.translate("brindle", "%1 cannot be combined with --export-pdf, --export-png or --page")
                .arg(table_ ? QStringLiteral("--table") : QStringLiteral("--export-data")));
    });
    // A fault of the core ends the program with "brindle: <message>" and status 1
    // (runDocumentProgram's boundary).
    program_.textMode = [this, msg](const course::DocumentCommandLine& line) -> std::optional<int> {
        if (!table_ && dataDir_.isEmpty())
            return std::nullopt;
        // One run serves both the table and the files, so their numbers agree.
        EigenIteration it;
        const PotentialKind kind = kind_.value_or(PotentialKind::Oscillator);
        it.setPotential(kind, offGrid_);
        it.setL(l_.value_or(defaultL(kind)));
        compute(it);
        if (table_) {
            std::string text = formatTable(it.result());
            // Named explicitly, a model's table ends with the comparison; the default
            // table stays as it always was.
            if (kind_)
                text += formatComparison(it.result());
            if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0)
                throw std::runtime_error(msg.translate("brindle", "cannot write the table to standard output")
                                             .toLocal8Bit()
                                             .toStdString());
        }
        return dataDir_.isEmpty() ? 0 : exportData(it, dataDir_, line.force);
    };
}

} // namespace brindle
