// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/shell/CommandTable.h>

#include <engine/shell/Label.h>

#include <QScopedValueRollback>

#include <algorithm>

namespace course {

namespace {
constexpr Qt::KeyboardModifiers kCompared =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

QString baseName(int key) {
    switch (key) {
    case Qt::Key_Escape: return QStringLiteral("Esc");
    case Qt::Key_Up: return QStringLiteral("↑");
    case Qt::Key_Down: return QStringLiteral("↓");
    case Qt::Key_Left: return QStringLiteral("←");
    case Qt::Key_Right: return QStringLiteral("→");
    case Qt::Key_Return:
    case Qt::Key_Enter: return QStringLiteral("Enter");
    case Qt::Key_Backspace: return QStringLiteral("Backspace");
    case Qt::Key_Space: return QStringLiteral("Space");
    case Qt::Key_Home: return QStringLiteral("Home");
    case Qt::Key_End: return QStringLiteral("End");
    case Qt::Key_Print: return QStringLiteral("PrintScreen");
    case Qt::Key_Minus: return QStringLiteral("−");
    default: return QKeySequence(key).toString(QKeySequence::NativeText);
    }
}
} // namespace

bool Keystroke::matches(int k, Qt::KeyboardModifiers mods) const {
    if (k != key)
        return false;
    if (anyModifiers)
        return true;
    Qt::KeyboardModifiers given = mods & kCompared;
    if (anyShift)
        given &= ~Qt::ShiftModifier;
    return given == (modifiers & kCompared);
}

QString Keystroke::name() const {
    QString s;
    if (!anyModifiers) {
        if (modifiers & Qt::ControlModifier)
            s += QStringLiteral("Ctrl + ");
        if (modifiers & Qt::AltModifier)
            s += QStringLiteral("Alt + ");
        if (modifiers & Qt::ShiftModifier)
            s += QStringLiteral("Shift + ");
    }
    return s + baseName(key);
}

QString Command::keyText() const {
    QStringList names;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const Keystroke& k = keys[i];
        if (k.alias)
            continue;
        // Three or more digits in a row are named as a range: "1 … 9".
        std::size_t j = i;
        auto digit = [](const Keystroke& s) { return s.key >= Qt::Key_0 && s.key <= Qt::Key_9 && !s.alias; };
        while (digit(k) && j + 1 < keys.size() && digit(keys[j + 1]) && keys[j + 1].key == keys[j].key + 1)
            ++j;
        if (j >= i + 2) {
            names << k.name() + QStringLiteral(" … ") + keys[j].name();
            i = j;
        } else if (!names.contains(k.name())) {
            names << k.name();
        }
    }
    if (!gesture.isEmpty())
        names << gesture;
    return names.join(QStringLiteral(" / "));
}

void CommandTable::add(Command c, const QString& before) {
    if (c.label) {
        const QString id = c.id;
        c.label->actAsButton();
        connect(c.label, &Label::clicked, this, [this, id] { trigger(id); });
    }
    auto at = std::find_if(commands_.begin(), commands_.end(), [&](const Command& k) { return k.id == before; });
    commands_.insert(at, std::move(c));
}

const Command* CommandTable::find(const QString& id) const {
    for (const Command& c : commands_)
        if (c.id == id)
            return &c;
    return nullptr;
}

const Command* CommandTable::match(int key, Qt::KeyboardModifiers modifiers) const {
    // Keys with their modifiers first, then the ones taken with any modifier: Ctrl + 0
    // is the zoom's even where 0 alone is a command of its own.
    for (const bool loose : {false, true}) {
        for (const Command& c : commands_) {
            if (!c.act || (c.enabled && !c.enabled()))
                continue;
            for (const Keystroke& k : c.keys)
                if (k.anyModifiers == loose && k.matches(key, modifiers))
                    return &c;
        }
    }
    return nullptr;
}

bool CommandTable::dispatch(const QKeyEvent& e) {
    const Command* c = match(e.key(), e.modifiers());
    if (!c)
        return false;
    if (c->guarded && busy_ && *busy_) {
        if (refused_)
            refused_(e.key());
        return true;
    }
    run(*c, e.key(), true);
    return true;
}

bool CommandTable::trigger(const QString& id, int key) {
    const Command* c = find(id);
    if (!c || !c->act || (c->enabled && !c->enabled()))
        return false;
    run(*c, key, false);
    return true;
}

void CommandTable::run(const Command& c, int key, bool fromKey) {
    // A copy: the action may change the table (a window that ends or rebuilds).
    const std::function<void(int)> act = c.act;
    const bool holds = fromKey && c.guarded && busy_;
    auto body = [this, act, key, holds] {
        if (!holds) {
            act(key);
            return;
        }
        QScopedValueRollback<bool> busy(*busy_, true);
        act(key);
    };
    if (boundary_)
        boundary_(body);
    else
        body();
}

std::vector<KeyRow> CommandTable::overview() const {
    std::vector<KeyRow> rows;
    for (const Command& c : commands_) {
        const QString keys = c.keyText();
        if (!keys.isEmpty())
            rows.push_back({keys, c.meaning});
    }
    return rows;
}

} // namespace course
