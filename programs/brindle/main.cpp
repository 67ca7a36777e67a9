// SPDX-License-Identifier: GPL-3.0-or-later
// brindle: the explanation pages and the live eigenvalue iteration.

#include "BrindleProgram.h"

int main(int argc, char** argv) {
    brindle::BrindleProgram program;
    return program.run(argc, argv);
}
