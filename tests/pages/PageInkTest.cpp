// SPDX-License-Identifier: GPL-3.0-or-later
// Ink collisions on every page of every document, as shown and as printed, and on
// sorrel's finished window: no two items of different drawing calls may touch or come
// closer than the gap, except the pieces of a construct that are meant to join and the
// few contacts the allowlist keeps with a reason.

#include "InkAllowlist.h"
#include "InkCheck.h"
#include "PageWalk.h"
#include "RecordingSink.h"
#include "TestFonts.h"
#include <engine/shell/EventPump.h>
#include <engine/sounds/Sounds.h>

#include "SorrelWalk.h"

#include <gtest/gtest.h>

#include <iostream>
#include <set>

using course::testing::testFonts;
using namespace course;
using namespace course::testing;

namespace {

// Programs whose pages must be free of unexpected contacts. The others are reported
// and skipped until their pages are mended.
const std::set<std::string> kEnforced = {"tessera", "quillet", "brindle", "oriel", "calyx", "sorrel"};

struct Tally {
    int unexpected = 0, byConstruct = 0, allowed = 0;
    void add(const Tally& t) {
        unexpected += t.unexpected;
        byConstruct += t.byConstruct;
        allowed += t.allowed;
    }
    std::string line() const {
        return "ink collisions: " + std::to_string(unexpected) + " unexpected, " +
               std::to_string(byConstruct) + " by construct, " + std::to_string(allowed) + " allowed";
    }
};

Tally& total() {
    static Tally t;
    return t;
}

// Prints the summary of the whole run after the last test.
struct SummaryAtEnd : ::testing::Environment {
    void TearDown() override { std::cout << "all programs: " << total().line() << "\n"; }
};
[[maybe_unused]] const auto* const kSummary = ::testing::AddGlobalTestEnvironment(new SummaryAtEnd);

const InkAllowlist& allowlist() {
    static const InkAllowlist list = [] {
        QString error;
        InkAllowlist l = InkAllowlist::load(QStringLiteral(INK_ALLOWLIST), &error);
        if (!error.isEmpty())
            ADD_FAILURE() << "allowlist: " << error.toStdString();
        return l;
    }();
    return list;
}

// Checks surfaces of one program, keeps the count and the report of what is unexpected.
class InkAudit {
public:
    explicit InkAudit(QString program) : program_(std::move(program)) {}

    void check(const QString& where, const Surface& g) {
        for (const InkContact& c : inkContacts(g)) {
            if (!c.construct.isEmpty()) {
                ++tally_.byConstruct;
                continue;
            }
            if (allowlist().find(program_, where, c.firstLabel, c.secondLabel)) {
                ++tally_.allowed;
                continue;
            }
            ++tally_.unexpected;
            report_ += QStringLiteral("%1 %2: %3 and %4 at (%5, %6), %7\n")
                           .arg(program_, where, c.firstLabel, c.secondLabel)
                           .arg(c.where.at.x(), 0, 'f', 1)
                           .arg(c.where.at.y(), 0, 'f', 1)
                           .arg(c.where.distance == 0
                                    ? QStringLiteral("overlapping")
                                    : QStringLiteral("%1 px apart").arg(c.where.distance, 0, 'f', 2));
        }
    }

    // Prints the report and the summary; fails on unexpected contacts when enforced.
    void finish() {
        total().add(tally_);
        std::cout << report_.toStdString() << program_.toStdString() << ": " << tally_.line() << "\n";
        if (tally_.unexpected == 0)
            return;
        if (kEnforced.count(program_.toStdString()) || program_.startsWith(QStringLiteral("brindle_")))
            ADD_FAILURE() << tally_.unexpected << " unexpected ink collisions (listed above)";
        else
            GTEST_SKIP() << "not enforced yet for " << program_.toStdString();
    }

private:
    QString program_;
    Tally tally_;
    QString report_;
};

class PageInkOf : public course::testing::EachDocument {};

} // namespace

TEST_P(PageInkOf, Pages) {
    Form1& w = load();
    InkAudit audit(QString::fromUtf8(GetParam().name));
    forEachWindowSurface(w, [&](const QString& where, const Surface& g) { audit.check(where, g); });
    audit.finish();
}

INSTANTIATE_TEST_SUITE_P(PageInk, PageInkOf, ::testing::ValuesIn(documentMakers()),
                         [](const ::testing::TestParamInfo<DocumentMaker>& info) {
                             return std::string(info.param.name);
                         });

INSTANTIATE_TEST_SUITE_P(BrindleModels, PageInkOf, ::testing::ValuesIn(brindleModels()),
                         [](const ::testing::TestParamInfo<DocumentMaker>& info) {
                             return std::string(info.param.name);
                         });

TEST(PageInkSorrel, FinalWindow) {
    InkAudit audit(QStringLiteral("sorrel"));
    forEachFinishedSorrelSurface([&](const QString& where, const Surface& g) { audit.check(where, g); });
    audit.finish();
}
