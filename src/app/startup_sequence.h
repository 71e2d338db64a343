#pragma once

#include <QString>

struct ScreenContext;

// The program's start: the accent colour, the settings, then the menu shown without waiting.
// Returns 0 when the menu is up; otherwise the failure has been shown and the exit code is returned.
int startProgram(ScreenContext& context, const QString& programDir);
