#pragma once

#include "state/services.h"

class FormRegistry;
class SoundPlayers;
class Pause;
struct Platform;

// What a screen is handed: the services of the logic, the registry of open forms and the sounds.
struct AppContext
{
    Services services;
    FormRegistry& forms;
    SoundPlayers& sounds;
    Pause& pause; // waits that keep the screen answering
    Platform& platform;
};
