#pragma once

#include "drill/practice_sets.h"
#include "problemlog/problem_log.h"
#include "results_lists.h"
#include "state/drill_request.h"
#include "state/services.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class Pause;
struct Catalogue;
struct CourseRules;
struct Statistics;

// The texts of the course board: each course's rule, start button and the pupil's figures.
namespace courseboard {

QString ruleCaption(const CourseRules& rules, const Catalogue& catalogue, int course);
QString startCaption(int course); // ｽﾀｰﾄ(&n): the course number is the button's access key
QString todayFigures(const Statistics& stats, int course, int pupil);
QString totalFigures(const Statistics& stats, int course, int pupil);
QString minutesSinceStart(qint32 pupilStartTime, int secondsSinceMidnight);
QString todayTotal(const Statistics& stats, int pupil);
// Practice courses have the rules 600/600 whatever the rules file says.
void applyPracticeRules(CourseRules& rules, const Catalogue& catalogue);

} // namespace courseboard

// What the course board shows for the current pupil, worked out afresh each time the board
// becomes active: each course's figures, and the list under each course chosen with the display
// options and the grade filter. The board screen shows it and forwards the pupil's choices.
class CourseBoard
{
public:
    struct Column
    {
        QString name;
        QString rule;
        QString today;
        QString total;
        QString toClear;       // how far the pupil is from clearing the course
        bool practice = false; // no figures, no list
    };

    // Option2(0..2): times, points, the pupil's own times.
    enum class View
    {
        Times = 0,
        Points = 1,
        PersonalTimes = 2
    };
    static constexpr int kAllAttempts = 3; // the third order option: "全成績"

    // Column width in twips: the board's width shared out below five courses, else fixed. Five
    // columns of the fixed width fill the board; the scroll bar appears only when there are
    // more, and scrolls until the last column is the rightmost one shown.
    static double columnWidthTwips(int courseCount);
    static constexpr int kColumnsShown = 5;
    static bool hasScrollBar(int courseCount) { return courseCount > kColumnsShown; }
    static int scrollMaximum(int courseCount) { return courseCount - kColumnsShown + 1; }
    // The course in the leftmost column for a scroll value.
    static int firstVisibleCourse(int scrollValue, int courseCount);

    void setView(View view) { m_view = view; }
    View view() const { return m_view; }
    void setOrderOption(int option) { m_orderOption = option; } // Option1(1..3)
    void setGradeFilter(const QString& filter) { m_gradeFilter = filter; }
    // The pupil whose figures and lists the board shows: the current pupil unless the teacher
    // looks at another one.
    void setViewedPupil(int pupil) { m_viewedPupil = pupil; }
    int viewedPupil() const;
    // Captions of Option1(1..3) for the view; the board opens with its own first captions.
    QStringList orderCaptions() const;
    static QStringList openingOrderCaptions();
    QString heading() const; // Label5

    // The lines of every course's list, index 0 no course; practice courses get none. A line of
    // single attempts has the whole attempt written out in its detail. Called back after each
    // course, so that the screen can advance its progress bar and let events run. Nothing when
    // the program has been ended (the results file could not be read).
    std::optional<QList<resultslists::Lines>> buildLists(const std::function<void(int course)>& afterCourse = {});

    CourseBoard(Services services, Pause& pause) : m_services(services), m_pause(pause) {}

    // The columns as laid out, before any figures: names and rules of courses 1..CourseCount.
    QList<Column> layout() const;
    // Recomputes the statistics and every figure. False when the program has been ended (the
    // results file could not be read).
    bool refresh();

    const QList<Column>& columns() const { return m_columns; } // index 0 is no course
    QString minutesSinceStart() const;
    QString todayTotal() const;
    bool showsTeacherTools() const; // for a pupil named "先生"
    // Label12 and Label13: the viewed pupil's grade and name, the school and the pupil's number.
    QString pupilHeading() const;
    QString schoolLine() const;

    // The viewed pupil's weak numbers at each course ("にがてな数"), from the problem log read
    // afresh; index 0 is no course. A log that cannot be read shows why in every column.
    struct WeakColumn
    {
        QStringList lines;
        bool practiceAvailable = false; // "にがてな数の練習": the pupil's own, with enough logged
    };
    QList<WeakColumn> weakColumns();
    // Ten numbers for the current pupil's practice on a course, from the log as last read.
    QList<int> practiceNumbers(int course) const;

    // ふくしゅう: the current pupil's numbers due today (at most ten, the longest waiting first),
    // from the problem log read afresh; none for the teacher. The error when it cannot be read.
    QString readReview();
    const QList<review::Due>& reviewDue() const { return m_reviewDue; }
    // The teacher set this pupil to practise without a clock: every drill is a practice, no time
    // is shown and nothing is recorded as an attempt. Read with the review.
    bool untimed() const { return m_untimed; }
    // ｽﾀｰﾄ on a level for such a pupil: the level's numbers as a practice.
    DrillRequest untimedLevelRequest(int course) const;
    // The drills a practice starts with.
    DrillRequest reviewRequest() const;
    DrillRequest setRequest(const practicesets::Set& set) const;

private:
    Services m_services;
    Pause& m_pause;
    QList<Column> m_columns;
    View m_view = View::Points;
    int m_orderOption = 1;
    QString m_gradeFilter = QStringLiteral("全学年");
    int m_viewedPupil = 0;            // 0: the current pupil
    QList<problemlog::Problem> m_log; // the viewed pupil's logged problems, read with the personal view
    QList<review::Due> m_reviewDue;
    bool m_untimed = false;
};
