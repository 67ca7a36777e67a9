#include <course/shell/DocumentMain.h>

#include <course/shell/Form1.h>
#include <course/shell/PageExport.h>
#include <course/textruns/Sounds.h>

#include <QApplication>
#include <QTimer>

#include <cstdio>

namespace course {

namespace {
void printHelp(const char* argv0, const DocumentProgram& program) {
    std::printf(
        "Usage: %s [options]\n\n"
        "Without options the program opens its window.\n\n"
        "Options:\n"
        "  --export-pdf FILE   write every page to FILE, one page per PDF page, and exit\n"
        "  --export-png DIR    write page-0.png, page-0@2x.png, … of the screen pages to DIR and exit\n",
        argv0);
    for (const ProgramOption& o : program.options) {
        const QString head = o.valueName.isEmpty() ? o.name : o.name + QLatin1Char(' ') + o.valueName;
        std::printf("  %-18s  %s\n", head.toLocal8Bit().constData(), o.help.toLocal8Bit().constData());
    }
    std::printf("  --help              show this help and exit\n");
}

int fail(const QString& message) {
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    return 2;
}
} // namespace

bool needsOffscreenPlatform() {
    return qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
           qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

int runDocumentProgram(int argc, char** argv, const DocumentProgram& program) {
    QString pdf, pngDir;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        auto value = [&](QString& out) {
            if (i + 1 >= argc)
                return false;
            out = QString::fromLocal8Bit(argv[++i]);
            return true;
        };
        if (arg == QStringLiteral("--help") || arg == QStringLiteral("-h")) {
            printHelp(argv[0], program);
            return 0;
        }
        if (arg == QStringLiteral("--export-pdf")) {
            if (!value(pdf) || pdf.isEmpty())
                return fail(QStringLiteral("--export-pdf needs a file name"));
            continue;
        }
        if (arg == QStringLiteral("--export-png")) {
            if (!value(pngDir) || pngDir.isEmpty())
                return fail(QStringLiteral("--export-png needs a folder"));
            continue;
        }
        bool known = false;
        for (const ProgramOption& o : program.options) {
            if (o.name != arg)
                continue;
            known = true;
            QString v;
            if (!o.valueName.isEmpty() && !value(v))
                return fail(QStringLiteral("%1 needs a value %2").arg(o.name, o.valueName));
            const QString err = o.apply(v);
            if (!err.isEmpty())
                return fail(err);
        }
        if (!known)
            return fail(QStringLiteral("unknown option: %1 (see --help)").arg(arg));
    }

    if (program.textMode) {
        if (const std::optional<int> status = program.textMode())
            return *status;
    }

    const bool exporting = !pdf.isEmpty() || !pngDir.isEmpty();
    if ((exporting && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) || needsOffscreenPlatform())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::unique_ptr<Document> doc = program.make();
    Form1 window(*doc);

    if (exporting) {
        Sounds::setSink([](Sound) {});
        window.Form_Load(false);
        completePagesForExport(window);
        QString err;
        if (!pngDir.isEmpty())
            err = exportPng(window, pngDir);
        if (err.isEmpty() && !pdf.isEmpty())
            err = exportPdf(window, pdf);
        if (!err.isEmpty()) {
            std::fprintf(stderr, "%s\n", err.toLocal8Bit().constData());
            return 1;
        }
        return 0;
    }
    // Start-up runs inside the event loop, so drawing that yields sees its events.
    QTimer::singleShot(0, &window, [&window] { window.Form_Load(true); });
    return app.exec();
}

} // namespace course
