#pragma once

#include "ui/navigator.h"

class Form;
class FormRegistry;
struct ScreenContext;

// Creates the screens, shows them through the form registry and decides which screens each
// one replaces: one of the main screens (menu, name form, board, drill, end screen) is open at
// a time, the help browser beside them; the wait form stands in between while the next one
// gets ready.
class ScreenNavigation final : public Navigator
{
public:
    explicit ScreenNavigation(FormRegistry& forms) : m_forms(forms) {}
    // The context holds this navigation, so it is attached once both exist.
    void attach(ScreenContext& context) { m_context = &context; }

    void showMenu() override;
    void showNameChange() override;
    void showBoard() override;
    void startDrill(int course) override;
    void showEndScreen(const AttemptOutcome& outcome) override;
    void showHelp(const QString& address) override;
    void showVersionBox() override;
    void showGraph(int pupil) override;
    void showTeacherPanel() override;

private:
    ScreenContext& context() const;
    // Shows the next main screen in place of the open ones; the wait form goes once the next
    // screen's activation has run.
    void handOver(Form* next);
    void showWaitScreen();
    // The open main screen, to be the parent of a window opened from it.
    Form* currentScreen() const;
    FormRegistry& m_forms;
    ScreenContext* m_context = nullptr;
};
