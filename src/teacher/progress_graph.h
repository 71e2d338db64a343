#pragma once

#include "records/result_record.h"

#include <QDate>
#include <QList>
#include <QPointF>
#include <QString>

struct Catalogue;
struct CourseRules;

// A pupil's attempt times over time, one series per course that has attempts, from the records
// the personal-time lists read: the last 20000 records, the last 3650 days, times below 90000.
namespace progressgraph {

struct CourseSeries
{
    int course = 0;
    QString name;
    QList<QPointF> points; // x: milliseconds since 1970 (local time), y: seconds
    qint32 targetTime = 0;
    qint32 secondTargetTime = 0;
};

QList<CourseSeries> personalSeries(const QList<ResultRecord>& attempts, int pupil, const Catalogue& catalogue,
                                   const CourseRules& rules, const QDate& today);

} // namespace progressgraph
