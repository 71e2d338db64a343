#pragma once

#include "state/services.h"

#include <QList>
#include <QString>

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
// 1 when the pupil has cleared the top level.
qint16 topLevelCleared(const Statistics& stats, const CourseRules& rules, const Catalogue& catalogue, int pupil);
// Practice courses have the rules 600/600 whatever the rules file says.
void applyPracticeRules(CourseRules& rules, const Catalogue& catalogue);

} // namespace courseboard

// What the course board shows for the current pupil, worked out afresh each time the board
// becomes active. The board screen shows it and forwards the pupil's choice of a course.
class CourseBoard
{
public:
    struct Column
    {
        QString name;
        QString rule;
        QString today;
        QString total;
        bool practice = false; // no figures
    };

    CourseBoard(Services services, Pause& pause) : m_services(services), m_pause(pause) {}

    // The columns as laid out, before any figures: names and rules of courses 1..CourseCount.
    QList<Column> layout() const;
    // Recomputes the statistics and every figure, and sets TopLevelCleared. False when the
    // program has been ended (the results file could not be read).
    bool refresh();

    const QList<Column>& columns() const { return m_columns; } // index 0 is no course
    QString minutesSinceStart() const;
    QString todayTotal() const;
    bool showsTeacherTools() const; // for a pupil named "先生"
    // Makes a course the current one, when it is on the board.
    bool choose(int course);

private:
    Services m_services;
    Pause& m_pause;
    QList<Column> m_columns;
};
