#include "progress_graph.h"

#include "board/results_lists.h"
#include "records/oa_date.h"
#include "state/shared_state.h"

#include <QDateTime>
#include <cmath>

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

} // namespace progressgraph
