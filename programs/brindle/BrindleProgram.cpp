#include "BrindleProgram.h"

#include "BrindleDocument.h"

#include <brindle/TableFormat.h>

#include <cstdio>
#include <stdexcept>

namespace brindle {

BrindleProgram::BrindleProgram() {
    program_.name = QStringLiteral("brindle");
    program_.summary = QStringLiteral(
        "Bound-state energies by Numerov integration from both ends: three pages, the last one live.");
    program_.make = [this] { return makeDocument(speed_, l_); };
    program_.options.push_back(
        {QStringLiteral("--table"), QString(),
         QStringLiteral("print every iteration and the converged states as text and exit"),
         [this](const QString&) {
             table_ = true;
             return QString();
         },
         true});
    program_.options.push_back({QStringLiteral("--speed"), QStringLiteral("F"),
                                QStringLiteral("divide every wait of the live page by F (F > 0, default 1)"),
                                [this](const QString& v) { return parseSpeed(v, speed_); }});
    program_.options.push_back(
        {QStringLiteral("--l"), QStringLiteral("L"),
         QStringLiteral("angular momentum of the oscillator, 0 to 3 (default 1), for --table and the live\n"
                        "page; on the live page the keys 0 to 3 choose it and run the page again"),
         [this](const QString& v) { return parseL(v, l_); }, true});
    // A fault of the core ends the program with "brindle: <message>" and status 1
    // (runDocumentProgram's boundary).
    program_.textMode = [this]() -> std::optional<int> {
        if (!table_)
            return std::nullopt;
        const std::string text = formatTable(compute(l_));
        if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0)
            throw std::runtime_error("cannot write the table to standard output");
        return 0;
    };
}

} // namespace brindle
