#include "tool_windows.h"

#include "board/results_lists.h"
#include "certificate/certificate_dialog.h"
#include "classview/class_view_window.h"
#include "help/help_browser.h"
#include "records/results_reader.h"
#include "roster/roster_window.h"
#include "school/school_settings_dialog.h"
#include "state/clock.h"
#include "state/shared_state.h"
#include "teacher/graph_window.h"
#include "teacher/password_dialogs.h"
#include "teacher/progress_graph.h"
#include "teacher/teacher_panel.h"
#include "ui/form.h"
#include "ui/screen_context.h"
#include "ui/ui_helpers.h"

#include <QScreen>
#include <algorithm>
#include <memory>

namespace {

// The teacher's panel and the class view are windows of their own beside the board, not on top
// of it, so that "表示" can bring the board in front of them; they close with the board, and
// count as opened from it where the teacher's password is concerned.
constexpr char kOpenedFrom[] = "openedFromScreen";

void besideBoard(QWidget* window, QWidget* board)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (!board)
        return;
    window->setProperty(kOpenedFrom, QVariant::fromValue(static_cast<QObject*>(board)));
    QObject::connect(board, &QObject::destroyed, window, [window] {
        window->setProperty(kOpenedFrom, QVariant());
        window->close();
    });
    const QRect area = board->screen() ? board->screen()->availableGeometry() : QRect();
    QRect placed(QPoint(), window->size());
    placed.moveCenter(board->window()->frameGeometry().center());
    if (area.isValid()) // within the screen, its title bar reachable
        placed.moveTopLeft(QPoint(
            std::clamp(placed.left(), area.left(), std::max(area.left(), area.right() - placed.width())),
            std::clamp(placed.top(), area.top() + 24, std::max(area.top() + 24, area.bottom() - placed.height()))));
    window->move(placed.topLeft());
}

// The screen a window was opened from: its own, or the board it stands beside.
QWidget* screenOf(QWidget* widget)
{
    while (widget && !qobject_cast<Form*>(widget)) {
        QWidget* parent = widget->parentWidget();
        widget = parent ? parent : qobject_cast<QWidget*>(widget->property(kOpenedFrom).value<QObject*>());
    }
    return widget;
}

class Windows final : public ToolWindows
{
public:
    Form* helpBrowser(ScreenContext& context, const QString& startAddress) override
    {
        return new HelpBrowser(context, startAddress);
    }

    void showGraph(ScreenContext& context, int pupil, QWidget* parent) override
    {
        const SharedState& state = context.services.state;
        ResultsReader reader(context.services, context.pause);
        const auto records = reader.read(resultslists::kPersonalRecords);
        if (!records)
            return; // the program has been ended
        uih::Modal<GraphWindow> graph(state.roster.pupilNames[pupil].trimmed(),
                                      progressgraph::personalSeries(*records, pupil, state.catalogue, state.rules,
                                                                    context.services.clock.today()),
                                      parent);
        graph.exec();
    }

    void showTeacherPanel(ScreenContext& context, int boardPupil, ShowPupil showPupil, QWidget* parent) override
    {
        if (!unlocked(context, parent))
            return;
        if (broughtToFront(m_panel, parent))
            return;
        auto* panel = new TeacherPanel(context, boardPupil, std::move(showPupil), nullptr);
        besideBoard(panel, parent);
        m_panel = panel;
        panel->show();
    }

    void showClassView(ScreenContext& context, ShowPupil showPupil, QWidget* parent) override
    {
        if (!unlocked(context, parent))
            return;
        if (m_classView && screenOf(m_classView) == screenOf(parent)) {
            // Already open behind the board: in front again, with the records as they are now.
            if (m_classView->load() && m_classView)
                broughtToFront(m_classView, parent);
            return;
        }
        auto* view = new ClassViewWindow(context, std::move(showPupil), nullptr);
        besideBoard(view, parent);
        m_classView = view;
        const QPointer<ClassViewWindow> open(view);
        if (!view->load()) {
            delete open.data(); // the program has been ended
            return;
        }
        view->show();
        view->raise();
        view->activateWindow();
    }

    bool showRosterWindow(ScreenContext& context, QWidget* parent) override
    {
        if (!unlocked(context, parent))
            return false;
        auto saved = std::make_shared<bool>(false);
        uih::Modal<RosterWindow> window(
            context, [saved] { *saved = true; }, parent);
        RosterWindow* shown = window.get();
        QObject::connect(shown, &RosterWindow::passwordRequested, shown,
                         [shown, &context] { passworddialogs::change(shown, context.services); });
        if (window->load() && window)
            window.exec();
        return *saved;
    }

    void showCertificates(ScreenContext& context, const QList<int>& pupils, QWidget* parent) override
    {
        if (!unlocked(context, parent))
            return;
        // The window asking may close while the dialog is open (its board goes): the dialog then
        // goes with it, and nothing of it is touched afterwards.
        uih::Modal<CertificateDialog> dialog(context, pupils, parent);
        if (dialog->load() && dialog)
            dialog.exec();
    }

    void showSchoolSettings(ScreenContext& context, QWidget* parent) override
    {
        if (!unlocked(context, parent))
            return;
        uih::Modal<SchoolSettingsDialog> dialog(context, parent);
        dialog.exec();
    }

    bool unlockTeacher(ScreenContext& context, QWidget* over) override
    {
        if (!m_session && !passworddialogs::unlock(over, context.services))
            return false;
        m_session = true;
        return true;
    }

    void lockTeacher() override
    {
        m_session = false;
        m_unlockedFor = nullptr;
    }

private:
    // The teacher's password, when one is set, is asked once for the screen the windows are
    // opened from: again when that screen has been left. Come in by "先生用", it holds until the
    // menu is shown again.
    bool unlocked(ScreenContext& context, QWidget* parent)
    {
        QWidget* screen = screenOf(parent);
        if (m_session || (screen && screen == m_unlockedFor))
            return true;
        if (!passworddialogs::unlock(parent, context.services))
            return false;
        m_unlockedFor = screen;
        return true;
    }

    // One teacher's panel and one class view beside the board: opened again, it comes forward.
    static bool broughtToFront(QWidget* window, QWidget* board)
    {
        if (!window || screenOf(window) != screenOf(board))
            return false;
        window->showNormal();
        window->raise();
        window->activateWindow();
        return true;
    }

    QPointer<QWidget> m_unlockedFor;
    bool m_session = false;
    QPointer<TeacherPanel> m_panel;
    QPointer<ClassViewWindow> m_classView;
};

} // namespace

ToolWindows& toolWindows()
{
    static Windows windows;
    return windows;
}
