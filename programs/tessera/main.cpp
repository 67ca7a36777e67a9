// tessera: the time-dependent Schrödinger equation by the Crank–Nicolson scheme, in three pages.

#include "TesseraDocument.h"

#include <course/shell/DocumentMain.h>

int main(int argc, char** argv) {
    course::DocumentProgram program;
    program.name = QStringLiteral("tessera");
    program.summary =
        QStringLiteral("The time-dependent Schrödinger equation by the Crank–Nicolson scheme: three pages.");
    program.make = tessera::makeDocument;
    return course::runDocumentProgram(argc, argv, program);
}
