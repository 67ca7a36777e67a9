#pragma once
// Pictures of the finished Hartree window: a PNG at 1 or more pixels per window
// pixel, and a one-page PDF whose drawing is replayed as vectors with real text.

#include <course/textruns/Outcome.h>

#include <QString>

namespace sorrel {

class SorrelWindow;

// Both fail with a sentence for the user when the file cannot be written.
course::Outcome exportPng(const SorrelWindow& window, const QString& file, int scale);
course::Outcome exportPdf(const SorrelWindow& window, const QString& file);

} // namespace sorrel
