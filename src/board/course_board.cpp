#include "course_board.h"

#include "state/shared_state.h"

namespace courseboard {

QString ruleCaption(const SharedState& state, int i)
{
    const CourseRules& r = state.rules;
    const QString target = QString::number(r.targetTime[i]);
    if (state.catalogue.courseDefined[i] != 1)
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

QString todayFigures(const SharedState& state, int c, int p)
{
    const float count = state.stats.todayCount(c, p);
    if (count == 0)
        return QStringLiteral("-----");
    return QStringLiteral("%1回/%2点").arg(shortestDecimal(double(count))).arg(state.stats.todayPoints(c, p));
}

QString totalFigures(const SharedState& state, int c, int p)
{
    const qint16 count = state.stats.totalCount(c, p);
    if (count == 0)
        return QStringLiteral("------");
    return QStringLiteral("%1回/%2点").arg(count).arg(state.stats.totalPoints(c, p));
}

QString minutesSinceStart(const SharedState& state, int secondsSinceMidnight)
{
    int seconds = secondsSinceMidnight - state.current.pupilStartTime;
    if (seconds < -60)
        seconds += 24 * 60 * 60;    // the pupil started before midnight
    seconds = std::max(seconds, 0); // the start was rounded up to the next second
    return QStringLiteral("起動後%1分").arg(seconds / 60);
}

QString todayTotal(const SharedState& state, int p)
{
    return QStringLiteral("本日総回数＝%1回").arg(roundHalfEven(state.stats.todayCount.sumOverCourses(p)));
}

qint16 topLevelCleared(const SharedState& state, int p)
{
    const int top = state.catalogue.topLevelCourse.toInt();
    if (top < 1 || top > kMaxCourse)
        return 0;
    const bool short_ = state.stats.windowPoints(top, p) < state.rules.requiredPoints[top] ||
                        state.stats.windowCount(top, p) < state.rules.requiredCount[top];
    return short_ ? 0 : 1;
}

} // namespace courseboard
