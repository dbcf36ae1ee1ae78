#pragma once
// quillon's command line: --help and --version. They are answered before any
// window or display connection exists, so both work on a machine without a
// display.

#include <optional>

namespace CommandLine {

// Handles the arguments of main(). Without arguments the result is empty and
// the caller starts the window. Otherwise it prints the help, the version or
// an error and returns the exit status (0, or 2 for a bad argument). The
// application name and version must be set beforehand: they are what
// --version prints.
std::optional<int> answer(int &argc, char **argv);

} // namespace CommandLine
