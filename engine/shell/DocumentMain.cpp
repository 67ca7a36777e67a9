#include <course/shell/DocumentMain.h>

#include <course/shell/Form1.h>
#include <course/shell/PageExport.h>
#include <course/shell/ShellWindow.h>
#include <course/textruns/Sounds.h>

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

namespace course {

namespace {
int failWith(const QString& message) {
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    return 1;
}
} // namespace

DocumentCommandLine::DocumentCommandLine(const DocumentProgram& program, const QString& fallbackName)
    : line_(program.name.isEmpty() ? fallbackName : program.name, program.summary) {
    line_.add({QStringLiteral("--export-pdf"), QStringLiteral("FILE"),
               QStringLiteral("write every page to FILE, one page per PDF page, and exit"),
               [this](const QString& v) {
                   pdf = v;
                   return v.isEmpty() ? QStringLiteral("--export-pdf needs a file name") : QString();
               },
               true});
    line_.add({QStringLiteral("--export-png"), QStringLiteral("DIR"),
               QStringLiteral("write page-0.png, page-0@2x.png, … of the screen pages\nto DIR and exit"),
               [this](const QString& v) {
                   pngDir = v;
                   return v.isEmpty() ? QStringLiteral("--export-png needs a folder") : QString();
               },
               true});
    line_.add({QStringLiteral("--page"), QStringLiteral("N"),
               QStringLiteral("open the window at page N (from 1)"), [this](const QString& v) {
                   bool ok = false;
                   page = v.trimmed().toInt(&ok);
                   return ok && page >= 1
                              ? QString()
                              : QStringLiteral("--page: '%1' is not a page number (1, 2, …)").arg(v);
               }});
    for (const ProgramOption& o : program.options)
        line_.add(o);
    line_.setEpilogue(
        QStringLiteral("Without options the window opens at the first page.\n"
                       "\n"
                       "Exit status: 0 on success, 1 when a file cannot be written or there is no\n"
                       "display for the window, 2 for a command line that cannot be used."));
}

std::optional<int> DocumentCommandLine::parse(const QStringList& args) { return line_.parse(args); }

std::optional<int> DocumentCommandLine::checkPage(const Document& doc) {
    const int pages = doc.settings().pages;
    if (page <= pages)
        return std::nullopt;
    return line_.usageError(
        QStringLiteral("--page: there is no page %1 (the document has %2)").arg(page).arg(pages));
}

void openWindow(Form1& window, int page) {
    window.Form_Load(true);
    if (page > 1)
        window.ShowThisPic(page - 1);
}

int runDocumentProgram(int argc, char** argv, const DocumentProgram& program) {
    DocumentCommandLine cl(program, QFileInfo(QString::fromLocal8Bit(argv[0])).fileName());
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (const std::optional<int> status = cl.parse(args))
        return *status;

    if (program.textMode) {
        if (const std::optional<int> status = program.textMode())
            return *status;
    }

    if (cl.exporting() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    else if (!cl.exporting() && noDisplayAvailable())
        return failWith(cl.line().noDisplayMessage());
    QApplication app(argc, argv);
    nameApplication(cl.line().program());
    std::unique_ptr<Document> doc = program.make();
    if (const std::optional<int> status = cl.checkPage(*doc))
        return *status;
    Form1 window(*doc);

    if (cl.exporting()) {
        Sounds::setSink([](Sound) {});
        window.Form_Load(false);
        completePagesForExport(window);
        QString err;
        if (!cl.pngDir.isEmpty())
            err = exportPng(window, cl.pngDir);
        if (err.isEmpty() && !cl.pdf.isEmpty())
            err = exportPdf(window, cl.pdf);
        return err.isEmpty() ? 0 : failWith(err);
    }
    // Start-up runs inside the event loop, so drawing that yields sees its events.
    const int page = cl.page;
    QTimer::singleShot(0, &window, [&window, page] { openWindow(window, page); });
    return app.exec();
}

} // namespace course
