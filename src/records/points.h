#pragma once

#include <QtGlobal>

// The points an attempt earns against its course's target time T: from 55 at no time at all
// down to 5 at exactly T, then 4 below 2T, 1 below 10T and 0 beyond; a missing time (above
// 99997) earns nothing, and a course without a target time earns nothing either. The end
// screen and the statistics both count with these functions.
namespace points {

constexpr qint32 kNoTimeAbove = 99997;

int factor(qint32 time, qint32 targetTime);
// The factor multiplied by the course's weight, rounded down to a whole number.
int weighted(qint32 time, qint32 targetTime, float weight);

} // namespace points
