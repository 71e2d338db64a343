#include "sdl_audio_output.h"

#include <QFile>
#include <SDL.h>

SdlAudioOutput::~SdlAudioOutput()
{
    if (m_device != 0) {
        SDL_UnlockAudioDevice(m_device); // the device thread must be free to end
        SDL_CloseAudioDevice(m_device);
    }
    if (m_initialised)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

int SdlAudioOutput::fail(Code code)
{
    m_errors.insert(code, QString::fromUtf8(SDL_GetError()));
    return code;
}

QString SdlAudioOutput::errorText(int code) const
{
    return m_errors.value(code, QStringLiteral("エラー番号 %1").arg(code));
}

int SdlAudioOutput::ensureDevice()
{
    if (!m_initialised) {
        // SDL must leave SIGINT and SIGTERM to the program.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return fail(InitFailed);
        m_initialised = true;
    }
    if (m_device != 0)
        return Ok;
    SDL_AudioSpec want{};
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    SDL_AudioSpec have{};
    m_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_ANY_CHANGE);
    if (m_device == 0)
        return fail(OpenFailed);
    m_freq = have.freq;
    m_format = have.format;
    m_channels = have.channels;
    m_bufferSamples = have.samples;
    SDL_LockAudioDevice(m_device);
    SDL_PauseAudioDevice(m_device, 0);
    return Ok;
}

int SdlAudioOutput::playWav(const QString& path)
{
    if (const int code = ensureDevice())
        return code;

    // SDL reads the file itself; a name it cannot open is reported in its words.
    const QByteArray native = QFile::encodeName(path);
    SDL_AudioSpec wave{};
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV(native.constData(), &wave, &data, &length))
        return fail(LoadFailed);

    SDL_AudioCVT cvt{};
    if (SDL_BuildAudioCVT(&cvt, wave.format, wave.channels, wave.freq, m_format, Uint8(m_channels), m_freq) < 0) {
        SDL_FreeWAV(data);
        return fail(ConvertFailed);
    }
    QByteArray samples(qsizetype(length) * qMax(1, cvt.len_mult), '\0');
    std::memcpy(samples.data(), data, length);
    SDL_FreeWAV(data);
    cvt.buf = reinterpret_cast<Uint8*>(samples.data());
    cvt.len = int(length);
    if (cvt.needed && SDL_ConvertAudio(&cvt) != 0)
        return fail(ConvertFailed);
    const int converted = cvt.needed ? cvt.len_cvt : int(length);

    if (SDL_QueueAudio(m_device, samples.constData(), Uint32(converted)) != 0)
        return fail(QueueFailed);

    // The screen waits here, as the pupil hears the sound: no events are handled meanwhile,
    // key presses queue up and arrive afterwards.
    const int frameBytes = SDL_AUDIO_BITSIZE(m_format) / 8 * m_channels;
    const Uint64 durationMs = Uint64(converted / qMax(1, frameBytes)) * 1000 / Uint64(qMax(1, m_freq));
    const Uint64 deadline = SDL_GetTicks64() + durationMs + 2000;
    SDL_UnlockAudioDevice(m_device);
    while (SDL_GetQueuedAudioSize(m_device) > 0) {
        if (SDL_GetTicks64() > deadline) {
            SDL_ClearQueuedAudio(m_device);
            SDL_LockAudioDevice(m_device);
            SDL_SetError("音声の再生が終わりませんでした");
            return fail(Stalled);
        }
        SDL_Delay(1);
    }
    // The last buffer taken from the queue is still being played; the device is held from
    // here on so that it does not go on mixing silence.
    SDL_LockAudioDevice(m_device);
    SDL_Delay(Uint32(Uint64(m_bufferSamples) * 1000 / Uint64(qMax(1, m_freq)) + 1));
    return Ok;
}
