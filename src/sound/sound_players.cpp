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
    m_lastPath = m_services.state.folders.soundFolder + file + QStringLiteral(".wav");
    return m_audio.playWav(m_lastPath);
}

void SoundPlayers::check(int result)
{
    if (result == 0) {
        m_failuresInARow = 0;
        return;
    }
    if (m_failuresInARow < kSilentFailures) {
        ++m_failuresInARow;
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
