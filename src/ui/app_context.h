#pragma once

#include "state/services.h"

class FormRegistry;

// What a screen is handed: the services of the logic and the registry of open forms.
struct AppContext
{
    Services services;
    FormRegistry& forms;
};
