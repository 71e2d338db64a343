#pragma once

#include <QList>
#include <QString>
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
    bool clearedBefore = false; // the recent records hold a clearing of the course by the pupil
    bool cleared = false;       // the course is cleared, this attempt counted
};

// How a practice of weak numbers went: each number practised, its figures in the problem log
// before the practice (over its last appearances) against this practice's.
struct PracticeOutcome
{
    struct Number
    {
        int number = 0;
        double secondsBefore = 0; // median
        int mistakesBefore = 0;
        int appearancesBefore = 0;
        double secondsNow = 0; // median of this practice's problems with the number
        int mistakesNow = 0;
        int timesNow = 0;
    };
    int pupil = 0;
    int course = 0;
    QString name;          // the practice's name: "にがてな数", "ふくしゅう", "素数", …
    bool timed = true;     // false: practised without a clock, and no time is shown
    qint32 time = 0;       // the whole practice, in seconds
    QList<Number> numbers; // in the order first shown
    bool logged = true;    // the practice's problems are in the log
};
