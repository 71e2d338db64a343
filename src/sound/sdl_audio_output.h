#pragma once

#include "audio_output.h"

#include <QHash>
#include <QString>
#include <memory>

struct SdlCalls;

// Plays through SDL on one audio device that stays open for the program's life; opening a
// device for every sound would delay each one. Between sounds the device is held locked so
// that its thread does not mix silence all the time. SDL itself, with the sound systems it
// brings along, is loaded with the first sound: the program starts without it.
class SdlAudioOutput final : public AudioOutput
{
public:
    enum Code
    {
        Ok = 0,
        InitFailed = 1,
        OpenFailed,
        LoadFailed,
        ConvertFailed,
        QueueFailed,
        Stalled
    };

    SdlAudioOutput();
    ~SdlAudioOutput() override;
    SdlAudioOutput(const SdlAudioOutput&) = delete;
    SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

    int playWav(const QString& path) override;
    QString errorText(int code) const override;

private:
    int fail(Code code);
    int ensureDevice();

    std::unique_ptr<SdlCalls> m_sdl;
    QString m_loadError; // why SDL could not be loaded, once it has been tried
    bool m_initialised = false;
    unsigned m_device = 0;
    int m_freq = 0;
    unsigned short m_format = 0;
    int m_channels = 0;
    int m_bufferSamples = 0;
    QHash<int, QString> m_errors;
};
