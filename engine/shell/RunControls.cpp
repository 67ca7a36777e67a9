// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/shell/RunControls.h>

#include <engine/shell/RunOptions.h>
#include <engine/system/Language.h>
#include <engine/textruns/FontTable.h>

#include <QHBoxLayout>
#include <QPointer>
#include <QSettings>
#include <QVBoxLayout>

#include <cmath>
#include <cstdio>

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
    pause_ = makeLabel(tr("Pause and resume (P). While paused, N goes on to the next boundary"));
    step_ = makeLabel(tr("Go on to the next boundary and stop (N)"));
    step_->setCaption(tr("Step"));
    slower_ = makeLabel(tr("Slower ([)"));
    faster_ = makeLabel(tr("Faster (])"));
    slower_->setCaption(tr("Slower"));
    faster_->setCaption(tr("Faster"));
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

std::vector<Command> RunControls::commands(std::function<bool()> enabled, bool stepRight,
                                           const QString& where) {
    using K = Keystroke;
    std::vector<K> stepKeys{K::plain(Qt::Key_N)};
    if (stepRight)
        stepKeys.push_back(K::plain(Qt::Key_Right));
    auto make = [&](const char* id, std::vector<K> keys, const QString& meaning, void (RunControls::*f)(),
                    Label* label) {
        QPointer<RunControls> self(this);
        return Command{QString::fromLatin1(id), std::move(keys), where + meaning,
                       [self, f](int) {
                           if (self)
                               (self->*f)();
                       },
                       label, false, enabled};
    };
    return {
        make("run-pause", {K::plain(Qt::Key_P)}, tr("Pause / resume the drawing"), &RunControls::togglePause,
             pause_),
        make("run-step", stepKeys, tr("While paused, go on by one boundary"), &RunControls::step, step_),
        make("run-slower", {K::plain(Qt::Key_BracketLeft)}, tr("Draw more slowly"), &RunControls::slower,
             slower_),
        make("run-faster", {K::plain(Qt::Key_BracketRight)}, tr("Draw faster"), &RunControls::faster,
             faster_),
    };
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
    pause_->setCaption(clock_.paused() ? tr("Resume") : tr("Pause"));
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
    const QString speed = tr("Speed %1").arg(speedText(clock.speed()));
    return clock.paused() ? tr("Paused %1").arg(speed) : speed;
}

double savedSpeed(const QString& program, double fallback) {
    const QVariant kept = settingsOf(program).value(kSpeedKey);
    if (!kept.isValid())
        return fallback;
    auto warn = [&program](const QString& text) {
        std::fprintf(stderr, "%s: %s\n", program.toLocal8Bit().constData(), text.toLocal8Bit().constData());
    };
    // Settings are edited by hand too: a value off the offered steps takes the nearest.
    bool ok = false;
    const double f = kept.toDouble(&ok);
    if (!ok || !std::isfinite(f) || !(f > 0)) {
        warn(Catalog::terminal()
                 .translate("course::RunControls", "the saved speed '%1' cannot be used; %2 is used")
                 .arg(kept.toString(), RunControls::speedText(fallback)));
        return fallback;
    }
    const double step = nearestSpeed(f);
    if (step != f)
        warn(Catalog::terminal()
                 .translate("course::RunControls",
                            "the saved speed %1 is not one of the offered speeds; %2 is used")
                 .arg(kept.toString(), RunControls::speedText(step)));
    return step;
}

void saveSpeed(const QString& program, double factor) { settingsOf(program).setValue(kSpeedKey, factor); }

} // namespace course
