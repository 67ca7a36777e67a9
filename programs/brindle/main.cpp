// brindle: the explanation pages and the live eigenvalue iteration.
//   --table    prints every iteration and the converged states as text, no window
//   --speed F  divides every wait of the live page by F (this run only; the speed
//              chosen with [ and ] is kept for the next start)
//   --paused   the live page waits for P (or N) before it draws its first trace
//   --l L      angular momentum 0..3 of the oscillator (default 1)
//   --export-data DIR [--force]
//              writes the run's figures as CSV files into DIR, no window

#include "BrindleDocument.h"
#include "DataExport.h"

#include <course/shell/DocumentMain.h>

#include <brindle/EigenIteration.h>
#include <brindle/TableFormat.h>

#include <cstdio>
#include <optional>

int main(int argc, char** argv) {
    std::optional<double> speed;
    int l = 1;
    bool table = false;
    bool paused = false;
    QString dataDir;
    bool force = false;

    course::DocumentProgram program;
    program.name = QStringLiteral("brindle");
    program.summary = QStringLiteral(
        "Bound-state energies by Numerov integration from both ends: three pages, the last one live.");
    program.make = [&speed, &l, &paused] { return brindle::makeDocument(speed, l, paused); };
    program.options.push_back(
        {QStringLiteral("--table"), QString(),
         QStringLiteral("print every iteration and the converged states as text and exit"),
         [&table](const QString&) {
             table = true;
             return QString();
         },
         true});
    program.options.push_back(
        {QStringLiteral("--speed"), QStringLiteral("F"),
         QStringLiteral("divide every wait of the live page by F (F > 0) for this run; without it the\n"
                        "speed last chosen with [ and ] (default 1)"),
         [&speed](const QString& v) {
             double f = 1.0;
             const QString error = brindle::parseSpeed(v, f);
             if (error.isEmpty())
                 speed = f;
             return error;
         }});
    program.options.push_back({QStringLiteral("--paused"), QString(),
                               QStringLiteral("start the live page paused: P runs it, N steps it"),
                               [&paused](const QString&) {
                                   paused = true;
                                   return QString();
                               }});
    program.options.push_back(
        {QStringLiteral("--l"), QStringLiteral("L"),
         QStringLiteral("angular momentum of the oscillator, 0 to 3 (default 1), for --table,\n"
                        "--export-data and the live page; on the live page the keys 0 to 3\n"
                        "choose it and run the page again"),
         [&l](const QString& v) { return brindle::parseL(v, l); }, true});
    program.options.push_back(
        {QStringLiteral("--export-data"), QStringLiteral("DIR"),
         QStringLiteral("compute the run without waiting and write its figures as CSV files\n"
                        "into DIR (made if missing) and exit: iterations.csv, states.csv,\n"
                        "level-skips.csv, wavefunctions.csv; files already there are refused"),
         [&dataDir](const QString& v) {
             dataDir = v;
             return v.isEmpty() ? QStringLiteral("--export-data needs a folder") : QString();
         },
         true});
    // Options are applied in the order they are declared, so --export-data is known here.
    program.options.push_back({QStringLiteral("--force"), QString(),
                               QStringLiteral("with --export-data: replace files already in DIR"),
                               [&force, &dataDir](const QString&) {
                                   force = true;
                                   return dataDir.isEmpty()
                                              ? QStringLiteral("--force applies only to --export-data")
                                              : QString();
                               },
                               true});
    program.textMode = [&table, &l, &dataDir, &force]() -> std::optional<int> {
        if (!table && dataDir.isEmpty())
            return std::nullopt;
        // One run serves both the table and the files, so their numbers agree.
        brindle::EigenIteration it;
        it.setL(l);
        it.run(nullptr);
        if (table) {
            const std::string text = brindle::formatTable(it.result());
            std::fputs(text.c_str(), stdout);
            std::fflush(stdout);
        }
        return dataDir.isEmpty() ? 0 : brindle::exportData(it, dataDir, force);
    };
    return course::runDocumentProgram(argc, argv, program);
}
