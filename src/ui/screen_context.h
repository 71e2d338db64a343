#pragma once

#include "state/services.h"

class Navigator;
class Pause;
class SoundPlayers;
struct Platform;

// What a screen is handed: the services of the logic, the sounds, the waits that keep the
// screen answering, the platform and the way to the other screens. The registry of open forms
// is the navigation's alone: a screen never shows or unloads another.
struct ScreenContext
{
    Services services;
    SoundPlayers& sounds;
    Pause& pause;
    Platform& platform;
    Navigator& navigator;
};
