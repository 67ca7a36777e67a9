// SPDX-License-Identifier: GPL-3.0-or-later
// The speed of a paced run is one of the offered steps, ×¼ … ×16, whether it comes from
// the command line (anything else is refused) or from the settings (the nearest step,
// with a warning).

#include <engine/pacing/PacedClock.h>
#include <engine/shell/RunControls.h>
#include <engine/shell/RunOptions.h>
#include "StandardError.h"

#include <QSettings>

#include <gtest/gtest.h>

using course::nearestSpeed;
using course::parseSpeed;

TEST(RunOptions, SpeedTakesOnlyTheOfferedSteps) {
    double speed = 3;
    for (const char* bad : {"0", "-1", "3", "2.5", "32", "1e-320", "1e999", "nan", "1/3", "1/0", "abc", ""}) {
        const course::Outcome r = parseSpeed(QString::fromLatin1(bad), speed);
        EXPECT_FALSE(r) << bad;
        EXPECT_TRUE(r.message.startsWith(QStringLiteral("--speed: '%1'").arg(QLatin1String(bad))))
            << r.message.toStdString();
        EXPECT_EQ(speed, 3) << bad;
    }
    for (const auto& [text, value] : std::initializer_list<std::pair<const char*, double>>{
             {"1/4", 0.25}, {"0.25", 0.25}, {" 1/2 ", 0.5}, {"1", 1}, {"2", 2}, {"4.0", 4}, {"8", 8}, {"16", 16}}) {
        EXPECT_TRUE(parseSpeed(QString::fromLatin1(text), speed)) << text;
        EXPECT_EQ(speed, value) << text;
    }
}

TEST(RunOptions, NearestStepByRatio) {
    EXPECT_EQ(nearestSpeed(1e-320), 0.25);
    EXPECT_EQ(nearestSpeed(0.3), 0.25);
    EXPECT_EQ(nearestSpeed(0.4), 0.5);
    EXPECT_EQ(nearestSpeed(3), 4); // log2 3 ≈ 1.58
    EXPECT_EQ(nearestSpeed(2.5), 2);
    EXPECT_EQ(nearestSpeed(1e300), 16);
    for (double s : course::PacedClock::kSpeeds)
        EXPECT_EQ(nearestSpeed(s), s);
}

TEST(RunOptions, TheOptionsWriteIntoTheirObject) {
    course::RunOptions o;
    course::CommandLine line(QStringLiteral("prog"), QStringLiteral("test"));
    for (course::ProgramOption& option : course::runOptions(o, course::RunOptionsOf::Run))
        line.add(std::move(option));
    EXPECT_EQ(line.parse(QStringList{QStringLiteral("--speed=1/4"), QStringLiteral("--paused")}), std::nullopt);
    EXPECT_EQ(o.speed, 0.25);
    EXPECT_TRUE(o.paused);
    EXPECT_EQ(o.speedFor(QStringLiteral("run-options-test")), 0.25);
    std::optional<int> status;
    course::testing::standardErrorOf([&] { status = line.parse(QStringList{QStringLiteral("--speed"), QStringLiteral("5")}); });
    EXPECT_EQ(status, course::kUsageExitStatus);
}

TEST(RunOptions, ASavedSpeedOffTheStepsTakesTheNearestWithAWarning) {
    const QString program = QStringLiteral("run-options-test");
    QSettings settings(QStringLiteral("quantum-course"), program);
    auto saved = [&](const QVariant& v, QString& err) {
        settings.setValue(QStringLiteral("run/speed"), v);
        settings.sync();
        double s = 0;
        err = course::testing::standardErrorOf([&] { s = course::savedSpeed(program); });
        return s;
    };
    QString err;
    EXPECT_EQ(saved(1e-320, err), 0.25);
    EXPECT_TRUE(err.startsWith(program + QStringLiteral(": the saved speed 1e-320 is not one of the offered speeds")))
        << err.toStdString();
    EXPECT_EQ(saved(100, err), 16);
    EXPECT_FALSE(err.isEmpty());
    EXPECT_EQ(saved(QStringLiteral("fast"), err), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("'fast' cannot be used"))) << err.toStdString();
    EXPECT_EQ(saved(-2, err), 1);
    EXPECT_EQ(saved(8, err), 8);
    EXPECT_TRUE(err.isEmpty()) << err.toStdString();
    settings.remove(QStringLiteral("run/speed"));
    settings.sync();
    EXPECT_EQ(course::savedSpeed(program), 1);
    EXPECT_EQ(course::RunOptions{}.speedFor(program), 1);
}
