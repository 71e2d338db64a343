#pragma once

class Clock;
class RandomSource;
class MessageBox;
class ProgramEnd;
struct SharedState;

// What every routine and screen is handed: the shared state and the seams to the outside
// world, so that tests can put their own clock, random source and message box in.
struct Services
{
    SharedState& state;
    Clock& clock;
    RandomSource& random;
    MessageBox& messages;
    ProgramEnd& programEnd;
};
