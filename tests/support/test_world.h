#pragma once

#include "app/navigation.h"
#include "app/tool_windows.h"
#include "logic_world.h"
#include "platform/platform.h"
#include "ui/form_registry.h"
#include "ui/screen_context.h"

#include <QApplication>

class RecordingLauncher final : public Launcher
{
public:
    QList<QPair<QString, QStringList>> started;
    bool start(const QString& program, const QStringList& arguments) override
    {
        started.append({program, arguments});
        return false; // as when the launcher is missing
    }
};

class FakeInstance final : public SingleInstance
{
public:
    bool alreadyRunning = false;
    bool claim() override { return !alreadyRunning; }
};

// The whole program around a test: the logic's world, the forms and the screens' context.
struct TestWorld : LogicWorld
{
    FormRegistry forms;
    RecordingLauncher launcher;
    FakeInstance instance;
    Platform platform{launcher, instance};
    ScreenNavigation navigation{forms, [](QString*) { return &toolWindows(); }};
    ScreenContext context{services, sounds, pause, platform, navigation};

    TestWorld() { navigation.attach(context); }
};

// The window of the given kind that is open on its own (the teacher's windows stand beside the
// board rather than inside it), or nothing.
template <class Window> Window* openWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible())
            return window;
    }
    return nullptr;
}
