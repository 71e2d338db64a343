#pragma once

#include "state/message_box.h"

#include <optional>

class FormRegistry;

// Real message boxes: one OK button, a title, Japanese text.
class QtMessageBox final : public MessageBox
{
public:
    void show(const QString& title, const QString& text, Icon icon) override;
    bool ask(const QString& title, const QString& text) override;
    int choose(const QString& title, const QString& text, const QStringList& buttons) override;
    std::unique_ptr<Waiting> waiting(const QString& title, const QString& text) override;
};

// Ends the program after an error it cannot recover from, or after "終了": every open form is
// unloaded, newest first, and every event loop is left, so that main returns the exit code and
// everything it owns is destroyed in order (no file is ever left open between routines). The
// caller returns as it would after any call that may end the program.
class QtProgramEnd final : public ProgramEnd
{
public:
    explicit QtProgramEnd(FormRegistry& forms) : m_forms(forms) {}
    void endProgram(int exitCode) override;
    // The code asked for, once the program is ending (also before the event loop has started).
    std::optional<int> exitCode() const { return m_exitCode; }

private:
    FormRegistry& m_forms;
    std::optional<int> m_exitCode;
};
