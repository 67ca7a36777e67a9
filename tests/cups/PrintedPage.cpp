// SPDX-License-Identifier: GPL-3.0-or-later
#include "PrintedPage.h"

#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace course::testing {

PdfFacts pdfFacts(const QString& pdf) {
    PdfFacts facts;
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        facts.error = QStringLiteral("pdfinfo %1 failed: %2")
                          .arg(pdf, QString::fromLocal8Bit(p.readAllStandardError()));
        return facts;
    }
    const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
    const auto pages =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
            .match(out);
    const auto size = QRegularExpression(QStringLiteral("^Page size:\\s+([\\d.]+) x ([\\d.]+) pts"),
                                         QRegularExpression::MultilineOption)
                          .match(out);
    if (!pages.hasMatch() || !size.hasMatch()) {
        facts.error = QStringLiteral("unexpected pdfinfo output:\n%1").arg(out);
        return facts;
    }
    facts.pages = pages.captured(1).toInt();
    facts.pageSize = QSizeF(size.captured(1).toDouble(), size.captured(2).toDouble());
    return facts;
}

QImage rasterizePdf(const QString& pdf, double dpi, QString* error) {
    QTemporaryDir dir;
    const QString stem = dir.filePath(QStringLiteral("page"));
    QProcess p;
    p.start(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QString::number(dpi, 'f', 4), QStringLiteral("-f"), QStringLiteral("1"),
             QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf, stem});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        if (error)
            *error =
                QStringLiteral("pdftoppm failed: %1").arg(QString::fromLocal8Bit(p.readAllStandardError()));
        return {};
    }
    QImage img(stem + QStringLiteral(".png"));
    if (img.isNull() && error)
        *error = QStringLiteral("pdftoppm wrote no picture");
    return img.convertToFormat(QImage::Format_RGB32);
}

} // namespace course::testing

namespace course::testing {

InkMap::InkMap(const QImage& img, QPoint origin, QSize size) {
    size_ = size.isEmpty() ? img.size() : size;
    on_.assign(std::size_t(size_.width()) * size_.height(), 0);
    for (int y = 0; y < size_.height(); ++y) {
        const int sy = y + origin.y();
        if (sy < 0 || sy >= img.height())
            continue;
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(sy));
        for (int x = 0; x < size_.width(); ++x) {
            const int sx = x + origin.x();
            if (sx < 0 || sx >= img.width())
                continue;
            // Dark text and lines, and the coloured headings and curves; a lighter
            // pixel is a stroke's antialiased edge, which one renderer may draw where
            // another draws the stroke.
            const QRgb c = line[sx];
            const int lo = std::min({qRed(c), qGreen(c), qBlue(c)});
            on_[std::size_t(y) * size_.width() + x] = lo < 140 ? 2 : lo < 230 ? 1 : 0;
        }
    }
}

bool InkMap::near(int x, int y, int tol) const {
    for (int dy = -tol; dy <= tol; ++dy)
        for (int dx = -tol; dx <= tol; ++dx)
            if (faint(x + dx, y + dy))
                return true;
    return false;
}

std::vector<int> InkMap::rowProfile() const {
    std::vector<int> rows(size_.height(), 0);
    for (int y = 0; y < size_.height(); ++y)
        for (int x = 0; x < size_.width(); ++x)
            rows[y] += at(x, y);
    return rows;
}

namespace {

// Runs of ink along one axis of `r` (columns when alongX): [first, last] pairs
// separated by at least `gap` blank lines.
std::vector<std::pair<int, int>> inkRuns(const InkMap& m, const QRect& r, bool alongX, int gap) {
    std::vector<std::pair<int, int>> runs;
    const int from = alongX ? r.left() : r.top(), to = alongX ? r.right() : r.bottom();
    int first = -1, last = -1;
    for (int i = from; i <= to; ++i) {
        bool ink = false;
        if (alongX)
            for (int y = r.top(); y <= r.bottom() && !ink; ++y)
                ink = m.at(i, y);
        else
            for (int x = r.left(); x <= r.right() && !ink; ++x)
                ink = m.at(x, i);
        if (!ink)
            continue;
        if (first >= 0 && i - last - 1 >= gap) {
            runs.push_back({first, last});
            first = -1;
        }
        if (first < 0)
            first = i;
        last = i;
    }
    if (first >= 0)
        runs.push_back({first, last});
    return runs;
}

// Cuts alternately at blank rows and at gaps of `gap` blank columns until neither
// separates anything more.
void cut(const InkMap& m, const QRect& r, int gap, bool rows, bool otherStuck, std::vector<QRect>& out) {
    const auto runs = inkRuns(m, r, !rows, rows ? 1 : gap);
    if (runs.empty())
        return;
    const int lo = rows ? r.top() : r.left(), hi = rows ? r.bottom() : r.right();
    if (runs.size() == 1 && runs[0].first == lo && runs[0].second == hi) {
        if (otherStuck)
            out.push_back(r);
        else
            cut(m, r, gap, !rows, true, out);
        return;
    }
    for (const auto& [a, b] : runs)
        cut(m,
            rows ? QRect(QPoint(r.left(), a), QPoint(r.right(), b))
                 : QRect(QPoint(a, r.top()), QPoint(b, r.bottom())),
            gap, !rows, false, out);
}

} // namespace

std::vector<QRect> InkMap::pieces(int gap) const {
    std::vector<QRect> out;
    cut(*this, QRect(QPoint(0, 0), size_), gap, true, false, out);
    return out;
}

namespace {

double unmatchedShare(const InkMap& a, const QRect& piece, const InkMap& b, QPoint shift, int tol) {
    int ink = 0, lost = 0;
    for (int y = piece.top(); y <= piece.bottom(); ++y)
        for (int x = piece.left(); x <= piece.right(); ++x) {
            if (!a.at(x, y))
                continue;
            ++ink;
            lost += !b.near(x + shift.x(), y + shift.y(), tol);
        }
    return ink ? double(lost) / ink : 0.0;
}

int inkIn(const InkMap& m, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += m.at(x, y);
    return n;
}

// A piece larger than a tile (a long line, a plot) is looked at tile by tile, so that
// a small part gone wrong is not drowned by the rest; tiles with hardly any ink (the
// cut-off ends of strokes) are left out.
std::vector<QRect> tilesOf(const InkMap& m, const QRect& piece) {
    constexpr int kTile = 64, kMinInk = 30;
    if (piece.width() <= kTile && piece.height() <= kTile)
        return {piece};
    std::vector<QRect> tiles;
    for (int y = piece.top(); y <= piece.bottom(); y += kTile)
        for (int x = piece.left(); x <= piece.right(); x += kTile) {
            const QRect t = QRect(x, y, kTile, kTile) & piece;
            if (inkIn(m, t) >= kMinInk)
                tiles.push_back(t);
        }
    return tiles;
}

void compareOneWay(const InkMap& from, const InkMap& to, QPoint offset, const std::vector<int>& dxChoices,
                   int slack, int gap, bool fromExpected, std::vector<PieceMatch>& out) {
    const QRect inside(QPoint(0, 0), to.size());
    for (const QRect& piece : from.pieces(gap)) {
        for (const QRect& tile : tilesOf(from, piece)) {
            // Only what both pictures can hold: the printed canvas is larger than the
            // visible page.
            if (!inside.contains(tile.translated(offset)))
                continue;
            double best = 1.0;
            for (int dx0 : dxChoices)
                for (int dy = -slack; dy <= slack && best > 0; ++dy)
                    for (int dx = dx0 - slack; dx <= dx0 + slack && best > 0; ++dx)
                        best = std::min(best, unmatchedShare(from, tile, to, offset + QPoint(dx, dy), 1));
            out.push_back({tile, best, fromExpected});
        }
    }
}

} // namespace

std::vector<PieceMatch> comparePieces(const InkMap& expected, const InkMap& actual, QPoint offset,
                                      const std::vector<int>& dxChoices, int slack, int gap) {
    std::vector<PieceMatch> out;
    compareOneWay(expected, actual, offset, dxChoices, slack, gap, true, out);
    std::vector<int> back;
    for (int dx : dxChoices)
        back.push_back(-dx);
    compareOneWay(actual, expected, -offset, back, slack, gap, false, out);
    return out;
}

int bestRowShift(const InkMap& expected, const InkMap& actual, int range) {
    const std::vector<int> a = expected.rowProfile(), b = actual.rowProfile();
    int best = 0;
    long long bestScore = -1;
    for (int s = -range; s <= range; ++s) {
        long long score = 0;
        for (int y = 0; y < int(a.size()); ++y)
            if (y + s >= 0 && y + s < int(b.size()))
                score += std::min(a[y], b[y + s]);
        if (score > bestScore) {
            bestScore = score;
            best = s;
        }
    }
    return best;
}

} // namespace course::testing

namespace course::testing {

QImage withPieceMoved(const QImage& img, const QRect& piece, QPoint by) {
    QImage out = img.copy();
    const QImage part = img.copy(piece);
    QPainter p(&out);
    p.fillRect(piece, Qt::white);
    p.drawImage(piece.topLeft() + by, part);
    return out;
}

} // namespace course::testing
