// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/shell/CommandLine.h>

#include <engine/system/Language.h>

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

// Whether `name` (without dashes) takes a value: a program option with a value name or
// one of Qt's value options; nothing when it is no option at all.
std::optional<bool> takesValue(const QString& name, const std::vector<ProgramOption>& options) {
    for (const ProgramOption& o : options)
        if (bare(o.name) == name)
            return !o.valueName.isEmpty();
    for (const char* q : kQtValueOptions)
        if (name == QLatin1String(q))
            return true;
    for (const char* q : kQtFlagOptions)
        if (name == QLatin1String(q))
            return false;
    return std::nullopt;
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
    const Catalog msg = Catalog::terminal();
    // The headings keep the form "Usage: " and "Options:" in every language: help2man
    // finds the synopsis and the option list by them.
    QString text = msg.translate("course::CommandLine", "Usage: %1 [options]").arg(program_) +
                   QLatin1Char('\n') + summary_ + QStringLiteral("\n\n") +
                   msg.translate("course::CommandLine", "Options:") + QLatin1Char('\n');
    text += optionLine(QStringLiteral("-h, --help"),
                       msg.translate("course::CommandLine", "show this help and exit"));
    text += optionLine(QStringLiteral("-v, --version"),
                       msg.translate("course::CommandLine", "show the version and exit"));
    for (const ProgramOption& o : options_)
        text += optionLine(head(o), o.help);
    text += QLatin1Char('\n') +
            msg.translate("course::CommandLine",
                          "Qt's own options (-platform NAME, -style NAME, …) are accepted too.") +
            QLatin1Char('\n');
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
    const Catalog msg = Catalog::terminal();
    QString text =
        msg.translate("course::CommandLine",
                      "%1: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set)")
            .arg(program_);
    if (!headless.isEmpty())
        text += msg.translate("course::CommandLine", ";\nwithout a display use %1")
                    .arg(headless.join(QStringLiteral(", ")));
    return text;
}

int CommandLine::usageError(const QString& what) {
    error_ = QStringLiteral("%1: %2").arg(program_, what);
    print(stderr, error_ + QLatin1Char('\n') +
                      Catalog::terminal()
                          .translate("course::CommandLine", "Try '%1 --help' for more information.")
                          .arg(program_) +
                      QLatin1Char('\n'));
    return kUsageExitStatus;
}

QString CommandLine::valueError(const QStringList& args, const Catalog& msg) const {
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--"))
            break;
        if (!a.startsWith(QLatin1Char('-')))
            continue;
        const QString written = a.section(QLatin1Char('='), 0, 0);
        const std::optional<bool> value = takesValue(bare(written), options_);
        if (!value)
            continue;
        if (*value && !a.contains(QLatin1Char('='))) {
            if (i + 1 == args.size())
                return msg.translate("course::CommandLine", "missing value after '%1'").arg(written);
            ++i; // the value
        } else if (!*value && a.contains(QLatin1Char('='))) {
            return msg.translate("course::CommandLine", "unexpected value after '%1'").arg(written);
        }
    }
    return {};
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
    const Catalog msg = Catalog::terminal();

    if (!parser.parse(QStringList{program_} + args)) {
        // Name an unknown option as it was written, dashes and all.
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            for (const QString& a : args)
                if (a.startsWith(QLatin1Char('-')) &&
                    bare(a.section(QLatin1Char('='), 0, 0)) == unknown.first())
                    return fail(msg.translate("course::CommandLine", "unknown option: %1")
                                    .arg(a.section(QLatin1Char('='), 0, 0)));
            return fail(msg.translate("course::CommandLine", "unknown option: %1").arg(unknown.first()));
        }
        // The parser's other errors are a value missing after the last option or given
        // to a flag; they are worded here, in the terminal's language.
        if (const QString what = valueError(args, msg); !what.isEmpty())
            return fail(what);
        return fail(asClause(parser.errorText()));
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(msg.translate("course::CommandLine", "unexpected argument: %1")
                        .arg(parser.positionalArguments().first()));

    for (const ProgramOption& o : options_) {
        const QString name = bare(o.name);
        if (!parser.isSet(name))
            continue;
        const QString value = o.valueName.isEmpty() ? QString() : parser.value(name);
        if (const Outcome r = o.apply(value); !r)
            return fail(
                r.message.isEmpty()
                    ? msg.translate("course::CommandLine", "%1: '%2' cannot be used").arg(o.name, value)
                    : r.message);
    }
    for (const auto& check : checks_)
        if (const Outcome r = check(); !r)
            return fail(r.message.isEmpty()
                            ? msg.translate("course::CommandLine", "these options cannot be used together")
                            : r.message);
    return std::nullopt;
}

} // namespace course
