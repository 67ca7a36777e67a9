#pragma once
// Pictures of the finished Hartree window: a PNG at 1 or more pixels per window
// pixel, and a one-page PDF whose drawing is replayed as vectors with real text.

#include <QString>

namespace sorrel {

class SorrelWindow;

// Both return false and set *error (a sentence for the user) when the file cannot be written.
bool exportPng(const SorrelWindow& window, const QString& file, int scale, QString* error);
bool exportPdf(const SorrelWindow& window, const QString& file, QString* error);

} // namespace sorrel
