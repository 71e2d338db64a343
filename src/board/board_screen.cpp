#include "board_screen.h"

#include "problemlog/weak_numbers.h"
#include "startup/course_catalogue.h"
#include "state/shared_state.h"
#include "ui/form_names.h"
#include "ui/navigator.h"
#include "ui/ui_helpers.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>

BoardScreen::BoardScreen(ScreenContext& context, CourseBoard::View opening)
    : Form(formname::kBoard.toString()), m_context(context), m_board(context.services, context.pause),
      m_opening(opening)
{}

void BoardScreen::formActivate()
{
    // Events run while the lists are built: the pupil may leave the board meanwhile (the close
    // box, "0"), which unloads it, so nothing of it is used once it has gone.
    const OpenCheck open = openCheck();
    if (!m_board.refresh() || !open())
        return; // the program has been ended, or the board left
    m_activating = true;
    m_minutes->setText(m_board.minutesSinceStart());
    m_todayTotal->setText(m_board.todayTotal());
    m_print->setVisible(m_board.showsTeacherTools());
    m_classView->setVisible(m_board.showsTeacherTools());
    // Practices are the pupil's own: the teacher (by the way in or a 先生 line) has none.
    const bool pupil = !m_context.services.state.current.teacher && !m_board.showsTeacherTools();
    m_sets->setVisible(pupil);
    m_setPractice->setVisible(pupil);
    if (pupil)
        showReview();
    showFigures();
    // The opening display: points (or the view a practice was started from), all-time order,
    // every list built with the progress shown.
    m_board.setView(m_opening);
    m_board.setOrderOption(1);
    m_board.setGradeFilter(m_gradeFilter->currentText());
    m_orders[1]->setChecked(true);
    if (m_opening != CourseBoard::View::Points)
        showViewControls(); // the board's own first captions stand until the view changes
    if (!rebuildLists())
        return;
    m_views[int(m_opening)]->setChecked(true);
    m_activating = false;
    if (m_columns.size() > 1)
        m_columns[1].start->setFocus(Qt::OtherFocusReason);
}

void BoardScreen::showPupilHeading()
{
    m_pupilHeading->setText(m_board.pupilHeading());
    m_schoolLine->setText(m_board.schoolLine());
}

void BoardScreen::showFigures()
{
    const QList<CourseBoard::Column>& columns = m_board.columns();
    for (int i = 1; i < m_columns.size() && i < columns.size(); ++i) {
        Column& c = m_columns[i];
        for (QLabel* heading : c.figureHeadings)
            heading->setVisible(!columns[i].practice);
        c.today->setVisible(!columns[i].practice);
        c.total->setVisible(!columns[i].practice);
        c.toClear->setVisible(!columns[i].practice);
        c.today->setText(columns[i].today);
        c.total->setText(columns[i].total);
        c.toClear->setText(columns[i].toClear);
        c.start->setEnabled(true);
    }
}

void BoardScreen::showPupil(int pupil)
{
    const OpenCheck open = openCheck();
    m_board.setViewedPupil(pupil);
    if (!m_board.refresh() || !open())
        return; // the program has been ended, or the board left
    showPupilHeading();
    showFigures();
    (void)rebuildLists();
}

void BoardScreen::changeView(int view)
{
    if (m_activating)
        return; // during the first activation the display mode is set, not applied
    m_board.setView(CourseBoard::View(view));
    showViewControls();
    (void)rebuildLists();
}

void BoardScreen::showViewControls()
{
    const bool personal = m_board.view() == CourseBoard::View::PersonalTimes;
    m_allAttempts->setVisible(!personal);
    if (!personal) {
        const QStringList captions = m_board.orderCaptions();
        for (int i = 1; i <= 3; ++i)
            m_orders[i]->setText(captions[i - 1]);
    }
}

void BoardScreen::changeOrder(int option)
{
    m_board.setOrderOption(option);
    (void)rebuildLists();
}

void BoardScreen::changeGradeFilter()
{
    m_board.setGradeFilter(m_gradeFilter->currentText());
    (void)rebuildLists();
}

// The lists are hidden while they are rebuilt; the progress bar moves one step per course and
// window events run between courses. False when the board was left meanwhile.
bool BoardScreen::rebuildLists()
{
    bool open = true;
    m_heading->setText(m_board.heading());
    m_graph->setVisible(m_board.view() == CourseBoard::View::PersonalTimes);
    for (int i = 1; i < m_columns.size(); ++i)
        m_columns[i].list->hide();
    m_progress->setValue(0);
    m_progressPanel->show();
    m_progressPanel->raise();
    const auto lists = m_board.buildLists([&](int course) {
        if (!open)
            return;
        m_progress->setValue(course);
        open = letEventsRun();
    });
    if (!open || !lists)
        return false; // left meanwhile, or the program has been ended
    const QList<CourseBoard::Column>& columns = m_board.columns();
    for (int i = 1; i < m_columns.size(); ++i) {
        QListWidget* list = m_columns[i].list;
        list->setUpdatesEnabled(false);
        list->clear();
        const resultslists::Lines& lines = (*lists)[i];
        list->addItems(lines.text);
        for (qsizetype k = 0; k < lines.detail.size() && k < list->count(); ++k)
            list->item(int(k))->setToolTip(lines.detail[k]);
        list->setUpdatesEnabled(true);
        list->setVisible(i < columns.size() && !columns[i].practice);
    }
    showWeakNumbers();
    m_progressPanel->hide();
    return true;
}

// The pupil's own view puts the weak numbers under a shorter list.
void BoardScreen::showWeakNumbers()
{
    const bool personal = m_board.view() == CourseBoard::View::PersonalTimes;
    const QList<CourseBoard::Column>& columns = m_board.columns();
    const QList<CourseBoard::WeakColumn> weak = personal ? m_board.weakColumns() : QList<CourseBoard::WeakColumn>{};
    for (int i = 1; i < m_columns.size(); ++i) {
        Column& c = m_columns[i];
        const bool shown = personal && i < weak.size() && i < columns.size() && !columns[i].practice;
        // In the controls' places as shown: the screen may have been scaled to fit.
        const int bottom = shown ? c.weakHeading->y() - 2 : c.practice->geometry().bottom() + 1;
        c.list->resize(c.list->width(), bottom - c.list->y());
        c.weakHeading->setVisible(shown);
        c.weak->setVisible(shown);
        c.practice->setVisible(shown);
        if (!shown)
            continue;
        c.weak->clear();
        c.weak->addItems(weak[i].lines);
        c.practice->setEnabled(weak[i].practiceAvailable);
        c.practice->setToolTip(
            weak[i].practiceAvailable
                ? QStringLiteral("にがてな数を10問練習します（せいせきには記録しません）")
                : QStringLiteral("このレベルを%1問以上とくと練習できます").arg(weaknumbers::kPracticeNeeds));
    }
}

void BoardScreen::startPractice(int course)
{
    if (course < 1 || course >= m_columns.size() || !m_columns[course].practice->isEnabled())
        return;
    DrillRequest request;
    request.kind = DrillRequest::Kind::WeakNumbers;
    request.course = course;
    request.name = QStringLiteral("にがてな数");
    request.numbers = m_board.practiceNumbers(course);
    request.timed = !m_board.untimed();
    if (!request.numbers.isEmpty())
        leaveForDrill([&] { m_context.navigator.startPractice(request); });
}

void BoardScreen::showReview()
{
    const QString error = m_board.readReview();
    const qsizetype due = m_board.reviewDue().size();
    m_review->setVisible(due > 0 || !error.isEmpty());
    m_review->setEnabled(due > 0);
    m_review->setText(QStringLiteral("ふくしゅう（%1）(&F)").arg(due));
    m_review->setToolTip(error.isEmpty() ? QStringLiteral("前にまちがえた数が、きょう %1 こあります").arg(due)
                                         : QStringLiteral("記録を読めません：") + error);
}

void BoardScreen::startReview()
{
    if (m_board.reviewDue().isEmpty())
        return;
    const DrillRequest request = m_board.reviewRequest();
    leaveForDrill([&] { m_context.navigator.startPractice(request); });
}

void BoardScreen::startSetPractice()
{
    const int index = m_sets->currentIndex();
    if (index < 0 || index >= m_setList.size())
        return;
    const DrillRequest request = m_board.setRequest(m_setList[index]);
    leaveForDrill([&] { m_context.navigator.startPractice(request); });
}

// The wait panel stands while the drill gets ready; the drill replaces the board, and a level
// without problems leaves it here.
void BoardScreen::leaveForDrill(const std::function<void()>& start)
{
    m_wait->show();
    m_wait->raise();
    if (!letEventsRun())
        return;
    const OpenCheck open = openCheck();
    start();
    if (open())
        m_wait->hide();
}

void BoardScreen::scrollColumns(int value)
{
    const int count = int(m_columns.size()) - 1;
    if (count < 2)
        return;
    if (m_columnStep == 0) { // the columns as shown, after the screen was fitted
        m_firstColumnX = m_columns[1].panel->x();
        m_columnStep = m_columns[2].panel->x() - m_firstColumnX;
    }
    const int first = CourseBoard::firstVisibleCourse(value, count);
    for (int k = 1; k <= count; ++k) {
        m_columns[k].panel->move(m_firstColumnX + (k - first) * m_columnStep, m_columns[k].panel->y());
        m_columns[k].panel->setVisible(k >= first); // off the form to the left
    }
}

void BoardScreen::startCourse(int course)
{
    if (course < 1 || course >= m_columns.size() || !m_columns[course].start->isEnabled())
        return;
    if (m_board.untimed()) {
        // A pupil the teacher set to practise without a clock: the level's numbers, unrecorded.
        const DrillRequest request = m_board.untimedLevelRequest(course);
        if (request.kind != DrillRequest::Kind::Attempt) {
            leaveForDrill([&] { m_context.navigator.startPractice(request); });
            return;
        }
    }
    leaveForDrill([&] { m_context.navigator.startDrill(course); });
}

void BoardScreen::backToMenu()
{
    m_wait->show();
    m_wait->raise();
    m_context.navigator.showMenu();
}

// A click on a course's name starts it.
bool BoardScreen::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int i = 1; i < m_columns.size(); ++i) {
            if (watched == m_columns[i].name) {
                startCourse(i);
                return true;
            }
        }
    }
    return Form::eventFilter(watched, event);
}
