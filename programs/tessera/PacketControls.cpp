// SPDX-License-Identifier: GPL-3.0-or-later
#include "PacketControls.h"

#include <engine/textruns/FontTable.h>

#include <cmath>

namespace tessera {

namespace {
const QString kFont = QStringLiteral("メイリオ");
constexpr double kFontSize = 9.75;
constexpr int kGap = 4; // between the labels, in design pixels
} // namespace

PacketControls::PacketControls(course::FontTable& fonts, QWidget* parent) : QWidget(parent) {
    auto makeLabel = [this, &fonts](const QString& caption, const QString& tip) {
        auto* l = new course::Label(fonts, this, caption, kFont, kFontSize, course::Label::Align::Centre);
        l->setMargin(4);
        l->setCursor(Qt::PointingHandCursor);
        l->setToolTip(tip);
        return l;
    };
    scheme_ = makeLabel(QString(), QStringLiteral("陽解法とクランク・ニコルソン法を切り替えて計算し直す (E)"));
    half_ = makeLabel(QStringLiteral("⊿t ×½"), QStringLiteral("時間の刻みを半分にして計算し直す (H)"));
    double_ = makeLabel(QStringLiteral("⊿t ×2"), QStringLiteral("時間の刻みを 2 倍にして計算し直す (D)"));
    showScheme(false);
    row_ = new QHBoxLayout(this);
    row_->setContentsMargins(0, 0, 0, 0);
    row_->setSpacing(kGap);
    row_->addStretch(1);
    row_->addWidget(scheme_);
    row_->addWidget(half_);
    row_->addWidget(double_);
}

void PacketControls::setLabelColor(course::Rgb c) {
    for (course::Label* l : {scheme_, half_, double_})
        l->setBackColor(c);
}

void PacketControls::showScheme(bool explicitScheme) {
    scheme_->setCaption(explicitScheme ? QStringLiteral("クランク・ニコルソン法に戻す")
                                       : QStringLiteral("陽解法にする"));
}

void PacketControls::placeAt(const QRect& design, double scale) {
    setGeometry(course::scaledRect(design, scale));
    row_->setSpacing(int(std::lround(kGap * scale)));
    for (course::Label* l : {scheme_, half_, double_})
        l->setScale(scale);
}

std::vector<course::Command> PacketControls::commands(std::function<void()> toggleScheme,
                                                      std::function<void(int)> scaleDt,
                                                      std::function<bool()> enabled, const QString& where) {
    using K = course::Keystroke;
    return {
        {QStringLiteral("packet-scheme"), {K::plain(Qt::Key_E)},
         where + QStringLiteral("陽解法 / クランク・ニコルソン法に切り替えて計算し直す"),
         [toggleScheme](int) { toggleScheme(); }, scheme_, false, enabled},
        {QStringLiteral("packet-dt-half"), {K::plain(Qt::Key_H)}, where + QStringLiteral("⊿t を半分にして計算し直す"),
         [scaleDt](int) { scaleDt(-1); }, half_, false, enabled},
        {QStringLiteral("packet-dt-double"), {K::plain(Qt::Key_D)},
         where + QStringLiteral("⊿t を 2 倍にして計算し直す"), [scaleDt](int) { scaleDt(+1); }, double_, false,
         enabled},
    };
}

} // namespace tessera
