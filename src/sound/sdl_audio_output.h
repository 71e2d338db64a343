#pragma once

#include "audio_output.h"

#include <QHash>

// Plays through SDL on one audio device that stays open for the program's life; opening a
// device for every sound would delay each one. Between sounds the device is held locked so
// that its thread does not mix silence all the time.
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

    SdlAudioOutput() = default;
    ~SdlAudioOutput() override;
    SdlAudioOutput(const SdlAudioOutput&) = delete;
    SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

    int playWav(const QString& path) override;
    QString errorText(int code) const override;

private:
    int fail(Code code);
    int ensureDevice();

    bool m_initialised = false;
    unsigned m_device = 0;
    int m_freq = 0;
    unsigned short m_format = 0;
    int m_channels = 0;
    int m_bufferSamples = 0;
    QHash<int, QString> m_errors;
};
