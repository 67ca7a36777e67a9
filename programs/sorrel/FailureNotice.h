// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's message for a run that a guard ended, as it is written on standard
// error: in the terminal's language, from the catalogs. Its Japanese reads as the
// lines that the window and the text table show (hartree/FailureText.h), which stay
// Japanese.

#include <engine/system/Language.h>
#include <hartree/HartreeState.h>

#include <QString>

namespace sorrel {

// One line: a heading and whole sentences. Empty when nothing failed.
QString failureNotice(const RunFailure& failure, course::Language language);
inline QString failureNotice(const RunFailure& failure) {
    return failureNotice(failure, course::terminalLanguage());
}

} // namespace sorrel
