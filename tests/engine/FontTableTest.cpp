// A font table of its own data folder: without the derived fonts it draws with the
// declared stand-ins and says so, and it loads them once they are there.

#include <course/textruns/DataFolder.h>
#include <course/textruns/FontTable.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace course;

TEST(FontTableTest, WithoutDerivedFontsTheStandInsDrawAndSaySoUntilTheFontsAreThere) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FontTable t(dir.path());
    const Outcome missing = t.loadDerivedFonts();
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(t.derivedFontsLoaded());
    EXPECT_TRUE(missing.message.startsWith(QStringLiteral("no derived fonts in %1/fonts").arg(dir.path())))
        << missing.message.toStdString();
    EXPECT_TRUE(missing.message.contains(QStringLiteral("\"Symbol\" is drawn in Standard Symbols PS")))
        << missing.message.toStdString();
    EXPECT_TRUE(missing.message.contains(QStringLiteral("\"メイリオ\" is drawn in Noto Sans CJK JP")))
        << missing.message.toStdString();
    EXPECT_EQ(t.familyFor(QStringLiteral("Symbol")), QStringLiteral("Standard Symbols PS"));
    EXPECT_FALSE(t.symbolCodesTranslated(QStringLiteral("Symbol")));
    EXPECT_EQ(t.familyFor(QStringLiteral("メイリオ")), QStringLiteral("Noto Sans CJK JP"));
    EXPECT_TRUE(t.fontExists(QStringLiteral("Symbol")));
    EXPECT_EQ(t.familyFor(QStringLiteral("Courier New")), QStringLiteral("Liberation Mono"));

    // The fonts arrive in the folder: the next attempt loads them.
    const QString from = DataFolder::path() + QStringLiteral("/fonts");
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("fonts"))));
    for (const QString& f : QDir(from).entryList({QStringLiteral("Course*.otf")}, QDir::Files))
        ASSERT_TRUE(QFile::copy(from + u'/' + f, dir.filePath(QStringLiteral("fonts/") + f)))
            << f.toStdString();
    const Outcome loaded = t.loadDerivedFonts();
    EXPECT_TRUE(loaded.ok) << loaded.message.toStdString();
    EXPECT_TRUE(t.derivedFontsLoaded());
    EXPECT_EQ(t.familyFor(QStringLiteral("Symbol")), QStringLiteral("Course Symbol"));
    EXPECT_TRUE(t.symbolCodesTranslated(QStringLiteral("Symbol")));
    EXPECT_EQ(t.familyFor(QStringLiteral("メイリオ")), QStringLiteral("Course Sans JP"));
}

TEST(FontTableTest, WithoutADataFolderTheTableSaysSoAndTheProgramsTableHasTheDerivedFonts) {
    FontTable none{QString()};
    const Outcome r = none.loadDerivedFonts();
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.startsWith(QStringLiteral("no data folder beside the program")))
        << r.message.toStdString();
    EXPECT_EQ(none.familyFor(QStringLiteral("Symbol")), QStringLiteral("Standard Symbols PS"));
    // The derived fonts another table added to the font database do not count here.
    FontTable::standard().loadDerivedFonts();
    EXPECT_TRUE(FontTable::standard().derivedFontsLoaded());
    EXPECT_EQ(none.familyFor(QStringLiteral("Symbol")), QStringLiteral("Standard Symbols PS"));
    EXPECT_EQ(FontTable::familyOf(QStringLiteral("Symbol")), QStringLiteral("Course Symbol"));
}
