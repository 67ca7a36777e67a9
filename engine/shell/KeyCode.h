// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The key codes the document windows answer, by name: the desktop's virtual-key numbers,
// which is what Form1::Form_KeyDown takes (Qt's keys are mapped onto them).

namespace course::key {

enum : int {
    None = 0,
    Backspace = 8,
    Enter = 13,
    Escape = 27,
    Space = 32,
    End = 35,
    Home = 36,
    Left = 37,
    Up = 38,
    Right = 39,
    Down = 40,
    Print = 42,
    A = 65,
    N = 78,
    P = 80,
    F1 = 112,
    OpenBracket = 219,  // [
    CloseBracket = 221, // ]
};

} // namespace course::key
