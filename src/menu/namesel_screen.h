#pragma once

#include "name_list.h"
#include "ui/form.h"
#include "ui/screen_context.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QWidget;

// "namesel": the program's front door. The pupil finds their name, narrowed by grade if
// needed, confirms it and goes on to their course board.
class NameselScreen final : public Form
{
    Q_OBJECT
public:
    explicit NameselScreen(ScreenContext& context);

    void rosterDisplay(); // 名簿表示
    void List1_Click(int row);
    void List1_DblClick(int row);
    void Command14_Click(); // O.K.
    void Command7_Click();  // 終了
    void Command16_Click(); // 名前の変更
    void Option1_Click(int index);
    void Combo1_Click();

protected:
    void formLoad() override;
    void formActivate() override;
    void closeRequested() override { Command7_Click(); }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void showHelpNotice();

    ScreenContext& m_context;
    int m_listMode = 1;
    bool m_ended = false;
    bool m_problemsShown = false;
    QList<namelist::Row> m_rows; // the pupils of rows 1.. of the list
    QListWidget* m_list = nullptr;
    QComboBox* m_grade = nullptr;
    QList<QRadioButton*> m_modes;
    QLabel* m_choice = nullptr; // Label1
    QLabel* m_number = nullptr; // Label2
    QPushButton* m_ok = nullptr;
    QPushButton* m_end = nullptr;
    QWidget* m_wait = nullptr; // Picture5
};
