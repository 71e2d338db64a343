#pragma once

#include <QList>
#include <QString>

class RandomSource;

// The practice sets a pupil chooses on the board, as data: each a name, a line for the pupil
// saying what the numbers have in common, and its numbers; and each level's own numbers.
namespace practicesets {

struct Set
{
    QString name;
    QString about;
    QList<int> numbers;
    int level = 0; // the level whose drill shows them: the set's own, or the lowest that fits
};
// The sets in the order the board lists them: the table's, then one for each level.
QList<Set> all();

// Ten problems of a set, in a random order, no number twice in a row.
QList<int> draw(const Set& set, RandomSource& random, int count = 10);

} // namespace practicesets
