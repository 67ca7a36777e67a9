// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/system/Language.h>

#include <QCoreApplication>
#include <QPointer>
#include <QTranslator>

#include <optional>

namespace course {

namespace {

QString catalogFile(Language language) {
    return language == Language::Japanese ? QStringLiteral(":/i18n/course_ja.qm")
                                          : QStringLiteral(":/i18n/course_en.qm");
}

// One translator per language for the catalogs read directly, made on first use and
// kept for the whole run (they are read before the application exists and after it
// is gone).
const QTranslator& translatorOf(Language language) {
    static QTranslator* const japanese = [] {
        auto* t = new QTranslator;
        (void)t->load(catalogFile(Language::Japanese));
        return t;
    }();
    static QTranslator* const english = [] {
        auto* t = new QTranslator;
        (void)t->load(catalogFile(Language::English));
        return t;
    }();
    return language == Language::Japanese ? *japanese : *english;
}

std::optional<Language> installed;

} // namespace

Language languageOfLocale(const QString& locale) {
    // "ja", "ja_JP", "ja_JP.UTF-8", "ja_JP.eucJP", "ja@…": the language part before any
    // territory, code set or modifier.
    const QString language = locale.section(QLatin1Char('_'), 0, 0)
                                 .section(QLatin1Char('.'), 0, 0)
                                 .section(QLatin1Char('@'), 0, 0);
    return language == QLatin1String("ja") ? Language::Japanese : Language::English;
}

Language terminalLanguage() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty())
            return languageOfLocale(value);
    }
    return Language::English;
}

Language requestedWindowLanguage() {
    const QString value = qEnvironmentVariable("COURSE_WINDOW_LANGUAGE").trimmed().toLower();
    return value.startsWith(QLatin1String("en")) ? Language::English : Language::Japanese;
}

Language windowLanguage() { return installed.value_or(requestedWindowLanguage()); }

void installWindowLanguage(Language language) {
    static QPointer<QTranslator> current;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    if (current) {
        QCoreApplication::removeTranslator(current);
        delete current;
    }
    current = new QTranslator(app);
    (void)current->load(catalogFile(language));
    QCoreApplication::installTranslator(current);
    installed = language;
}

QString Catalog::translate(const char* context, const char* source, const char* disambiguation, int n) const {
    QString text = translatorOf(language_).translate(context, source, disambiguation, n);
    if (text.isNull())
        text = QString::fromUtf8(source);
    if (n >= 0)
        text.replace(QLatin1String("%n"), QString::number(n));
    return text;
}

} // namespace course
