// SPDX-License-Identifier: GPL-3.0-or-later
// tessera: the time-dependent Schrödinger equation by the Crank–Nicolson scheme, in
// four pages, the last one live.

#include "TesseraProgram.h"

int main(int argc, char** argv) {
    tessera::TesseraProgram program;
    return program.run(argc, argv);
}
