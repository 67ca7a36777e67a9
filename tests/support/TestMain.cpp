// SPDX-License-Identifier: GPL-3.0-or-later
// The main of every Qt test program: drawing goes through Qt's font machinery and the
// shell's widgets, which need an application object; the offscreen platform lets the
// tests run without a display. Settings (a run's remembered speed) go to a folder of
// this test run, never to the user's own, also for the programs the tests start. The
// window's words come from their catalog, as in the programs.
#include <engine/system/Language.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // What the windows remember (their last size) goes to a folder of this run, never to
    // the user's settings; programs the tests start inherit it.
    QTemporaryDir settings;
    if (!settings.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    QApplication app(argc, argv);
    course::installWindowLanguage();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
