// oriel: the exact time evolution of a Gaussian wave packet in a harmonic oscillator, in three pages.

#include "OrielDocument.h"

#include <course/shell/DocumentMain.h>

int main(int argc, char** argv) {
    course::DocumentProgram program;
    program.name = QStringLiteral("oriel");
    program.summary =
        QStringLiteral("A Gaussian wave packet in a harmonic oscillator, evolved exactly: three pages.");
    program.make = oriel::makeDocument;
    return course::runDocumentProgram(argc, argv, program);
}
