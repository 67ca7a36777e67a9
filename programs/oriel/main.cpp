// SPDX-License-Identifier: GPL-3.0-or-later
// oriel: the exact time evolution of a Gaussian wave packet in a harmonic oscillator, in three pages.

#include "OrielDocument.h"

#include <engine/shell/DocumentMain.h>
#include <engine/system/Language.h>

int main(int argc, char** argv) {
    return course::runDocument(
        argc, argv, QStringLiteral("oriel"),
        course::Catalog::terminal().translate(
            "oriel", "A Gaussian wave packet in a harmonic oscillator, evolved exactly: three pages."),
        oriel::makeDocument);
}
