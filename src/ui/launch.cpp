#include "launch.h"

#include "app_context.h"
#include "board/board_screen.h"
#include "drill/drill_screen.h"
#include "drill/number_sets.h"
#include "drill/wait_screen.h"
#include "endscreen/end_screen.h"
#include "form_registry.h"
#include "menu/namesel_screen.h"
#include "pending_events.h"
#include "startup/course_catalogue.h"
#include "state/message_box.h"
#include "state/shared_state.h"

namespace launch {

void startDrill(AppContext& context)
{
    SharedState& state = context.services.state;
    state.current.plusKeyState = 0;
    state.current.endGuard = 0;
    state.current.elapsedSeconds = 0;
    if (!numbersets::hasNumberSet(state.current.course)) {
        // The drill must never show an empty problem.
        context.services.messages.show(
            QStringLiteral("注意"),
            QStringLiteral("このレベル（%1）の問題はありません。先生を呼んでください。").arg(state.current.course),
            MessageBox::Icon::Warning);
        context.forms.unload(QStringLiteral("BASEFRM"));
        if (!context.forms.isLoaded(QStringLiteral("seisekitime1")))
            openResultsViewer(context);
        return;
    }
    letPendingEventsRun();
    context.forms.show(new DrillScreen(context));
}

void openResultsViewer(AppContext& context)
{
    catalogue::fill(context.services.state.catalogue);
    if (Form* board = context.forms.find(QStringLiteral("seisekitime1")))
        context.forms.unload(board);
    context.forms.show(new BoardScreen(context));
}

void showMenu(AppContext& context)
{
    context.forms.show(new NameselScreen(context));
}

void showEndScreen(AppContext& context)
{
    context.forms.show(new EndScreen(context));
}

void showWaitScreen(AppContext& context)
{
    if (!context.forms.isLoaded(QStringLiteral("BASEFRM")))
        context.forms.show(new WaitScreen());
}

} // namespace launch
