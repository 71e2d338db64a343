#pragma once

#include "drill/number_sets.h"

#include <QList>
#include <QString>

// The random value that makes a level's draw pick the given number.
inline float pickValue(int level, int number)
{
    const QList<int> set = numbersets::numbers(level);
    return (float(set.indexOf(number)) + 0.5f) / float(set.size());
}

// The keys that solve a problem: each divisor and its partner in turn, each ended by the
// space bar, then the space bar alone.
inline QString solvingKeys(int number)
{
    QList<int> d;
    for (int i = 1; i <= number; ++i) {
        if (number % i == 0)
            d.append(i);
    }
    QString keys;
    for (qsizetype i = 0, j = d.size() - 1; i <= j; ++i, --j) {
        keys += QString::number(d[i]) + " ";
        if (i != j)
            keys += QString::number(d[j]) + " ";
    }
    return keys + " ";
}
