#include <course/textruns/FontTable.h>

#include <course/textruns/Units.h>

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFileInfo>
#include <QHash>

#include <utility>

#ifndef COURSE_FONT_DIR
#define COURSE_FONT_DIR ""
#endif

namespace course {

namespace {
const QString kSymbolDerived = QStringLiteral("Course Symbol");
const QString kSansDerived = QStringLiteral("Course Sans JP");
bool gDerivedLoaded = false;
QStringList gLoadedFamilies;
QHash<QString, QString> gResolved;

// Families offered by more than one foundry are listed as "Family [foundry]".
bool installed(const QString& family) {
    static QStringList names;
    static int generation = -1;
    const int now = int(gLoadedFamilies.size());
    if (generation != now) {
        names.clear();
        for (QString f : QFontDatabase::families()) {
            const qsizetype bracket = f.indexOf(QStringLiteral(" ["));
            if (bracket > 0 && f.endsWith(u']'))
                f.truncate(bracket);
            names << f;
        }
        generation = now;
    }
    return names.contains(family, Qt::CaseSensitive);
}
} // namespace

const QList<FontStandIn>& FontTable::standIns() {
    static const QList<FontStandIn> table = {
        // Body text: a tall line (about 1.5 em) like the original, baseline near 19 px at 13 pt.
        {QStringLiteral("メイリオ"), {kSansDerived, QStringLiteral("Noto Sans CJK JP")}},
        // Commas inside body text: metric-compatible gothic.
        {QStringLiteral("ＭＳ ゴシック"), {QStringLiteral("IPAGothic")}},
        {QStringLiteral("Bookman Old Style"), {QStringLiteral("URW Bookman")}},
        {QStringLiteral("Times New Roman"), {QStringLiteral("Liberation Serif")}},
        {QStringLiteral("Century"), {QStringLiteral("C059")}},
        {QStringLiteral("Courier New"), {QStringLiteral("Liberation Mono")}},
        {QStringLiteral("Symbol"), {kSymbolDerived, QStringLiteral("Standard Symbols PS")}},
        {QStringLiteral("Verdana"), {QStringLiteral("DejaVu Sans")}},
    };
    return table;
}

void FontTable::loadDerivedFonts() {
    if (gDerivedLoaded)
        return;
    gDerivedLoaded = true;
    QStringList dirs;
    const QByteArray env = qgetenv("COURSE_FONT_DIR");
    if (!env.isEmpty())
        dirs << QString::fromLocal8Bit(env);
    if (QCoreApplication::instance())
        dirs << QCoreApplication::applicationDirPath() + QStringLiteral("/fonts")
             << QCoreApplication::applicationDirPath() + QStringLiteral("/../fonts")
             << QCoreApplication::applicationDirPath() + QStringLiteral("/../../fonts");
    dirs << QStringLiteral(COURSE_FONT_DIR);
    for (const QString& dir : dirs) {
        if (dir.isEmpty())
            continue;
        const QDir d(dir);
        const QStringList files = d.entryList({QStringLiteral("Course*.otf")}, QDir::Files);
        if (files.isEmpty())
            continue;
        for (const QString& f : files) {
            const int id = QFontDatabase::addApplicationFont(d.filePath(f));
            if (id >= 0)
                gLoadedFamilies << QFontDatabase::applicationFontFamilies(id);
        }
        break;
    }
    gResolved.clear();
}

QString FontTable::familyFor(const QString& requested) {
    loadDerivedFonts();
    auto cached = gResolved.constFind(requested);
    if (cached != gResolved.constEnd())
        return *cached;
    QString family = requested;
    for (const FontStandIn& s : standIns()) {
        if (s.requested != requested)
            continue;
        for (const QString& f : s.families) {
            if (installed(f)) {
                family = f;
                break;
            }
        }
        break;
    }
    gResolved.insert(requested, family);
    return family;
}

bool FontTable::fontExist(const QString& name) {
    loadDerivedFonts();
    if (installed(name))
        return true;
    for (const FontStandIn& s : standIns()) {
        if (s.requested == name) {
            for (const QString& f : s.families)
                if (installed(f))
                    return true;
        }
    }
    return false;
}

bool FontTable::translatesSymbolCodes(const QString& requested) {
    return requested == QStringLiteral("Symbol") && familyFor(requested) == kSymbolDerived;
}

QFont FontTable::makeFont(const QString& requested, double points, bool bold, bool italic, double deviceDpi) {
    QFont font(familyFor(requested));
    // Points are pixels·72/96 on the page; a device of another dpi gets the size that
    // yields the same number of logical pixels through the painter's scale.
    font.setPointSizeF(points * units::kLogicalDpi / deviceDpi);
    font.setBold(bold);
    font.setItalic(italic);
    // Unhinted outlines keep advances identical on screen, at 2x and on paper.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

char32_t symbolCodeToUnicode(unsigned code) {
    // Standard Symbol encoding, for the codes whose character differs from Latin-1.
    static const std::pair<unsigned, char32_t> table[] = {
        {34, 0x2200},  {36, 0x2203},  {39, 0x220B},  {42, 0x2217},  {45, 0x2212},  {64, 0x2245},
        {65, 0x0391},  {66, 0x0392},  {67, 0x03A7},  {68, 0x2206},  {69, 0x0395},  {70, 0x03A6},
        {71, 0x0393},  {72, 0x0397},  {73, 0x0399},  {74, 0x03D1},  {75, 0x039A},  {76, 0x039B},
        {77, 0x039C},  {78, 0x039D},  {79, 0x039F},  {80, 0x03A0},  {81, 0x0398},  {82, 0x03A1},
        {83, 0x03A3},  {84, 0x03A4},  {85, 0x03A5},  {86, 0x03C2},  {87, 0x2126},  {88, 0x039E},
        {89, 0x03A8},  {90, 0x0396},  {92, 0x2234},  {94, 0x22A5},  {96, 0x203E},  {97, 0x03B1},
        {98, 0x03B2},  {99, 0x03C7},  {100, 0x03B4}, {101, 0x03B5}, {102, 0x03C6}, {103, 0x03B3},
        {104, 0x03B7}, {105, 0x03B9}, {106, 0x03D5}, {107, 0x03BA}, {108, 0x03BB}, {109, 0x00B5},
        {110, 0x03BD}, {111, 0x03BF}, {112, 0x03C0}, {113, 0x03B8}, {114, 0x03C1}, {115, 0x03C3},
        {116, 0x03C4}, {117, 0x03C5}, {118, 0x03D6}, {119, 0x03C9}, {120, 0x03BE}, {121, 0x03C8},
        {122, 0x03B6}, {126, 0x223C}, {128, 0xF080}, {160, 0x20AC}, {161, 0x03D2}, {162, 0x2032},
        {163, 0x2264}, {164, 0x2044}, {165, 0x221E}, {166, 0x0192}, {167, 0x2663}, {168, 0x2666},
        {169, 0x2665}, {170, 0x2660}, {171, 0x2194}, {172, 0x2190}, {173, 0x2191}, {174, 0x2192},
        {175, 0x2193}, {178, 0x2033}, {179, 0x2265}, {180, 0x00D7}, {181, 0x221D}, {182, 0x2202},
        {183, 0x2022}, {184, 0x00F7}, {185, 0x2260}, {186, 0x2261}, {187, 0x2248}, {188, 0x2026},
        {189, 0x23D0}, {190, 0x23AF}, {191, 0x21B5}, {192, 0x2135}, {193, 0x2111}, {194, 0x211C},
        {195, 0x2118}, {196, 0x2297}, {197, 0x2295}, {198, 0x2205}, {199, 0x2229}, {200, 0x222A},
        {201, 0x2283}, {202, 0x2287}, {203, 0x2284}, {204, 0x2282}, {205, 0x2286}, {206, 0x2208},
        {207, 0x2209}, {208, 0x2220}, {209, 0x2207}, {210, 0xF0D2}, {211, 0xF0D3}, {212, 0xF0D4},
        {213, 0x220F}, {214, 0x221A}, {215, 0x22C5}, {216, 0x00AC}, {217, 0x2227}, {218, 0x2228},
        {219, 0x21D4}, {220, 0x21D0}, {221, 0x21D1}, {222, 0x21D2}, {223, 0x21D3}, {224, 0x25CA},
        {225, 0x2329}, {226, 0xF0E2}, {227, 0xF0E3}, {228, 0xF0E4}, {229, 0x2211}, {230, 0x239B},
        {231, 0x239C}, {232, 0x239D}, {233, 0x23A1}, {234, 0x23A2}, {235, 0x23A3}, {236, 0x23A7},
        {237, 0x23A8}, {238, 0x23A9}, {239, 0x23AA}, {241, 0x232A}, {242, 0x222B}, {243, 0x2320},
        {244, 0x23AE}, {245, 0x2321}, {246, 0x239E}, {247, 0x239F}, {248, 0x23A0}, {249, 0x23A4},
        {250, 0x23A5}, {251, 0x23A6}, {252, 0x23AB}, {253, 0x23AC}, {254, 0x23AD},
    };
    for (const auto& [c, u] : table)
        if (c == code)
            return u;
    return code;
}

QString symbolToUnicode(const QString& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (QChar ch : bytes) {
        const char32_t u = symbolCodeToUnicode(ch.unicode());
        out += QString::fromUcs4(&u, 1);
    }
    return out;
}

} // namespace course
