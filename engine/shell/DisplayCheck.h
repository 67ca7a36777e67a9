// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether the window can be opened, asked before the application object is made: Qt
// aborts the program when the display it was told to use does not answer, so a dead
// X display ($DISPLAY or -display NAME) is found here first, with a connection of its
// own, and the program ends with its own message instead.

#include <QString>
#include <QStringList>

#include <optional>

namespace course {

// The message ("<program>: cannot open the display ':9' …") when the X display the
// window would go to does not answer; nothing when it answers, or when the window
// goes to another platform (QT_QPA_PLATFORM or -platform, a Wayland session).
// `args` are the program's arguments after its name.
std::optional<QString> deadDisplay(const QString& program, const QStringList& args);

} // namespace course
