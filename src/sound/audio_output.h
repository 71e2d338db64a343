#pragma once

#include <QString>

// What the program needs of an audio system: play a .wav file to its end, and say why a
// sound did not play.
class AudioOutput
{
public:
    virtual ~AudioOutput() = default;
    // Plays the file and returns once it has been heard: 0, or an error code.
    virtual int playWav(const QString& path) = 0;
    virtual QString errorText(int code) const = 0;
};
