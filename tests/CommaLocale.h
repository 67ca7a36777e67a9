// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Switches the process to a locale that writes decimal commas (de_DE.UTF-8, made by
// scripts/setup.sh) for the lifetime of the object, and back afterwards.

#include <clocale>
#include <string>

namespace course::testing {

class CommaLocale {
public:
    CommaLocale() : previous_(std::setlocale(LC_ALL, nullptr)) {
        active_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr &&
                  std::string(std::localeconv()->decimal_point) == ",";
    }
    ~CommaLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    // False when the locale is not installed (scripts/setup.sh generates it).
    bool active() const { return active_; }

private:
    std::string previous_;
    bool active_ = false;
};

} // namespace course::testing
