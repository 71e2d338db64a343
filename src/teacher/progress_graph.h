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

// The seconds axis from 0: round ticks (1, 2 or 5 times a power of ten) up to the first tick
// at or above the highest value, at most maxTicks steps.
struct ValueAxis
{
    double step = 1;
    double top = 10;
};
ValueAxis valueAxis(double highest, int maxTicks = 10);

// The date axis: days from the first to the last point's day (a single day is shown as two),
// labelled every 1, 2, 7, 14 or 28 days so that at most maxTicks labels are drawn.
struct DateAxis
{
    QDate first;
    QDate last;
    int stepDays = 1;
};
DateAxis dateAxis(const QList<CourseSeries>& series, int maxTicks = 8);

// The highest value the chart must show: the slowest time or a target time.
double highest(const QList<CourseSeries>& series);

} // namespace progressgraph
