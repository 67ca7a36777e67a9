// SPDX-License-Identifier: GPL-3.0-or-later
// A staged install (DESTDIR), moved to another folder, with the build tree's data hidden:
// the programs run from it, find their fonts in it, and carry no build-folder path;
// desktop entries and metadata validate; manual pages name every option.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QStringList kPrograms = {QStringLiteral("tessera"), QStringLiteral("quillet"),
                               QStringLiteral("brindle"), QStringLiteral("oriel"),
                               QStringLiteral("calyx"),   QStringLiteral("sorrel")};

struct Result {
    int status = -1;
    QString out, err;
};

Result run(const QString& program, const QStringList& args, const QProcessEnvironment& env = {},
           int timeoutMs = 120000) {
    QProcess p;
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    p.start(program, args);
    Result r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("timed out: ") + program;
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

bool hasTool(const char* name) {
    return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty();
}

// Runs a command with the build tree's data folder covered by an empty one (a private
// mount namespace), so a program that still looked there would find nothing.
// Returns the command unchanged where namespaces are not allowed.
QStringList hidingBuildData(const QStringList& command) {
    static const bool canHide = [] {
        return run(QStringLiteral("unshare"),
                   {QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"),
                    QStringLiteral("mount -t tmpfs none \"$0\""), QStringLiteral(BUILD_DATA_DIR)})
                   .status == 0;
    }();
    if (!canHide)
        return command;
    return QStringList{QStringLiteral("unshare"),
                       QStringLiteral("-rm"),
                       QStringLiteral("sh"),
                       QStringLiteral("-c"),
                       QStringLiteral("mount -t tmpfs none \"$0\" && exec \"$@\""),
                       QStringLiteral(BUILD_DATA_DIR)} +
           command;
}

class StagedInstall : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        stage_ = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(stage_->isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DESTDIR"), stage_->path());
        const Result r = run(QStringLiteral(CMAKE_COMMAND_PATH),
                             {QStringLiteral("--install"), QStringLiteral(BUILD_DIR),
                              QStringLiteral("--prefix"), QStringLiteral("/usr")},
                             env);
        ASSERT_EQ(r.status, 0) << r.out.toStdString() << r.err.toStdString();
        // Move the install away from where it was staged: nothing may depend on its place.
        ASSERT_TRUE(QDir(stage_->path()).rename(QStringLiteral("usr"), QStringLiteral("moved/elsewhere")) ||
                    (QDir(stage_->path()).mkpath(QStringLiteral("moved")) &&
                     QDir(stage_->path()).rename(QStringLiteral("usr"), QStringLiteral("moved/elsewhere"))));
        root_ = stage_->path() + QStringLiteral("/moved/elsewhere");
    }
    static void TearDownTestSuite() { stage_.reset(); }

    static QString path(const QString& relative) { return root_ + u'/' + relative; }

    static std::unique_ptr<QTemporaryDir> stage_;
    static QString root_;
};

std::unique_ptr<QTemporaryDir> StagedInstall::stage_;
QString StagedInstall::root_;

TEST_F(StagedInstall, PutsProgramsDataMenuEntriesIconsMetadataAndManualPagesInPlace) {
    QStringList missing;
    auto expect = [&](const QString& f) {
        if (!QFileInfo(path(f)).isFile())
            missing << f;
    };
    for (const QString& font :
         {QStringLiteral("CourseSymbol.otf"), QStringLiteral("CourseSansJP-Regular.otf"),
          QStringLiteral("CourseSansJP-Bold.otf")})
        expect(QStringLiteral(DATA_SUBDIR "/fonts/") + font);
    expect(QStringLiteral("share/metainfo/" APP_PREFIX ".suite.metainfo.xml"));
    expect(QStringLiteral("share/doc/quantum-course/copyright"));
    for (const QString& p : kPrograms) {
        const QString id = QStringLiteral(APP_PREFIX ".") + p;
        expect(QStringLiteral("bin/") + p);
        expect(QStringLiteral("share/applications/%1.desktop").arg(id));
        expect(QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(id));
        for (int size : {48, 64, 128, 256})
            expect(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(id));
        expect(QStringLiteral("share/man/man1/%1.1.gz").arg(p));
        expect(QStringLiteral("share/man/ja/man1/%1.1.gz").arg(p));
    }
    EXPECT_EQ(missing.join(u' ').toStdString(), "");
    // The Japanese body fonts are cut down to the course's coverage.
    qint64 fontBytes = 0;
    for (const QFileInfo& f : QDir(path(QStringLiteral(DATA_SUBDIR "/fonts"))).entryInfoList(QDir::Files))
        fontBytes += f.size();
    EXPECT_LT(fontBytes, 8 * 1024 * 1024);
}

TEST_F(StagedInstall, NoInstalledFileContainsTheBuildFolder) {
#ifdef SANITIZED_BUILD
    GTEST_SKIP() << "a sanitizer build records its checks' source locations, build folder included";
#endif
    const QByteArray buildDir = QByteArrayLiteral(BUILD_DIR);
    QStringList found;
    QDirIterator it(root_, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << f.fileName().toStdString();
        if (f.readAll().contains(buildDir))
            found << f.fileName();
    }
    EXPECT_EQ(found.join(u' ').toStdString(), "");
}

TEST_F(StagedInstall, ExportedPdfDrawsJapaneseAndGreekInTheInstalledFonts) {
    if (!hasTool("pdffonts") || !hasTool("pdftotext"))
        GTEST_SKIP() << "poppler-utils is not installed";
    struct Case {
        QString program, japanese, symbol;
    };
    // tessera's pages draw ∂ from the Symbol font, oriel's the Greek letters.
    const Case cases[] = {
        {QStringLiteral("tessera"), QStringLiteral("シュレーディンガー方程式"), QStringLiteral("∂")},
        {QStringLiteral("oriel"), QStringLiteral("波束"), QStringLiteral("Ψ")}};
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("course.fonts.debug=true"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program.toStdString());
        const QString pdf = out.filePath(c.program + QStringLiteral(".pdf"));
        const QStringList command =
            hidingBuildData({path(QStringLiteral("bin/") + c.program), QStringLiteral("--export-pdf"), pdf});
        const Result r = run(command.first(), command.mid(1), env);
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        // The fonts came from the moved install, none from the build tree.
        EXPECT_EQ(r.err.count(QStringLiteral("loaded")), 3) << r.err.toStdString();
        EXPECT_EQ(r.err.count(root_ + QStringLiteral("/" DATA_SUBDIR "/fonts/Course")), 3)
            << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(QStringLiteral(BUILD_DIR))) << r.err.toStdString();

        const Result fonts = run(QStringLiteral("pdffonts"), {pdf});
        ASSERT_EQ(fonts.status, 0) << fonts.err.toStdString();
        EXPECT_TRUE(fonts.out.contains(QStringLiteral("CourseSansJP-Regular"))) << fonts.out.toStdString();
        EXPECT_TRUE(fonts.out.contains(QStringLiteral("CourseSymbol"))) << fonts.out.toStdString();
        // No other Japanese or symbol font stood in for a glyph the derived ones lack.
        for (const char* other : {"CJK", "StandardSymbols"})
            EXPECT_FALSE(fonts.out.contains(QString::fromLatin1(other))) << fonts.out.toStdString();

        const Result text = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        ASSERT_EQ(text.status, 0);
        EXPECT_TRUE(text.out.contains(c.japanese)) << text.out.toStdString();
        EXPECT_TRUE(text.out.contains(c.symbol)) << text.out.toStdString();
    }
}

TEST_F(StagedInstall, DesktopEntriesValidateAndStartTheirProgramWithItsIcon) {
    if (!hasTool("desktop-file-validate"))
        GTEST_SKIP() << "desktop-file-utils is not installed";
    for (const QString& p : kPrograms) {
        const QString file = path(QStringLiteral("share/applications/" APP_PREFIX ".%1.desktop").arg(p));
        const Result r = run(QStringLiteral("desktop-file-validate"), {file});
        EXPECT_EQ(r.status, 0) << p.toStdString() << ": " << r.out.toStdString();
        // Hints (several main categories are intended) are fine; warnings and errors are not.
        EXPECT_FALSE(r.out.contains(QStringLiteral("error:")) || r.out.contains(QStringLiteral("warning:")))
            << r.out.toStdString();
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text));
        const QString entry = QString::fromUtf8(f.readAll());
        EXPECT_TRUE(entry.contains(QStringLiteral("\nExec=%1\n").arg(p))) << p.toStdString();
        EXPECT_TRUE(entry.contains(QStringLiteral("\nIcon=" APP_PREFIX ".%1\n").arg(p))) << p.toStdString();
        EXPECT_TRUE(entry.contains(QStringLiteral("\nName[ja]="))) << p.toStdString();
        EXPECT_TRUE(entry.contains(QStringLiteral("\nCategories=Education;Science;Physics;Qt;\n")));
    }
}

TEST_F(StagedInstall, MetainfoValidatesAndLaunchesEveryInstalledEntry) {
    if (!hasTool("appstreamcli"))
        GTEST_SKIP() << "appstream is not installed";
    const QString file = path(QStringLiteral("share/metainfo/" APP_PREFIX ".suite.metainfo.xml"));
    const Result r =
        run(QStringLiteral("appstreamcli"),
            {QStringLiteral("validate"), QStringLiteral("--no-net"), QStringLiteral("--pedantic"), file});
    EXPECT_EQ(r.status, 0) << r.out.toStdString() << r.err.toStdString();
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString xml = QString::fromUtf8(f.readAll());
    static const QRegularExpression launchable(QStringLiteral("<launchable type=\"desktop-id\">([^<]+)<"));
    QStringList ids;
    for (const QRegularExpressionMatch& m : launchable.globalMatch(xml))
        ids << m.captured(1);
    EXPECT_EQ(ids.size(), kPrograms.size());
    for (const QString& id : ids)
        EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("share/applications/") + id))) << id.toStdString();
}

// The English page (man/man1) is the --help of C.UTF-8, the Japanese one (man/ja/man1)
// that of ja_JP.UTF-8, each with help2man's headings in its own language.
TEST_F(StagedInstall, ManualPagesNameEveryOptionOfTheirProgram) {
    static const QRegularExpression option(QStringLiteral("(?:^|[\\s,])(--?[a-zA-Z][a-zA-Z-]*)"));
    // Kana and kanji: the English page has none, the Japanese one is written in them.
    static const QRegularExpression japanese(QStringLiteral("[\\x{3040}-\\x{30ff}\\x{4e00}-\\x{9fff}]"));
    struct Language {
        QString locale, folder, nameHeading, optionsHeading, helpLine;
        bool japanese;
    };
    const Language languages[] = {
        {QStringLiteral("C.UTF-8"), QStringLiteral("man1"), QStringLiteral(".SH NAME"), QStringLiteral(".SH OPTIONS"),
         QStringLiteral("show this help and exit"), false},
        {QStringLiteral("ja_JP.UTF-8"), QStringLiteral("ja/man1"), QStringLiteral(".SH 名前"),
         QStringLiteral(".SH オプション"), QStringLiteral("この説明を表示して終了する"), true},
    };
    for (const Language& l : languages) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), l.locale);
        for (const QString& p : kPrograms) {
            SCOPED_TRACE((l.folder + u' ' + p).toStdString());
            const Result help = run(path(QStringLiteral("bin/") + p), {QStringLiteral("--help")}, env);
            ASSERT_EQ(help.status, 0);
            const Result man = run(QStringLiteral("gzip"),
                                   {QStringLiteral("-dc"),
                                    path(QStringLiteral("share/man/%1/%2.1.gz").arg(l.folder, p))});
            ASSERT_EQ(man.status, 0);
            // roff marks fonts with \fB … \fR and escapes each dash of an option.
            static const QRegularExpression fontSwitch(QStringLiteral("\\\\f[BIRP]"));
            const QString page = QString(man.out).remove(fontSwitch).remove(u'\\');
            EXPECT_TRUE(page.contains(QStringLiteral(".TH %1 \"1\"").arg(p.toUpper())));
            EXPECT_TRUE(page.contains(l.optionsHeading)) << page.toStdString();
            // The one-line description under NAME, in the page's language and legible
            // (help2man would encode a Japanese --name twice).
            const QString description =
                page.section(l.nameHeading + u'\n', 1).section(u'\n', 0, 0).section(QStringLiteral(" - "), 1);
            EXPECT_FALSE(description.isEmpty()) << page.toStdString();
            EXPECT_EQ(description.contains(japanese), l.japanese) << description.toStdString();
            EXPECT_FALSE(description.contains(QChar(0xe3))) << description.toStdString();
            EXPECT_TRUE(page.contains(l.helpLine)) << page.toStdString();
            EXPECT_EQ(page.contains(japanese), l.japanese) << page.toStdString();
            QStringList options;
            for (const QRegularExpressionMatch& m : option.globalMatch(help.out))
                options << m.captured(1);
            options.removeDuplicates();
            EXPECT_TRUE(options.contains(QStringLiteral("--help")));
            for (const QString& o : options)
                EXPECT_TRUE(page.contains(o)) << " man page lacks " << o.toStdString();
        }
    }
}

// The addresses in the installed files are the ones the build was configured with:
// no default address of a site that does not exist.
TEST_F(StagedInstall, MetadataAndFilesPointOnlyAtTheConfiguredAddresses) {
    const QString homepage = QStringLiteral(HOMEPAGE_URL);
    const QString screenshots = QStringLiteral(SCREENSHOT_URL);
    QFile f(path(QStringLiteral("share/metainfo/" APP_PREFIX ".suite.metainfo.xml")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString xml = QString::fromUtf8(f.readAll());
    if (homepage.isEmpty())
        EXPECT_FALSE(xml.contains(QStringLiteral("<url"))) << xml.toStdString();
    else
        EXPECT_TRUE(xml.contains(QStringLiteral("<url type=\"homepage\">%1</url>").arg(homepage)));
    static const QRegularExpression image(QStringLiteral("<image>([^<]*)</image>"));
    int images = 0;
    for (const QRegularExpressionMatch& m : image.globalMatch(xml)) {
        ++images;
        EXPECT_TRUE(!screenshots.isEmpty() && m.captured(1).startsWith(screenshots)) << m.captured(1).toStdString();
    }
    EXPECT_EQ(images, screenshots.isEmpty() ? 0 : kPrograms.size());
    EXPECT_EQ(xml.contains(QStringLiteral("<screenshots>")), !screenshots.isEmpty());

    // Every web address in an installed file is one of those configured, but the SVG
    // namespace, the licence texts of the copyright file and the fonts' own name
    // tables (their vendors' sites).
    static const QRegularExpression host(QStringLiteral("https?://([A-Za-z0-9.-]+)"));
    QStringList allowed = {QStringLiteral("www.w3.org")};
    for (const QString& url : {homepage, screenshots})
        if (const QRegularExpressionMatch m = host.match(url); m.hasMatch())
            allowed << m.captured(1);
    QStringList found;
    QDirIterator it(root_, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.fileName().endsWith(QStringLiteral("/doc/quantum-course/copyright")) ||
            file.fileName().startsWith(path(QStringLiteral(DATA_SUBDIR "/fonts/"))))
            continue;
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        const QString text = QString::fromLatin1(file.readAll());
        for (const QRegularExpressionMatch& m : host.globalMatch(text))
            if (!allowed.contains(m.captured(1)))
                found << file.fileName() + u' ' + m.captured(0);
        // The domain the suite once named, unless a lab configured it on purpose.
        const bool configured = (homepage + screenshots).contains(QStringLiteral("qmcourse"));
        if (text.contains(QStringLiteral("@localhost")) || (!configured && text.contains(QStringLiteral("qmcourse"))))
            found << file.fileName();
    }
    EXPECT_EQ(found.join(u'\n').toStdString(), "");
}

// The copyright file is machine-readable: every licence a Files paragraph names has its
// text, in the paragraph or in a stand-alone License paragraph (an exception's text
// does not stand for the licence it amends).
TEST_F(StagedInstall, CopyrightFileGivesTheTextOfEveryLicenceItNames) {
    QFile f(path(QStringLiteral("share/doc/quantum-course/copyright")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString text = QString::fromUtf8(f.readAll());
    ASSERT_TRUE(text.startsWith(QStringLiteral("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n")));
    struct Use {
        QString license;
        bool hasText;
    };
    QList<Use> uses;
    QStringList defined;
    for (const QString& paragraph : text.split(QStringLiteral("\n\n"), Qt::SkipEmptyParts)) {
        const QStringList lines = paragraph.split(u'\n', Qt::SkipEmptyParts);
        const qsizetype at = lines.indexOf(QRegularExpression(QStringLiteral("^License: .+")));
        if (at < 0)
            continue;
        const QString license = lines[at].mid(9).trimmed();
        const bool hasText = at + 1 < lines.size() && lines[at + 1].startsWith(u' ');
        if (paragraph.startsWith(QStringLiteral("Files:")))
            uses.append({license, hasText});
        else if (hasText)
            defined << license;
    }
    ASSERT_FALSE(uses.isEmpty());
    EXPECT_EQ(uses.first().license.toStdString(), "GPL-3.0-or-later");
    for (const Use& use : uses) {
        const qsizetype with = use.license.indexOf(QStringLiteral(" with "));
        const QString base = with < 0 ? use.license : use.license.left(with);
        EXPECT_TRUE(defined.contains(base) || (with < 0 && use.hasText)) << use.license.toStdString();
    }
    for (const char* font : {"CourseSansJP-*.otf", "CourseSymbol.otf"})
        EXPECT_TRUE(text.contains(QStringLiteral("Files: usr/" DATA_SUBDIR "/fonts/") + QLatin1String(font))) << font;
}

TEST_F(StagedInstall, ProgramsCarryNoCompilerCommentSection) {
    if (!hasTool("readelf"))
        GTEST_SKIP() << "binutils is not installed";
    for (const QString& p : kPrograms) {
        const Result r = run(QStringLiteral("readelf"), {QStringLiteral("-S"), path(QStringLiteral("bin/") + p)});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QStringLiteral(".text"))) << r.out.toStdString();
        EXPECT_FALSE(r.out.contains(QStringLiteral(".comment"))) << p.toStdString();
    }
}

// With a maintainer configured the Debian changelog is installed, compressed without
// a file name or time stamp (gzip -n), so it is the same on every build.
TEST_F(StagedInstall, DebianChangelogNamesTheMaintainerAndIsCompressedWithoutTimeStamp) {
    const QString file = path(QStringLiteral("share/doc/quantum-course/changelog.Debian.gz"));
    const QString maintainer = QStringLiteral(PACKAGE_MAINTAINER);
    if (maintainer.isEmpty()) {
        EXPECT_FALSE(QFileInfo::exists(file)) << "a changelog without a maintainer to sign it";
        GTEST_SKIP() << "configured without a maintainer (COURSE_MAINTAINER, DEBEMAIL)";
    }
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray gz = f.readAll();
    ASSERT_GE(gz.size(), 10);
    EXPECT_EQ(gz.left(2), QByteArray("\x1f\x8b", 2));
    EXPECT_EQ(gz[3] & 0x08, 0) << "the compressed file carries its name";
    EXPECT_EQ(gz.mid(4, 4), QByteArray(4, '\0')) << "the compressed file carries a time stamp";
    const Result text = run(QStringLiteral("gzip"), {QStringLiteral("-dc"), file});
    ASSERT_EQ(text.status, 0);
    EXPECT_TRUE(text.out.startsWith(QStringLiteral("quantum-course (" PACKAGE_VERSION ") "))) << text.out.toStdString();
    EXPECT_TRUE(text.out.contains(QStringLiteral("\n -- %1  ").arg(maintainer))) << text.out.toStdString();
}

} // namespace
