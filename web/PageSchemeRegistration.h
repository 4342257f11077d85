#pragma once

namespace tw {

// Registers the program's page scheme with the web engine and asks for the
// shared GL contexts the engine wants. Call once in main(), before the
// QApplication is created.
void RegisterPageScheme();

}  // namespace tw
