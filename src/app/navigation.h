#pragma once

#include "board/course_board.h"
#include "ui/navigator.h"

#include <QString>
#include <functional>
#include <optional>

class Form;
class FormRegistry;
class ToolWindows;
struct ScreenContext;

// Creates the screens, shows them through the form registry and decides which screens each
// one replaces: one of the main screens (menu, name form, board, drill, an end screen) is open at
// a time, the help browser beside them; the wait form stands in between while the next one
// gets ready.
class ScreenNavigation final : public Navigator
{
public:
    // The tool windows come from a module loaded on first use; nothing when it cannot be,
    // with the reason.
    using ToolSource = std::function<ToolWindows*(QString* error)>;
    ScreenNavigation(FormRegistry& forms, ToolSource tools) : m_forms(forms), m_tools(std::move(tools)) {}
    // The context holds this navigation, so it is attached once both exist.
    void attach(ScreenContext& context) { m_context = &context; }

    void showMenu() override;
    void showNameChange() override;
    void showBoard() override;
    void startDrill(int course) override;
    void showEndScreen(const AttemptOutcome& outcome) override;
    void startPractice(const DrillRequest& request) override;
    void showPracticeEnd(const PracticeOutcome& outcome) override;
    void showHelp(const QString& address) override;
    void showVersionBox() override;
    void showGraph(int pupil) override;
    void showTeacherPanel() override;
    void showClassView() override;
    void showTeacherTools() override;
    void showSchoolSettings(QWidget* over) override;
    void showRosterWindow(QWidget* over) override;
    void showCertificates(const QList<int>& pupils, QWidget* over) override;

private:
    ScreenContext& context() const;
    // The drill on a course: an attempt, or a practice of the given numbers.
    void startDrillOf(const DrillRequest& request);
    // Shows the next main screen in place of the open ones; the wait form goes once the next
    // screen's activation has run.
    void handOver(Form* next);
    void showWaitScreen();
    // The open main screen, to be the parent of a window opened from it.
    Form* currentScreen() const;
    // The tool windows, or nothing after telling the pupil they cannot be opened.
    ToolWindows* tools();
    FormRegistry& m_forms;
    ToolSource m_tools;
    ScreenContext* m_context = nullptr;
    // The board's view a practice was started from, for the board that follows it.
    std::optional<CourseBoard::View> m_practiceFrom;
    // The teacher came in by "先生用": the password holds until the menu is shown again.
    bool m_teacherSession = false;
};
