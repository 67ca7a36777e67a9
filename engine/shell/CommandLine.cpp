// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/shell/CommandLine.h>

#include <QCommandLineParser>

#include <cstdio>

namespace course {

namespace {

// Options the application object understands; they are accepted here and handed on
// unchanged, so `sorrel -platform xcb` or `tessera -style fusion` still work.
const char* const kQtValueOptions[] = {"platform",
                                       "platformpluginpath",
                                       "platformtheme",
                                       "plugin",
                                       "qwindowgeometry",
                                       "qwindowicon",
                                       "qwindowtitle",
                                       "display",
                                       "geometry",
                                       "title",
                                       "name",
                                       "style",
                                       "stylesheet",
                                       "session",
                                       "qmljsdebugger"};
const char* const kQtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

QString bare(const QString& name) {
    QString n = name;
    while (n.startsWith(QLatin1Char('-')))
        n.remove(0, 1);
    return n;
}

QString head(const ProgramOption& o) {
    return o.valueName.isEmpty() ? o.name : o.name + QLatin1Char(' ') + o.valueName;
}

// "  head   help", the help's further lines under its first.
QString optionLine(const QString& left, const QString& help) {
    constexpr int kColumn = 22;
    QString text = QStringLiteral("  ") + left;
    text += text.size() + 2 <= kColumn ? QString(kColumn - text.size(), QLatin1Char(' '))
                                       : QLatin1Char('\n') + QString(kColumn, QLatin1Char(' '));
    const QStringList lines = help.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += QLatin1Char('\n') + QString(kColumn, QLatin1Char(' '));
        text += lines[i];
    }
    return text + QLatin1Char('\n');
}

void print(std::FILE* f, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f);
    std::fflush(f);
}

// Qt's own messages start with a capital and end with a full stop; ours do not.
QString asClause(QString s) {
    if (!s.isEmpty())
        s[0] = s[0].toLower();
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    return s;
}

} // namespace

QString suiteVersion() { return QStringLiteral(COURSE_VERSION); }

bool noDisplayAvailable() {
    return qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
           qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

CommandLine::CommandLine(QString program, QString summary)
    : program_(std::move(program)), summary_(std::move(summary)) {}

void CommandLine::add(ProgramOption option) { options_.push_back(std::move(option)); }

void CommandLine::addCheck(std::function<Outcome()> check) { checks_.push_back(std::move(check)); }

QString CommandLine::helpText() const {
    QString text = QStringLiteral("Usage: %1 [options]\n%2\n\nOptions:\n").arg(program_, summary_);
    text += optionLine(QStringLiteral("-h, --help"), QStringLiteral("show this help and exit"));
    text += optionLine(QStringLiteral("-v, --version"), QStringLiteral("show the version and exit"));
    for (const ProgramOption& o : options_)
        text += optionLine(head(o), o.help);
    text += QStringLiteral("\nQt's own options (-platform NAME, -style NAME, …) are accepted too.\n");
    if (!epilogue_.isEmpty())
        text += QLatin1Char('\n') + epilogue_ + QLatin1Char('\n');
    return text;
}

QString CommandLine::versionText() const {
    return program_ + QLatin1Char(' ') + suiteVersion() + QLatin1Char('\n');
}

QString CommandLine::noDisplayMessage() const {
    QStringList headless;
    for (const ProgramOption& o : options_)
        if (o.headless)
            headless << head(o);
    QString text =
        QStringLiteral("%1: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set)")
            .arg(program_);
    if (!headless.isEmpty())
        text += QStringLiteral(";\nwithout a display use %1").arg(headless.join(QStringLiteral(", ")));
    return text;
}

int CommandLine::usageError(const QString& what) {
    error_ = QStringLiteral("%1: %2").arg(program_, what);
    print(stderr, error_ + QStringLiteral("\nTry '%1 --help' for more information.\n").arg(program_));
    return kUsageExitStatus;
}

std::optional<int> CommandLine::parse(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return parse(args);
}

std::optional<int> CommandLine::parse(const QStringList& args) {
    error_.clear();
    // Help and version win over everything else on the line, even a bad option.
    for (const QString& a : args) {
        if (a == QLatin1String("--"))
            break;
        if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            print(stdout, helpText());
            return 0;
        }
        if (a == QLatin1String("-v") || a == QLatin1String("--version")) {
            print(stdout, versionText());
            return 0;
        }
    }

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char* name : kQtValueOptions)
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    for (const char* name : kQtFlagOptions)
        parser.addOption(QCommandLineOption(QString::fromLatin1(name)));
    for (const ProgramOption& o : options_)
        parser.addOption(QCommandLineOption(bare(o.name), o.help, o.valueName));

    auto fail = [this](const QString& what) -> std::optional<int> { return usageError(what); };

    if (!parser.parse(QStringList{program_} + args)) {
        // Name an unknown option as it was written, dashes and all.
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            for (const QString& a : args)
                if (a.startsWith(QLatin1Char('-')) &&
                    bare(a.section(QLatin1Char('='), 0, 0)) == unknown.first())
                    return fail(QStringLiteral("unknown option: %1").arg(a.section(QLatin1Char('='), 0, 0)));
            return fail(QStringLiteral("unknown option: %1").arg(unknown.first()));
        }
        return fail(asClause(parser.errorText()));
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first()));

    for (const ProgramOption& o : options_) {
        const QString name = bare(o.name);
        if (!parser.isSet(name))
            continue;
        const QString value = o.valueName.isEmpty() ? QString() : parser.value(name);
        if (const Outcome r = o.apply(value); !r)
            return fail(r.message.isEmpty() ? QStringLiteral("%1: '%2' cannot be used").arg(o.name, value)
                                            : r.message);
    }
    for (const auto& check : checks_)
        if (const Outcome r = check(); !r)
            return fail(r.message.isEmpty() ? QStringLiteral("these options cannot be used together")
                                            : r.message);
    return std::nullopt;
}

} // namespace course
