#pragma once

#include <QString>

namespace tw::demo {

// Prepares a Tidewire home for the demo so the program checks its feeds at
// start-up and every few minutes. Values the user has already set are kept.
// Returns false when the store could not be written.
bool SeedDemoHome(const QString& home, int intervalMinutes);

}  // namespace tw::demo
