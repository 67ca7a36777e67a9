// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Number text with a '.' decimal point whatever the process locale: std::to_chars
// ignores LC_NUMERIC, which printf and streams follow. Every number the programs write
// as text (tables, CSV files, messages, drawn numbers) is made here.

#include <charconv>
#include <string>

namespace course {

// v in `format` with `precision` digits (after the point for fixed, significant for
// general, of the mantissa for scientific), as printf's %.*f, %.*g, %.*e write it in
// the C locale.
inline std::string numberText(double v, std::chars_format format, int precision) {
    char buf[512]; // a fixed 1e308 with 200 decimals fits
    const auto r = std::to_chars(buf, buf + sizeof buf, v, format, precision);
    if (r.ec != std::errc())
        return numberText(v, std::chars_format::scientific, 16);
    return std::string(buf, r.ptr);
}

// The shortest text that reads back as the same double ("0.1", "-2.5", "1e-05", "inf").
inline std::string numberText(double v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

inline std::string fixedText(double v, int decimals) { return numberText(v, std::chars_format::fixed, decimals); }

// `text` right-aligned in a column `width` characters wide (never cut).
inline std::string rightAligned(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

} // namespace course
