#pragma once

#include "app/navigation.h"
#ifndef TEST_WORLD_WITHOUT_TOOLS
#include "app/tool_windows.h"
#endif
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
#ifndef TEST_WORLD_WITHOUT_TOOLS
    ScreenNavigation navigation{forms, [](QString*) { return &toolWindows(); }};
#else
    // A test of the module itself links none of the tools: they come from the module, once.
    ScreenNavigation navigation{forms, [](QString* error) {
                                    *error = QStringLiteral("no tools in this test");
                                    return nullptr;
                                }};
#endif
    ScreenContext context{services, sounds, pause, platform, navigation};

    TestWorld()
    {
        navigation.attach(context);
    }
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
