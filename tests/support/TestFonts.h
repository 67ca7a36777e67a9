// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The font table the tests' windows and surfaces measure with: the fonts of the data
// folder beside the test programs, as a program's main makes it. One per test process
// and never destroyed, so the fonts it loaded stay in Qt's font database to the end.
// Tests that need other fonts make a table of their own.

#include <engine/system/DataFolder.h>
#include <engine/textruns/FontTable.h>

namespace course::testing {

inline FontTable& testFonts() {
    static FontTable* const table = new FontTable(DataFolder::path());
    return *table;
}

} // namespace course::testing
