// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/textruns/FontTable.h>

#include <engine/system/VectorState.h>
#include <engine/textruns/Units.h>

#include <QDir>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QLoggingCategory>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <iterator>
#include <utility>

namespace course {

namespace {
// QT_LOGGING_RULES="course.fonts.debug=true" names the font files loaded.
Q_LOGGING_CATEGORY(fontLog, "course.fonts", QtWarningMsg)

const QString kSymbolDerived = QStringLiteral("Course Symbol");
const QString kSansDerived = QStringLiteral("Course Sans JP");
// Runs a table remembers the measure of before it starts afresh.
constexpr qsizetype kMeasuredMost = 4096;

bool isDerived(const QString& family) { return family == kSymbolDerived || family == kSansDerived; }
} // namespace

FontTable::FontTable(QString dataFolder) : dataFolder_(std::move(dataFolder)) {}

FontTable::~FontTable() {
    for (int id : fontIds_)
        QFontDatabase::removeApplicationFont(id);
}

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

// Families offered by more than one foundry are listed as "Family [foundry]". A
// derived family counts only when this table loaded it: Qt's font database is the
// process's, and another table may have added it there.
bool FontTable::installed(const QString& family) {
    if (isDerived(family))
        return loadedFamilies_.contains(family);
    if (installedNames_.isEmpty()) {
        for (QString f : QFontDatabase::families()) {
            const qsizetype bracket = f.indexOf(QStringLiteral(" ["));
            if (bracket > 0 && f.endsWith(u']'))
                f.truncate(bracket);
            installedNames_ << f;
        }
    }
    return installedNames_.contains(family, Qt::CaseSensitive);
}

void FontTable::loadOnce() {
    if (attempted_)
        return;
    const Outcome r = loadDerivedFonts();
    if (!r)
        qCWarning(fontLog, "%s", qPrintable(r.message));
}

Outcome FontTable::loadDerivedFonts() {
    attempted_ = true;
    resolved_.clear();
    measured_.clear();
    if (!loaded_) {
        const QDir d(dataFolder_ + QStringLiteral("/fonts"));
        const QStringList files =
            dataFolder_.isEmpty() ? QStringList() : d.entryList({QStringLiteral("Course*.otf")}, QDir::Files);
        for (const QString& f : files) {
            const int id = QFontDatabase::addApplicationFont(d.filePath(f));
            if (id >= 0) {
                fontIds_ << id;
                for (const QString& family : QFontDatabase::applicationFontFamilies(id))
                    if (!loadedFamilies_.contains(family))
                        loadedFamilies_ << family;
                qCDebug(fontLog) << "loaded" << d.filePath(f);
            } else {
                qCWarning(fontLog) << "cannot load" << d.filePath(f);
            }
        }
        loaded_ = loadedFamilies_.contains(kSymbolDerived) && loadedFamilies_.contains(kSansDerived);
    }
    if (loaded_)
        return Outcome::success();
    // Say which installed fonts draw what the derived ones would have.
    QStringList standing;
    for (const FontStandIn& s : standIns()) {
        if (!isDerived(s.families.value(0)) || installed(s.families.value(0)))
            continue;
        const QString family = familyFor(s.requested);
        standing << QStringLiteral("\"%1\" is drawn in %2").arg(s.requested, family);
    }
    const QString where = dataFolder_.isEmpty()
                              ? QStringLiteral("no data folder beside the program")
                              : QStringLiteral("no derived fonts in %1/fonts").arg(dataFolder_);
    return Outcome::failure(QStringLiteral("%1: %2").arg(where, standing.join(QStringLiteral(", "))));
}

QString FontTable::familyFor(const QString& requested) {
    loadOnce();
    auto cached = resolved_.constFind(requested);
    if (cached != resolved_.constEnd())
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
    resolved_.insert(requested, family);
    return family;
}

bool FontTable::hasFontOrStandIn(const QString& name) {
    loadOnce();
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

bool FontTable::symbolCodesTranslated(const QString& requested) {
    return requested == QStringLiteral("Symbol") && familyFor(requested) == kSymbolDerived;
}

QFont FontTable::font(const QString& requested, double points, bool bold, bool italic, double deviceDpi) {
    return fontOf(familyFor(requested), points, bold, italic, deviceDpi);
}

FontTable::TextMetrics FontTable::measure(const QString& requested, double points, bool bold, bool italic,
                                          const QString& text) {
    const QString family = familyFor(requested);
    QString key;
    key.reserve(family.size() + 1 + 4 + 2 + text.size()); // separator, size, bold, italic
    key += family;
    key += QChar(0);
    // The size's bits, four code units wide: a distinct key for each size, as its
    // shortest exact decimal would give, without formatting one for every lookup.
    const auto bits = std::bit_cast<std::uint64_t>(points);
    for (int shift = 0; shift < 64; shift += 16)
        key += QChar(char16_t((bits >> shift) & 0xffff));
    key += QChar(bold ? u'b' : u'-');
    key += QChar(italic ? u'i' : u'-');
    key += text;
    TextMetrics m{};
    if (const auto hit = measured_.constFind(key); hit != measured_.constEnd()) {
        m = *hit;
    } else {
        const QFontMetricsF fm(fontOf(family, points, bold, italic), &units::referenceDevice());
        m = {fm.horizontalAdvance(text), fm.height(), fm.ascent()};
        // Bounded: a live page's numbers are new with every frame.
        if (measured_.size() >= kMeasuredMost)
            measured_.clear();
        measured_.insert(key, m);
    }
    // Hashing the key (and Qt's measuring) leaves the vector registers' upper halves in
    // use; the typesetting that asked goes on in plain SSE code.
    clearUpperVectorState();
    return m;
}

QFont FontTable::fontOf(const QString& family, double points, bool bold, bool italic, double deviceDpi) {
    QFont font(family);
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
