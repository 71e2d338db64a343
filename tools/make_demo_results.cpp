// Writes a few weeks of attempts by the demo pupils into the demo installation's results files,
// and their problems into the problem log, so that the course board's figures, lists and weak
// numbers are alive on the first start. Does nothing when the program's results file exists
// already. Usage: make-demo-results PROGRAM_FOLDER SHARED_FOLDER
#include "drill/number_sets.h"
#include "problemlog/problem_log.h"
#include "records/oa_date.h"
#include "records/result_record.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <cstdio>

namespace {

constexpr int kDays = 21;
constexpr int kTargets[] = {60, 80, 100, 120, 150}; // the demo's target times, levels 1..5

// Each pupil practises on the days from `firstDay` to `lastDay` days ago, on levels up to
// `topLevel`, at the pace given (1: about the target time at the end). The class holds pupils
// who practised today, this week, long ago and never, and one who is stuck on a level (and
// practised level 1 last).
struct DemoPupil
{
    int number;
    int topLevel;    // the highest level the pupil works on; 0 never practises
    int firstDay;    // days ago
    int lastDay;     // days ago
    double slowness; // 1 for the usual pace
    int stuckLevel;  // a level tried every day without clearing it (0: none)
};
constexpr DemoPupil kPupils[] = {{1, 1, 21, 0, 1.0, 0}, {2, 2, 21, 16, 1.0, 0}, {3, 2, 21, 3, 1.0, 0},
                                 {4, 0, 0, 0, 1.0, 0},  {5, 3, 13, 0, 1.0, 3},  {6, 4, 21, 0, 1.0, 0},
                                 {7, 4, 21, 1, 1.0, 0}, {8, 5, 21, 0, 1.0, 0},  {9, 5, 21, 2, 1.0, 0},
                                 {10, 5, 21, 0, 1.0, 0}};

// Each pupil finds a few numbers of each level hard: slower, and often wrong at first.
bool isHard(int pupil, int number)
{
    return (pupil * 7 + number * 13) % 11 == 0;
}

// The ten problems of an attempt of the given seconds that ended at `end`, and the problems
// given up on the way: hard numbers take longer and go wrong more often.
QList<problemlog::Entry> problemsOf(QRandomGenerator& random, int pupil, int level, int seconds, const QDateTime& end)
{
    const QList<int> set = numbersets::numbers(level);
    QList<problemlog::Entry> entries;
    QList<double> weights;
    int previous = 0;
    for (int solved = 0; solved < 10;) {
        int number = previous;
        while (number == previous)
            number = set[int(random.bounded(int(set.size())))];
        previous = number;
        const bool hard = isHard(pupil, number);
        problemlog::Entry e;
        e.pupil = pupil;
        e.level = level;
        e.number = number;
        // As in the drill: a wrong judgement shows the answer, the pupil goes on with "+" "+",
        // and a solved problem is taken back.
        if (random.generateDouble() < (hard ? 0.35 : 0.04)) {
            e.wrong = 1;
            e.answerShown = true;
            // A divisor forgotten: the box got the next one, or a number that is none.
            e.firstWrong = QString::number(number % 7 == 0 ? 7 : number - 1);
            solved = std::max(0, solved - 1);
        } else {
            ++solved;
        }
        entries.append(e);
        weights.append((0.6 + 0.1 * numbersets::divisors(number).size()) * (hard ? 2.2 : 1.0) *
                       (0.8 + 0.4 * random.generateDouble()) * (1 + 0.3 * e.wrong));
    }
    double total = 0;
    for (double w : weights)
        total += w;
    qint64 endedMs = 0;
    const QDateTime start = end.addSecs(-seconds);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const qint64 ms = qint64(seconds * 1000.0 * weights[i] / total);
        entries[i].seconds = double(ms / 100) / 10.0;
        endedMs += ms;
        const QDateTime ended = start.addMSecs(endedMs);
        entries[i].date = ended.date();
        entries[i].time = ended.time();
    }
    return entries;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-demo-results PROGRAM_FOLDER SHARED_FOLDER\n");
        return 2;
    }
    const QString resultsPath = QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("成績累積データ.dat"));
    const QString sharedPath =
        QDir(QString::fromLocal8Bit(argv[2])).filePath(QStringLiteral("成績累積データ家庭用.dat"));
    if (QFile::exists(resultsPath))
        return 0;
    QRandomGenerator random(20261208); // the same demo every time, moved to the days around now
    const QDateTime now = QDateTime::currentDateTime();
    const auto program = recordtext::programField(QStringLiteral("約数ドリル"));
    QByteArray results;
    QByteArray shared;
    QByteArray problems = problemlog::header();
    for (int day = kDays; day >= 0; --day) {
        const QDate date = now.date().addDays(-day);
        // Afternoons, and today the hours before now.
        QTime clock = day > 0 ? QTime(15, 0) : std::max(QTime(0, 0), now.time().addSecs(-3 * 3600));
        if (day == 0 && now.time() < QTime(3, 0))
            clock = QTime(0, 0);
        for (const DemoPupil& pupil : kPupils) {
            if (pupil.topLevel == 0 || day > pupil.firstDay || day < pupil.lastDay)
                continue;
            const bool stuck = pupil.stuckLevel > 0;
            // The stuck pupil's last attempt of all is at level 1, where things still go well:
            // the class view must still name the level where help is needed.
            const bool easyLast = stuck && day == pupil.lastDay;
            const int attempts =
                (stuck ? 1 + int(random.bounded(2)) : int(random.bounded(day == 0 ? 2 : 4))) + (easyLast ? 1 : 0);
            for (int k = 0; k < attempts; ++k) {
                clock = clock.addSecs(int(random.bounded(120, 600)));
                if (day == 0 && clock > now.time())
                    break;
                const bool easy = easyLast && k == attempts - 1;
                const int level = easy ? 1 : stuck ? pupil.stuckLevel : 1 + int(random.bounded(pupil.topLevel));
                // Faster with practice: from about 1.5 times the target three weeks ago to
                // about 0.8 times now, with some spread. The stuck pupil stays at twice the
                // target, which earns a point an attempt.
                const double pace =
                    easy    ? 0.9
                    : stuck ? 2.1 + random.generateDouble() * 0.5
                            : (0.8 + 0.7 * day / kDays + (random.generateDouble() - 0.5) * 0.4) * pupil.slowness;
                ResultRecord r;
                r.date = oadate::fromDate(date);
                r.clockTime = oadate::fromTime(clock);
                r.pupil = qint16(pupil.number);
                r.course = qint16(level);
                r.time = qint32(std::max(15.0, kTargets[level - 1] * pace));
                r.schoolCode = QByteArray("12345");
                r.points = recordtext::pointsField(0);
                r.program = program.value_or(QByteArray(20, ' '));
                results += r.encode(RecordLayout::Program);
                shared += r.encode(RecordLayout::Shared);
                for (const problemlog::Entry& e :
                     problemsOf(random, pupil.number, level, r.time, QDateTime(date, clock)))
                    problems += problemlog::line(e);
            }
        }
    }
    QFile out(resultsPath);
    QFile sharedOut(sharedPath);
    QFile log(QDir(QString::fromLocal8Bit(argv[1])).filePath(problemlog::fileName()));
    if (!out.open(QIODevice::WriteOnly) || out.write(results) != results.size() || !sharedOut.open(QIODevice::Append) ||
        sharedOut.write(shared) != shared.size() || !log.open(QIODevice::WriteOnly) ||
        log.write(problems) != problems.size()) {
        std::fprintf(stderr, "make-demo-results: cannot write the results files\n");
        return 1;
    }
    std::printf("demo results: %lld attempts\n", static_cast<long long>(results.size() / kResultRecordLength));
    return 0;
}
