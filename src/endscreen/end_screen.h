#pragma once

#include "end_result.h"
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
    explicit EndScreen(ScreenContext& context);

    void Timer1_Timer();   // settling, 500 ms after activation
    void Command4_Click(); // メニューへ
    void Command5_Click(); // もう一度

protected:
    void formLoad() override;
    void formActivate() override;
    void closeRequested() override { Command4_Click(); }

private:
    ScreenContext& m_context;
    bool m_cleared = false;
    QLabel* m_label2 = nullptr;
    QLabel* m_label13 = nullptr;
    QLabel* m_label14 = nullptr;
    QLabel* m_label15 = nullptr;
    QLabel* m_label16 = nullptr;
    QLabel* m_label17 = nullptr;
    QLabel* m_label18 = nullptr;
    QLabel* m_label19 = nullptr;
    QLabel* m_label20 = nullptr;
    QWidget* m_picture1 = nullptr;
    QPushButton* m_toMenu = nullptr;
    QPushButton* m_again = nullptr;
    QTimer* m_timer = nullptr;
};
