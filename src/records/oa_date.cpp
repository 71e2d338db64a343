#include "oa_date.h"

#include <cmath>

namespace oadate {
namespace {
const QDate kEpoch(1899, 12, 30);
constexpr double kSecondsPerDay = 86400.0;
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
    return kEpoch.addDays(qint64(std::floor(value)));
}

QTime toTime(double value)
{
    const double fraction = value - std::floor(value);
    return QTime(0, 0).addSecs(int(std::lround(fraction * kSecondsPerDay)) % 86400);
}

} // namespace oadate
