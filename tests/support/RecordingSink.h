// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A print destination for tests: counts the prints, keeps their job names, paints each
// page into an image (so the painting runs as it would on paper) and, when
// COURSE_TEST_OUTPUT is set, saves it there for a look.

#include <engine/shell/PrintSink.h>

#include <QDir>
#include <QImage>
#include <QPainter>

#include <functional>
#include <vector>

namespace course::testing {

struct RecordingSink : PrintSink {
    int prints = 0;
    std::vector<QString> jobs;
    std::vector<QImage> images;   // what each print painted
    std::function<void()> during; // runs while a print is being made
    QString message = QStringLiteral("printed");

    Outcome print(const std::function<void(QPainter&)>& paint, QSize size, const QString& jobName) override {
        ++prints;
        jobs.push_back(jobName);
        QImage img(size, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        paint(p);
        p.end();
        images.push_back(img);
        const QString dir = qEnvironmentVariable("COURSE_TEST_OUTPUT");
        if (!dir.isEmpty() && QDir().mkpath(dir))
            img.save(QDir(dir).filePath(jobName + QStringLiteral(".png")));
        if (during)
            during();
        return {true, message};
    }
};

} // namespace course::testing
