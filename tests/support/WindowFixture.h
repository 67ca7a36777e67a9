// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A document's main window for tests: loaded without being shown, printing into a
// recording sink, with the end hook counting the requests to end the program.

#include "RecordingSink.h"
#include "TestFonts.h"

#include <engine/shell/EventPump.h>
#include <engine/shell/Form1.h>

#include <gtest/gtest.h>

#include <memory>

namespace course::testing {

template <class Doc>
struct WindowFixture : ::testing::Test {
    std::unique_ptr<Doc> doc;
    std::unique_ptr<Form1> w;
    RecordingSink* sink = nullptr;
    int ends = 0;

    // Loads the window on `d`, shown or (by default) not.
    void open(std::unique_ptr<Doc> d, bool shown = false) {
        doc = std::move(d);
        w = std::make_unique<Form1>(*doc, testFonts());
        auto rs = std::make_unique<RecordingSink>();
        sink = rs.get();
        w->setPrintSink(std::move(rs));
        doc->env().endHook = [this] { ++ends; };
        w->Form_Load(shown);
    }
    void TearDown() override { w.reset(); }

    bool back() const { return w->backLabel()->isVisibleTo(w.get()); }
    bool go() const { return w->goLabel()->isVisibleTo(w.get()); }
    // The one visible page (a failure when two are visible), or -1.
    int visiblePage() const {
        int found = -1;
        for (int k = 0; k < w->pageCount(); ++k)
            if (w->pageVisible(k)) {
                EXPECT_EQ(found, -1) << "two pages visible";
                found = k;
            }
        return found;
    }
    // Page `page` is the one shown, with the back and go arrows as given.
    ::testing::AssertionResult showing(int page, bool backArrow, bool goArrow) const {
        const int shown = visiblePage();
        if (shown == page && back() == backArrow && go() == goArrow)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "page " << shown << " shown, back " << back() << ", go " << go() << "; wanted page " << page
               << ", back " << backArrow << ", go " << goArrow;
    }
    // Prints page k and returns the canvas it was drawn on.
    Surface& printed(int k) {
        w->ShowThisPic(k);
        w->cmdPrint_Click();
        return w->Form2();
    }
};

} // namespace course::testing
