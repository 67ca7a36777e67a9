#pragma once
// Text runs, scripts and the typesetting state shared by the pages of a program.
//
// Every word, symbol and script is placed by hand: a run picks a font, prints its
// string with the top-left corner at (locX, locY) and moves locX to where the string
// ended. Each run restores every font property it changes.

#include <course/textruns/Palette.h>
#include <course/textruns/Sounds.h>
#include <course/textruns/RunStyle.h>
#include <course/textruns/Surface.h>

#include <QString>

namespace course {

// What Initialize needs of a window: its background and that of its controls.
class FormTarget {
public:
    virtual ~FormTarget() = default;
    virtual Rgb backColor() const = 0;
    virtual void setBackColor(Rgb c) = 0;
    // Every control except scroll bars, timers, text boxes and line controls.
    virtual void setControlsBackColor(Rgb c) = 0;
};

class TextRuns {
public:
    explicit TextRuns(RunStyle style = {});
    virtual ~TextRuns() = default;

    const RunStyle& style() const { return style_; }

    // Engine state.
    Surface* Pic = nullptr;
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
    static bool FontExist(const QString& fName);

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
    static void chime() { Sounds::chime(); }
    static void notify() { Sounds::notify(); }

protected:
    Surface& pic() const;

private:
    RunStyle style_;
};

// Conversion to the nearest integer with ties to even, as columns are stored.
int nint(double v);

} // namespace course
