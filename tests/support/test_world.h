#pragma once

#include "app/navigation.h"
#include "fakes.h"
#include "platform/pause.h"
#include "platform/platform.h"
#include "sound/sound_players.h"
#include "state/shared_state.h"
#include "ui/form_registry.h"
#include "ui/screen_context.h"

#include <QDir>
#include <QTemporaryDir>
#include <functional>
#include <memory>

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

// The whole program around a test: shared state, fakes for the outside world and the forms.
struct TestWorld
{
    std::unique_ptr<SharedState> state = std::make_unique<SharedState>();
    FakeClock clock;
    ScriptedRandom random;
    RecordingMessageBox messages;
    RecordingProgramEnd end;
    RecordingAudio audio;
    RecordingPause pause;
    FormRegistry forms;
    Services services{*state, clock, random, messages, end};
    SoundPlayers sounds{services, audio};
    RecordingLauncher launcher;
    FakeInstance instance;
    Platform platform{launcher, instance};
    ScreenNavigation navigation;
    ScreenContext context{services, forms, sounds, pause, platform, navigation};
    QTemporaryDir dir;

    // An installation in the temporary folder with five levels: target times 60, 80, 100,
    // 120, 150 seconds, and a sound table naming correct.wav, wrong.wav, personal.wav, fail.wav.
    TestWorld();
    QString resultsPath() const;
};
