// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick of scripts/measure-startup.sh: a Qt window showing one label, with
// nothing of the course engine, so the programs' start-up is compared with what Qt
// itself costs on the same display.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Quantum course"));
    label.resize(792, 724);
    label.show();
    return app.exec();
}
