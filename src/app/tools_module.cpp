// The module "divisor-drill-tools": the help browser and the teacher's tools, loaded by the
// program when one of them is first asked for.
#include "tool_windows.h"

class ToolsModule final : public QObject, public ToolWindows
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ToolWindows_iid FILE "tools_module.json")
    Q_INTERFACES(ToolWindows)
public:
    Form* helpBrowser(ScreenContext& context, const QString& startAddress) override
    {
        return toolWindows().helpBrowser(context, startAddress);
    }
    void showGraph(ScreenContext& context, int pupil, QWidget* parent) override
    {
        toolWindows().showGraph(context, pupil, parent);
    }
    void showTeacherPanel(ScreenContext& context, int boardPupil, ShowPupil showPupil, QWidget* parent) override
    {
        toolWindows().showTeacherPanel(context, boardPupil, std::move(showPupil), parent);
    }
    void showClassView(ScreenContext& context, ShowPupil showPupil, QWidget* parent) override
    {
        toolWindows().showClassView(context, std::move(showPupil), parent);
    }
    bool showRosterWindow(ScreenContext& context, QWidget* parent) override
    {
        return toolWindows().showRosterWindow(context, parent);
    }
    void showCertificates(ScreenContext& context, const QList<int>& pupils, QWidget* parent) override
    {
        toolWindows().showCertificates(context, pupils, parent);
    }
    void showSchoolSettings(ScreenContext& context, QWidget* parent) override
    {
        toolWindows().showSchoolSettings(context, parent);
    }
    bool unlockTeacher(ScreenContext& context, QWidget* over) override
    {
        return toolWindows().unlockTeacher(context, over);
    }
    void lockTeacher() override { toolWindows().lockTeacher(); }
};

#include "tools_module.moc"
