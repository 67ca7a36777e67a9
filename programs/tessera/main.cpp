// SPDX-License-Identifier: GPL-3.0-or-later
// tessera: the time-dependent Schrödinger equation by the Crank–Nicolson scheme, in three pages.

#include "TesseraDocument.h"

#include <engine/shell/DocumentMain.h>

int main(int argc, char** argv) {
    return course::runDocument(
        argc, argv, QStringLiteral("tessera"),
        QStringLiteral("The time-dependent Schrödinger equation by the Crank–Nicolson scheme: three pages."),
        tessera::makeDocument);
}
