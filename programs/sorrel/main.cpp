// SPDX-License-Identifier: GPL-3.0-or-later
// sorrel: the Hartree computation of the helium ground state, drawn as it runs.

#include "DataExport.h"
#include "FailureNotice.h"
#include "Options.h"
#include "SorrelWindow.h"
#include <hartree/PreciseReport.h>
#include <hartree/TableCollector.h>

#include <engine/shell/DisplayCheck.h>
#include <engine/shell/RunControls.h>
#include <engine/shell/SurfaceView.h>
#include <engine/system/DataFolder.h>
#include <engine/sounds/Sounds.h>
#include <engine/system/Environment.h>
#include <engine/system/Language.h>
#include <engine/system/StagedFile.h>
#include <engine/textruns/FontTable.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

bool noDisplay() {
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// "sorrel: <message>" on standard error.
void complain(const QString& message) { std::cerr << "sorrel: " << message.toStdString() << '\n'; }

// A fault nobody expected, in the terminal's language.
void computationFailed(const std::exception& e) {
    complain(course::Catalog::terminal()
                 .translate("sorrel", "the computation failed: %1")
                 .arg(QString::fromLocal8Bit(e.what())));
}

void chooseOffscreenPlatform(bool always) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && (always || noDisplay()))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

int printTable(const sorrel::Options& o) {
    chooseOffscreenPlatform(false);
    try {
        const sorrel::TableRun run = sorrel::computeTable(sorrel::HartreeSetup::forCharge(o.Z));
        std::cout << run.text << std::flush;
        if (run.outcome != sorrel::RunOutcome::Completed) {
            complain(sorrel::failureNotice(run.why));
            return 1;
        }
        if (o.precise) {
            sorrel::PreciseRun precise(o.Z);
            const sorrel::RunOutcome outcome = precise.run();
            std::cout << sorrel::joinLines(sorrel::preciseTableLines(precise)) << std::flush;
            if (outcome != sorrel::RunOutcome::Completed) {
                complain(sorrel::failureNotice(precise.failure()));
                return 1;
            }
        }
    } catch (const std::exception& e) {
        computationFailed(e);
        return 1;
    }
    return std::cout ? 0 : 1;
}

// Computes the whole run without waits or sounds and writes the finished window.
int exportWindow(const sorrel::Options& o) {
    course::FontTable fonts(course::DataFolder::path());
    course::Environment env; // silent
    sorrel::SorrelWindow::Config config = sorrel::SorrelWindow::unpaced();
    config.Z = o.Z;
    config.precise = o.precise;
    config.environment = &env;
    sorrel::SorrelWindow window(fonts, config);
    try {
        window.load();
    } catch (const std::exception& e) {
        computationFailed(e);
        return 1;
    }
    // A run that a guard ended is written too (it shows why), but ends with status 1.
    int status = 0;
    if (window.outcome() == sorrel::RunOutcome::Failed && window.state()) {
        complain(sorrel::failureNotice(window.state()->failure()));
        status = 1;
    } else if (const sorrel::PreciseRun* precise = window.precise(); precise && precise->failure()) {
        complain(sorrel::failureNotice(precise->failure()));
        status = 1;
    }
    // The picture and the PDF are written all or none.
    course::StagedFiles files;
    const course::Catalog msg = course::Catalog::terminal();
    const QString png = QString::fromStdString(o.exportPng);
    const QString pdf = QString::fromStdString(o.exportPdf);
    course::Outcome r = course::Outcome::success();
    if (!png.isEmpty()) {
        const QByteArray bytes = window.clientPng(o.scale);
        if (bytes.isEmpty())
            r = course::Outcome::failure(
                msg.translate("sorrel", "cannot write %1: the picture cannot be encoded").arg(png));
        files.add(png, bytes);
    }
    if (r && !pdf.isEmpty()) {
        QByteArray bytes;
        r = window.clientPdf(bytes, sorrel::kProgramTitle, QStringLiteral("sorrel"));
        if (!r)
            r = course::Outcome::failure(msg.translate("sorrel", "cannot write %1: %2").arg(pdf, r.message));
        files.add(pdf, bytes);
    }
    if (r)
        r = files.write();
    if (!r) {
        complain(r.message);
        status = 1;
    }
    return status;
}

} // namespace

int main(int argc, char** argv) {
    sorrel::Options o;
    course::CommandLine line = sorrel::commandLine(o);
    if (const std::optional<int> status = line.parse(argc, argv))
        return *status;
    if (!o.dataDir.empty())
        return sorrel::exportData(o);
    if (o.table)
        return printTable(o);

    if (!o.exporting() && course::noDisplayAvailable()) {
        std::cerr << line.noDisplayMessage().toStdString() << '\n';
        return 1;
    }
    if (!o.exporting()) {
        QStringList args;
        for (int i = 1; i < argc; ++i)
            args << QString::fromLocal8Bit(argv[i]);
        if (const std::optional<QString> dead = course::deadDisplay(QStringLiteral("sorrel"), args)) {
            std::cerr << dead->toLocal8Bit().toStdString() << '\n';
            return 1;
        }
    }
    // Exports never show a window, so they never need a display.
    chooseOffscreenPlatform(o.exporting());
    course::SurfaceView::preferCopiedFrames();
    QApplication app(argc, argv);
    course::installWindowLanguage();
    course::nameApplication(QStringLiteral("sorrel"));
    if (o.exporting())
        return exportWindow(o);

    // The fonts of the data folder beside the program, for this run's window.
    course::FontTable fonts(course::DataFolder::path());
    course::Environment env;
    env.beepHook = [] { QApplication::beep(); };
    env.soundSink = course::desktopPlayer();
    sorrel::SorrelWindow::Config config;
    config.speed = o.run.speedFor(QStringLiteral("sorrel"));
    config.paused = o.run.paused;
    config.Z = o.Z;
    config.precise = o.precise;
    config.environment = &env;
    sorrel::SorrelWindow window(fonts, config);
    window.show();
    // The run starts from the event loop, once the window is on screen.
    QTimer::singleShot(0, &window, [&window] {
        try {
            window.load();
        } catch (const std::exception& e) {
            // The terminal and the window each in their own language.
            const QString what = QString::fromLocal8Bit(e.what());
            complain(course::Catalog::terminal()
                         .translate("sorrel", "the computation could not go on: %1")
                         .arg(what));
            QMessageBox::critical(
                &window, sorrel::programTitle(window.charge()),
                QCoreApplication::translate("sorrel::SorrelWindow", "Could not go on computing: %1")
                    .arg(what));
            QApplication::exit(1);
        }
    });
    return app.exec();
}
