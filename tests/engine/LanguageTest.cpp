// SPDX-License-Identifier: GPL-3.0-or-later
// Which language each channel speaks, and the catalogs compiled into the programs.

#include <engine/system/Language.h>
#include <engine/system/StagedFile.h>

#include <gtest/gtest.h>

#include <cerrno>

namespace {

using course::Catalog;
using course::Language;

// Sets the locale variables for one test and puts them back afterwards.
class LocaleVariables {
public:
    LocaleVariables() {
        for (const char* n : kNames)
            saved_.push_back({n, qgetenv(n), qEnvironmentVariableIsSet(n)});
    }
    ~LocaleVariables() {
        for (const Saved& s : saved_)
            s.set ? qputenv(s.name, s.value) : qunsetenv(s.name);
    }
    void set(const char* all, const char* messages, const char* lang) {
        const char* values[] = {all, messages, lang};
        for (int i = 0; i < 3; ++i)
            values[i] ? qputenv(kNames[i], values[i]) : qunsetenv(kNames[i]);
    }

private:
    static constexpr const char* kNames[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    struct Saved {
        const char* name;
        QByteArray value;
        bool set;
    };
    std::vector<Saved> saved_;
};

} // namespace

TEST(Language, OfALocaleName) {
    for (const char* ja : {"ja", "ja_JP", "ja_JP.UTF-8", "ja_JP.utf8", "ja_JP.eucJP", "ja@cjknarrow"})
        EXPECT_EQ(course::languageOfLocale(QString::fromLatin1(ja)), Language::Japanese) << ja;
    for (const char* other : {"C", "C.UTF-8", "POSIX", "en_US.UTF-8", "de_DE.UTF-8", "jam_JM", "", "japanese"})
        EXPECT_EQ(course::languageOfLocale(QString::fromLatin1(other)), Language::English) << other;
}

TEST(Language, TerminalTakesLcAllThenLcMessagesThenLang) {
    LocaleVariables vars;
    vars.set("ja_JP.UTF-8", "C", "C");
    EXPECT_EQ(course::terminalLanguage(), Language::Japanese);
    vars.set("C.UTF-8", "ja_JP.UTF-8", "ja_JP.UTF-8");
    EXPECT_EQ(course::terminalLanguage(), Language::English);
    vars.set("", "ja_JP.UTF-8", "C"); // empty counts as unset
    EXPECT_EQ(course::terminalLanguage(), Language::Japanese);
    vars.set(nullptr, nullptr, "ja_JP.UTF-8");
    EXPECT_EQ(course::terminalLanguage(), Language::Japanese);
    vars.set(nullptr, nullptr, nullptr);
    EXPECT_EQ(course::terminalLanguage(), Language::English);
}

TEST(Language, WindowIsJapaneseUnlessEnglishIsAskedFor) {
    const QByteArray saved = qgetenv("COURSE_WINDOW_LANGUAGE");
    for (auto [value, language] : {std::pair{"", Language::Japanese}, std::pair{"ja", Language::Japanese},
                                   std::pair{"en", Language::English}, std::pair{"en_GB", Language::English},
                                   std::pair{" EN ", Language::English}, std::pair{"fr", Language::Japanese}}) {
        qputenv("COURSE_WINDOW_LANGUAGE", value);
        EXPECT_EQ(course::requestedWindowLanguage(), language) << value;
    }
    qputenv("COURSE_WINDOW_LANGUAGE", saved);
}

TEST(Language, CatalogsAreCompiledIn) {
    const Catalog ja(Language::Japanese), en(Language::English);
    EXPECT_EQ(ja.translate("course::CommandLine", "unknown option: %1"), QStringLiteral("知らないオプションです: %1"));
    EXPECT_EQ(en.translate("course::CommandLine", "unknown option: %1"), QStringLiteral("unknown option: %1"));
    // Plurals: English has two forms, from its own catalog; Japanese one.
    const char* page = "--page: there is no page %1 (the document has %n page(s))";
    EXPECT_EQ(en.translate("course::DocumentMain", page, nullptr, 1),
              QStringLiteral("--page: there is no page %1 (the document has 1 page)"));
    EXPECT_EQ(en.translate("course::DocumentMain", page, nullptr, 4),
              QStringLiteral("--page: there is no page %1 (the document has 4 pages)"));
    EXPECT_EQ(ja.translate("course::DocumentMain", page, nullptr, 4),
              QStringLiteral("--page: %1 ページ目はありません (この文書は 4 ページです)"));
    // A message no catalog has is its source text.
    EXPECT_EQ(ja.translate("course::Nowhere", "no such message"), QStringLiteral("no such message"));
}

TEST(Language, SystemReasonsInEitherLanguage) {
    EXPECT_EQ(course::systemReason(ENOSPC, Language::English), QStringLiteral("No space left on device"));
    EXPECT_EQ(course::systemReason(ENOSPC, Language::Japanese), QStringLiteral("デバイスに空き領域がありません"));
}
