// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The languages the programs speak their own words in, and which one each channel uses.
//
// The source strings are English. The catalogs translations/course_ja.ts (every
// message) and translations/course_en.ts (the English plural forms only) are compiled
// into the programs as the resources :/i18n/course_ja.qm and :/i18n/course_en.qm.
//
// Two channels, each with a language of its own:
//  - the window's own words (captions, messages, the key overview, accessible names):
//    Japanese whatever the locale, because the course and its pages are Japanese;
//    English only with COURSE_WINDOW_LANGUAGE=en. installWindowLanguage() puts that
//    catalog into the application, so tr() and QCoreApplication::translate() speak it.
//  - the terminal (--help, --version, option errors, messages on standard error): the
//    locale's messages category, LC_ALL, then LC_MESSAGES, then LANG; a locale of the
//    language "ja" is Japanese, every other one (C, C.UTF-8, POSIX, en_US, de_DE…)
//    English. Catalog::terminal().translate() speaks it, also before the application
//    object exists.
//
// What the pages draw (text, formulas, sorrel's report), the CSV files and the text
// tables are not translated.

#include <QString>

namespace course {

enum class Language { English, Japanese };

// The language of a locale name as the environment gives it ("ja_JP.UTF-8", "C").
Language languageOfLocale(const QString& locale);
// The terminal's language, from LC_ALL, LC_MESSAGES and LANG (the first one set).
Language terminalLanguage();
// The language COURSE_WINDOW_LANGUAGE asks for: English for "en…", else Japanese.
Language requestedWindowLanguage();
// The language of the window's words: the one installed last, else the one requested.
Language windowLanguage();
// Installs the catalog of `language` in the application object (replacing one this
// function installed before), for tr() and QCoreApplication::translate(). Does nothing
// without an application object.
void installWindowLanguage(Language language);
inline void installWindowLanguage() { installWindowLanguage(requestedWindowLanguage()); }

// The messages of one language, read from its compiled catalog.
class Catalog {
public:
    explicit Catalog(Language language) : language_(language) {}
    static Catalog terminal() { return Catalog(terminalLanguage()); }
    static Catalog window() { return Catalog(windowLanguage()); }

    Language language() const { return language_; }
    // As QCoreApplication::translate: the translation of `source` in `context`, or
    // `source` itself when the catalog has none; "%n" is replaced by n when n >= 0.
    QString translate(const char* context, const char* source, const char* disambiguation = nullptr,
                      int n = -1) const;

private:
    Language language_;
};

} // namespace course
