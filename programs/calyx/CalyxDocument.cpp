// The calyx document: its window settings and the dispatch to the page procedures.

#include "CalyxDocument.h"

#include <stdexcept>

namespace calyx {

using course::DocumentSettings;

QString programTitle() { return QStringLiteral("ヘリウム原子とハートリー近似"); }

namespace {

DocumentSettings makeSettings() {
    DocumentSettings s;
    s.name = QStringLiteral("calyx");
    s.windowTitle = programTitle();
    s.pages = 4;
    s.pageFontSize = 13;
    s.tagColumns = 50;
    s.labelColor = course::RGB(240, 240, 255);
    s.hasIndent0 = true;
    s.keys = course::KeySet::B;
    s.switching = course::PageSwitching::ShowThisPic;
    s.printCanvasAtStart = true;
    // Closing the window only unloads the print canvas; the window then closes and
    // the program ends with it.
    s.closeOnlyUnloadsCanvas = true;
    s.layout.clientWidth = 11880;
    s.layout.clientHeight = 10860;
    s.layout.page = {195, 585, 11610, 10935};
    s.layout.cmdPrint = {9525, 60, 645, 480};
    s.layout.cmdBack = {10455, 135, 300, 390};
    s.layout.cmdGo = {10935, 150, 300, 390};
    s.layout.title = {2415, 75, 5985, 465};
    return s;
}

} // namespace

CalyxDocument::CalyxDocument() {}

const DocumentSettings& CalyxDocument::settings() const {
    static const DocumentSettings s = makeSettings();
    return s;
}

void CalyxDocument::drawPage(int k) {
    switch (k) {
    case 0: pic0(); break;
    case 1: pic1(); break;
    case 2: pic2(); break;
    case 3: pic3(); break;
    default: throw std::out_of_range("calyx has pages 0 to 3");
    }
}

std::unique_ptr<course::Document> makeDocument() { return std::make_unique<CalyxDocument>(); }

} // namespace calyx
