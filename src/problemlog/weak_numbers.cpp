#include "weak_numbers.h"

#include "state/random_source.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <vector>

namespace weaknumbers {
namespace {

// Appearances pooled for a number (of several pupils, for the class).
struct Appearances
{
    QList<float> seconds;
    QList<bool> mistakes;
};

// The last appearances of a number, in a ring of their own: a school year's log is gone through
// without an allocation per problem.
struct LastAppearances
{
    std::array<float, kLastAppearances> seconds{};
    std::array<bool, kLastAppearances> mistakes{};
    int added = 0;
    void add(const problemlog::Problem& p)
    {
        seconds[std::size_t(added % kLastAppearances)] = p.seconds;
        mistakes[std::size_t(added % kLastAppearances)] = p.mistake;
        ++added;
    }
    Weak weak(int number) const;
    void appendTo(Appearances& a) const
    {
        for (int k = 0; k < std::min(added, kLastAppearances); ++k) {
            a.seconds.append(seconds[std::size_t(k)]);
            a.mistakes.append(mistakes[std::size_t(k)]);
        }
    }
};

double median(QList<float> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    if (n == 0)
        return 0;
    return n % 2 ? values[n / 2] : (double(values[n / 2 - 1]) + values[n / 2]) / 2;
}

Weak weakOf(int number, const QList<float>& seconds, const QList<bool>& mistakes)
{
    Weak w;
    w.number = number;
    w.appearances = int(seconds.size());
    w.mistakes = int(std::count(mistakes.cbegin(), mistakes.cend(), true));
    w.medianSeconds = median(seconds);
    w.score = w.appearances == 0 ? 0 : w.medianSeconds * (1.0 + double(w.mistakes) / w.appearances);
    return w;
}

// The same for one pupil's last appearances, without a list of them.
Weak LastAppearances::weak(int number) const
{
    const int n = std::min(added, kLastAppearances);
    std::array<float, kLastAppearances> sorted = seconds;
    std::partial_sort(sorted.begin(), sorted.begin() + n, sorted.begin() + n);
    Weak w;
    w.number = number;
    w.appearances = n;
    w.mistakes = int(std::count(mistakes.cbegin(), mistakes.cbegin() + n, true));
    w.medianSeconds = n == 0  ? 0
                      : n % 2 ? sorted[std::size_t(n / 2)]
                              : (double(sorted[std::size_t(n / 2 - 1)]) + sorted[std::size_t(n / 2)]) / 2;
    w.score = n == 0 ? 0 : w.medianSeconds * (1.0 + double(w.mistakes) / n);
    return w;
}

QList<Weak> ordered(QList<Weak> weak)
{
    std::sort(weak.begin(), weak.end(), [](const Weak& a, const Weak& b) {
        return a.score != b.score ? a.score > b.score : a.number < b.number;
    });
    return weak;
}

} // namespace

QHash<int, QList<problemlog::Problem>> byPupil(const QList<problemlog::Problem>& problems)
{
    QHash<int, QList<problemlog::Problem>> groups;
    for (const problemlog::Problem& p : problems)
        groups[p.pupil].append(p);
    return groups;
}

QList<Weak> rank(const QList<problemlog::Problem>& problems, int pupil, int level)
{
    QHash<int, LastAppearances> byNumber;
    for (const problemlog::Problem& p : problems) {
        if (p.pupil == pupil && p.level == level)
            byNumber[p.number].add(p);
    }
    QList<Weak> weak;
    for (auto it = byNumber.cbegin(); it != byNumber.cend(); ++it) {
        Appearances a;
        it->appendTo(a);
        weak.append(weakOf(it.key(), a.seconds, a.mistakes));
    }
    return ordered(weak);
}

QList<Weak> rankGroup(const QList<problemlog::Problem>& problems, const QSet<int>& pupils, int level)
{
    // Per number and pupil, the pupil's last appearances; then pooled per number.
    QHash<qint64, LastAppearances> byPupil;
    for (const problemlog::Problem& p : problems) {
        if (p.level == level && pupils.contains(p.pupil))
            byPupil[(qint64(p.number) << 16) | quint16(p.pupil)].add(p);
    }
    QHash<int, Appearances> pooled;
    for (auto it = byPupil.cbegin(); it != byPupil.cend(); ++it)
        it->appendTo(pooled[int(it.key() >> 16)]);
    QList<Weak> weak;
    for (auto it = pooled.cbegin(); it != pooled.cend(); ++it)
        weak.append(weakOf(it.key(), it->seconds, it->mistakes));
    return ordered(weak);
}

ClassRankings rankClass(const QList<problemlog::Problem>& problems, const QSet<int>& pupils,
                        const QHash<int, int>& levelOf)
{
    // The class's pupils as a bitmap over every pupil number, and the appearances in one array
    // with a hash to its entries: a year's log is gone through without a set lookup per problem.
    std::vector<bool> inClass(1 << 15);
    for (const int pupil : pupils) {
        if (pupil >= 0 && pupil < (1 << 15))
            inClass[std::size_t(pupil)] = true;
    }
    // An attempt logs its problems one after another: the numbers of the pupil and level at hand
    // are looked up in a small table of their own.
    QHash<qint64, QHash<int, int>> at; // pupil and level → number → the entry in appearances
    QHash<int, int>* numbers = nullptr;
    qint64 numbersOf = -1;
    std::vector<std::pair<qint64, LastAppearances>> appearances;
    for (const problemlog::Problem& p : problems) {
        if (p.pupil < 0 || !inClass[std::size_t(p.pupil)])
            continue;
        const qint64 pupilLevel = (qint64(quint16(p.level)) << 32) | quint16(p.pupil);
        if (pupilLevel != numbersOf) {
            numbers = &at[pupilLevel];
            numbersOf = pupilLevel;
        }
        auto entry = numbers->find(p.number);
        if (entry == numbers->end()) {
            entry = numbers->insert(p.number, int(appearances.size()));
            appearances.push_back({pupilLevel | (qint64(quint16(p.number)) << 16), LastAppearances()});
        }
        appearances[std::size_t(*entry)].second.add(p);
    }
    QHash<qint64, Appearances> pooled; // level and number
    ClassRankings rankings;
    for (const auto& [key, last] : appearances) {
        const int level = int(key >> 32);
        const int number = int(qint16((key >> 16) & 0xffff));
        const int pupil = int(qint16(key & 0xffff));
        last.appendTo(pooled[key >> 16]);
        if (levelOf.value(pupil) == level)
            rankings.ofPupil[pupil].append(last.weak(number));
    }
    for (auto it = pooled.cbegin(); it != pooled.cend(); ++it)
        rankings.ofLevel[int(it.key() >> 16)].append(weakOf(int(qint16(it.key() & 0xffff)), it->seconds, it->mistakes));
    for (QList<Weak>& weak : rankings.ofPupil)
        weak = ordered(weak);
    for (QList<Weak>& weak : rankings.ofLevel)
        weak = ordered(weak);
    return rankings;
}

QList<int> drawPractice(const QList<Weak>& weakest, RandomSource& random, int count)
{
    const QList<Weak> pool = weakest.mid(0, kPracticePool);
    QList<int> numbers;
    if (pool.isEmpty())
        return numbers;
    double total = 0;
    for (const Weak& w : pool)
        total += std::max(w.score, 0.1);
    while (numbers.size() < count) {
        double r = double(random.next()) * total;
        int picked = pool.last().number;
        for (const Weak& w : pool) {
            r -= std::max(w.score, 0.1);
            if (r < 0) {
                picked = w.number;
                break;
            }
        }
        if (pool.size() > 1 && !numbers.isEmpty() && numbers.last() == picked)
            continue;
        numbers.append(picked);
    }
    return numbers;
}

QString line(const Weak& w)
{
    return QStringLiteral("%1 %2秒 ミス%3")
        .arg(w.number, 3)
        .arg(QString::number(w.medianSeconds, 'f', 1), 5)
        .arg(w.mistakes);
}

QString numbers(const QList<Weak>& weak, int count)
{
    QStringList out;
    for (const Weak& w : weak.mid(0, count))
        out << QString::number(w.number);
    return out.join(u' ');
}

} // namespace weaknumbers
