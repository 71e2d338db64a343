#include "review.h"

#include <algorithm>
#include <limits>

namespace review {

void Tracker::add(qint32 day, int pupil, int level, int number, bool mistake)
{
    const quint32 k = key(pupil, number);
    auto it = m_states.find(k);
    if (it == m_states.end()) {
        if (!mistake)
            return; // a number never missed needs no review
        it = m_states.insert(k, State{});
    }
    State& s = *it;
    if (s.last != 0 && day < s.last) {
        // A clock set back: the number's days move back with it, so it is not held for the
        // time the clock jumped.
        s.due -= s.last - day;
        if (s.learned != 0)
            s.learned = std::min(s.learned, day);
    }
    s.last = day;
    if (mistake) {
        s.stage = 0;
        s.learned = 0;
        s.level = qint16(level);
        s.due = day + kIntervals[0];
        return;
    }
    if (s.learned != 0 || day < s.due)
        return; // learned already, or too early to count
    if (++s.stage >= kStages) {
        s.learned = day;
        return;
    }
    s.due = day + kIntervals[s.stage];
}

namespace {

// The day a number comes back. A number whose last line is dated after today (written while
// the clock was set forward) is due now rather than held until that day comes.
qint32 effectiveDue(const State& s, qint32 today)
{
    return s.last > today ? today : s.due;
}

} // namespace

QList<Due> due(const Tracker& tracker, int pupil, qint32 today, int limit)
{
    QList<Due> found;
    for (auto it = tracker.states().cbegin(); it != tracker.states().cend(); ++it) {
        if (int(it.key() >> 16) != pupil || it->learned != 0)
            continue;
        const qint32 day = effectiveDue(*it, today);
        if (day <= today)
            found.append({int(it.key() & 0xFFFF), it->level, day});
    }
    std::sort(found.begin(), found.end(),
              [](const Due& a, const Due& b) { return a.due != b.due ? a.due < b.due : a.number < b.number; });
    if (found.size() > limit)
        found.resize(limit);
    return found;
}

int dueCount(const Tracker& tracker, int pupil, qint32 today)
{
    return int(due(tracker, pupil, today, std::numeric_limits<int>::max()).size());
}

int learnedBetween(const Tracker& tracker, int pupil, qint32 from, qint32 to)
{
    int count = 0;
    for (auto it = tracker.states().cbegin(); it != tracker.states().cend(); ++it) {
        if (int(it.key() >> 16) == pupil && it->learned >= from && it->learned <= to && it->learned != 0)
            ++count;
    }
    return count;
}

QHash<int, Summary> perPupil(const Tracker& tracker, qint32 today, qint32 from, qint32 to)
{
    QHash<int, Summary> out;
    for (auto it = tracker.states().cbegin(); it != tracker.states().cend(); ++it) {
        Summary& s = out[int(it.key() >> 16)];
        if (it->learned == 0 && effectiveDue(*it, today) <= today)
            ++s.due;
        if (it->learned != 0 && it->learned >= from && it->learned <= to)
            ++s.learned;
    }
    return out;
}

} // namespace review
