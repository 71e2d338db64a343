#pragma once

// The ways from one screen to the next. Screens ask for the next screen here and never include
// one another; the application's navigation creates them. The screen that hands over unloads
// itself or is unloaded by the next one.
class Navigator
{
public:
    virtual ~Navigator() = default;
    // The drill for the current course, once pending events have run; a course without a
    // number set is refused with a message and the board is shown instead.
    virtual void startDrill() = 0;
    // The course board for the current pupil; a board already open is replaced.
    virtual void openResultsViewer() = 0;
    virtual void showMenu() = 0;
    virtual void showNameChange() = 0;
    virtual void showEndScreen() = 0;
    // The wait form, unless it is already shown.
    virtual void showWaitScreen() = 0;
    // The help browser on BrowserUrl; a browser already open keeps its page.
    virtual void showHelpBrowser() = 0;
};
