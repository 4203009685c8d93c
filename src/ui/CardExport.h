#pragma once

#include "ui/SavePathChooser.h"

#include <QString>

class QWidget;

namespace halvrick {

// Saves a rendered card where the user chooses.
namespace CardExport {

enum class Outcome { saved, cancelled, failed };

// Offers the PNG at `source` under its own file name, always as a ".png" file, and copies it to the
// chosen place atomically: a failed copy leaves a file already there untouched. The source is never
// removed. Cancelling is no failure: callers show nothing for it.
Outcome save(const QString& source, SavePathChooser& chooser, QWidget* parent = nullptr);

} // namespace CardExport

} // namespace halvrick
