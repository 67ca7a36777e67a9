// SPDX-License-Identifier: GPL-3.0-or-later
// calyx: the helium atom, from its Hamiltonian to the Hartree equations, in four pages.

#include "CalyxDocument.h"

#include <engine/shell/DocumentMain.h>
#include <engine/system/Language.h>

int main(int argc, char** argv) {
    return course::runDocument(
        argc, argv, QStringLiteral("calyx"),
        course::Catalog::terminal().translate(
            "calyx", "The helium atom, from its Hamiltonian to the Hartree equations: four pages."),
        calyx::makeDocument);
}
