#include "course_board.h"

#include "drill/attempt.h"
#include "platform/pause.h"
#include "records/clearing.h"
#include "records/results_store.h"
#include "state/clock.h"
#include "state/shared_state.h"

namespace courseboard {

QString ruleCaption(const CourseRules& r, const Catalogue& catalogue, int i)
{
    const QString target = QString::number(r.targetTime[i]);
    if (catalogue.courseDefined[i] != 1)
        return QStringLiteral("◎=") + target + QStringLiteral("点以上");
    if (r.requiredPoints[i] == 9999)
        return QStringLiteral("目標=") + target + QStringLiteral("秒 --------");
    return QStringLiteral("目標=%1秒 %2回/%3点(×%4)")
        .arg(target)
        .arg(r.requiredCount[i])
        .arg(r.requiredPoints[i])
        .arg(shortestDecimal(double(r.pointWeight[i])));
}

QString startCaption(int course)
{
    return QStringLiteral("ｽﾀｰﾄ(&%1)").arg(course);
}

QString todayFigures(const Statistics& stats, int c, int p)
{
    const float count = stats.todayCount(c, p);
    if (count == 0)
        return QStringLiteral("-----");
    return QStringLiteral("%1回/%2点").arg(shortestDecimal(double(count))).arg(stats.todayPoints(c, p));
}

QString totalFigures(const Statistics& stats, int c, int p)
{
    const qint16 count = stats.totalCount(c, p);
    if (count == 0)
        return QStringLiteral("------");
    return QStringLiteral("%1回/%2点").arg(count).arg(stats.totalPoints(c, p));
}

QString minutesSinceStart(qint32 pupilStartTime, int secondsSinceMidnight)
{
    int seconds = secondsSinceMidnight - pupilStartTime;
    if (seconds < -60)
        seconds += 24 * 60 * 60;    // the pupil started before midnight
    seconds = std::max(seconds, 0); // the start was rounded up to the next second
    return QStringLiteral("起動後%1分").arg(seconds / 60);
}

QString todayTotal(const Statistics& stats, int p)
{
    return QStringLiteral("本日総回数＝%1回").arg(roundHalfEven(stats.todayCount.sumOverCourses(p)));
}

qint16 topLevelCleared(const Statistics& stats, const CourseRules& rules, const Catalogue& catalogue, int p)
{
    const int top = catalogue.topLevelCourse.toInt();
    if (top < 1 || top > kMaxCourse)
        return 0;
    return clearing::isCleared(stats, rules, top, p) ? 1 : 0;
}

void applyPracticeRules(CourseRules& rules, const Catalogue& catalogue)
{
    for (int i = 1; i <= catalogue.courseCount; ++i) {
        if (attempt::isPractice(catalogue, i)) {
            rules.targetTime[i] = 600;
            rules.secondTargetTime[i] = 600;
        }
    }
}

} // namespace courseboard

QList<CourseBoard::Column> CourseBoard::layout() const
{
    const SharedState& state = m_services.state;
    QList<Column> columns(state.catalogue.courseCount + 1);
    for (int i = 1; i < columns.size(); ++i) {
        columns[i].name = state.catalogue.courseNames[i];
        columns[i].rule = courseboard::ruleCaption(state.rules, state.catalogue, i);
        columns[i].practice = attempt::isPractice(state.catalogue, i);
    }
    return columns;
}

bool CourseBoard::refresh()
{
    SharedState& state = m_services.state;
    ResultsStore store(m_services, m_pause);
    if (!store.computeStatistics())
        return false;
    courseboard::applyPracticeRules(state.rules, state.catalogue);
    const int p = state.current.pupilNo;
    m_columns = layout();
    for (int i = 1; i < m_columns.size(); ++i) {
        m_columns[i].today = courseboard::todayFigures(state.stats, i, p);
        m_columns[i].total = courseboard::totalFigures(state.stats, i, p);
    }
    state.current.topLevelCleared = courseboard::topLevelCleared(state.stats, state.rules, state.catalogue, p);
    return true;
}

QString CourseBoard::minutesSinceStart() const
{
    const int secondsNow = m_services.clock.timeOfDay().msecsSinceStartOfDay() / 1000;
    return courseboard::minutesSinceStart(m_services.state.current.pupilStartTime, secondsNow);
}

QString CourseBoard::todayTotal() const
{
    return courseboard::todayTotal(m_services.state.stats, m_services.state.current.pupilNo);
}

bool CourseBoard::showsTeacherTools() const
{
    return m_services.state.current.pupilName.contains(QStringLiteral("先生"));
}

bool CourseBoard::choose(int course)
{
    if (course < 1 || course > m_services.state.catalogue.courseCount)
        return false;
    m_services.state.current.course = qint16(course);
    return true;
}
