// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CSV text for the programs' --export-data, with no Qt, so the numerical cores can
// write their own figures: a header row of column names, then one row per record.
// Numbers get the shortest text that reads back as the same double (full precision),
// always with '.' as the point whatever the locale; fields are never quoted, so the
// names and words put in must hold no comma, quote or line break.

#include <engine/csv/NumberText.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace course {

// One file of a data export: its name in the folder and its whole text.
struct CsvFile {
    std::string name;
    std::string text;
};

class CsvTable {
public:
    explicit CsvTable(const std::vector<std::string>& header) {
        for (const std::string& h : header)
            field(h);
        endRow();
    }
    CsvTable(std::initializer_list<std::string_view> header) {
        for (std::string_view h : header)
            field(h);
        endRow();
    }

    // The shortest round-trip text of v ("0.1", "-2.5", "1e-05", "inf").
    static std::string number(double v) { return numberText(v); }

    CsvTable& field(std::string_view text) {
        if (!atRowStart_)
            text_ += ',';
        text_ += text;
        atRowStart_ = false;
        return *this;
    }
    CsvTable& field(double v) { return field(number(v)); }
    CsvTable& field(int v) { return field(std::to_string(v)); }
    // An empty field where a row has no value.
    CsvTable& empty() { return field(std::string_view()); }

    // A whole row: numbers (int or double) and texts.
    template <typename... Values>
    CsvTable& row(const Values&... values) {
        (field(values), ...);
        return endRow();
    }
    CsvTable& endRow() {
        text_ += '\n';
        atRowStart_ = true;
        return *this;
    }

    const std::string& text() const { return text_; }
    CsvFile file(std::string name) const { return {std::move(name), text_}; }

private:
    std::string text_;
    bool atRowStart_ = true;
};

} // namespace course
