#pragma once

#include <QDate>
#include <QTime>

// Dates of the results files: days since 30 December 1899 as a double, the fraction being
// the time of day.
namespace oadate {

double fromDate(const QDate& date);
// The clock time to the second, as a fraction of a day.
double fromTime(const QTime& time);
// An invalid date or time for a value that is none (not finite, or beyond the year 9999).
QDate toDate(double value);
QTime toTime(double value);

} // namespace oadate
