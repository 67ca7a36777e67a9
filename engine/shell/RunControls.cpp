// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/shell/RunControls.h>

#include <engine/shell/KeyCode.h>
#include <engine/textruns/FontTable.h>

#include <QHBoxLayout>
#include <QSettings>
#include <QVBoxLayout>

#include <cmath>

namespace course {

namespace {
const QString kFont = QStringLiteral("メイリオ");
constexpr double kFontSize = 9.75;
constexpr int kGap = 4; // between the labels, in design pixels
const QString kOrganization = QStringLiteral("quantum-course");
const QString kSpeedKey = QStringLiteral("run/speed");

QSettings settingsOf(const QString& program) { return QSettings(kOrganization, program); }
} // namespace

RunControls::RunControls(FontTable& fonts, PacedClock& clock, const QString& program, QWidget* parent)
    : QWidget(parent), clock_(clock), program_(program) {
    const QFont font = fonts.font(kFont, kFontSize, false, false);
    auto makeLabel = [this, &fonts](const QString& tip) {
        auto* l = new Label(fonts, this, QString(), kFont, kFontSize, Label::Align::Centre);
        l->setMargin(4);
        l->setCursor(Qt::PointingHandCursor);
        l->setToolTip(tip);
        return l;
    };
    pause_ = makeLabel(QStringLiteral("一時停止と再開 (P)。止めている間は N で次の区切りまで進む"));
    step_ = makeLabel(QStringLiteral("次の区切りまで進めて止める (N)"));
    step_->setCaption(QStringLiteral("コマ送り"));
    slower_ = makeLabel(QStringLiteral("遅くする ([)"));
    faster_ = makeLabel(QStringLiteral("速くする (])"));
    slower_->setCaption(QStringLiteral("遅く"));
    faster_->setCaption(QStringLiteral("速く"));
    state_ = new QLabel(this);
    stateFont_ = font;
    state_->setFont(font);
    QPalette pal = state_->palette();
    pal.setColor(QPalette::WindowText, QColor(96, 96, 96));
    state_->setPalette(pal);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(kGap);
    buttons_ = buttons;
    buttons->addWidget(pause_);
    buttons->addWidget(step_);
    buttons->addWidget(slower_);
    buttons->addWidget(faster_);
    buttons->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addLayout(buttons);
    column->addWidget(state_);

    connect(pause_, &Label::clicked, this, &RunControls::togglePause);
    connect(step_, &Label::clicked, this, &RunControls::step);
    connect(slower_, &Label::clicked, this, &RunControls::slower);
    connect(faster_, &Label::clicked, this, &RunControls::faster);
    clock_.setListener([this] { refresh(); });
    refresh();
}

RunControls::~RunControls() { clock_.setListener({}); }

void RunControls::setLabelColor(Rgb c) {
    for (Label* l : {pause_, step_, slower_, faster_})
        l->setBackColor(c);
}

void RunControls::placeAt(const QRect& design, double scale) {
    setGeometry(scaledRect(design, scale));
    buttons_->setSpacing(int(std::lround(kGap * scale)));
    for (Label* l : {pause_, step_, slower_, faster_})
        l->setScale(scale);
    QFont f = stateFont_;
    f.setPointSizeF(f.pointSizeF() * scale);
    state_->setFont(f);
}

bool RunControls::key(int keyCode, bool stepRight) {
    switch (keyCode) {
    case key::P: togglePause(); return true;
    case key::N: step(); return true;
    case key::Right:
        if (!stepRight)
            return false;
        step();
        return true;
    case key::OpenBracket: slower(); return true;
    case key::CloseBracket: faster(); return true;
    default: return false;
    }
}

void RunControls::togglePause() { clock_.togglePause(); }

void RunControls::step() { clock_.step(); }

void RunControls::slower() {
    if (clock_.slower())
        remember();
}

void RunControls::faster() {
    if (clock_.faster())
        remember();
}

void RunControls::remember() { saveSpeed(program_, clock_.speed()); }

void RunControls::refresh() {
    pause_->setCaption(clock_.paused() ? QStringLiteral("再開") : QStringLiteral("一時停止"));
    state_->setText(stateText(clock_));
}

QString RunControls::speedText(double factor) {
    if (factor == 0.25)
        return QStringLiteral("×¼");
    if (factor == 0.5)
        return QStringLiteral("×½");
    return QStringLiteral("×") + QString::number(factor, 'g', 4);
}

QString RunControls::stateText(const PacedClock& clock) {
    const QString speed = QStringLiteral("速さ ") + speedText(clock.speed());
    return clock.paused() ? QStringLiteral("一時停止中　") + speed : speed;
}

double savedSpeed(const QString& program, double fallback) {
    bool ok = false;
    const double f = settingsOf(program).value(kSpeedKey).toDouble(&ok);
    return ok && std::isfinite(f) && f > 0 ? f : fallback;
}

void saveSpeed(const QString& program, double factor) { settingsOf(program).setValue(kSpeedKey, factor); }

} // namespace course
