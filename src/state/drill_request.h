#pragma once

#include <QList>
#include <QString>

// What the drill screen is asked to run. A recorded attempt draws its ten numbers from the
// level's set and is recorded in the results files; every practice shows the numbers it is
// given, in order, and goes only to the problem log, marked with its kind.
struct DrillRequest
{
    enum class Kind
    {
        Attempt,
        WeakNumbers, // にがてな数の練習
        Review,      // ふくしゅう
        Set          // a practice set: 素数, 平方数, …
    };
    Kind kind = Kind::Attempt;
    int course = 0;
    QList<int> numbers; // a practice's numbers, in the order shown
    QList<int> levels;  // ふくしゅう: the level each number was missed at, for the log
    QString name;       // what the pupil sees beside the drill and at its end
    QString about;      // a line for the pupil on what the numbers have in common
    bool timed = true;  // false: no clock shown, for a pupil who freezes under one
    int problems = 10;  // solved problems that end it
};
