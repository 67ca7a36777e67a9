// SPDX-License-Identifier: GPL-3.0-or-later
#include "InkAllowlist.h"

#include <QFile>

namespace course::testing {

InkAllowlist InkAllowlist::parse(const QString& text, QString* error) {
    InkAllowlist list;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList f = line.split(QStringLiteral(" | "));
        if (f.size() != 5 || f[4].trimmed().isEmpty()) {
            if (error)
                *error =
                    QStringLiteral("line %1: want \"program | where | first | second | reason\"").arg(i + 1);
            return {};
        }
        list.entries_.push_back(
            {f[0].trimmed(), f[1].trimmed(), f[2].trimmed(), f[3].trimmed(), f[4].trimmed(), int(i + 1)});
    }
    return list;
}

InkAllowlist InkAllowlist::load(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read %1").arg(path);
        return {};
    }
    return parse(QString::fromUtf8(file.readAll()), error);
}

const InkAllowlist::Entry* InkAllowlist::find(const QString& program, const QString& where, const QString& a,
                                              const QString& b) const {
    for (const Entry& e : entries_) {
        if (e.program != program || (e.where != QStringLiteral("*") && e.where != where))
            continue;
        if ((e.first == a && e.second == b) || (e.first == b && e.second == a))
            return &e;
    }
    return nullptr;
}

} // namespace course::testing
