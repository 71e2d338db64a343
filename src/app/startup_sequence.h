#pragma once

#include <QString>
#include <optional>

struct ScreenContext;

// The program's start: the one copy that runs, the random source, the accent colour, the
// settings, then the menu shown without waiting. Nothing when the menu is up; otherwise the
// reason has been shown and the exit code is returned (0 for a second copy turned away).
std::optional<int> startProgram(ScreenContext& context, const QString& programDir);
