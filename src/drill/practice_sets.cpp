#include "practice_sets.h"

#include "number_sets.h"
#include "state/random_source.h"

#include <algorithm>

namespace practicesets {
namespace {

// The table: numbers as two-digit numbers back to back, as the levels' sets are written.
struct Row
{
    const char16_t* name;
    const char16_t* about;
    const char16_t* numbers;
};
constexpr Row kTable[] = {
    {u"そ数", u"1とその数のほかに約数がない数です。約数は2つだけです。",
     u"02030507111317192329313741434753596167717379838997"},
    {u"平方数", u"同じ数を2回かけた数です。まん中の約数は1回だけ入れます。", u"0409162536496481"},
    {u"約数が多い数", u"約数が8こ以上ある数です。小さい約数から、ペアで考えましょう。",
     u"243036404248545660667072788084889096"},
    {u"2・5・10の倍数", u"一の位が0の数は、2でも5でも10でもわり切れます。", u"102030405060708090"},
};

QList<int> twoDigitNumbers(const QString& text)
{
    QList<int> numbers;
    for (qsizetype i = 0; i + 1 < text.size(); i += 2)
        numbers.append(text.mid(i, 2).toInt());
    return numbers;
}

} // namespace

QList<Set> all()
{
    QList<Set> sets;
    for (const Row& row : kTable) {
        sets.append({QString::fromUtf16(row.name), QString::fromUtf16(row.about),
                     twoDigitNumbers(QString::fromUtf16(row.numbers)), numbersets::kFirstLevel});
    }
    for (int level = numbersets::kFirstLevel; level <= numbersets::kLastLevel; ++level) {
        sets.append({QStringLiteral("レベル%1の数").arg(level), QStringLiteral("レベル%1に出る数です。").arg(level),
                     numbersets::numbers(level), level});
    }
    return sets;
}

QList<int> draw(const Set& set, RandomSource& random, int count)
{
    QList<int> drawn;
    if (set.numbers.isEmpty())
        return drawn;
    const qsizetype size = set.numbers.size();
    while (drawn.size() < count) {
        qsizetype i = std::min<qsizetype>(qsizetype(random.next() * size), size - 1);
        if (size > 1 && !drawn.isEmpty() && drawn.last() == set.numbers[i])
            i = (i + 1) % size; // never the same number twice in a row
        drawn.append(set.numbers[i]);
    }
    return drawn;
}

} // namespace practicesets
