#include <course/textruns/FontTable.h>

#include <course/textruns/DataFolder.h>
#include <course/textruns/Units.h>

#include <QDir>
#include <QFontDatabase>
#include <QHash>
#include <QLoggingCategory>

#include <algorithm>
#include <iterator>
#include <utility>

namespace course {

namespace {
// QT_LOGGING_RULES="course.fonts.debug=true" names the font files loaded.
Q_LOGGING_CATEGORY(fontLog, "course.fonts", QtWarningMsg)

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
    const QString dataDir = DataFolder::path();
    if (dataDir.isEmpty()) {
        qCWarning(fontLog, "no data folder beside the program: using the installed fonts");
        return;
    }
    const QDir d(dataDir + QStringLiteral("/fonts"));
    for (const QString& f : d.entryList({QStringLiteral("Course*.otf")}, QDir::Files)) {
        const int id = QFontDatabase::addApplicationFont(d.filePath(f));
        if (id >= 0) {
            gLoadedFamilies << QFontDatabase::applicationFontFamilies(id);
            qCDebug(fontLog) << "loaded" << d.filePath(f);
        } else {
            qCWarning(fontLog) << "cannot load" << d.filePath(f);
        }
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
    // Generated from engine/fonts/SymbolCodes.txt, the table the derived font's
    // character map is made from; sorted by code.
    static constexpr std::pair<unsigned, char32_t> table[] = {
#include "SymbolCodes.inc"
    };
    static_assert(std::is_sorted(std::begin(table), std::end(table)),
                  "SymbolCodes.txt must be sorted by code");
    const auto* hit = std::lower_bound(std::begin(table), std::end(table), code,
                                       [](const auto& entry, unsigned c) { return entry.first < c; });
    return hit != std::end(table) && hit->first == code ? hit->second : char32_t(code);
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
