// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Internal to the typesetter: the font names and Symbol codes the constructs use (and
// SavedFont, which every construct uses to leave the font as it found it).

#include <engine/textruns/SavedFont.h>

#include <QString>

namespace course::formula {


inline const QString kBodyFont = QStringLiteral("メイリオ");
inline const QString kSymbolFont = QStringLiteral("Symbol");
inline const QString kA = QStringLiteral("A");

// One Symbol byte code as the one-character string the runs take.
inline QString symbolCode(int code) { return QString(QChar(code)); }

// The Symbol font's byte codes the constructs and pages draw, by their names in
// engine/fonts/SymbolCodes.txt.
enum SymbolCode : int {
    kSigma = 229,
    kRadical = 214,
    kPartial = 182,
    kNabla = 209,
    kIntegralTop = 243,
    kIntegralBottom = 245,
    kParenLeftTop = 230,
    kParenLeftBottom = 232,
    kParenRightTop = 246,
    kParenRightBottom = 248,
    kParenLeftExtension = 231,
    kParenRightExtension = 247,
    kBracketLeftExtension = 234,
    kBracketRightExtension = 250,
    kBracketLeftTop = 233,
    kBracketLeftBottom = 235,
    kBracketRightTop = 249,
    kBracketRightBottom = 251,
    // The braces: top, middle and bottom of the left one, the right one's 16 codes
    // further on, and the extension both share.
    kBraceLeftTop = 236,
    kBraceLeftMiddle = 237,
    kBraceLeftBottom = 238,
    kBraceExtension = 239,
    kBraceRightTop = 252,
    kBraceRightMiddle = 253,
    kBraceRightBottom = 254,
};

inline bool isAsciiLetter(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

} // namespace course::formula
