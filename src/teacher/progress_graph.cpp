#include "progress_graph.h"

#include "board/results_lists.h"
#include "records/oa_date.h"
#include "state/shared_state.h"

#include <QDateTime>
#include <cmath>
#include <limits>

namespace progressgraph {

QList<CourseSeries> personalSeries(const QList<ResultRecord>& attempts, int pupil, const Catalogue& catalogue,
                                   const CourseRules& rules, const QDate& today)
{
    QList<CourseSeries> byCourse(catalogue.courseCount + 1);
    const double firstDay = oadate::fromDate(today) - resultslists::kPersonalDays;
    for (const ResultRecord& a : attempts) {
        if (a.pupil != pupil || a.course < 1 || a.course > catalogue.courseCount || a.time < 0 ||
            a.time >= resultslists::kPersonalTimeBelow || !std::isfinite(a.date) || std::floor(a.date) <= firstDay)
            continue;
        const QDateTime when(oadate::toDate(std::floor(a.date)), oadate::toTime(a.clockTime));
        byCourse[a.course].points.append(QPointF(double(when.toMSecsSinceEpoch()), a.time));
    }
    QList<CourseSeries> series;
    for (int c = 1; c < byCourse.size(); ++c) {
        if (byCourse[c].points.isEmpty())
            continue;
        CourseSeries s = byCourse[c];
        s.course = c;
        s.name = catalogue.courseNames[c];
        s.targetTime = rules.targetTime[c];
        s.secondTargetTime = rules.secondTargetTime[c];
        std::sort(s.points.begin(), s.points.end(), [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
        series.append(s);
    }
    return series;
}

ValueAxis valueAxis(double highest, int maxTicks)
{
    highest = std::max(highest, 1.0);
    for (double power = 1;; power *= 10) {
        for (const double factor : {1.0, 2.0, 5.0}) {
            const double step = factor * power;
            const double top = std::ceil(highest / step) * step;
            if (top / step <= maxTicks)
                return {step, top};
        }
    }
}

DateAxis dateAxis(const QList<CourseSeries>& series, int maxTicks)
{
    qint64 first = std::numeric_limits<qint64>::max();
    qint64 last = std::numeric_limits<qint64>::min();
    for (const CourseSeries& s : series) {
        for (const QPointF& p : s.points) {
            first = std::min(first, qint64(p.x()));
            last = std::max(last, qint64(p.x()));
        }
    }
    DateAxis axis;
    if (first > last)
        return axis;
    axis.first = QDateTime::fromMSecsSinceEpoch(first).date();
    axis.last = std::max(QDateTime::fromMSecsSinceEpoch(last).date(), axis.first.addDays(1));
    const qint64 days = axis.first.daysTo(axis.last);
    for (const int step : {1, 2, 7, 14, 28}) {
        axis.stepDays = step;
        if (days / step <= maxTicks)
            break;
    }
    if (days / axis.stepDays > maxTicks) // longer than about eight months: months of 28 days apart
        axis.stepDays = int((days + maxTicks - 1) / maxTicks + 27) / 28 * 28;
    return axis;
}

double highest(const QList<CourseSeries>& series)
{
    double top = 0;
    for (const CourseSeries& s : series) {
        for (const QPointF& p : s.points)
            top = std::max(top, p.y());
        top = std::max({top, double(s.targetTime), double(s.secondTargetTime)});
    }
    return top;
}

} // namespace progressgraph
