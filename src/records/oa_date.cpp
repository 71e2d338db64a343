#include "oa_date.h"

#include <cmath>

namespace oadate {
namespace {
const QDate kEpoch(1899, 12, 30);
constexpr double kSecondsPerDay = 86400.0;
constexpr double kFirstDay = -693593; // 1 January of the year 1
constexpr double kLastDay = 2958465;  // 31 December 9999
} // namespace

double fromDate(const QDate& date)
{
    return double(kEpoch.daysTo(date));
}

double fromTime(const QTime& time)
{
    return double(time.msecsSinceStartOfDay() / 1000) / kSecondsPerDay;
}

QDate toDate(double value)
{
    // A record may hold any eight bytes: only days between the years 1 and 9999 are dates.
    if (!(value >= kFirstDay && value < kLastDay + 1))
        return QDate();
    return kEpoch.addDays(qint64(std::floor(value)));
}

QTime toTime(double value)
{
    if (!std::isfinite(value))
        return QTime();
    const double fraction = value - std::floor(value);
    return QTime(0, 0).addSecs(int(std::lround(fraction * kSecondsPerDay)) % 86400);
}

} // namespace oadate
