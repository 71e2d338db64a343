#include "sdl_audio_output.h"

#include <QFile>
#include <QLibrary>
#include <SDL.h>

// The SDL functions the output uses, resolved from the library when the first sound plays.
struct SdlCalls
{
    decltype(&::SDL_UnlockAudioDevice) UnlockAudioDevice = nullptr;
    decltype(&::SDL_LockAudioDevice) LockAudioDevice = nullptr;
    decltype(&::SDL_CloseAudioDevice) CloseAudioDevice = nullptr;
    decltype(&::SDL_QuitSubSystem) QuitSubSystem = nullptr;
    decltype(&::SDL_GetError) GetError = nullptr;
    decltype(&::SDL_SetHint) SetHint = nullptr;
    decltype(&::SDL_InitSubSystem) InitSubSystem = nullptr;
    decltype(&::SDL_OpenAudioDevice) OpenAudioDevice = nullptr;
    decltype(&::SDL_PauseAudioDevice) PauseAudioDevice = nullptr;
    decltype(&::SDL_RWFromFile) RWFromFile = nullptr;
    decltype(&::SDL_LoadWAV_RW) LoadWAV_RW = nullptr;
    decltype(&::SDL_FreeWAV) FreeWAV = nullptr;
    decltype(&::SDL_BuildAudioCVT) BuildAudioCVT = nullptr;
    decltype(&::SDL_ConvertAudio) ConvertAudio = nullptr;
    decltype(&::SDL_QueueAudio) QueueAudio = nullptr;
    decltype(&::SDL_GetTicks64) GetTicks64 = nullptr;
    decltype(&::SDL_GetQueuedAudioSize) GetQueuedAudioSize = nullptr;
    decltype(&::SDL_ClearQueuedAudio) ClearQueuedAudio = nullptr;
    decltype(&::SDL_SetError) SetError = nullptr;
    decltype(&::SDL_Delay) Delay = nullptr;

    // Nothing when the library or one of its functions is missing; error says why.
    static std::unique_ptr<SdlCalls> load(QString* error)
    {
        // "SDL2-2.0" with its major version on Linux (libSDL2-2.0.so.0), "SDL2" on Windows.
#ifdef Q_OS_WIN
        QLibrary library(QStringLiteral("SDL2"));
#else
        QLibrary library(QStringLiteral("SDL2-2.0"), 0);
#endif
        if (!library.load()) {
            *error = library.errorString();
            return nullptr;
        }
        auto calls = std::make_unique<SdlCalls>();
        bool complete = true;
        const auto resolve = [&](auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(library.resolve(name));
            if (!function && complete) {
                complete = false;
                *error = library.errorString();
            }
        };
        resolve(calls->UnlockAudioDevice, "SDL_UnlockAudioDevice");
        resolve(calls->LockAudioDevice, "SDL_LockAudioDevice");
        resolve(calls->CloseAudioDevice, "SDL_CloseAudioDevice");
        resolve(calls->QuitSubSystem, "SDL_QuitSubSystem");
        resolve(calls->GetError, "SDL_GetError");
        resolve(calls->SetHint, "SDL_SetHint");
        resolve(calls->InitSubSystem, "SDL_InitSubSystem");
        resolve(calls->OpenAudioDevice, "SDL_OpenAudioDevice");
        resolve(calls->PauseAudioDevice, "SDL_PauseAudioDevice");
        resolve(calls->RWFromFile, "SDL_RWFromFile");
        resolve(calls->LoadWAV_RW, "SDL_LoadWAV_RW");
        resolve(calls->FreeWAV, "SDL_FreeWAV");
        resolve(calls->BuildAudioCVT, "SDL_BuildAudioCVT");
        resolve(calls->ConvertAudio, "SDL_ConvertAudio");
        resolve(calls->QueueAudio, "SDL_QueueAudio");
        resolve(calls->GetTicks64, "SDL_GetTicks64");
        resolve(calls->GetQueuedAudioSize, "SDL_GetQueuedAudioSize");
        resolve(calls->ClearQueuedAudio, "SDL_ClearQueuedAudio");
        resolve(calls->SetError, "SDL_SetError");
        resolve(calls->Delay, "SDL_Delay");
        // The library stays loaded for the program's life: the device's thread runs in it.
        return complete ? std::move(calls) : nullptr;
    }
};

SdlAudioOutput::SdlAudioOutput() = default;

SdlAudioOutput::~SdlAudioOutput()
{
    if (!m_sdl)
        return;
    if (m_device != 0) {
        m_sdl->UnlockAudioDevice(m_device); // the device thread must be free to end
        m_sdl->CloseAudioDevice(m_device);
    }
    if (m_initialised)
        m_sdl->QuitSubSystem(SDL_INIT_AUDIO);
}

int SdlAudioOutput::fail(Code code)
{
    m_errors.insert(code, m_sdl ? QString::fromUtf8(m_sdl->GetError()) : m_loadError);
    return code;
}

QString SdlAudioOutput::errorText(int code) const
{
    return m_errors.value(code, QStringLiteral("エラー番号 %1").arg(code));
}

int SdlAudioOutput::ensureDevice()
{
    if (!m_sdl) {
        if (!m_loadError.isEmpty())
            return fail(InitFailed); // tried once: loading again would fail the same way
        m_sdl = SdlCalls::load(&m_loadError);
        if (!m_sdl) {
            m_loadError = QStringLiteral("SDL を読み込めません（%1）").arg(m_loadError);
            return fail(InitFailed);
        }
    }
    if (!m_initialised) {
        // SDL must leave SIGINT and SIGTERM to the program.
        m_sdl->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (m_sdl->InitSubSystem(SDL_INIT_AUDIO) != 0)
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
    m_device = m_sdl->OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_ANY_CHANGE);
    if (m_device == 0)
        return fail(OpenFailed);
    m_freq = have.freq;
    m_format = have.format;
    m_channels = have.channels;
    m_bufferSamples = have.samples;
    m_sdl->LockAudioDevice(m_device);
    m_sdl->PauseAudioDevice(m_device, 0);
    return Ok;
}

int SdlAudioOutput::playWav(const QString& path)
{
    if (const int code = ensureDevice())
        return code;

    // SDL reads the file itself; a name it cannot open is reported in its words. It takes
    // names in UTF-8 on every system (on Windows it turns them into UTF-16 itself): the
    // system's 8-bit encoding would lose a name like "最高1.wav" there.
    const QByteArray name = path.toUtf8();
    SDL_AudioSpec wave{};
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (!m_sdl->LoadWAV_RW(m_sdl->RWFromFile(name.constData(), "rb"), 1, &wave, &data, &length))
        return fail(LoadFailed);

    SDL_AudioCVT cvt{};
    if (m_sdl->BuildAudioCVT(&cvt, wave.format, wave.channels, wave.freq, m_format, Uint8(m_channels), m_freq) < 0) {
        m_sdl->FreeWAV(data);
        return fail(ConvertFailed);
    }
    QByteArray samples(qsizetype(length) * qMax(1, cvt.len_mult), '\0');
    std::memcpy(samples.data(), data, length);
    m_sdl->FreeWAV(data);
    cvt.buf = reinterpret_cast<Uint8*>(samples.data());
    cvt.len = int(length);
    if (cvt.needed && m_sdl->ConvertAudio(&cvt) != 0)
        return fail(ConvertFailed);
    const int converted = cvt.needed ? cvt.len_cvt : int(length);

    if (m_sdl->QueueAudio(m_device, samples.constData(), Uint32(converted)) != 0)
        return fail(QueueFailed);

    // The screen waits here, as the pupil hears the sound: no events are handled meanwhile,
    // key presses queue up and arrive afterwards.
    const int frameBytes = SDL_AUDIO_BITSIZE(m_format) / 8 * m_channels;
    const Uint64 durationMs = Uint64(converted / qMax(1, frameBytes)) * 1000 / Uint64(qMax(1, m_freq));
    const Uint64 deadline = m_sdl->GetTicks64() + durationMs + 2000;
    m_sdl->UnlockAudioDevice(m_device);
    while (m_sdl->GetQueuedAudioSize(m_device) > 0) {
        if (m_sdl->GetTicks64() > deadline) {
            m_sdl->ClearQueuedAudio(m_device);
            m_sdl->LockAudioDevice(m_device);
            m_sdl->SetError("音声の再生が終わりませんでした");
            return fail(Stalled);
        }
        m_sdl->Delay(1);
    }
    // The last buffer taken from the queue is still being played; the device is held from
    // here on so that it does not go on mixing silence.
    m_sdl->LockAudioDevice(m_device);
    m_sdl->Delay(Uint32(Uint64(m_bufferSamples) * 1000 / Uint64(qMax(1, m_freq)) + 1));
    return Ok;
}
