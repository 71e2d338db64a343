#pragma once

#include "course_board.h"
#include "ui/form.h"
#include "ui/screen_context.h"

#include <QList>

class QLabel;
class QPushButton;
class QWidget;

// "seisekitime1": the pupil's course board. One column per course with its name, its rule,
// the pupil's figures and its start button; the drill is started from here and the end
// screen comes back here. What it shows is the CourseBoard's.
class BoardScreen final : public Form
{
    Q_OBJECT
public:
    explicit BoardScreen(ScreenContext& context);

    // Command4(i), or a click on the course's name (Label3(i)).
    void startCourse(int course);
    void backToMenu(); // 戻る(0)

protected:
    void formLoad() override;
    void formActivate() override;
    void closeRequested() override { backToMenu(); }
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ScreenContext& m_context;
    CourseBoard m_board;
    QList<QPushButton*> m_start;    // Command4, index = course
    QList<QLabel*> m_names;         // Label3, index = course
    QList<QLabel*> m_today;         // Label14, index = course
    QList<QLabel*> m_total;         // Label15, index = course
    QLabel* m_minutes = nullptr;    // Label17
    QLabel* m_todayTotal = nullptr; // Label18
    QPushButton* m_print = nullptr; // Command24(1)
    QWidget* m_wait = nullptr;      // Picture2
};
