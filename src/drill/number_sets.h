#pragma once

#include <QList>
#include <QString>
#include <optional>

class RandomSource;

// The numbers each level of the drill can show, written as two-digit numbers back to back.
namespace numbersets {

constexpr int kFirstLevel = 1;
constexpr int kLastLevel = 5;

bool hasNumberSet(int level);
// The level's set text, or an empty text for a level without a set.
QString setText(int level);
QList<int> numbers(int level);

// The divisors of a number in ascending order; divisor k and divisor count + 1 − k are partners.
QList<int> divisors(int number);

} // namespace numbersets

// Draws the numbers of one attempt: uniformly from the level's set, never the same number twice
// in a row. A fresh drawer (a fresh drill screen) may repeat the last number of the previous attempt.
class ProblemDrawer
{
public:
    explicit ProblemDrawer(RandomSource& random) : m_random(random) {}

    // Nothing for a level without a number set: the drill must never show an empty problem.
    std::optional<int> drawNext(int level);
    // A practice shows the given numbers in order instead, from the start again when the
    // pupil needs more problems than there are numbers.
    void showInOrder(QList<int> numbers) { m_sequence = std::move(numbers); }
    int previousNumber() const { return m_previous; }

private:
    RandomSource& m_random;
    int m_previous = 0; // 0: nothing shown yet
    QList<int> m_sequence;
    qsizetype m_next = 0;
};
