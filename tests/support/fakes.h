#pragma once

#include "platform/pause.h"
#include "state/clock.h"
#include "state/message_box.h"
#include "state/random_source.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// A clock the test sets and advances itself.
class FakeClock final : public Clock
{
public:
    QDate date = QDate(2026, 12, 8);
    QTime time = QTime(10, 0, 0);
    qint64 ms = 1'000'000;

    QDate today() const override { return date; }
    QTime timeOfDay() const override { return time; }
    qint64 monotonicMs() const override { return ms; }
    int screenPauseMs(int) const override { return 0; }
    void advanceMs(qint64 delta)
    {
        ms += delta;
        time = time.addMSecs(int(delta));
    }
};

// Hands out the given numbers in turn, then starts again from the first.
class ScriptedRandom final : public RandomSource
{
public:
    explicit ScriptedRandom(QList<float> values = {0.0f}) : m_values(std::move(values)) {}
    float next() override { return m_values.isEmpty() ? 0.0f : m_values[m_next++ % m_values.size()]; }
    void seedFromClock() override {}
    void setValues(QList<float> values)
    {
        m_values = std::move(values);
        m_next = 0;
    }

private:
    QList<float> m_values;
    qsizetype m_next = 0;
};

// Records what would have been shown and returns at once, so no test waits on a box.
class RecordingMessageBox final : public MessageBox
{
public:
    struct Shown
    {
        QString title;
        QString text;
        Icon icon;
    };
    QList<Shown> shown;
    QList<bool> answers; // to the questions, in turn; "いいえ" once they run out
    QList<int> choices;  // to the choices, in turn; the last button once they run out
    void show(const QString& title, const QString& text, Icon icon) override { shown.append({title, text, icon}); }
    bool ask(const QString& title, const QString& text) override
    {
        shown.append({title, text, Icon::None});
        return !answers.isEmpty() && answers.takeFirst();
    }
    // The notices shown while something is waited for; the pupil presses "中止" after the
    // given number of looks at it (never when negative).
    QStringList notices;
    int cancelAfterLooks = -1;
    std::unique_ptr<Waiting> waiting(const QString& title, const QString& text) override;
    int choose(const QString& title, const QString& text, const QStringList& buttons) override
    {
        shown.append({title, text, Icon::Warning});
        return choices.isEmpty() ? int(buttons.size()) - 1 : choices.takeFirst();
    }
};

class RecordingProgramEnd final : public ProgramEnd
{
public:
    QList<int> exitCodes;
    void endProgram(int exitCode) override { exitCodes.append(exitCode); }
};

// A wait that returns at once after letting pending events run, recording how long it was asked for.
class RecordingPause final : public Pause
{
public:
    QList<int> waits;
    std::function<void()> onWait;
    void wait(int ms) override;
};

// Writes lines as a code page 932 text file with CR LF line ends.
void writeCp932(const QString& path, const QStringList& lines);
QByteArray readAll(const QString& path);

#include "sound/audio_output.h"

// Records every file played; answers with the scripted results (0 once they run out).
class RecordingAudio final : public AudioOutput
{
public:
    QStringList played;
    QList<int> results;
    std::function<void()> whilePlaying;
    int playWav(const QString& path) override
    {
        played.append(path);
        if (whilePlaying)
            whilePlaying();
        return results.isEmpty() ? 0 : results.takeFirst();
    }
    QString errorText(int code) const override { return QStringLiteral("fake error %1").arg(code); }
};
