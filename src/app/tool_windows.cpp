#include "tool_windows.h"

#include "board/results_lists.h"
#include "help/help_browser.h"
#include "records/results_reader.h"
#include "state/clock.h"
#include "state/shared_state.h"
#include "teacher/graph_window.h"
#include "teacher/progress_graph.h"
#include "teacher/teacher_panel.h"
#include "ui/screen_context.h"

namespace {

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
        GraphWindow graph(state.roster.pupilNames[pupil].trimmed(),
                          progressgraph::personalSeries(*records, pupil, state.catalogue, state.rules,
                                                        context.services.clock.today()),
                          parent);
        graph.exec();
    }

    void showTeacherPanel(ScreenContext& context, int boardPupil, ShowPupil showPupil, QWidget* parent) override
    {
        auto* panel = new TeacherPanel(context, boardPupil, std::move(showPupil), parent);
        panel->setAttribute(Qt::WA_DeleteOnClose);
        panel->show();
    }
};

} // namespace

ToolWindows& toolWindows()
{
    static Windows windows;
    return windows;
}
