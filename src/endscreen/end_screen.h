#pragma once

#include "end_result.h"
#include "state/attempt_outcome.h"
#include "ui/form.h"
#include "ui/screen_context.h"

class QLabel;
class QPushButton;
class QTimer;
class QWidget;

// "FrmSyuuryou": the result of the attempt just recorded, its points and record message with
// their sounds, the clearing state, and the way on.
class EndScreen final : public Form
{
    Q_OBJECT
public:
    EndScreen(ScreenContext& context, const AttemptOutcome& outcome);

    void settle();  // Timer1: 500 ms after activation
    void toBoard(); // Command4, メニューへ
    void again();   // Command5, もう一度

protected:
    void formLoad() override;
    void formActivate() override;
    void closeRequested() override { toBoard(); }

private:
    ScreenContext& m_context;
    const AttemptOutcome m_outcome;
    bool m_leaving = false;
    QLabel* m_clearedLabel = nullptr;  // Label2
    QLabel* m_clearLine = nullptr;     // LabelClear: how far to clearing
    QLabel* m_clearHeading = nullptr;  // LabelCleared: "レベル3 クリア！"
    QLabel* m_levelToday = nullptr;    // Label13
    QLabel* m_allToday = nullptr;      // Label14
    QLabel* m_title = nullptr;         // Label15
    QLabel* m_courseName = nullptr;    // Label16
    QLabel* m_pupilName = nullptr;     // Label17
    QLabel* m_result = nullptr;        // Label18
    QLabel* m_points = nullptr;        // Label19
    QLabel* m_recordMessage = nullptr; // Label20
    QWidget* m_targetPanel = nullptr;  // Picture1
    QPushButton* m_toMenu = nullptr;   // Command4
    QPushButton* m_again = nullptr;    // Command5
    QTimer* m_timer = nullptr;
};
