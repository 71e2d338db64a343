#include "weak_numbers.h"

#include "state/random_source.h"

#include <QHash>
#include <algorithm>

namespace weaknumbers {
namespace {

// The last appearances kept per number, newest last.
struct Appearances
{
    QList<float> seconds;
    QList<bool> mistakes;
    void add(const problemlog::Problem& p)
    {
        seconds.append(p.seconds);
        mistakes.append(p.mistake);
        if (seconds.size() > kLastAppearances) {
            seconds.removeFirst();
            mistakes.removeFirst();
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
    QHash<int, Appearances> byNumber;
    for (const problemlog::Problem& p : problems) {
        if (p.pupil == pupil && p.level == level)
            byNumber[p.number].add(p);
    }
    QList<Weak> weak;
    for (auto it = byNumber.cbegin(); it != byNumber.cend(); ++it)
        weak.append(weakOf(it.key(), it->seconds, it->mistakes));
    return ordered(weak);
}

QList<Weak> rankGroup(const QList<problemlog::Problem>& problems, const QSet<int>& pupils, int level)
{
    // Per number and pupil, the pupil's last appearances; then pooled per number.
    QHash<qint64, Appearances> byPupil;
    for (const problemlog::Problem& p : problems) {
        if (p.level == level && pupils.contains(p.pupil))
            byPupil[(qint64(p.number) << 16) | quint16(p.pupil)].add(p);
    }
    QHash<int, Appearances> pooled;
    for (auto it = byPupil.cbegin(); it != byPupil.cend(); ++it) {
        Appearances& a = pooled[int(it.key() >> 16)];
        a.seconds += it->seconds;
        a.mistakes += it->mistakes;
    }
    QList<Weak> weak;
    for (auto it = pooled.cbegin(); it != pooled.cend(); ++it)
        weak.append(weakOf(it.key(), it->seconds, it->mistakes));
    return ordered(weak);
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
