#pragma once

#include "launcher.h"
#include "single_instance.h"

// The operating system's services the screens use besides files.
struct Platform
{
    Launcher& launcher;
    SingleInstance& instance;
};
