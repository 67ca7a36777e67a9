// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text runs, scripts and the typesetting state shared by the pages of a program.
//
// Every word, symbol and script is placed by hand: a run picks a font, prints its
// string with the top-left corner at (locX, locY) and moves locX to where the string
// ended. Each run restores every font property it changes.

#include <engine/system/Environment.h>
#include <engine/textruns/Palette.h>
#include <engine/textruns/RunStyle.h>
#include <engine/textruns/Surface.h>

#include <QString>

#include <utility>

namespace course {

// What Initialize needs of a window: its background and that of its controls.
class FormTarget {
public:
    virtual ~FormTarget() = default;
    virtual Rgb backColor() const = 0;
    virtual void setBackColor(Rgb c) = 0;
    // Every control except scroll bars, timers, text boxes and line controls.
    virtual void setControlsBackColor(Rgb c) = 0;
    // The fonts the window measures and draws with.
    virtual FontTable& fonts() const = 0;
};

class TextRuns;

// The surface the cursor-level calls draw on. It reads like a pointer (*Pic, Pic->…,
// Pic == &g); only a DrawingScope points it at a surface, and puts it back.
class CurrentSurface {
public:
    CurrentSurface() = default;
    CurrentSurface(const CurrentSurface&) = delete;
    CurrentSurface& operator=(const CurrentSurface&) = delete;

    Surface* get() const { return p_; }
    operator Surface*() const { return p_; }
    Surface& operator*() const { return *p_; }
    Surface* operator->() const { return p_; }

private:
    friend class DrawingScope;
    Surface* p_ = nullptr;
};

// Drawing on a surface as a scoped act: while the scope lives, Pic is `g`; when it
// ends, however it ends (an exception included), Pic and the cursor (CurX, CurY) are
// what they were before. Scopes nest: a handler that runs inside a yield draws in a
// scope of its own and leaves the drawing it interrupted as it found it.
class DrawingScope {
public:
    DrawingScope(TextRuns& runs, Surface& g);
    ~DrawingScope();
    DrawingScope(const DrawingScope&) = delete;
    DrawingScope& operator=(const DrawingScope&) = delete;

private:
    TextRuns& runs_;
    Surface* pic_;
    double curX_;
    double curY_;
};

class TextRuns {
public:
    explicit TextRuns(RunStyle style = {});
    virtual ~TextRuns() = default;

    const RunStyle& style() const { return style_; }

    // Runs `draw` with Pic on `g`, inside a DrawingScope; returns what `draw` returns.
    template <typename Draw>
    decltype(auto) drawOn(Surface& g, Draw&& draw) {
        DrawingScope on(*this, g);
        return std::forward<Draw>(draw)();
    }

    // Engine state.
    CurrentSurface Pic;
    double CharW = 0;
    double CharH = 0;
    double CurX = 0;
    double CurY = 0;
    int LeftMargin = 0;
    int Indent0 = 0;
    int Indent1 = 0;
    int Indent2 = 0;
    int HasBookman = 0; // 0 untested, 1 installed, -1 not
    double SupRaise = 0.2;
    double SupScale = 0.75;
    double SubDrop = 0.3;
    double SubScale = 0.85;
    std::array<Rgb, 16> MyColor{};
    Rgb Blue = RGB(0, 0, 255);
    Rgb Gray = RGB(128, 128, 128);
    Rgb FormBack = 0xFFFFFF;

    // Start-up for a window: Bookman test, palette, backgrounds, script geometry.
    void Initialize(FormTarget& frm);
    void SetMyColor();
    // Whether the table Pic measures with has a font of this exact name.
    bool FontExist(const QString& fName) const;

    // Surface-level runs: (surface, x by reference, top y, text).
    void prnt(Surface& g, const QString& fntName, double& locX, double locY, const QString& strg);
    void dsp1(Surface& g, double& locX, double locY, const QString& strg);
    void dsp(Surface& g, double& x, double y, const QString& msg);
    void dspItalic(Surface& g, double& locX, double locY, const QString& strg);
    void dspCourier(Surface& g, double& locX, double locY, const QString& strg);
    void dspSymbol(Surface& g, double& locX, double locY, const QString& strg);
    void dspSymbolItalic(Surface& g, double& locX, double locY, const QString& strg);
    void dspMSkanji(Surface& g, double& locX, double locY, const QString& strg);
    void sup(Surface& g, double& locX, double locY, const QString& strg);
    void suf(Surface& g, double& locX, double locY, const QString& strg);

    // How far below a cell top given for text of `nominal` points a run in `g`'s current
    // font is set so that it stands on that text's baseline: the body font's baseline at
    // that size. Faces set at another size or with another ascent (the italic letters,
    // Courier names, Symbol signs) are placed by their own ascent, not by the cell top.
    // In the surface's current units.
    double lineDrop(Surface& g, double nominal) const;

    // Ready-made glyphs.
    void dspSq(Surface& g, double& locX, double locY);
    void dspHalf(Surface& g, double& locX, double& locY);
    void dspOmega(Surface& g, double& locX, double locY);
    void dspEps(Surface& g, double& locX, double locY);
    void dspPi(Surface& g, double& locX, double locY);
    void dspD(double& locX, double locY); // on Pic
    void argr(Surface& g, double& locX, double locY);
    void argx(Surface& g, double& locX, double locY);
    void argy(Surface& g, double& locX, double locY);

    // The platform's Str text of a double without surrounding blanks.
    static QString TrimStr(double v);
    static double MaxOf(double a, double b) { return b > a ? b : a; }
    void chime() { env().chime(); }
    void notify() { env().notify(); }

    // Sounds, beep and the end of the program: the environment handed in by the
    // window's main (useEnvironment), else one of the document's own (the desktop's
    // sounds, no beep, End ends the process).
    Environment& env() const { return *env_; }
    void useEnvironment(Environment& e) { env_ = &e; }

protected:
    Surface& pic() const;

private:
    RunStyle style_;
    std::unique_ptr<Environment> ownEnv_ = std::make_unique<Environment>();
    Environment* env_ = ownEnv_.get();
};

// Conversion to the nearest integer with ties to even, as columns are stored.
int nint(double v);

} // namespace course
