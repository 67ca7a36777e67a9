// calyx: the helium atom, from its Hamiltonian to the Hartree equations.
#include <course/shell/DocumentMain.h>
#include "CalyxDocument.h"

int main(int argc, char** argv) {
    course::DocumentProgram program;
    program.make = calyx::makeDocument;
    return course::runDocumentProgram(argc, argv, program);
}
