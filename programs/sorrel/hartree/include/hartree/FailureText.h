// SPDX-License-Identifier: GPL-3.0-or-later
// The words for a run that a guard ended: the table, the window and the program's
// message on standard error all say it the same way. No Qt.
#pragma once

#include <string>
#include <vector>

#include <hartree/HartreeState.h>

namespace sorrel {

// What went wrong (Japanese): a heading and whole sentences, one per line of the text
// table (the window wraps them to its table's width); none when nothing failed.
std::vector<std::string> failureLines(const RunFailure& failure);
// The same joined into one line.
std::string failureMessage(const RunFailure& failure);

} // namespace sorrel
