#pragma once

#include <QString>
#include <QStringList>
#include <memory>

// Message boxes with one OK button, a yes/no question or a choice: the only way the logic
// speaks to the user. The screens give a real box; tests give one that records what was said
// and never blocks.
class MessageBox
{
public:
    enum class Icon
    {
        None,
        Information,
        Warning,
        Critical
    };
    virtual ~MessageBox() = default;
    virtual void show(const QString& title, const QString& text, Icon icon = Icon::None) = 0;
    // A question with "はい" and "いいえ"; "いいえ" is the default, so a stray Enter changes nothing.
    virtual bool ask(const QString& title, const QString& text) = 0;
    // A choice between buttons with the given captions (an "&" before the access key); the
    // first is the default. Returns the index of the one chosen; the last when the box is
    // closed without a choice.
    virtual int choose(const QString& title, const QString& text, const QStringList& buttons) = 0;

    // A notice that stays on the screen, without waiting, while the program waits for
    // something outside it; its "中止" button lets the pupil give up. It goes when released.
    class Waiting
    {
    public:
        virtual ~Waiting() = default;
        virtual void setText(const QString& text) = 0;
        virtual bool cancelled() const = 0;
    };
    virtual std::unique_ptr<Waiting> waiting(const QString& title, const QString& text) = 0;
};

// How the program ends after an error it cannot recover from: every open form is unloaded,
// newest first, and the process ends with the given code.
class ProgramEnd
{
public:
    virtual ~ProgramEnd() = default;
    virtual void endProgram(int exitCode) = 0;
};
