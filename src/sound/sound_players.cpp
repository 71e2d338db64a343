#include "sound_players.h"

#include "audio_output.h"
#include "state/message_box.h"
#include "state/random_source.h"

#include <QDir>

QString SoundPlayers::randomFile(SoundKind kind)
{
    const auto& row = m_services.state.sound.table[std::size_t(kind)];
    const double count = leadingNumber(row[soundtable::kCountColumn]);
    const int n = int(double(m_services.random.next()) * count + 1.0);
    return n >= 1 && n <= soundtable::kMaxValuesPerGroup ? row[std::size_t(n)] : QString();
}

int SoundPlayers::play(const QString& file)
{
    SoundState& sound = m_services.state.sound;
    const QString path = m_services.state.folders.soundFolder + file + QStringLiteral(".wav");
    sound.mciCommand = QStringLiteral("play ") + path + QStringLiteral(" wait");
    m_lastPath = path;
    const int result = m_audio.playWav(path);
    sound.mciResult = QString::number(result);
    return result;
}

void SoundPlayers::check(int result)
{
    SoundState& sound = m_services.state.sound;
    if (result == 0) {
        sound.failCount = 0;
        return;
    }
    if (sound.failCount < kSilentFailures) {
        ++sound.failCount;
        return;
    }
    m_services.messages.show(QStringLiteral("音声エラー"),
                             QStringLiteral("音声がでません。先生を呼びなさい。\r\nファイル：%1\r\n%2")
                                 .arg(QDir::toNativeSeparators(m_lastPath), m_audio.errorText(result)),
                             MessageBox::Icon::Critical);
    m_services.programEnd.endProgram(1);
}

void SoundPlayers::playBestSound()
{
    play(QStringLiteral("最高1"));
}

void SoundPlayers::playPassSound()
{
    play(QStringLiteral("合格"));
}

void SoundPlayers::playPersonalBestSound()
{
    play(randomFile(SoundKind::PersonalBest2));
}

void SoundPlayers::playFailSound()
{
    play(randomFile(SoundKind::Fail1));
}

void SoundPlayers::playCorrectSound()
{
    check(play(randomFile(SoundKind::Correct2)));
}

void SoundPlayers::playWrongSound()
{
    check(play(randomFile(SoundKind::Wrong2)));
}
