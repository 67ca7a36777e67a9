// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every document program, and a walk over its pages as the window shows
// them and as they are printed (redrawn on the print canvas with the narrow margin).

#include <engine/shell/Document.h>
#include <engine/shell/EventPump.h>
#include <engine/shell/Form1.h>
#include <engine/shell/PageExport.h>
#include <engine/system/Environment.h>

#include "RecordingSink.h"
#include "TestFonts.h"

#include "tessera/TesseraDocument.h"
#include "quillet/QuilletDocument.h"
#include "brindle/BrindleDocument.h"
#include "oriel/OrielDocument.h"
#include "calyx/CalyxDocument.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <vector>

namespace course::testing {

struct DocumentMaker {
    const char* name;
    std::function<std::unique_ptr<Document>()> make;
};

inline void PrintTo(const DocumentMaker& m, std::ostream* os) { *os << m.name; }

inline std::vector<DocumentMaker> documentMakers() {
    return {{"tessera", [] { return tessera::makeDocument(); }},
            {"quillet", [] { return quillet::makeDocument(); }},
            {"brindle", [] { return brindle::makeDocument(); }},
            {"oriel", [] { return oriel::makeDocument(); }},
            {"calyx", [] { return calyx::makeDocument(); }}};
}

// brindle's live page for each of its other models and angular momenta.
inline std::vector<DocumentMaker> brindleModels() {
    struct Case {
        const char* name;
        brindle::PotentialKind kind;
        int l;
        bool offGrid;
    };
    static constexpr Case kCases[] = {
        {"brindle_coulomb_l0", brindle::PotentialKind::Coulomb, 0, false},
        {"brindle_coulomb_l1", brindle::PotentialKind::Coulomb, 1, false},
        {"brindle_coulomb_l2", brindle::PotentialKind::Coulomb, 2, false},
        {"brindle_well_l0", brindle::PotentialKind::Well, 0, false},
        {"brindle_well_l1", brindle::PotentialKind::Well, 1, false},
        {"brindle_well_l2", brindle::PotentialKind::Well, 2, false},
        {"brindle_well_off_grid_l1", brindle::PotentialKind::Well, 1, true},
        {"brindle_morse_l0", brindle::PotentialKind::Morse, 0, false},
    };
    std::vector<DocumentMaker> makers;
    for (const Case& c : kCases)
        makers.push_back({c.name, [c] { return brindle::makeDocument(1.0, c.l, false, c.kind, c.offGrid); }});
    return makers;
}

// A test for every document (parametrised by its maker): silent, and with the end hook
// taking the requests to end the program.
class EachDocument : public ::testing::TestWithParam<DocumentMaker> {
protected:
    std::unique_ptr<Document> doc;
    std::unique_ptr<Form1> window;

    // The document's window, loaded without being shown, printing into a recording sink.
    Form1& load() {
        doc = GetParam().make();
        doc->useEnvironment(env);
        window = std::make_unique<Form1>(*doc, testFonts());
        window->setPrintSink(std::make_unique<RecordingSink>());
        window->Form_Load(false);
        return *window;
    }
    void SetUp() override {
        env.soundSink = [](Sound) {};
        env.endHook = [] {};
    }
    void TearDown() override {
        window.reset();
        doc.reset();
    }
    // The documents' sounds and end: silent, and End does not end the test program.
    Environment env;
};

// Page k of a loaded window as shown, for every page (those drawn only when shown are
// drawn first, as for an export).
inline void forEachScreenPage(Form1& w, const std::function<void(int, const Surface&)>& visit) {
    completePagesForExport(w);
    for (int k = 0; k < w.pageCount(); ++k)
        visit(k, w.page(k));
}

// Page k as printed: selected without being shown (a live page would run) and printed,
// the print canvas then holding it. The window needs a print sink.
inline void forEachPrintedPage(Form1& w, const std::function<void(int, const Surface&)>& visit) {
    for (int k = 0; k < w.pageCount(); ++k) {
        w.document().CurPic = k;
        w.cmdPrint_Click();
        visit(k, w.Form2());
    }
}

// Every surface of a loaded window a check looks at, under the name it reports:
// "page k" as shown, the "title box" if there is one, "printed page k".
inline void forEachWindowSurface(Form1& w, const std::function<void(const QString&, const Surface&)>& visit) {
    forEachScreenPage(w, [&](int k, const Surface& g) { visit(QStringLiteral("page %1").arg(k), g); });
    if (Surface* title = w.titleBox())
        visit(QStringLiteral("title box"), *title);
    forEachPrintedPage(w, [&](int k, const Surface& g) { visit(QStringLiteral("printed page %1").arg(k), g); });
}

} // namespace course::testing
