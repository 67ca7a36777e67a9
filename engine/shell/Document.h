// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A paged explanation document: the program's page procedures plus the state the
// shell shares with them. Page procedures are member functions of a Document, so
// they write like the course's cursor scripts: ds(...), it(...), NewLine(), with
// Pic, CurX, CurY, CharW, CharH, TagCol and Printing at hand.

#include <engine/formula/Typesetter.h>
#include <engine/textruns/Units.h>

#include <QRect>
#include <QString>

#include <stdexcept>
#include <initializer_list>

namespace course {

class CommandTable;
class Form1;

enum class KeySet { A, B, C };
enum class PageSwitching { Inline, ShowThisPic };

// Window design in twips, as laid out.
struct TwipsRect {
    int left = 0, top = 0, width = 0, height = 0;
    QRect pixels() const {
        constexpr int t = units::kTwipsPerPixel;
        return QRect(left / t, top / t, width / t, height / t);
    }
};

struct DocumentLayout {
    int clientWidth = 11880;
    int clientHeight = 10860;
    TwipsRect page;
    TwipsRect cmdPrint;
    TwipsRect cmdBack;
    TwipsRect cmdGo;
    TwipsRect title;
    bool titleBox = false; // the title is drawn on a picture box instead of a label
};

struct DocumentSettings {
    QString name;        // program name, used for printed and exported files
    QString windowTitle; // caption of the window and of the title label
    int pages = 3;
    double pageFontSize = 13;
    double tagColumns = 50; // TagCol = nint(tagColumns·CharW + LeftMargin)
    Rgb labelColor = RGB(240, 240, 255);
    bool hasIndent0 = true;
    KeySet keys = KeySet::B;
    PageSwitching switching = PageSwitching::ShowThisPic;
    bool lastPageDrawnWhenShown = false; // redrawn (and recomputed) every time it is shown
    bool printCanvasAtStart = true;      // else created on first use
    bool clearCanvasBeforePrint = false;
    bool closeOnlyUnloadsCanvas = false; // closing lets the window close instead of ending
    bool printKeysPrintWindow = false;   // F1 and Print print the main window's image
    DocumentLayout layout;
};

class Document : public Typesetter {
public:
    explicit Document(RunStyle style = {}) : Typesetter(std::move(style)) {}

    virtual const DocumentSettings& settings() const = 0;
    // Draws page k (pic0 … pic3) onto Pic.
    virtual void drawPage(int k) = 0;
    // Draws page k on `g`, Pic and the cursor put back afterwards. A page the
    // document does not have is refused with std::out_of_range, in every program.
    void drawPageOn(Surface& g, int k) {
        requirePage(k);
        drawOn(g, [&] { drawPage(k); });
    }
    // Throws std::out_of_range unless the document has page k.
    void requirePage(int k) const {
        if (k < 0 || k >= settings().pages)
            throw std::out_of_range(QStringLiteral("%1 has no page %2 (its pages are 0 to %3)")
                                        .arg(settings().name)
                                        .arg(k)
                                        .arg(settings().pages - 1)
                                        .toStdString());
    }
    // Draws the title on the title box (documents with one), Pic being that box.
    virtual void drawTitleBox() {}
    // The document's own commands, added to the window's table after the page keys
    // (the window's labels exist; controls the document makes later add theirs then).
    virtual void addCommands(CommandTable&, Form1&) {}
    // Start-up has made the window's controls; a document may add its own.
    virtual void windowLoaded(Form1&) {}

    // Shell state the page procedures read.
    int CurPic = 0;
    double PageFontSize = 13;
    int TagCol = 0;
    int Printing = 0;
    bool KeyBusy = false;
};

// drawPage of a document whose page procedures are `pages` (pic0, pic1, …): page k is
// drawn by the k-th; a page the document does not have is refused (requirePage).
template <class D>
void drawPageOf(D& doc, int k, std::initializer_list<void (D::*)()> pages) {
    if (k < 0 || k >= int(pages.size()))
        doc.requirePage(-1); // throws std::out_of_range, naming the pages there are
    (doc.*pages.begin()[k])();
}

} // namespace course
