#pragma once

namespace tw {

// Registers the program's page scheme with the web engine (once; a second
// call does nothing) and asks for the shared GL contexts the engine wants.
// The scheme must be known before the engine's first profile exists, and the
// GL contexts asked for before the QApplication is created: a program that
// links the engine calls this first thing in main(); the engine view module
// calls it when it is loaded, the program having asked for the contexts.
void RegisterPageScheme();

}  // namespace tw
