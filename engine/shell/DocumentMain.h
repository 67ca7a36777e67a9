#pragma once
// The entry point shared by the document programs: without arguments it opens the
// window; the export options write the pages without a display.

#include <course/shell/Document.h>

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace course {

struct ProgramOption {
    QString name;      // "--speed"
    QString valueName; // "F", or empty for a flag
    QString help;
    // Takes the value; returns an error message, empty when the value is good.
    std::function<QString(const QString& value)> apply;
};

struct DocumentProgram {
    std::function<std::unique_ptr<Document>()> make;
    std::vector<ProgramOption> options;
    // Runs instead of the window when it returns an exit status (a text mode).
    std::function<std::optional<int>()> textMode;
};

int runDocumentProgram(int argc, char** argv, const DocumentProgram& program);

// True when no display is reachable and no platform was chosen: use offscreen.
bool needsOffscreenPlatform();

} // namespace course
