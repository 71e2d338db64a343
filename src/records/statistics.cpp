#include "statistics.h"

#include "oa_date.h"
#include "points.h"

#include <cmath>
#include <vector>

namespace statistics {

bool inTables(const ResultRecord& r)
{
    return r.pupil >= 0 && r.pupil <= kMaxPupil && r.course >= 0 && r.course <= kMaxCourse && r.time >= 0;
}

bool isValid(const ResultRecord& r)
{
    return inTables(r) && r.date >= 0 && r.pupil >= 1 && r.course >= 1;
}

qsizetype firstHeld(const QList<ResultRecord>& records)
{
    int held = 0;
    for (qsizetype j = records.size() - 1; j >= 0; --j) {
        if (isValid(records[j]) && ++held == kHeldRecords)
            return j;
    }
    return 0;
}

Statistics compute(const QList<ResultRecord>& records, const CourseRules& rules, int courses, const QDate& todayDate,
                   const QTime& timeOfDay)
{
    Statistics s(courses);
    courses = s.courses();
    const qsizetype first = firstHeld(records);
    // Best times come from every record in the tables, counted or not.
    for (qsizetype j = first; j < records.size(); ++j) {
        const ResultRecord& r = records[j];
        if (!inTables(r) || r.course > courses)
            continue;
        qint32& best = s.bestTime(r.course, r.pupil);
        best = std::min(best, r.time);
    }
    for (int c = 1; c <= courses; ++c) {
        qint32 courseBest = kNoTime;
        for (int p = 1; p <= kMaxPupil; ++p)
            courseBest = std::min(courseBest, s.bestTime(c, p));
        s.courseBestTime[c] = courseBest;
    }

    const double today = oadate::fromDate(todayDate);
    const double now = today + oadate::fromTime(timeOfDay);
    std::vector<double> windowStart(std::size_t(courses) + 1);
    std::vector<double> window2Start(std::size_t(courses) + 1);
    for (int c = 1; c <= courses; ++c) {
        windowStart[std::size_t(c)] = now - rules.windowDays[c].toDouble();
        window2Start[std::size_t(c)] = now - rules.window2Days[c].toDouble();
    }
    int held = 0;
    for (qsizetype j = first; j < records.size(); ++j) {
        const ResultRecord& r = records[j];
        if (!isValid(r))
            continue;
        ++held;
        const int c = r.course;
        if (c > courses)
            continue;
        const int p = r.pupil;
        const qint32 t = r.time;
        const double date = r.date;
        const bool completed = t < kCompletedBelow;
        const int earned = points::weighted(t, rules.targetTime[c], rules.pointWeight[c]);
        if (completed)
            s.totalCount(c, p) += 1;
        if (date > windowStart[std::size_t(c)]) {
            if (completed)
                s.windowCount(c, p) += 1;
            s.windowPoints(c, p) += earned;
        }
        if (date > window2Start[std::size_t(c)]) {
            if (completed)
                s.window2Count(c, p) += 1;
            s.window2Points(c, p) += earned;
        }
        s.totalPoints(c, p) += earned;
        if (std::floor(date) == today) {
            if (completed)
                s.todayCount(c, p) += 1;
            s.todayPoints(c, p) += earned;
        }
    }
    s.recordCount = qint16(held);
    return s;
}

} // namespace statistics
