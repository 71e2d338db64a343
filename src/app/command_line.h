#pragma once

#include <optional>

// What the program does on the command line, before any window: "--help" and "--version"
// answer on the terminal, "--check-results" checks the results files. Nothing when the
// program is to start as usual; otherwise its exit code.
std::optional<int> runCommandLine(int argc, char* argv[]);
