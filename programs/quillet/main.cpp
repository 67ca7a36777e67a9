// quillet: opens the Numerov-method document, or exports its pages (see --help).

#include <course/shell/DocumentMain.h>
#include "QuilletDocument.h"

int main(int argc, char** argv) {
    return course::runDocumentProgram(argc, argv, course::DocumentProgram{quillet::makeDocument, {}, {}});
}
