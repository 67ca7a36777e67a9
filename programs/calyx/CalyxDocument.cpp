// SPDX-License-Identifier: GPL-3.0-or-later
// The calyx document: its window settings and the dispatch to the page procedures.

#include "CalyxDocument.h"

namespace calyx {

using course::DocumentSettings;

QString programTitle() { return QStringLiteral("ヘリウム原子とハートリー近似"); }

namespace {

// What differs from the defaults: four pages, and closing the window only unloads the
// print canvas (the window then closes and the program ends with it).
const DocumentSettings kSettings{
    .name = QStringLiteral("calyx"),
    .windowTitle = programTitle(),
    .pages = 4,
    .closeOnlyUnloadsCanvas = true,
    // The window design in twips: client area; page; print label; back and go arrows;
    // title.
    // clang-format off
    .layout = {11880, 10860, {195, 585, 11610, 10935}, {9525, 60, 645, 480},
               {10455, 135, 300, 390}, {10935, 150, 300, 390}, {2415, 75, 5985, 465}},
    // clang-format on
};

} // namespace

const DocumentSettings& CalyxDocument::settings() const { return kSettings; }

void CalyxDocument::drawPage(int k) {
    course::drawPageOf(
        *this, k, {&CalyxDocument::pic0, &CalyxDocument::pic1, &CalyxDocument::pic2, &CalyxDocument::pic3});
}

std::unique_ptr<course::Document> makeDocument() { return std::make_unique<CalyxDocument>(); }

} // namespace calyx
