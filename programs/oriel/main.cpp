// oriel: opens the document window, or writes its pages with the export options.

#include "OrielDocument.h"

#include <course/shell/DocumentMain.h>

int main(int argc, char** argv) {
    return course::runDocumentProgram(argc, argv, course::DocumentProgram{oriel::makeDocument, {}, {}});
}
