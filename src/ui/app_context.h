#pragma once

#include "state/services.h"

class FormRegistry;
class SoundPlayers;

// What a screen is handed: the services of the logic, the registry of open forms and the sounds.
struct AppContext
{
    Services services;
    FormRegistry& forms;
    SoundPlayers& sounds;
};
