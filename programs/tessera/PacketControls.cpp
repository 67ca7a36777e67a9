// SPDX-License-Identifier: GPL-3.0-or-later
#include "PacketControls.h"

#include <engine/textruns/FontTable.h>

#include <QCoreApplication>

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
    scheme_ =
        makeLabel(QString(), QCoreApplication::translate("tessera::PacketControls",
                                                         "Switch between the explicit and the Crank–Nicolson "
                                                         "scheme and compute again (E)"));
    half_ = makeLabel(
        QStringLiteral("⊿t ×½"),
        QCoreApplication::translate("tessera::PacketControls", "Halve the time step and compute again (H)"));
    double_ = makeLabel(
        QStringLiteral("⊿t ×2"),
        QCoreApplication::translate("tessera::PacketControls", "Double the time step and compute again (D)"));
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
    scheme_->setCaption(explicitScheme
                            ? QCoreApplication::translate("tessera::PacketControls", "Back to Crank–Nicolson")
                            : QCoreApplication::translate("tessera::PacketControls", "Explicit scheme"));
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
        {QStringLiteral("packet-scheme"),
         {K::plain(Qt::Key_E)},
         where + QCoreApplication::translate(
                     "tessera::PacketControls",
                     "Switch to the explicit / the Crank–Nicolson scheme and compute again"),
         [toggleScheme](int) { toggleScheme(); },
         scheme_,
         false,
         enabled},
        {QStringLiteral("packet-dt-half"),
         {K::plain(Qt::Key_H)},
         where + QCoreApplication::translate("tessera::PacketControls", "Halve ⊿t and compute again"),
         [scaleDt](int) { scaleDt(-1); },
         half_,
         false,
         enabled},
        {QStringLiteral("packet-dt-double"),
         {K::plain(Qt::Key_D)},
         where + QCoreApplication::translate("tessera::PacketControls", "Double ⊿t and compute again"),
         [scaleDt](int) { scaleDt(+1); },
         double_,
         false,
         enabled},
    };
}

} // namespace tessera
