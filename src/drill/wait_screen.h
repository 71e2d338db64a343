#pragma once

#include "ui/form.h"

// "BASEFRM": the wait notice shown while an attempt is recorded or the next screen loads.
class WaitScreen final : public Form
{
    Q_OBJECT
public:
    WaitScreen();

protected:
    // Shown only while one screen hands over to the next, which unloads it.
    void closeRequested() override {}
};
