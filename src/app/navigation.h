#pragma once

#include "ui/navigator.h"

struct ScreenContext;

// Creates the screens and shows them through the form registry.
class ScreenNavigation final : public Navigator
{
public:
    // The context holds this navigation, so it is attached once both exist.
    void attach(ScreenContext& context) { m_context = &context; }

    void startDrill() override;
    void openResultsViewer() override;
    void showMenu() override;
    void showNameChange() override;
    void showEndScreen() override;
    void showWaitScreen() override;
    void showHelpBrowser() override;

private:
    ScreenContext& context() const;
    ScreenContext* m_context = nullptr;
};
