// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/shell/DocumentMain.h>

#include <engine/shell/DisplayCheck.h>
#include <engine/shell/Form1.h>
#include <engine/shell/PageExport.h>
#include <engine/shell/ShellWindow.h>
#include <engine/shell/SurfaceView.h>
#include <engine/system/DataFolder.h>
#include <engine/sounds/Sounds.h>
#include <engine/system/Environment.h>
#include <engine/system/Language.h>
#include <engine/textruns/FontTable.h>

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

namespace course {

namespace {
int failWith(const QString& program, const QString& message) {
    std::fprintf(stderr, "%s: %s\n", program.toLocal8Bit().constData(), message.toLocal8Bit().constData());
    return 1;
}
} // namespace

int runGuarded(const QString& program, const std::function<int()>& mode) {
    try {
        return mode();
    } catch (const std::exception& e) {
        return failWith(program, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return failWith(program, Catalog::terminal().translate("course::DocumentMain", "unknown failure"));
    }
}

DocumentCommandLine::DocumentCommandLine(const DocumentProgram& program, const QString& fallbackName)
    : line_(program.name.isEmpty() ? fallbackName : program.name, program.summary) {
    const Catalog msg = Catalog::terminal();
    line_.add(
        {QStringLiteral("--export-pdf"), QStringLiteral("FILE"),
         msg.translate("course::DocumentMain", "write every page to FILE, one page per PDF page, and exit"),
         [this, msg](const QString& v) {
             pdf = v;
             return Outcome::failureIf(
                 v.isEmpty(), msg.translate("course::DocumentMain", "--export-pdf needs a file name"));
         },
         true});
    line_.add({QStringLiteral("--export-png"), QStringLiteral("DIR"),
               msg.translate("course::DocumentMain",
                             "write page-0.png, page-0@2x.png, … of the screen pages\nto DIR and exit"),
               [this, msg](const QString& v) {
                   pngDir = v;
                   return Outcome::failureIf(
                       v.isEmpty(), msg.translate("course::DocumentMain", "--export-png needs a folder"));
               },
               true});
    line_.add(
        {QStringLiteral("--page"), QStringLiteral("N"),
         msg.translate("course::DocumentMain", "open the window at page N (from 1)"),
         [this, msg](const QString& v) {
             bool ok = false;
             page = v.trimmed().toInt(&ok);
             return Outcome::failureIf(
                 !ok || page < 1,
                 msg.translate("course::DocumentMain", "--page: '%1' is not a page number (1, 2, …)").arg(v));
         }});
    for (const ProgramOption& o : program.options)
        line_.add(o);
    const bool ownFiles = bool(program.writesFiles);
    line_.add({QStringLiteral("--force"), QString(),
               ownFiles
                   ? msg.translate("course::DocumentMain",
                                   "with --export-png or --export-data: replace files already there")
                   : msg.translate("course::DocumentMain", "with --export-png: replace files already in DIR"),
               [this](const QString&) {
                   force = true;
                   return Outcome::success();
               },
               true});
    line_.addCheck([this, msg, ownFiles, writesFiles = program.writesFiles] {
        return Outcome::failureIf(
            force && pngDir.isEmpty() && !(ownFiles && writesFiles()),
            ownFiles ? msg.translate("course::DocumentMain",
                                     "--force applies only to --export-png and --export-data")
                     : msg.translate("course::DocumentMain", "--force applies only to --export-png"));
    });
    for (const auto& check : program.checks)
        line_.addCheck([this, check] { return check(*this); });
    line_.setEpilogue(msg.translate(
        "course::DocumentMain", "Without options the window opens at the first page.\n"
                                "\n"
                                "Exit status: 0 on success, 1 when a file cannot be written or there is no\n"
                                "display for the window, 2 for a command line that cannot be used."));
}

std::optional<int> DocumentCommandLine::parse(const QStringList& args) { return line_.parse(args); }

std::optional<int> DocumentCommandLine::checkPage(const Document& doc) {
    const int pages = doc.settings().pages;
    if (page <= pages)
        return std::nullopt;
    return line_.usageError(Catalog::terminal()
                                .translate("course::DocumentMain",
                                           "--page: there is no page %1 (the document has %n page(s))",
                                           nullptr, pages)
                                .arg(page));
}

void openWindow(Form1& window, int page) {
    window.handle([&window, page] {
        window.Form_Load(true);
        if (page > 1)
            window.ShowThisPic(page - 1);
    });
}

int runDocumentProgram(int argc, char** argv, const DocumentProgram& program) {
    DocumentCommandLine cl(program, QFileInfo(QString::fromLocal8Bit(argv[0])).fileName());
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (const std::optional<int> status = cl.parse(args))
        return *status;

    const QString name = cl.line().program();
    if (program.textMode) {
        std::optional<int> status;
        const int guarded = runGuarded(name, [&] {
            status = program.textMode(cl);
            return 0;
        });
        if (guarded != 0)
            return guarded;
        if (status)
            return *status;
    }

    if (cl.exporting() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    else if (!cl.exporting() && noDisplayAvailable()) {
        std::fprintf(stderr, "%s\n", cl.line().noDisplayMessage().toLocal8Bit().constData());
        return 1;
    } else if (const std::optional<QString> dead = cl.exporting() ? std::nullopt : deadDisplay(name, args)) {
        std::fprintf(stderr, "%s\n", dead->toLocal8Bit().constData());
        return 1;
    }
    SurfaceView::preferCopiedFrames();
    QApplication app(argc, argv);
    installWindowLanguage();
    // The window's sounds, beep and end; the exports are silent.
    Environment env;
    env.beepHook = [] { QApplication::beep(); };
    if (!cl.exporting())
        env.soundSink = desktopPlayer();
    nameApplication(cl.line().program());
    std::unique_ptr<Document> doc = program.make();
    doc->useEnvironment(env);
    if (const std::optional<int> status = cl.checkPage(*doc))
        return *status;
    // The fonts of the data folder beside the program, for this run's window and exports.
    FontTable fonts(DataFolder::path());
    Form1 window(*doc, fonts);

    if (cl.exporting()) {
        return runGuarded(name, [&] {
            window.Form_Load(false);
            completePagesForExport(window);
            // Both exports are written all or none.
            const Outcome r = exportDocument(window, cl.pngDir, cl.pdf, cl.force);
            return r ? 0 : failWith(name, r.message);
        });
    }
    // Start-up runs inside the event loop, so drawing that yields sees its events.
    const int page = cl.page;
    QTimer::singleShot(0, &window, [&window, page] { openWindow(window, page); });
    return app.exec();
}

} // namespace course
