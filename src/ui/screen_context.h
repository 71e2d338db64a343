#pragma once

#include "state/services.h"

class FormRegistry;
class Navigator;
class Pause;
class SoundPlayers;
struct Platform;

// What a screen is handed: the services of the logic, the registry of open forms, the sounds,
// the waits that keep the screen answering, the platform and the way to the other screens.
struct ScreenContext
{
    Services services;
    FormRegistry& forms;
    SoundPlayers& sounds;
    Pause& pause;
    Platform& platform;
    Navigator& navigator;
};
