// SPDX-License-Identifier: GPL-3.0-or-later
// sorrel's message for a run that a guard ended, as written on standard error: English
// for an English terminal, and in Japanese exactly the words the window and the table
// show (which stay Japanese).

#include "FailureNotice.h"

#include <hartree/FailureText.h>

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

using course::Language;
using sorrel::Failure;
using sorrel::RunFailure;

RunFailure failure(Failure why) {
    RunFailure f;
    f.why = why;
    f.Z = 3;
    f.rMax = 8.0;
    f.rMatch = 1.75;
    f.nodes = 2;
    f.eps = 0.25;
    f.limit = 40;
    f.cycle = 5;
    return f;
}

bool hasJapanese(const QString& text) {
    static const QRegularExpression japanese(
        QStringLiteral("[\\x{3000}-\\x{30ff}\\x{4e00}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    return text.contains(japanese);
}

} // namespace

TEST(FailureNotice, JapaneseReadsAsTheWindowAndTheTable) {
    std::vector<RunFailure> cases;
    for (Failure why : {Failure::NodeInOrbital, Failure::UnboundOrbital, Failure::CycleLimit, Failure::InnerStepLimit})
        cases.push_back(failure(why));
    RunFailure hMinus = failure(Failure::UnboundOrbital);
    hMinus.Z = 1; // adds the sentence on H⁻
    cases.push_back(hMinus);
    RunFailure oneNode = failure(Failure::NodeInOrbital);
    oneNode.nodes = 1;
    cases.push_back(oneNode);
    for (const RunFailure& f : cases) {
        const QString table = QString::fromStdString(sorrel::failureMessage(f));
        ASSERT_FALSE(table.isEmpty());
        EXPECT_EQ(sorrel::failureNotice(f, Language::Japanese), table);
    }
    EXPECT_TRUE(sorrel::failureNotice(RunFailure{}, Language::Japanese).isEmpty());
}

TEST(FailureNotice, EnglishHasNoJapaneseAndItsPlurals) {
    EXPECT_EQ(sorrel::failureNotice(failure(Failure::NodeInOrbital), Language::English),
              QStringLiteral("the computation was stopped: The 1s orbital has 2 nodes. It converged to another "
                             "solution that is not 1s. (grid r ≤ 8, matching point r = 1.75)"));
    RunFailure one = failure(Failure::NodeInOrbital);
    one.nodes = 1;
    EXPECT_TRUE(sorrel::failureNotice(one, Language::English).contains(QStringLiteral("has 1 node.")));
    EXPECT_EQ(sorrel::failureNotice(failure(Failure::InnerStepLimit), Language::English),
              QStringLiteral("the computation was stopped: ε₁ₛ of cycle 5 did not converge in 40 steps."));
    RunFailure hMinus = failure(Failure::UnboundOrbital);
    hMinus.Z = 1;
    for (const RunFailure& f : {failure(Failure::CycleLimit), failure(Failure::UnboundOrbital), hMinus}) {
        const QString text = sorrel::failureNotice(f, Language::English);
        EXPECT_TRUE(text.startsWith(QStringLiteral("the computation was stopped: "))) << text.toStdString();
        EXPECT_FALSE(hasJapanese(text)) << text.toStdString();
    }
    EXPECT_TRUE(sorrel::failureNotice(hMinus, Language::English).contains(QStringLiteral("ε₁ₛ = 0.25000 ≥ 0.")));
    // The tests run under C.UTF-8: the terminal's language is English.
    EXPECT_EQ(sorrel::failureNotice(hMinus), sorrel::failureNotice(hMinus, Language::English));
}
