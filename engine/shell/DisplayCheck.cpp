// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/shell/DisplayCheck.h>

#include <engine/system/Language.h>

#include <xcb/xcb.h>

namespace course {

namespace {

// The value of a Qt option given as "-name VALUE", "--name VALUE" or "-name=VALUE".
QString qtOption(const QStringList& args, const QString& name) {
    QString value;
    for (int i = 0; i < args.size(); ++i) {
        QString a = args[i];
        if (a == QLatin1String("--"))
            break;
        if (a.startsWith(QLatin1String("--")))
            a.remove(0, 1);
        if (a == QLatin1Char('-') + name && i + 1 < args.size())
            value = args[++i];
        else if (a.startsWith(QLatin1Char('-') + name + QLatin1Char('=')))
            value = a.section(QLatin1Char('='), 1);
    }
    return value;
}

} // namespace

std::optional<QString> deadDisplay(const QString& program, const QStringList& args) {
    QString platform = qtOption(args, QStringLiteral("platform"));
    if (platform.isEmpty())
        platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (platform.isEmpty()) {
        // Qt may choose Wayland in a Wayland session; it reports that itself.
        if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
            qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland"))
            return std::nullopt;
    } else if (platform.section(QLatin1Char(':'), 0, 0) != QLatin1String("xcb")) {
        return std::nullopt;
    }
    QString display = qtOption(args, QStringLiteral("display"));
    if (display.isEmpty())
        display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        return std::nullopt; // no display named: the caller's message says so
    const QByteArray name = display.toLocal8Bit();
    xcb_connection_t* c = xcb_connect(name.constData(), nullptr);
    const int error = xcb_connection_has_error(c);
    xcb_disconnect(c);
    if (error == 0)
        return std::nullopt;
    return Catalog::terminal()
        .translate("course::DisplayCheck",
                   "%1: cannot open the display '%2' (no X server answers there, or it refuses this "
                   "user);\nwithout a display use --help to see the options that need none")
        .arg(program, display);
}

} // namespace course
