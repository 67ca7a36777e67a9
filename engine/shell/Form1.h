// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window of a paged document: the page surfaces, the two arrow labels and
// the print label, keys, printing through the hidden print canvas, and shutdown.

#include <engine/shell/Document.h>
#include <engine/shell/Label.h>
#include <engine/shell/PrintSink.h>
#include <engine/shell/ShellWindow.h>
#include <engine/shell/SurfaceView.h>

#include <QLabel>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

namespace course {

class Form1 : public ShellWindow, private FormTarget {
    Q_OBJECT
public:
    // `fonts` must outlive the window.
    Form1(Document& doc, FontTable& fonts, QWidget* parent = nullptr);
    ~Form1() override;

    // Start-up: colours, print canvas, page surfaces, show, draw every page. A shown
    // window draws its first page before its first frame and the others right after
    // that frame (see drawPendingPages).
    void Form_Load(bool show = true);
    // Draws the pages start-up left for after the first frame; does nothing once they
    // are drawn. Everything that shows, prints, exports or reads a page calls it
    // first, so each page is still drawn once before it is used.
    void drawPendingPages();

    // Navigation, as the arrow labels and keys do it.
    void cmdBack_Click();
    void cmdGo_Click();
    void Backward();
    void Forward();
    void ShowThisPic(int iPicNo);
    // A key press by its virtual-key code (Esc 27, Up 38, '0' 48, …), without
    // modifiers: handed to the window's commands as the key would be.
    void Form_KeyDown(int keyCode);
    void cmdPrint_Click();
    // Prints the main window's own image (F1 and Print in some documents).
    void PrintForm1();

    // The boundary of every event handler of the window: runs `handler`, and when a
    // fault nobody expected ends it (an exception), writes "<program>: <message>" on
    // standard error and shows the message in the status line; the window stays
    // usable. Key presses, label clicks and the start-up all run through it.
    void handle(const std::function<void()>& handler);

    Document& document() { return doc_; }
    FontTable& fonts() const override { return ShellWindow::fonts(); }
    int pageCount() const { return int(pic_.size()); }
    Surface& page(int k) {
        drawPendingPages();
        return pic_.at(k)->surface();
    }
    SurfaceView* pageView(int k) { return pic_.at(k); }
    bool pageVisible(int k) const { return pic_.at(k)->isVisibleTo(this); }
    Label* backLabel() { return cmdBack_; }
    Label* goLabel() { return cmdGo_; }
    Label* printLabel() { return cmdPrint_; }
    Surface* titleBox() { return picTitle_ ? &picTitle_->surface() : nullptr; }
    // The ink of the title (its box or its label) in the client area's design pixels;
    // empty before it is drawn.
    QRectF titleInk() const;
    // The hidden print canvas, created on first use (or at start-up).
    Surface& Form2();
    bool form2Exists() const { return printCanvas_ != nullptr; }
    QString statusMessage() const;

    void setPrintSink(std::unique_ptr<PrintSink> sink) { sink_ = std::move(sink); }
    // Draws a page as it is while printing, on its own surface (export of a page
    // that is only drawn when shown).
    void drawPageForExport(int k);
    // The visible part of a page in logical pixels (the client area cuts it off).
    QSize visiblePageSize() const;

protected:
    void windowClosing(QCloseEvent* e) override;

private:
    Rgb backColor() const override;
    void setBackColor(Rgb c) override;
    void setControlsBackColor(Rgb c) override;

    // The document window's commands: end, the pages, printing.
    void addPageCommands();
    void applyVisibility();
    void applyArrows();
    // One line of page state on standard error, when tracing is switched on.
    void traceState(const char* what) const;
    void showMessage(const QString& text, bool error);
    void unloadForm2();

    Document& doc_;
    const DocumentSettings& settings_;
    std::vector<SurfaceView*> pic_;
    // Pages 0 … pagesToDraw_ - 1 are drawn at start-up, the first pagesDrawn_ of them
    // so far.
    int pagesToDraw_ = 0;
    int pagesDrawn_ = 0;
    bool loadTracePending_ = false;
    Label* cmdBack_ = nullptr;
    Label* cmdGo_ = nullptr;
    Label* cmdPrint_ = nullptr;
    Label* label1_ = nullptr;
    SurfaceView* picTitle_ = nullptr;
    QLabel* status_ = nullptr;
    QTimer statusTimer_;
    // Shared with a print in progress, which keeps its canvas across the yield even
    // when a close request handled there unloads it.
    std::shared_ptr<Surface> printCanvas_;
    std::unique_ptr<PrintSink> sink_;
};

} // namespace course
