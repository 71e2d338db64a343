#pragma once

#include "attempt.h"
#include "divisor_drill.h"
#include "drill_kind.h"
#include "number_sets.h"
#include "ui/form.h"
#include "ui/screen_context.h"

#include <QList>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QWidget;

// The drill screen "mainfrm": one attempt of ten problems, keyboard only. It maps key events
// onto the drill and shows what the drill says; the attempt starts when the screen is shown.
class DrillScreen final : public Form, private DrillFrontEnd
{
    Q_OBJECT
public:
    // The kind decides the numbers, the clock and what is recorded (drill_kind.h).
    DrillScreen(ScreenContext& context, std::unique_ptr<DrillKind> kind);
    ~DrillScreen() override;

    // Timer1: the seconds shown while the attempt runs.
    void tick();
    // Esc or the close box: the pupil is asked, and on "はい" goes back to the course board
    // without the attempt being recorded.
    void askToLeave();

    const DivisorDrill& drill() const { return *m_drill; }

protected:
    void formLoad() override;
    void formActivate() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeRequested() override { askToLeave(); }

private:
    void playCorrectSound() override;
    void playWrongSound() override;
    void attemptSolved() override;

    void initialSetup(); // 初期設定
    void startAttempt(); // Command6, スタート
    void newProblem();
    void endOfAttempt();
    void refresh();
    void focusActiveBox();
    void markWrongEntry();

    ScreenContext& m_context;
    const std::unique_ptr<DrillKind> m_kind;
    const int m_course;
    ProblemDrawer m_drawer;
    std::unique_ptr<DivisorDrill> m_drill;
    AttemptClock m_clock;
    bool m_running = false;
    bool m_ended = false; // the attempt is over: solved and recorded once, or left
    qint32 m_elapsedSeconds = 0;
    int m_answersShownFor = 0; // the number whose answers the answer labels hold

    QList<QLineEdit*> m_boxes;        // index 1..24, 0 the template
    QList<QLabel*> m_answers;         // index 1..24, 0 the template
    QLabel* m_number = nullptr;       // Label8
    QLabel* m_remaining = nullptr;    // Label11
    QLabel* m_elapsed = nullptr;      // Label12
    QLabel* m_today = nullptr;        // Label17
    QWidget* m_answerPanel = nullptr; // Picture2
    QWidget* m_recording = nullptr;   // sPicture2
    QList<QLabel*> m_instructions;    // Label1..3
    QLabel* m_acknowledge = nullptr;  // Label15
    QLabel* m_nextStep = nullptr;     // LabelNext: what happened and what comes next
    QLabel* m_wrongMark = nullptr;    // LabelWrong: the mark beside the wrong box
    int m_markedBox = 0;              // the box marked wrong, 0 none
    QPushButton* m_start = nullptr;   // Command6
    QTimer* m_timer = nullptr;        // Timer1
};
