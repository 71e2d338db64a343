#pragma once

#include "state/attempt_outcome.h"
#include "ui/form.h"
#include "ui/screen_context.h"

class QPushButton;

// The end of a practice of weak numbers: "練習", its time and each number against before. The
// practice is recorded nowhere but in the problem log, so there are no points and no clearing.
class PracticeEndScreen final : public Form
{
    Q_OBJECT
public:
    PracticeEndScreen(ScreenContext& context, const PracticeOutcome& outcome);

    void toBoard(); // Command4, メニューへ

protected:
    void formLoad() override;
    void formActivate() override;
    void closeRequested() override { toBoard(); }

private:
    ScreenContext& m_context;
    const PracticeOutcome m_outcome;
    bool m_leaving = false;
    QPushButton* m_toMenu = nullptr; // Command4
};
