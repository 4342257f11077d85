#pragma once

#include <optional>

namespace tw {

// The program's own options, answered before anything starts: --help and
// --version print and end; an option that is neither ours, nor Qt's (-platform,
// -style, -display ...), nor the web engine's (everything after
// --webEngineArgs) ends the program with exit code 2. Everything else is left
// on the command line for Qt, which takes its options from it later.
// Returns the exit code when the program is to end here.
std::optional<int> AnswerCommandLine(int argc, const char* const* argv);

}  // namespace tw
