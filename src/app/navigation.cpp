#include "navigation.h"

#include "board/board_screen.h"
#include "drill/drill_screen.h"
#include "drill/number_sets.h"
#include "drill/wait_screen.h"
#include "endscreen/end_screen.h"
#include "endscreen/practice_end_screen.h"
#include "help/version_box.h"
#include "menu/namesel_screen.h"
#include "platform/pause.h"
#include "roster/name_change_screen.h"
#include "state/message_box.h"
#include "state/shared_state.h"
#include "tool_windows.h"
#include "ui/form_names.h"
#include "ui/form_registry.h"
#include "ui/screen_context.h"

namespace {

bool isMainScreen(const Form* form)
{
    for (const QStringView name : {formname::kMenu, formname::kNameChange, formname::kBoard, formname::kDrill,
                                   formname::kEndScreen, formname::kPracticeEnd}) {
        if (form->objectName() == name)
            return true;
    }
    return false;
}

// "表示" in a teacher's window: shows another pupil on the board the window was opened from,
// while that board is open. Showing lets events run, and the board may be closed meanwhile,
// taking the teacher's window with it: so it is done once the button's handler has returned.
ToolWindows::ShowPupil showingOn(BoardScreen* board)
{
    return [shownOn = QPointer<BoardScreen>(board)](int pupil) {
        QMetaObject::invokeMethod(
            shownOn,
            [shownOn, pupil] {
                if (!shownOn)
                    return;
                shownOn->showPupil(pupil);
                if (shownOn) { // in front of the teacher's window, which stays open behind it
                    shownOn->window()->raise();
                    shownOn->window()->activateWindow();
                }
            },
            Qt::QueuedConnection);
    };
}

} // namespace

ScreenContext& ScreenNavigation::context() const
{
    Q_ASSERT(m_context);
    return *m_context;
}

void ScreenNavigation::handOver(Form* next)
{
    QList<Form*> replaced;
    for (Form* form : m_forms.openForms()) {
        if (isMainScreen(form))
            replaced.append(form);
    }
    m_forms.show(next, replaced);
    m_forms.unload(formname::kWait);
}

Form* ScreenNavigation::currentScreen() const
{
    const QList<Form*> open = m_forms.openForms();
    for (auto it = open.crbegin(); it != open.crend(); ++it) {
        if (isMainScreen(*it))
            return *it;
    }
    return nullptr;
}

void ScreenNavigation::showWaitScreen()
{
    if (!m_forms.isLoaded(formname::kWait))
        m_forms.show(new WaitScreen());
}

void ScreenNavigation::showMenu()
{
    if (m_teacherSession) {
        m_teacherSession = false;
        if (ToolWindows* windows = tools())
            windows->lockTeacher();
    }
    context().services.state.current.teacher = false;
    handOver(new NameselScreen(context()));
}

void ScreenNavigation::showNameChange()
{
    handOver(new NameChangeScreen(context()));
}

void ScreenNavigation::showBoard()
{
    // Back from a practice, the board shows the view it was started from (the pupil's own
    // times, where the weak numbers are), so the pupil sees at once what changed.
    const CourseBoard::View opening = m_practiceFrom.value_or(CourseBoard::View::Points);
    m_practiceFrom.reset();
    handOver(new BoardScreen(context(), opening));
}

void ScreenNavigation::startDrill(int course)
{
    m_practiceFrom.reset();
    DrillRequest request;
    request.course = course;
    startDrillOf(request);
}

void ScreenNavigation::startPractice(const DrillRequest& request)
{
    if (const auto* board = qobject_cast<BoardScreen*>(m_forms.find(formname::kBoard)))
        m_practiceFrom = board->board().view();
    startDrillOf(request);
}

void ScreenNavigation::startDrillOf(const DrillRequest& request)
{
    const int course = request.course;
    ScreenContext& c = context();
    if (c.services.state.current.teacher) {
        // Nobody's attempt: the teacher came in without a roster line, and nothing is recorded
        // without one.
        c.services.messages.show(QStringLiteral("先生用"),
                                 QStringLiteral("先生用の画面からは、ドリルを始められません。\r\n"
                                                "ためすときは、名ぼの名前をえらんで始めてください。"),
                                 MessageBox::Icon::Information);
        if (!m_forms.isLoaded(formname::kBoard))
            showBoard();
        return;
    }
    if (!numbersets::hasNumberSet(course)) {
        // The drill must never show an empty problem.
        c.services.messages.show(
            QStringLiteral("注意"),
            QStringLiteral("このレベル（%1）の問題はありません。先生をよんでください。").arg(course),
            MessageBox::Icon::Warning);
        if (!m_forms.isLoaded(formname::kBoard))
            showBoard();
        return;
    }
    handOver(new DrillScreen(c, makeDrillKind(request)));
}

void ScreenNavigation::showEndScreen(const AttemptOutcome& outcome)
{
    ScreenContext& c = context();
    showWaitScreen();
    c.pause.wait(1000);
    handOver(new EndScreen(c, outcome));
}

void ScreenNavigation::showPracticeEnd(const PracticeOutcome& outcome)
{
    handOver(new PracticeEndScreen(context(), outcome));
}

ToolWindows* ScreenNavigation::tools()
{
    QString error;
    if (ToolWindows* windows = m_tools ? m_tools(&error) : nullptr)
        return windows;
    context().services.messages.show(
        QStringLiteral("注意"),
        QStringLiteral("ヘルプと先生用の画面を開けません。%1\r\n先生をよんでください。").arg(error),
        MessageBox::Icon::Warning);
    return nullptr;
}

void ScreenNavigation::showHelp(const QString& address)
{
    if (Form* browser = m_forms.find(formname::kHelpBrowser)) {
        m_forms.show(browser);
        return;
    }
    if (ToolWindows* windows = tools())
        m_forms.show(windows->helpBrowser(context(), address));
}

void ScreenNavigation::showVersionBox()
{
    VersionBox box(context().services.state.catalogue.courseTitle, currentScreen());
    box.exec(); // the menu waits until the box is closed
}

void ScreenNavigation::showGraph(int pupil)
{
    if (ToolWindows* windows = tools())
        windows->showGraph(context(), pupil, currentScreen());
}

void ScreenNavigation::showTeacherPanel()
{
    auto* board = qobject_cast<BoardScreen*>(m_forms.find(formname::kBoard));
    ToolWindows* windows = board ? tools() : nullptr;
    if (!windows)
        return;
    windows->showTeacherPanel(context(), board->board().viewedPupil(), showingOn(board), board);
}

void ScreenNavigation::showClassView()
{
    auto* board = qobject_cast<BoardScreen*>(m_forms.find(formname::kBoard));
    ToolWindows* windows = board ? tools() : nullptr;
    if (!windows)
        return;
    windows->showClassView(context(), showingOn(board), board);
}

void ScreenNavigation::showTeacherTools()
{
    ToolWindows* windows = tools();
    if (!windows || !windows->unlockTeacher(context(), currentScreen()))
        return;
    m_teacherSession = true;
    NameMenu::enterAsTeacher(context().services);
    showBoard();
    if (m_forms.isLoaded(formname::kBoard))
        showTeacherPanel();
}

void ScreenNavigation::showSchoolSettings(QWidget* over)
{
    if (ToolWindows* windows = tools())
        windows->showSchoolSettings(context(), over ? over : currentScreen());
}

void ScreenNavigation::showRosterWindow(QWidget* over)
{
    ToolWindows* windows = tools();
    if (!windows)
        return;
    const bool fromMenu = m_forms.isLoaded(formname::kMenu);
    if (windows->showRosterWindow(context(), over ? over : currentScreen()) && fromMenu &&
        m_forms.isLoaded(formname::kMenu))
        showMenu(); // the roster as it is now
}

void ScreenNavigation::showCertificates(const QList<int>& pupils, QWidget* over)
{
    if (ToolWindows* windows = tools())
        windows->showCertificates(context(), pupils, over ? over : currentScreen());
}
