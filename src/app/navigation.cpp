#include "navigation.h"

#include "board/board_screen.h"
#include "drill/drill_screen.h"
#include "drill/number_sets.h"
#include "drill/wait_screen.h"
#include "endscreen/end_screen.h"
#include "help/help_browser.h"
#include "menu/namesel_screen.h"
#include "platform/pending_events.h"
#include "roster/name_change_screen.h"
#include "state/message_box.h"
#include "state/shared_state.h"
#include "ui/form_names.h"
#include "ui/form_registry.h"
#include "ui/screen_context.h"

ScreenContext& ScreenNavigation::context() const
{
    Q_ASSERT(m_context);
    return *m_context;
}

void ScreenNavigation::startDrill()
{
    ScreenContext& c = context();
    const int course = c.services.state.current.course;
    if (!numbersets::hasNumberSet(course)) {
        // The drill must never show an empty problem.
        c.services.messages.show(
            QStringLiteral("注意"),
            QStringLiteral("このレベル（%1）の問題はありません。先生を呼んでください。").arg(course),
            MessageBox::Icon::Warning);
        c.forms.unload(formname::kWait);
        if (!c.forms.isLoaded(formname::kBoard))
            openResultsViewer();
        return;
    }
    letPendingEventsRun();
    c.forms.show(new DrillScreen(c));
}

void ScreenNavigation::openResultsViewer()
{
    ScreenContext& c = context();
    if (Form* board = c.forms.find(formname::kBoard))
        c.forms.unload(board);
    c.forms.show(new BoardScreen(c));
}

void ScreenNavigation::showMenu()
{
    context().forms.show(new NameselScreen(context()));
}

void ScreenNavigation::showNameChange()
{
    context().forms.show(new NameChangeScreen(context()));
}

void ScreenNavigation::showEndScreen()
{
    context().forms.show(new EndScreen(context()));
}

void ScreenNavigation::showHelpBrowser()
{
    ScreenContext& c = context();
    if (Form* browser = c.forms.find(formname::kHelpBrowser))
        c.forms.show(browser);
    else
        c.forms.show(new HelpBrowser(c));
}

void ScreenNavigation::showWaitScreen()
{
    if (!context().forms.isLoaded(formname::kWait))
        context().forms.show(new WaitScreen());
}
