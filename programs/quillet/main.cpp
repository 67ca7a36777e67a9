// SPDX-License-Identifier: GPL-3.0-or-later
// quillet: the Numerov method, in four pages.

#include "QuilletDocument.h"

#include <engine/shell/DocumentMain.h>
#include <engine/system/Language.h>

int main(int argc, char** argv) {
    return course::runDocument(
        argc, argv, QStringLiteral("quillet"),
        course::Catalog::terminal().translate(
            "quillet",
            "The Numerov method for y'' = v(x) y, its error and the radial equations: four pages."),
        quillet::makeDocument);
}
