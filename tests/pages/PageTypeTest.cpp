// SPDX-License-Identifier: GPL-3.0-or-later
// Typographic faults on every page of every document, as shown and as printed, and on
// sorrel's finished window: one minus glyph on the math axis, bars of one stroke on
// whole pixels, runs of a line on one baseline, scripts clear of their base and of bars,
// brackets, braces, radicals and fraction bars that span what they enclose, plot labels
// clear of the plot's strokes. Each fault is listed with its page, its text and what
// was measured; the few kept on purpose are in the allowlist with their reasons.

#include "InkAllowlist.h"
#include "PageWalk.h"
#include "TypeCheck.h"

#include "SorrelWalk.h"

#include <gtest/gtest.h>

#include <iostream>

using course::testing::testFonts;
using namespace course;
using namespace course::testing;

namespace {

struct Tally {
    int faults = 0, allowed = 0;
    void add(const Tally& t) {
        faults += t.faults;
        allowed += t.allowed;
    }
    std::string line() const {
        return "typography: " + std::to_string(faults) + " faults, " + std::to_string(allowed) + " allowed";
    }
};

Tally& total() {
    static Tally t;
    return t;
}

struct SummaryAtEnd : ::testing::Environment {
    void TearDown() override { std::cout << "all programs: " << total().line() << "\n"; }
};
[[maybe_unused]] const auto* const kSummary = ::testing::AddGlobalTestEnvironment(new SummaryAtEnd);

// Entries: program | where | rule | item | reason.
const InkAllowlist& allowlist() {
    static const InkAllowlist list = [] {
        QString error;
        InkAllowlist l = InkAllowlist::load(QStringLiteral(TYPE_ALLOWLIST), &error);
        if (!error.isEmpty())
            ADD_FAILURE() << "allowlist: " << error.toStdString();
        return l;
    }();
    return list;
}

class TypeAudit {
public:
    explicit TypeAudit(QString program) : program_(std::move(program)) {}

    void check(const QString& where, const Surface& g) {
        for (const TypeFault& f : typeFaults(g)) {
            if (allowlist().find(program_, where, f.rule, f.item)) {
                ++tally_.allowed;
                continue;
            }
            ++tally_.faults;
            report_ += QStringLiteral("%1 %2: %3 %4: %5\n").arg(program_, where, f.rule, f.item, f.measure);
        }
    }

    void finish() {
        total().add(tally_);
        std::cout << report_.toStdString() << program_.toStdString() << ": " << tally_.line() << "\n";
        EXPECT_EQ(tally_.faults, 0) << "typographic faults (listed above)";
    }

private:
    QString program_;
    Tally tally_;
    QString report_;
};

class PageTypeOf : public EachDocument {};

} // namespace

TEST_P(PageTypeOf, Pages) {
    Form1& w = load();
    TypeAudit audit(QString::fromUtf8(GetParam().name));
    forEachWindowSurface(w, [&](const QString& where, const Surface& g) { audit.check(where, g); });
    audit.finish();
}

INSTANTIATE_TEST_SUITE_P(PageType, PageTypeOf, ::testing::ValuesIn(documentMakers()),
                         [](const ::testing::TestParamInfo<DocumentMaker>& info) {
                             return std::string(info.param.name);
                         });

INSTANTIATE_TEST_SUITE_P(BrindleModels, PageTypeOf, ::testing::ValuesIn(brindleModels()),
                         [](const ::testing::TestParamInfo<DocumentMaker>& info) {
                             return std::string(info.param.name);
                         });

TEST(PageTypeSorrel, FinalWindow) {
    TypeAudit audit(QStringLiteral("sorrel"));
    forEachFinishedSorrelSurface([&](const QString& where, const Surface& g) { audit.check(where, g); });
    audit.finish();
}
