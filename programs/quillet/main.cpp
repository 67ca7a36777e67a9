// quillet: the Numerov method, in four pages.

#include "QuilletDocument.h"

#include <course/shell/DocumentMain.h>

int main(int argc, char** argv) {
    course::DocumentProgram program;
    program.name = QStringLiteral("quillet");
    program.summary = QStringLiteral(
        "The Numerov method for y'' = v(x) y, its error and the radial equations: four pages.");
    program.make = quillet::makeDocument;
    return course::runDocumentProgram(argc, argv, program);
}
