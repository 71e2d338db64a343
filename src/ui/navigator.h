#pragma once

#include <QList>
#include <QString>

class QWidget;
struct AttemptOutcome;
struct PracticeOutcome;
struct DrillRequest;

// The ways from one screen to the next. A screen asks for the next one here with what that
// one needs, and never includes another screen; the application's navigation creates it and
// decides which screens it replaces. A screen that asks must assume it has been unloaded
// when the call returns.
class Navigator
{
public:
    virtual ~Navigator() = default;
    virtual void showMenu() = 0;
    virtual void showNameChange() = 0;
    // The course board of the current pupil.
    virtual void showBoard() = 0;
    // The drill on a course; a course without a number set is refused with a message and the
    // board is shown instead.
    virtual void startDrill(int course) = 0;
    // The result of the attempt just recorded, after the wait screen has stood for a second.
    virtual void showEndScreen(const AttemptOutcome& outcome) = 0;
    // A practice (weak numbers, ふくしゅう, a practice set): the drill showing the request's
    // numbers, recorded in the problem log only; its end screen compares them with before.
    virtual void startPractice(const DrillRequest& request) = 0;
    virtual void showPracticeEnd(const PracticeOutcome& outcome) = 0;
    // The help browser, opening the address when it is not open yet; an open browser keeps
    // its page.
    virtual void showHelp(const QString& address) = 0;
    // The version box, waiting until it is closed.
    virtual void showVersionBox() = 0;
    // The teacher's tools, opened from the board: a pupil's graph (waiting until it is
    // closed) and the teacher's panel.
    virtual void showGraph(int pupil) = 0;
    virtual void showTeacherPanel() = 0;
    // The teacher's view of the whole class, beside the board.
    virtual void showClassView() = 0;
    // "先生用" on the menu: the teacher's way in, whether or not the roster has a "先生" line.
    // After the teacher's password (when one is set) the board opens for the teacher, with the
    // teacher's panel beside it; the password holds until the menu is shown again.
    virtual void showTeacherTools() = 0;
    // "学校の設定" over the window asking, waiting until it is closed.
    virtual void showSchoolSettings(QWidget* over) = 0;
    // "名簿の編集" over the window asking (the menu, the teacher's panel), waiting until it is
    // closed; the menu lists the roster anew when it was saved.
    virtual void showRosterWindow(QWidget* over) = 0;
    // "賞状を印刷" over the window asking, for the given pupils (everyone when none), waiting
    // until it is closed.
    virtual void showCertificates(const QList<int>& pupils, QWidget* over) = 0;
};
