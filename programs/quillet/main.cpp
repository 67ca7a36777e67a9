// quillet: opens the Numerov-method document, or exports its pages (see --help).

#include "DocumentMain.h"
#include "quillet_document.h"

int main(int argc, char** argv) {
    return course::runDocumentProgram(argc, argv, course::DocumentProgram{quillet::makeDocument, {}, {}});
}
