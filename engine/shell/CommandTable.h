// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The commands of one window, each declared once: the keys that give it, what it does,
// the label that gives it too, its line in the key overview, and whether the window's
// busy flag (KeyBusy) guards it. Key dispatch, label clicks and the overview are all
// read from this one table, so a key that acts is always listed, and a listed key acts.

#include <engine/shell/KeyOverlay.h>

#include <QKeyEvent>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <vector>

namespace course {

class Label;

// One key of a command. Modifiers must match exactly, except that Shift is ignored
// where `anyShift` is set (keys whose character needs Shift on some layouts: +, ?, ')')
// and every modifier is ignored where `anyModifiers` is set (the page keys, which the
// documents have always taken with or without modifiers). An `alias` is dispatched but
// not named in the overview (the keypad's Enter beside Return).
struct Keystroke {
    int key = 0; // Qt::Key
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    bool anyShift = false;
    bool anyModifiers = false;
    bool alias = false;

    static Keystroke plain(int key) { return {key, Qt::NoModifier, false, true, false}; }
    static Keystroke ctrl(int key) { return {key, Qt::ControlModifier, true, false, false}; }
    Keystroke hidden() const {
        Keystroke k = *this;
        k.alias = true;
        return k;
    }
    bool matches(int key, Qt::KeyboardModifiers modifiers) const;
    // "Ctrl + C", "↑", "Esc": how the overview names it.
    QString name() const;
};

struct Command {
    QString id;                          // names the command for tests and assistive technology
    std::vector<Keystroke> keys;         // may be empty (a label only, or a gesture)
    QString meaning;                     // the overview's text, in the reader's language
    std::function<void(int key)> act;    // the Qt key that gave it, or 0 for a label click
    Label* label = nullptr;              // a click on it does the same
    bool guarded = false;                // refused while the window is busy; busy while it runs
    std::function<bool()> enabled = {};  // empty: always; else whether the keys act now
    QString gesture = {};                // what the overview names besides the keys ("Ctrl + ホイール")

    // The overview's key column: the keys' names, then the gesture.
    QString keyText() const;
};

class CommandTable : public QObject {
    Q_OBJECT
public:
    explicit CommandTable(QObject* parent = nullptr) : QObject(parent) {}

    // Adds a command before the one named `before` (at the end when there is none;
    // dispatch asks them in this order) and connects its label.
    void add(Command c, const QString& before = {});
    const std::vector<Command>& commands() const { return commands_; }
    const Command* find(const QString& id) const;

    // The busy flag that guarded commands respect and hold (a document's KeyBusy); null:
    // nothing is guarded.
    void setBusyFlag(bool* flag) { busy_ = flag; }
    // Runs every action (the window's handler boundary, which reports faults).
    void setBoundary(std::function<void(const std::function<void()>&)> boundary) {
        boundary_ = std::move(boundary);
    }
    // Called with the key of a guarded command refused while busy.
    void setRefusedHook(std::function<void(int key)> hook) { refused_ = std::move(hook); }

    // The command a key gives now (enabled, whether or not the window is busy), or null.
    const Command* match(int key, Qt::KeyboardModifiers modifiers) const;
    // A key press: true when a command took it (acted, or was refused while busy).
    bool dispatch(const QKeyEvent& e);
    // Does what the command does, as its label or key would (false: no such command, or
    // not enabled now).
    bool trigger(const QString& id, int key = 0);

    // The overview's rows, one per command that has keys or a gesture.
    std::vector<KeyRow> overview() const;

private:
    void run(const Command& c, int key, bool fromKey);

    std::vector<Command> commands_;
    bool* busy_ = nullptr;
    std::function<void(const std::function<void()>&)> boundary_;
    std::function<void(int)> refused_;
};

} // namespace course
