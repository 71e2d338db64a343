#pragma once

#include "course_board.h"
#include "ui/form.h"
#include "ui/screen_context.h"

#include <QList>
#include <functional>

class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QWidget;

// "seisekitime1": the pupil's course board and the class's results. One column per course
// with its name, its rule, the pupil's figures, how far they are from clearing it, its start
// button and its list; the display options choose the lists. The drill is started from here
// and the end screen comes back here. What it shows is the CourseBoard's.
class BoardScreen final : public Form
{
    Q_OBJECT
public:
    // Opens in "ﾎﾟｲﾝﾄ表示", or in the view given (the one a practice was started from).
    explicit BoardScreen(ScreenContext& context, CourseBoard::View opening = CourseBoard::View::Points);

    // Command4(i), or a click on the course's name (Label3(i)).
    void startCourse(int course);
    void backToMenu(); // 戻る(0)
    // The teacher looks at another pupil's figures and lists.
    void showPupil(int pupil);
    const CourseBoard& board() const { return m_board; }

protected:
    void formLoad() override;
    void formActivate() override;
    void closeRequested() override { backToMenu(); }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Column
    {
        QWidget* panel = nullptr; // every control of the course, moved together when scrolling
        QLabel* name = nullptr;   // Label3
        QLabel* today = nullptr;  // Label14
        QLabel* total = nullptr;  // Label15
        QLabel* toClear = nullptr;
        QList<QLabel*> figureHeadings; // Label9, Label10
        QPushButton* start = nullptr;  // Command4
        QListWidget* list = nullptr;   // List5
        // In the pupil's own view: the weak numbers under a shorter list, and their practice.
        QLabel* weakHeading = nullptr;
        QListWidget* weak = nullptr;
        QPushButton* practice = nullptr;
    };

    // The controls at their places (board_screen_layout.cpp).
    void showViewControls(); // the order options as the view has them
    void buildColumn(int course, const CourseBoard::Column& column, int x, int width);
    void buildOptions();
    void changeView(int view);    // Option2
    void changeOrder(int option); // Option1
    void changeGradeFilter();     // Combo1
    [[nodiscard]] bool rebuildLists();
    void scrollColumns(int value); // HScroll1
    void showFigures();
    void showPupilHeading();
    void showWeakNumbers();
    void startPractice(int course); // にがてな数の練習
    void startReview();             // ふくしゅう
    void startSetPractice();        // the practice set chosen
    void showReview();
    void leaveForDrill(const std::function<void()>& start);

    ScreenContext& m_context;
    CourseBoard m_board;
    CourseBoard::View m_opening;
    QWidget* m_page = nullptr; // every control of the board
    bool m_activating = false;
    QList<Column> m_columns; // index = course
    int m_columnStep = 0;    // pixels between two columns, as shown
    int m_firstColumnX = 0;
    QLabel* m_pupilHeading = nullptr;   // Label12
    QLabel* m_schoolLine = nullptr;     // Label13
    QLabel* m_heading = nullptr;        // Label5
    QLabel* m_minutes = nullptr;        // Label17
    QLabel* m_todayTotal = nullptr;     // Label18
    QList<QRadioButton*> m_views;       // Option2(0..2)
    QList<QRadioButton*> m_orders;      // Option1(1..3), index 0 unused
    QComboBox* m_gradeFilter = nullptr; // Combo1
    QComboBox* m_allAttempts = nullptr; // Combo2
    QScrollBar* m_scroll = nullptr;     // HScroll1
    QPushButton* m_graph = nullptr;     // Command17
    QPushButton* m_print = nullptr;     // Command24(1)
    QPushButton* m_classView = nullptr; // クラスの様子, for the teacher
    QPushButton* m_review = nullptr;    // ふくしゅう, with how many are due
    QComboBox* m_sets = nullptr;        // the practice sets
    QPushButton* m_setPractice = nullptr;
    QList<practicesets::Set> m_setList;
    QWidget* m_wait = nullptr;          // Picture2
    QWidget* m_progressPanel = nullptr; // Picture6
    QProgressBar* m_progress = nullptr;
};
