// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// sorrel's window after its whole Hartree run (unpaced, silent, no browser), and a
// walk over the surfaces it shows, for the checks that look at every drawn page.

#include "TestFonts.h"

#include "SorrelWindow.h"

#include <engine/system/Environment.h>

#include <gtest/gtest.h>

#include <QString>
#include <QUrl>

namespace course::testing {

// The window's configuration for a test: unpaced, silent and never ending the program
// through `env`, and opening no browser.
inline sorrel::SorrelWindow::Config quietSorrelConfig(Environment& env) {
    env.soundSink = [](Sound) {};
    env.endHook = [] {};
    sorrel::SorrelWindow::Config config = sorrel::SorrelWindow::unpaced();
    config.openUrl = [](const QUrl&) { return true; };
    config.environment = &env;
    return config;
}

// Calls each(where, surface) for the finished window's form and its two pictures;
// a run that does not complete is a test failure.
template <typename Each>
void forEachFinishedSorrelSurface(Each each) {
    Environment env;
    sorrel::SorrelWindow w(testFonts(), quietSorrelConfig(env));
    ASSERT_EQ(w.load(), sorrel::RunOutcome::Completed);
    each(QStringLiteral("window"), w.form());
    each(QStringLiteral("picNumerov"), w.picNumerov());
    each(QStringLiteral("pic"), w.pic());
}

} // namespace course::testing
