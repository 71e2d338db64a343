#pragma once

#include "fakes.h"
#include "sound/sound_players.h"
#include "state/services.h"
#include "state/shared_state.h"

#include <QTemporaryDir>
#include <memory>

// The logic of the program around a test: shared state and fakes for the outside world, with
// an installation in a temporary folder: five levels with target times 60, 80, 100, 120, 150
// seconds, and a sound table naming correct.wav, wrong.wav, personal.wav, fail.wav.
struct LogicWorld
{
    std::unique_ptr<SharedState> state = std::make_unique<SharedState>();
    FakeClock clock;
    ScriptedRandom random;
    RecordingMessageBox messages;
    RecordingProgramEnd end;
    RecordingAudio audio;
    RecordingPause pause;
    Services services{*state, clock, random, messages, end};
    SoundPlayers sounds{services, audio};
    QTemporaryDir dir;

    LogicWorld();
    QString resultsPath() const;
};
