#pragma once

#include <QtGlobal>

// What a recorded attempt achieved, worked out once when it is recorded and handed to the end
// screen: the figures before the attempt (for the sounds and the next-level advice) and after.
struct AttemptOutcome
{
    int pupil = 0;
    int course = 0;
    qint32 time = 0;
    int points = 0;               // what the attempt earned
    bool newPersonalBest = false; // faster than the pupil's best on this course so far
    bool newCourseBest = false;   // faster than anyone's best on this course so far
    bool passedBefore = false;    // the all-time count and points had reached the course's requirements
    bool topLevelClearedBefore = false;
    bool cleared = false; // the course is cleared, this attempt counted
};
