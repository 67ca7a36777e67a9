// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The controls of a paced run, shared by brindle's live page and sorrel: pause and
// resume (key P and a label), a step to the run's next natural boundary (N, → where the
// window leaves it free, and a label; from a running run it stops there), and the speed (the keys [ and ] and two
// labels) through ×¼ … ×16, with a small line that shows the speed and whether the
// run is paused. The chosen speed is kept in the program's settings for its next start.

#include <engine/pacing/PacedClock.h>
#include <engine/shell/ClientControl.h>
#include <engine/shell/CommandTable.h>
#include <engine/shell/Label.h>

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QString>
#include <QWidget>

namespace course {

class RunControls : public QWidget, public ClientControl {
    Q_OBJECT
public:
    // `program` names the settings that keep the chosen speed. The clock must outlive
    // the controls.
    // `fonts` (the window's) must outlive the controls.
    RunControls(FontTable& fonts, PacedClock& clock, const QString& program, QWidget* parent);
    ~RunControls() override;

    // Background of the labels, in the window's own colour.
    void setLabelColor(Rgb c);
    // The controls scale with the window; they are no part of its pictures (a run's
    // buttons, not its drawing), so paintTo paints nothing.
    void placeAt(const QRect& design, double scale) override;
    void paintTo(QPainter&) const override {}

    // The run's commands for the window's table: P and the pause label, N (and → where
    // `stepRight`) and the step label, [ and ] and the speed labels. They act while
    // `enabled` says so (empty: always), also while a key holds the window busy; `where`
    // begins their lines in the overview ("最後のページで").
    std::vector<Command> commands(std::function<bool()> enabled = {}, bool stepRight = true,
                                  const QString& where = {});
    void togglePause();
    void step();
    // The next speed down or up; the choice is kept in the settings.
    void slower();
    void faster();

    Label* pauseLabel() const { return pause_; }
    Label* stepLabel() const { return step_; }
    Label* slowerLabel() const { return slower_; }
    Label* fasterLabel() const { return faster_; }
    QLabel* stateLabel() const { return state_; }

    // "×¼", "×½", "×2", "×2.5": a speed factor as the window shows it.
    static QString speedText(double factor);
    // 「速さ ×2」, 「一時停止中　速さ ×2」.
    static QString stateText(const PacedClock& clock);

private:
    void refresh();
    void remember();

    PacedClock& clock_;
    QString program_;
    Label* pause_;
    Label* step_;
    Label* slower_;
    Label* faster_;
    QLabel* state_;
    QHBoxLayout* buttons_;
    QFont stateFont_;
};

// The speed the user chose last time in `program` (fallback when none or unusable),
// and keeping a new choice. The settings live in the user's configuration folder. A
// kept value off the offered steps (edited by hand) gives the nearest step, and one that
// is no speed at all the fallback, each with a warning on standard error.
double savedSpeed(const QString& program, double fallback = 1.0);
void saveSpeed(const QString& program, double factor);

} // namespace course
