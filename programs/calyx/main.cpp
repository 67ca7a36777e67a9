// calyx: the helium atom, from its Hamiltonian to the Hartree equations, in four pages.

#include "CalyxDocument.h"

#include <course/shell/DocumentMain.h>

int main(int argc, char** argv) {
    course::DocumentProgram program;
    program.name = QStringLiteral("calyx");
    program.summary =
        QStringLiteral("The helium atom, from its Hamiltonian to the Hartree equations: four pages.");
    program.make = calyx::makeDocument;
    return course::runDocumentProgram(argc, argv, program);
}
