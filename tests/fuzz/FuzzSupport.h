// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the parser fuzzers share: a GUI application on the offscreen platform (the
// runs measure text through Qt's font machinery), a check that stops the run with a
// message libFuzzer reports as a crash, and the state of a surface that every run
// must leave as it found it.

#include <engine/system/DataFolder.h>
#include <engine/textruns/Surface.h>

#include <QGuiApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace course::fuzz {

inline QGuiApplication*& application() {
    static QGuiApplication* app = nullptr;
    return app;
}

// The fonts every run measures with (the data folder beside the fuzzer), made after
// the application and deleted before it.
inline FontTable*& fontTable() {
    static FontTable* table = nullptr;
    return table;
}
inline FontTable& fonts() { return *fontTable(); }

// libFuzzer leaves through exit(). The application has to be deleted then (or the
// leak check reports what it holds) and before the font caches Qt sets up on first
// use are destroyed: a handler registered after their set-up runs before that.
inline void startApplication() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    application() = new QGuiApplication(argc, argv);
    fontTable() = new FontTable(DataFolder::path());
    Surface warmUp(fonts());
    warmUp.TextWidth(QStringLiteral("A"));
    std::atexit([] {
        delete fontTable();
        fontTable() = nullptr;
        delete application();
        application() = nullptr;
    });
}

[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

inline void check(bool ok, const char* what) {
    if (!ok)
        fail(what);
}

struct FontState {
    QString name;
    double size;
    bool bold, italic;
    Rgb color;
    explicit FontState(const Surface& g)
        : name(g.FontName), size(g.FontSize), bold(g.FontBold), italic(g.FontItalic), color(g.ForeColor) {}
    bool operator==(const FontState& o) const {
        return name == o.name && size == o.size && bold == o.bold && italic == o.italic && color == o.color;
    }
};

// Reads the input front to back: selector bytes first, then text.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}
    std::uint8_t byte() { return p_ < end_ ? *p_++ : 0; }
    bool atEnd() const { return p_ >= end_; }
    // The rest up to `separator` (or the end), as UTF-8; the separator is consumed.
    QString text(char separator) {
        const std::uint8_t* start = p_;
        while (p_ < end_ && *p_ != std::uint8_t(separator))
            ++p_;
        const QString s = QString::fromUtf8(reinterpret_cast<const char*>(start), p_ - start);
        if (p_ < end_)
            ++p_;
        return s;
    }
    // All the rest, as UTF-8.
    QString rest() {
        const QString s = QString::fromUtf8(reinterpret_cast<const char*>(p_), end_ - p_);
        p_ = end_;
        return s;
    }

private:
    const std::uint8_t* p_;
    const std::uint8_t* end_;
};

} // namespace course::fuzz
