#pragma once

#include <QString>

struct SharedState;

// The texts of the course board: each course's rule, start button and the pupil's figures.
namespace courseboard {

QString ruleCaption(const SharedState& state, int course);
QString startCaption(int course); // ｽﾀｰﾄ(&n): the course number is the button's access key
QString todayFigures(const SharedState& state, int course, int pupil);
QString totalFigures(const SharedState& state, int course, int pupil);
QString minutesSinceStart(const SharedState& state, int secondsSinceMidnight);
QString todayTotal(const SharedState& state, int pupil);
// 1 when the pupil has cleared the top level in the first window.
qint16 topLevelCleared(const SharedState& state, int pupil);

} // namespace courseboard
