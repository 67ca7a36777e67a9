// brindle: the explanation pages and the live eigenvalue iteration.
//   --table    prints every iteration and the converged states as text, no window
//   --speed F  divides every wait of the live page by F

#include "BrindleDocument.h"

#include <course/shell/DocumentMain.h>
#include <course/shell/Form1.h>

#include <brindle/EigenIteration.h>
#include <brindle/TableFormat.h>

#include <QApplication>
#include <QTimer>

#include <cstdio>

namespace {

// Test-only: with BRINDLE_OPEN_LAST_PAGE set, the program shows page 2 as soon as
// its window has started, so that a paced run can be measured without input.
void openLastPageWhenLoaded() {
    QTimer::singleShot(50, [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* form = qobject_cast<course::Form1*>(w);
            if (form && form->isVisible() && form->document().Pic) {
                form->ShowThisPic(form->pageCount() - 1);
                return;
            }
        }
        openLastPageWhenLoaded();
    });
}

} // namespace

int main(int argc, char** argv) {
    double speed = 1.0;
    bool table = false;

    course::DocumentProgram program;
    program.make = [&speed] {
        if (!qEnvironmentVariableIsEmpty("BRINDLE_OPEN_LAST_PAGE"))
            openLastPageWhenLoaded();
        return brindle::makeDocument(speed);
    };
    program.options.push_back(
        {QStringLiteral("--table"), QString(),
         QStringLiteral("print every iteration and the converged states as text and exit"),
         [&table](const QString&) {
             table = true;
             return QString();
         }});
    program.options.push_back({QStringLiteral("--speed"), QStringLiteral("F"),
                               QStringLiteral("divide every wait of the live page by F (F > 0, default 1)"),
                               [&speed](const QString& v) { return brindle::parseSpeed(v, speed); }});
    program.textMode = [&table]() -> std::optional<int> {
        if (!table)
            return std::nullopt;
        const std::string text = brindle::formatTable(brindle::runAll());
        std::fputs(text.c_str(), stdout);
        return 0;
    };
    return course::runDocumentProgram(argc, argv, program);
}
