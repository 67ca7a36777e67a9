#pragma once
// Internal helpers of the typesetter: a guard that puts a surface's font back, and
// the font names and Symbol codes the constructs use.

#include "Surface.h"

#include <QString>

namespace course::formula {

// Restores name, size, bold and italic of a surface when it goes out of scope.
class FontKeep {
public:
    explicit FontKeep(Surface& g)
        : g_(g), name_(g.FontName), size_(g.FontSize), bold_(g.FontBold), italic_(g.FontItalic) {}
    ~FontKeep() {
        g_.FontName = name_;
        g_.FontSize = size_;
        g_.FontBold = bold_;
        g_.FontItalic = italic_;
    }
    FontKeep(const FontKeep&) = delete;
    FontKeep& operator=(const FontKeep&) = delete;
    double size() const { return size_; }

private:
    Surface& g_;
    QString name_;
    double size_;
    bool bold_;
    bool italic_;
};

inline const QString kBodyFont = QStringLiteral("メイリオ");
inline const QString kSymbolFont = QStringLiteral("Symbol");
inline const QString kA = QStringLiteral("A");

// One Symbol byte code as the one-character string the runs take.
inline QString symbolCode(int code) { return QString(QChar(code)); }

enum SymbolCode : int {
    kSigma = 229,
    kRadical = 214,
    kPartial = 182,
    kIntegralTop = 243,
    kIntegralBottom = 245,
    kParenLeftTop = 230,
    kParenLeftBottom = 232,
    kParenRightTop = 246,
    kParenRightBottom = 248,
    kBracketLeftTop = 233,
    kBracketLeftBottom = 235,
    kBracketRightTop = 249,
    kBracketRightBottom = 251,
};

inline bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

} // namespace course::formula
