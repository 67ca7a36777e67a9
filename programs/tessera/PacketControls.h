// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The labels of tessera's live page beside the run's controls: switch between the
// Crank–Nicolson and the explicit scheme (E), halve Δt (H) and double it (D). Their
// commands are declared with them, for the window's command table.

#include <engine/shell/ClientControl.h>
#include <engine/shell/CommandTable.h>
#include <engine/shell/Label.h>

#include <QHBoxLayout>
#include <QWidget>

#include <functional>
#include <vector>

namespace course {
class FontTable;
}

namespace tessera {

class PacketControls : public QWidget, public course::ClientControl {
public:
    PacketControls(course::FontTable& fonts, QWidget* parent);

    void setLabelColor(course::Rgb c);
    // Whether the scheme label offers the explicit scheme or the way back.
    void showScheme(bool explicitScheme);
    void placeAt(const QRect& design, double scale) override;
    // Buttons of the run, no part of the page's pictures.
    void paintTo(QPainter&) const override {}

    // The commands "packet-scheme" (E), "packet-dt-half" (H) and "packet-dt-double"
    // (D) with their labels; `where` begins their lines in the overview.
    std::vector<course::Command> commands(std::function<void()> toggleScheme, std::function<void(int)> scaleDt,
                                          std::function<bool()> enabled, const QString& where);

    course::Label* schemeLabel() const { return scheme_; }
    course::Label* halfLabel() const { return half_; }
    course::Label* doubleLabel() const { return double_; }

private:
    course::Label* scheme_;
    course::Label* half_;
    course::Label* double_;
    QHBoxLayout* row_;
};

} // namespace tessera
