// tessera: the time-dependent Schrödinger equation by the Crank–Nicolson scheme, in
// three pages.

#include <course/shell/DocumentMain.h>
#include "TesseraDocument.h"

int main(int argc, char** argv) {
    return course::runDocumentProgram(argc, argv, course::DocumentProgram{tessera::makeDocument, {}, {}});
}
