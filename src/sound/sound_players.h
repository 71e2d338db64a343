#pragma once

#include "sound_table.h"
#include "state/services.h"

class AudioOutput;

// The six sounds of the program. Each plays to its end before it returns. The correct and
// wrong answer sounds are checked: three failures in a row pass silently, the fourth tells the
// pupil to call the teacher and ends the program, since a drill without them is no drill.
class SoundPlayers
{
public:
    static constexpr int kSilentFailures = 3;

    SoundPlayers(Services services, AudioOutput& audio) : m_services(services), m_audio(audio) {}

    void playBestSound();         // "最高1.wav"
    void playPassSound();         // "合格.wav"
    void playPersonalBestSound(); // a file of kind 8
    void playFailSound();         // a file of kind 10
    void playCorrectSound();      // a file of kind 2, checked
    void playWrongSound();        // a file of kind 4, checked

    int failuresInARow() const { return m_failuresInARow; }

private:
    QString randomFile(SoundKind kind);
    int play(const QString& file);
    void check(int result);

    Services m_services;
    AudioOutput& m_audio;
    QString m_lastPath; // the sound file played last, named when sounds fail
    int m_failuresInARow = 0;
};
