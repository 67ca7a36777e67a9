// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The entry point shared by the document programs: without arguments it opens the
// window; the export options write the pages without a display.

#include <engine/shell/CommandLine.h>
#include <engine/shell/Document.h>

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace course {

class DocumentCommandLine;
class Form1;

struct DocumentProgram {
    QString name;    // "tessera": the command's name in messages and --help
    QString summary; // one line under the usage line of --help
    std::function<std::unique_ptr<Document>()> make;
    std::vector<ProgramOption> options;
    // Checks of the whole line once every option is applied, the document options
    // (exports, page) included: options of the program that do not go with them.
    std::vector<std::function<Outcome(const DocumentCommandLine&)>> checks;
    // Runs instead of the window when it returns an exit status (a text mode). It runs
    // inside runGuarded: an exception it lets out ends the program with status 1.
    std::function<std::optional<int>(const DocumentCommandLine&)> textMode;
    // Whether the program's own options write files that --force may replace (brindle's
    // --export-data); without it --force goes with --export-png only.
    std::function<bool()> writesFiles;
};

// The command line of a document program: its own options plus --export-pdf,
// --export-png, --page and --force.
class DocumentCommandLine {
public:
    explicit DocumentCommandLine(const DocumentProgram& program, const QString& fallbackName = QString());
    DocumentCommandLine(const DocumentCommandLine&) = delete; // the options write into this object
    DocumentCommandLine& operator=(const DocumentCommandLine&) = delete;

    // As CommandLine::parse: an exit status when the program ends here.
    std::optional<int> parse(const QStringList& args);
    // A usage error (status 2) when --page names a page the document lacks.
    std::optional<int> checkPage(const Document& doc);
    CommandLine& line() { return line_; }

    QString pdf;
    QString pngDir;
    int page = 0; // 1-based; 0 when not given (the first page)
    bool force = false; // replace files already there

    bool exporting() const { return !pdf.isEmpty() || !pngDir.isEmpty(); }

private:
    CommandLine line_;
};

// The window's start-up (Form_Load), then the page the command line asked for, inside
// the window's handler boundary.
void openWindow(Form1& window, int page);

// The boundary of a command-line mode (a text mode, an export): runs `mode` and returns
// its exit status; a fault nobody expected (an exception) is written to standard error
// as "<program>: <message>" and gives status 1.
int runGuarded(const QString& program, const std::function<int()>& mode);

int runDocumentProgram(int argc, char** argv, const DocumentProgram& program);

// The whole main() of a document program without options of its own.
inline int runDocument(int argc, char** argv, const QString& name, const QString& summary,
                       std::function<std::unique_ptr<Document>()> make) {
    DocumentProgram program;
    program.name = name;
    program.summary = summary;
    program.make = std::move(make);
    return runDocumentProgram(argc, argv, program);
}

} // namespace course
