#pragma once

#include "state/message_box.h"

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

// Ends the program after an error it cannot recover from: every open form is unloaded,
// newest first, and the process ends at once (no file is ever left open between routines).
class QtProgramEnd final : public ProgramEnd
{
public:
    explicit QtProgramEnd(FormRegistry& forms) : m_forms(forms) {}
    void endProgram(int exitCode) override;

private:
    FormRegistry& m_forms;
};
