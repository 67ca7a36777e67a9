// SPDX-License-Identifier: GPL-3.0-or-later
#include "Options.h"

#include <engine/system/Language.h>

#include <memory>

namespace sorrel {

void addOptions(course::CommandLine& line, Options& o) {
    const course::Catalog msg = course::Catalog::terminal();
    auto scaleGiven = std::make_shared<bool>(false);
    line.add({QStringLiteral("--table"), QString(),
              msg.translate("sorrel",
                            "print the table of the run as text and exit\n(no window, no waits, no sounds)"),
              [&o](const QString&) {
                  o.table = true;
                  return course::Outcome::success();
              },
              true});
    for (course::ProgramOption& option : course::runOptions(o.run, course::RunOptionsOf::Run))
        line.add(std::move(option));
    line.add({QStringLiteral("--Z"), QStringLiteral("Z"),
              msg.translate(
                  "sorrel",
                  "nuclear charge 1 to 10 (default 2, helium): the two-electron\nion H⁻, He, Li⁺ … Ne⁸⁺; "
                  "in the window the keys 1 to 9 and 0\nchoose it and start again"),
              [&o, msg](const QString& v) {
                  bool ok = false;
                  const int z = v.toInt(&ok);
                  if (!ok || z < 1 || z > 10)
                      return course::Outcome::failure(
                          msg.translate("sorrel", "--Z: '%1' is not a whole number from 1 to 10").arg(v));
                  o.Z = z;
                  return course::Outcome::success();
              },
              true});
    line.add(
        {QStringLiteral("--precise"), QString(),
         msg.translate(
             "sorrel",
             "precise mode: after the run, compute it again on grids 1.5\ntimes as long with steps h, h/2, "
             "h/4 to tight tolerances,\nextrapolate to h → 0 and print the result beside the\n"
             "Hartree–Fock limit (the window, the exports, --table and\n--export-data, which adds "
             "precise.csv); the key E in the\nwindow switches it"),
         [&o](const QString&) {
             o.precise = true;
             return course::Outcome::success();
         }});
    line.add({QStringLiteral("--export-png"), QStringLiteral("FILE"),
              msg.translate(
                  "sorrel",
                  "compute the whole run without waits or sounds and write\nthe finished window as a PNG "
                  "picture"),
              [&o, msg](const QString& v) {
                  o.exportPng = v.toStdString();
                  return course::Outcome::failureIf(
                      v.isEmpty(), msg.translate("sorrel", "--export-png needs a file name"));
              },
              true});
    line.add({QStringLiteral("--scale"), QStringLiteral("N"),
              msg.translate(
                  "sorrel",
                  "with --export-png: N pixels per window pixel (1 to 4,\ndefault 1; 2 gives a picture for "
                  "high-density screens)"),
              [&o, msg, scaleGiven](const QString& v) {
                  *scaleGiven = true;
                  if (v.size() != 1 || v[0] < QLatin1Char('1') || v[0] > QLatin1Char('4'))
                      return course::Outcome::failure(
                          msg.translate("sorrel", "--scale: '%1' is not one of 1, 2, 3, 4").arg(v));
                  o.scale = v[0].digitValue();
                  return course::Outcome::success();
              }});
    line.add({QStringLiteral("--export-pdf"), QStringLiteral("FILE"),
              msg.translate(
                  "sorrel",
                  "as --export-png, but a one-page PDF with real text\n(both exports may be given together)"),
              [&o, msg](const QString& v) {
                  o.exportPdf = v.toStdString();
                  return course::Outcome::failureIf(
                      v.isEmpty(), msg.translate("sorrel", "--export-pdf needs a file name"));
              },
              true});
    line.add({QStringLiteral("--export-data"), QStringLiteral("DIR"),
              msg.translate("sorrel", "compute the whole run without waits or sounds and write its\n"
                                      "figures as CSV files into DIR (made if missing): steps.csv,\n"
                                      "cycles.csv, summary.csv, orbitals.csv, potentials.csv\n"
                                      "(and precise.csv with --precise);\n"
                                      "files already there are refused; with --table both"),
              [&o, msg](const QString& v) {
                  o.dataDir = v.toStdString();
                  return course::Outcome::failureIf(v.isEmpty(),
                                                    msg.translate("sorrel", "--export-data needs a folder"));
              },
              true});
    line.add({QStringLiteral("--force"), QString(),
              msg.translate("sorrel", "with --export-data: replace files already in DIR"),
              [&o](const QString&) {
                  o.force = true;
                  return course::Outcome::success();
              }});
    using course::Outcome;
    line.addCheck([&o, msg] {
        return Outcome::failureIf(o.force && o.dataDir.empty(),
                                  msg.translate("sorrel", "--force applies only to --export-data"));
    });
    line.addCheck([&o, msg] {
        return Outcome::failureIf(
            !o.dataDir.empty() && o.exporting(),
            msg.translate("sorrel", "--export-data cannot be combined with --export-png or --export-pdf"));
    });
    line.addCheck([&o, msg] {
        return Outcome::failureIf(
            o.table && o.exporting(),
            msg.translate("sorrel", "--table cannot be combined with --export-png or --export-pdf"));
    });
    line.addCheck([&o, msg, scaleGiven] {
        return Outcome::failureIf(*scaleGiven && o.exportPng.empty(),
                                  msg.translate("sorrel", "--scale applies only to --export-png"));
    });
    line.setEpilogue(msg.translate(
        "sorrel", "Without options the window opens and the run is drawn at its normal pace\n"
                  "(one plotted point per 1/256 s); Escape or closing the window ends it.\n"
                  "While it runs, P pauses and resumes it, N (or the right arrow) draws the next\n"
                  "curve and pauses again, [ and ] make it slower or faster (x1/4 to x16; the\n"
                  "choice is kept for the next start).\n"
                  "\n"
                  "Exit status: 0 on success, 1 when a file cannot be written, the computation\n"
                  "fails or there is no display for the window, 2 for a command line that cannot\n"
                  "be used."));
}

course::CommandLine commandLine(Options& o) {
    const course::Catalog msg = course::Catalog::terminal();
    course::CommandLine line(
        QStringLiteral("sorrel"),
        msg.translate("sorrel",
                      "Hartree computation of the helium ground state (or of another two-electron ion),\n"
                      "drawn as it runs."));
    addOptions(line, o);
    return line;
}

ParsedOptions parseOptions(const std::vector<std::string>& args) {
    ParsedOptions result;
    course::CommandLine line = commandLine(result.options);
    QStringList list;
    for (const std::string& a : args)
        list << QString::fromStdString(a);
    if (const std::optional<int> status = line.parse(list)) {
        if (*status == 0)
            result.options.help = true;
        else
            result.error = line.error().toStdString();
    }
    return result;
}

} // namespace sorrel
