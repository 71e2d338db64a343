#pragma once

#include <QObject>
#include <QString>
#include <QtPlugin>
#include <functional>

class Form;
class QWidget;
struct ScreenContext;

// The windows that only the help and the teacher's tools need, with the libraries they bring
// along (web access, printing). The program loads them when one is first asked for
// (the "divisor-drill-tools" module beside the executable), so that a pupil's start-up pays
// for none of them.
class ToolWindows
{
public:
    virtual ~ToolWindows() = default;
    // The help browser form, opening the address when it loads.
    virtual Form* helpBrowser(ScreenContext& context, const QString& startAddress) = 0;
    // A pupil's graph, waiting until it is closed.
    virtual void showGraph(ScreenContext& context, int pupil, QWidget* parent) = 0;
    // The teacher's panel beside the board; "表示" calls showPupil.
    using ShowPupil = std::function<void(int pupil)>;
    virtual void showTeacherPanel(ScreenContext& context, int boardPupil, ShowPupil showPupil, QWidget* parent) = 0;
    // The class's view beside the board; Enter on a row calls showPupil.
    virtual void showClassView(ScreenContext& context, ShowPupil showPupil, QWidget* parent) = 0;
    // "名簿の編集", waiting until it is closed: whether the roster was saved.
    virtual bool showRosterWindow(ScreenContext& context, QWidget* parent) = 0;
    // "賞状を印刷" for the given pupils (everyone when none), waiting until it is closed.
    virtual void showCertificates(ScreenContext& context, const QList<int>& pupils, QWidget* parent) = 0;
    // "学校の設定", waiting until it is closed.
    virtual void showSchoolSettings(ScreenContext& context, QWidget* parent) = 0;
    // "先生用": asks the teacher's password (when one is set) over the screen; once given, every
    // teacher's window opens without asking again until lockTeacher.
    virtual bool unlockTeacher(ScreenContext& context, QWidget* over) = 0;
    virtual void lockTeacher() = 0;
};

#define ToolWindows_iid "divisor-drill.ToolWindows/5"
Q_DECLARE_INTERFACE(ToolWindows, ToolWindows_iid)

// The windows themselves, built into the module and into the tests.
ToolWindows& toolWindows();
