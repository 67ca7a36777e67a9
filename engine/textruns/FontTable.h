// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Maps the font names the pages ask for ("メイリオ", "Symbol", …) to fonts installed
// on a Debian desktop, and turns those names into QFonts laid out at 96 logical dpi.

#include <engine/system/Outcome.h>

#include <QFont>
#include <QHash>
#include <QString>
#include <QStringList>

namespace course {

struct FontStandIn {
    QString requested;    // the name the programs use
    QStringList families; // installed families to use, best first
};

// There is no table of the process: a program's main makes one after its application
// object (which must outlive it) and hands it to its window, whose surfaces measure with
// it; a test makes its own or takes the one of tests/support.
class FontTable {
public:
    // A table whose derived fonts (Unicode Symbol font, Japanese body font with a clean
    // PDF text map) come from `dataFolder`/fonts; an empty folder has none, and the
    // installed stand-ins declared for those names are used instead.
    explicit FontTable(QString dataFolder);
    // Takes the fonts it added out of Qt's font database again, so that a table of a
    // folder that goes away leaves no font behind that other tables would find.
    ~FontTable();
    FontTable(const FontTable&) = delete;
    FontTable& operator=(const FontTable&) = delete;

    // The substitutions every table makes (fixed).
    static const QList<FontStandIn>& standIns();

    // Loads the derived fonts from the data folder. The table counts them as loaded
    // only when every one of them was; otherwise the outcome names the installed
    // fonts that stand in, and a later call tries again. The first lookup loads them
    // by itself (once).
    Outcome loadDerivedFonts();
    bool derivedFontsLoaded() const { return loaded_; }
    const QString& dataFolder() const { return dataFolder_; }

    // The installed family that draws `requested`; names without a stand-in pass
    // through unchanged, as the platform's font mapper would take them.
    QString familyFor(const QString& requested);
    // True when a font of exactly this name (case-sensitive) is installed, or the
    // stand-in declared for exactly this name is.
    bool hasFontOrStandIn(const QString& name);
    // True when runs in `requested` carry Symbol byte codes that must be translated
    // to Unicode before drawing (the derived Unicode Symbol font is in use).
    bool symbolCodesTranslated(const QString& requested);
    // A font of `points` at 96 logical dpi for a device of `deviceDpi`: drawn through a
    // painter that maps logical pixels to device pixels, it has the layout size.
    QFont font(const QString& requested, double points, bool bold, bool italic, double deviceDpi = 96.0);
    // The advance of `text` (as drawn, Symbol codes translated) in `requested` at
    // `points`, and the font's height and ascent, in pixels of the 96-dpi layout.
    // Remembered: pages measure the same runs again and again, a live page with
    // every frame.
    struct TextMetrics {
        double width;
        double height;
        double ascent;
    };
    TextMetrics measure(const QString& requested, double points, bool bold, bool italic, const QString& text);
    // The same font for a family already resolved (familyFor): needs no table, so a
    // recorded run is drawn again from what it recorded alone.
    static QFont fontOf(const QString& family, double points, bool bold, bool italic,
                        double deviceDpi = 96.0);

private:
    void loadOnce();
    bool installed(const QString& family);

    QString dataFolder_;
    bool attempted_ = false;
    bool loaded_ = false;
    QStringList loadedFamilies_; // derived families this table loaded
    QList<int> fontIds_;         // its fonts in Qt's font database
    QHash<QString, QString> resolved_;
    QHash<QString, TextMetrics> measured_; // by family, size, style and text
    QStringList installedNames_; // the font database's families, read once
};

// The Symbol font's byte code (32..254) as the Unicode character it draws.
char32_t symbolCodeToUnicode(unsigned code);
// A run of Symbol byte codes (each QChar's code unit) as Unicode text.
QString symbolToUnicode(const QString& bytes);

} // namespace course
