// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The key codes the document windows answer, by name: the desktop's virtual-key numbers,
// which is what Form1::Form_KeyDown takes (it hands them on as Qt's keys).

#include <Qt>

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

// The Qt key of a virtual-key code (Enter is Return), or 0.
constexpr int qtKey(int code) {
    switch (code) {
    case Backspace: return Qt::Key_Backspace;
    case Enter: return Qt::Key_Return;
    case Escape: return Qt::Key_Escape;
    case Space: return Qt::Key_Space;
    case End: return Qt::Key_End;
    case Home: return Qt::Key_Home;
    case Left: return Qt::Key_Left;
    case Up: return Qt::Key_Up;
    case Right: return Qt::Key_Right;
    case Down: return Qt::Key_Down;
    case Print: return Qt::Key_Print;
    case N: return Qt::Key_N;
    case P: return Qt::Key_P;
    case F1: return Qt::Key_F1;
    case OpenBracket: return Qt::Key_BracketLeft;
    case CloseBracket: return Qt::Key_BracketRight;
    default: return code >= '0' && code <= '9' ? Qt::Key_0 + (code - '0') : 0;
    }
}

} // namespace course::key
