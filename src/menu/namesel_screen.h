#pragma once

#include "name_menu.h"
#include "ui/form.h"
#include "ui/screen_context.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QWidget;

// "namesel": the program's front door. The pupil finds their name, narrowed by grade if
// needed, confirms it and goes on to their course board. What is listed and who is chosen is
// the NameMenu's; the screen shows it.
class NameselScreen final : public Form
{
    Q_OBJECT
public:
    explicit NameselScreen(ScreenContext& context);

    const NameMenu& menu() const { return m_menu; }

protected:
    void formLoad() override;
    void formActivate() override;
    void closeRequested() override { quitProgram(); }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void showList(); // 名簿表示
    void rowClicked(int row, bool doubleClick);
    void jumpTo(int row);  // the kana jump's row, shown at the top of the list
    void confirmName();    // O.K.
    void quitProgram();    // 終了
    void openNameChange(); // 名前の変更
    void changeListMode(int mode);
    void changeGradeFilter();
    void openHelp(int page); // a page of the help addresses in the help browser
    void openHomePage();     // menuCV88

    ScreenContext& m_context;
    NameMenu m_menu;
    QListWidget* m_list = nullptr;      // List1
    QComboBox* m_gradeFilter = nullptr; // Combo1
    QList<QRadioButton*> m_listModes;   // Option1(0..3)
    QLabel* m_choice = nullptr;         // Label1
    QPushButton* m_confirm = nullptr;   // Command14
    QPushButton* m_quit = nullptr;      // Command7
    QWidget* m_wait = nullptr;          // Picture5
    QWidget* m_emptyRoster = nullptr;   // a new installation: where the roster is, 名簿を作る
    QLabel* m_emptyRosterText = nullptr;
    QPushButton* m_makeRoster = nullptr;
    QPushButton* m_teacher = nullptr; // 先生用
    QList<QPushButton*> m_kanaRows;   // あ か さ … わ: the kana jump
};
