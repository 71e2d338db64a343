#pragma once

// Lets the window events that are waiting run, as the program does in its waits so that the
// screen keeps answering.
void letPendingEventsRun();
