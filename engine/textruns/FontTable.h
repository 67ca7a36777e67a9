#pragma once
// Maps the font names the pages ask for ("メイリオ", "Symbol", …) to fonts installed
// on a Debian desktop, and turns those names into QFonts laid out at 96 logical dpi.

#include <QFont>
#include <QString>
#include <QStringList>

namespace course {

struct FontStandIn {
    QString requested;    // the name the programs use
    QStringList families; // installed families to use, best first
};

class FontTable {
public:
    // The one substitution table of the engine.
    static const QList<FontStandIn>& standIns();

    // Loads the fonts derived at build time (Unicode Symbol font, Japanese body font
    // with a clean PDF text map) from the data folder beside the program. Safe to call
    // more than once.
    static void loadDerivedFonts();

    // The installed family that draws `requested`; names without a stand-in pass
    // through unchanged, as the platform's font mapper would take them.
    static QString familyFor(const QString& requested);

    // True when a font of exactly this name (case-sensitive) is installed, or the
    // stand-in declared for exactly this name is.
    static bool fontExist(const QString& name);

    // True when runs in `requested` carry Symbol byte codes that must be translated
    // to Unicode before drawing (the derived Unicode Symbol font is in use).
    static bool translatesSymbolCodes(const QString& requested);

    // A font of `points` at 96 logical dpi for a device of `deviceDpi`: drawn through a
    // painter that maps logical pixels to device pixels, it has the layout size.
    static QFont makeFont(const QString& requested, double points, bool bold, bool italic,
                          double deviceDpi = 96.0);
};

// The Symbol font's byte code (32..254) as the Unicode character it draws.
char32_t symbolCodeToUnicode(unsigned code);
// A run of Symbol byte codes (each QChar's code unit) as Unicode text.
QString symbolToUnicode(const QString& bytes);

} // namespace course
