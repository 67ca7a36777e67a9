// SPDX-License-Identifier: GPL-3.0-or-later
#include "TesseraProgram.h"

#include "TesseraDocument.h"

#include <packet/PacketData.h>
#include <packet/PacketRun.h>

#include <engine/shell/ExportFolder.h>
#include <engine/system/Language.h>

#include <cstdio>
#include <stdexcept>

namespace tessera {

using course::Outcome;

namespace {

// Writes the run's CSV files into `dir` (made when missing; files already there are
// refused unless `overwrite`). The exit status: 0, or 1 after "tessera: …" on stderr.
int exportData(const PacketRunResult& run, const QString& dir, bool overwrite) {
    course::ExportFolder folder(dir);
    folder.setOverwrite(overwrite);
    for (const course::CsvFile& f : dataFiles(run))
        folder.add(f.name, f.text);
    const QString error = folder.write();
    if (error.isEmpty())
        return 0;
    std::fprintf(stderr, "tessera: %s\n", error.toLocal8Bit().constData());
    return 1;
}

} // namespace

TesseraProgram::TesseraProgram() {
    const course::Catalog msg = course::Catalog::terminal();
    program_.name = QStringLiteral("tessera");
    program_.summary =
        msg.translate("tessera", "The time-dependent Schrödinger equation by the Crank–Nicolson "
                                 "scheme: four pages, the last one live.");
    program_.make = [this] { return makeDocument(run_.speed, run_.paused); };
    program_.options.push_back(
        {QStringLiteral("--table"), QString(),
         msg.translate("tessera", "print the live page's Crank–Nicolson run over ten periods as\n"
                                  "text (per period: t, the norm, its largest change and the\n"
                                  "largest density error) and exit"),
         [this](const QString&) {
             table_ = true;
             return Outcome::success();
         },
         true});
    for (course::ProgramOption& o : course::runOptions(run_, course::RunOptionsOf::LivePage))
        program_.options.push_back(std::move(o));
    program_.options.push_back(
        {QStringLiteral("--export-data"), QStringLiteral("DIR"),
         msg.translate("tessera", "compute the live page's run without waiting and write its\n"
                                  "figures as CSV files into DIR (made if missing) and exit:\n"
                                  "parameters.csv, summary.csv, densities.csv; files already\n"
                                  "there are refused unless --force"),
         [this, msg](const QString& v) {
             dataDir_ = v;
             return Outcome::failureIf(v.isEmpty(), msg.translate("tessera", "--export-data needs a folder"));
         },
         true});
    // --force (the shell's) replaces files already in DIR.
    program_.writesFiles = [this] { return !dataDir_.isEmpty(); };
    // The text modes write no pages and open no window.
    program_.checks.push_back([this, msg](const course::DocumentCommandLine& line) {
        const bool textMode = table_ || !dataDir_.isEmpty();
        return Outcome::failureIf(
            textMode && (line.exporting() || line.page != 0),
            msg.translate("tessera", "%1 cannot be combined with --export-pdf, --export-png or --page")
                .arg(table_ ? QStringLiteral("--table") : QStringLiteral("--export-data")));
    });
    program_.textMode = [this, msg](const course::DocumentCommandLine& line) -> std::optional<int> {
        if (!table_ && dataDir_.isEmpty())
            return std::nullopt;
        // One run serves both the table and the files, so their numbers agree.
        const PacketRunResult run = runPeriods();
        if (table_) {
            const std::string text = formatTable(run);
            if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0)
                throw std::runtime_error(msg.translate("tessera", "cannot write the table to standard output")
                                             .toLocal8Bit()
                                             .toStdString());
        }
        return dataDir_.isEmpty() ? 0 : exportData(run, dataDir_, line.force);
    };
}

} // namespace tessera
