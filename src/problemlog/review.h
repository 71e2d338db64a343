#pragma once

#include <QHash>
#include <QList>
#include <QtGlobal>
#include <iterator>

// ふくしゅう: the numbers a pupil missed come back on later days until they are learned. Built
// from the problem log alone, line by line in file order: a miss (a wrong judgement or the
// answer shown, in an attempt or a practice) makes a number due the next day; a right answer
// on or after its day moves it on to the next interval (3, 7, then 14 days from that answer);
// the right answer after the last interval has it learned. A miss starts it again, learned or
// not, the same day too.
namespace review {

constexpr int kIntervals[] = {1, 3, 7, 14};
constexpr int kStages = int(std::size(kIntervals));
constexpr int kDailyLimit = 10;

// One number of one pupil, once it has been missed. Days are days since 30 December 1899.
struct State
{
    qint32 last = 0;    // the day of the last line of the number
    qint32 due = 0;     // when it comes back, while not learned
    qint32 learned = 0; // the day it was learned, 0 while it is not
    qint16 level = 0;   // the level it was last missed at
    qint8 stage = 0;    // right answers on time since the last miss
};

// The fold over the log's lines, all pupils at once.
class Tracker
{
public:
    void add(qint32 day, int pupil, int level, int number, bool mistake);
    const QHash<quint32, State>& states() const { return m_states; }
    static quint32 key(int pupil, int number) { return (quint32(quint16(pupil)) << 16) | quint16(number); }

private:
    QHash<quint32, State> m_states;
};

struct Due
{
    int number = 0;
    int level = 0;
    qint32 due = 0;
};
// The pupil's numbers due by today, the longest waiting first, at most `limit`. A day in the
// log after today (a clock that was set forward) makes its number due now.
QList<Due> due(const Tracker& tracker, int pupil, qint32 today, int limit = kDailyLimit);
// How many are due today (before the daily limit), and how many were learned within the days.
int dueCount(const Tracker& tracker, int pupil, qint32 today);
int learnedBetween(const Tracker& tracker, int pupil, qint32 from, qint32 to);
// The same for every pupil in one pass, for the class view.
struct Summary
{
    int due = 0;
    int learned = 0;
};
QHash<int, Summary> perPupil(const Tracker& tracker, qint32 today, qint32 from, qint32 to);

} // namespace review
