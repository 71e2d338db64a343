#include "failing_file.h"
#include "fakes.h"
#include "problemlog/problem_log.h"
#include "problemlog/review.h"
#include "problemlog/weak_numbers.h"
#include "records/oa_date.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

problemlog::Problem problem(int pupil, int level, int number, float seconds, bool mistake = false)
{
    problemlog::Problem p;
    p.pupil = qint16(pupil);
    p.level = qint16(level);
    p.number = qint16(number);
    p.seconds = seconds;
    p.mistake = mistake;
    return p;
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestProblemLog : public QObject
{
    Q_OBJECT
private slots:
    void lines_data()
    {
        QTest::addColumn<QString>("firstWrong");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QByteArray>("line");
        QTest::addRow("right first time")
            << QString() << false << QByteArray("2026/12/08,09:05:03,7,3,36,4.2,0,,0\r\n");
        QTest::addRow("wrong, answer shown") << "12" << true << QByteArray("2026/12/08,09:05:03,7,3,36,4.2,1,12,1\r\n");
        // What a pupil typed is never read as a formula by a spreadsheet.
        QTest::addRow("a formula's start") << "=1" << true << QByteArray("2026/12/08,09:05:03,7,3,36,4.2,1,'=1,1\r\n");
    }
    void lines()
    {
        QFETCH(QString, firstWrong);
        QFETCH(bool, shown);
        QFETCH(QByteArray, line);
        problemlog::Entry e{QDate(2026, 12, 8), QTime(9, 5, 3), 7, 3, 36, 4.2, shown ? 1 : 0, firstWrong, shown, {}};
        QCOMPARE(problemlog::line(e), line);
        const problemlog::Read read = problemlog::parse(problemlog::header() + line);
        QCOMPARE(read.damaged, 0);
        QCOMPARE(read.problems.size(), 1);
        QCOMPARE(read.problems[0].number, 36);
        QCOMPARE(read.problems[0].mistake, shown);
        QCOMPARE(read.problems[0].seconds, 4.2f);
    }

    // The header once, at the file's making; a line a crash cut off is ended so that it does
    // not swallow the next; unreadable lines are counted and passed over.
    void appendAndRead()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("問題記録.csv");
        RecordingPause pause;
        const problemlog::Entry e{QDate(2026, 12, 8), QTime(9, 5, 3), 7, 3, 36, 4.2, 0, QString(), false, {}};
        QVERIFY(!problemlog::append(path, {e, e}, pause));
        QVERIFY(!problemlog::append(path, {e}, pause));
        QByteArray bytes = readAll(path);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF日付,"));
        QCOMPARE(bytes.count("日付"), 1);
        QCOMPARE(bytes.count("\r\n"), 4);

        write(path, bytes + "2026/12/08,09:0");
        QVERIFY(!problemlog::append(path, {e}, pause));
        bytes = readAll(path);
        QVERIFY(bytes.endsWith("2026/12/08,09:0\r\n" + problemlog::line(e)));
        const auto read = problemlog::read(path);
        QVERIFY(read);
        QCOMPARE(read->problems.size(), 4);
        QCOMPARE(read->damaged, 1);

        // A quoted field, as a spreadsheet writes it back, commas and quotes in it.
        QCOMPARE(problemlog::parse("2026/12/08,09:05:03,7,3,36,4.2,1,\"1,\"\"2\",1\r\n").problems.size(), 1);

        QVERIFY(problemlog::read(dir.filePath("none.csv"))->problems.isEmpty()); // not made yet
        QString error;
        QVERIFY(!problemlog::read(dir.path(), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(problemlog::append(dir.path(), {e}, pause)); // a folder in its place: the error
    }

    // An append that fails part-way (a full disk after some bytes) leaves the log byte for byte
    // as it was, a line cut by an earlier crash included; the reason is said.
    void failedAppendLeavesTheLog_data()
    {
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<int>("budget");
        const QByteArray lines = problemlog::header() + "2026/12/08,09:05:03,7,3,36,4.2,0,,0\r\n";
        QTest::addRow("no log yet, nothing fits") << QByteArray() << 0;
        QTest::addRow("no log yet, the header fits") << QByteArray() << int(problemlog::header().size());
        QTest::addRow("a log, half a line fits") << lines << 20;
        QTest::addRow("a cut line, its end fits") << lines + "2026/12/08,09:0" << 2;
    }
    void failedAppendLeavesTheLog()
    {
        QFETCH(QByteArray, existing);
        QFETCH(int, budget);
        QTemporaryDir dir;
        const QString path = dir.filePath("問題記録.csv");
        if (!existing.isEmpty())
            write(path, existing);
        RecordingPause pause;
        const problemlog::Entry e{QDate(2026, 12, 9), QTime(10, 0), 7, 3, 36, 4.2, 0, QString(), false, {}};
        const auto full = [budget](const QString& p) {
            OpenedRecordFile opened = openRecordFile(p);
            if (opened.file)
                opened.file = std::make_unique<FailingFile>(std::move(opened.file), budget);
            return opened;
        };
        const auto error = problemlog::append(path, {e, e}, pause, full);
        QVERIFY(error);
        QVERIFY(error->contains(QStringLiteral("ディスク")));
        QCOMPARE(readAll(path), existing);
    }

    // ふくしゅう from the log's lines: "3x" a miss on day 3, "4o" a right answer on day 4. What
    // the pupil has due on `today` (number 36 only), and whether it was learned and when.
    void reviewSchedule_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<int>("today");
        QTest::addColumn<bool>("isDue");
        QTest::addColumn<int>("learnedOn"); // 0: not learned
        QTest::addRow("never missed") << "1o 2o" << 5 << false << 0;
        QTest::addRow("missed: not due the same day") << "1x" << 1 << false << 0;
        QTest::addRow("missed: due the next day") << "1x" << 2 << true << 0;
        QTest::addRow("still due days later") << "1x" << 30 << true << 0;
        QTest::addRow("a right answer too early does not count") << "1x 1o" << 2 << true << 0;
        QTest::addRow("right on its day: back in 3") << "1x 2o" << 4 << false << 0;
        QTest::addRow("right on its day: due after 3") << "1x 2o" << 5 << true << 0;
        QTest::addRow("four right answers on time: learned") << "1x 2o 5o 12o 26o" << 40 << false << 26;
        QTest::addRow("the last interval not yet over") << "1x 2o 5o 12o 25o" << 26 << true << 0;
        QTest::addRow("missed again the day it was learned") << "1x 2o 5o 12o 26o 26x" << 27 << true << 0;
        QTest::addRow("a miss starts again from the first interval") << "1x 2o 5o 6x" << 7 << true << 0;
        QTest::addRow("clock set forward a year, then back") << "1x 400o 2o" << 3 << false << 0;
        QTest::addRow("a miss dated in the future is due now") << "400x" << 11 << true << 0;
        QTest::addRow("a right answer dated in the future: due now") << "1x 400o" << 11 << true << 0;
    }
    void reviewSchedule()
    {
        QFETCH(QString, lines);
        QFETCH(int, today);
        QFETCH(bool, isDue);
        QFETCH(int, learnedOn);
        constexpr qint32 kDay0 = 46000;
        review::Tracker tracker;
        for (const QString& event : lines.split(u' ', Qt::SkipEmptyParts)) {
            const qint32 day = kDay0 + event.chopped(1).toInt();
            tracker.add(day, 7, 3, 36, event.endsWith(u'x'));
            tracker.add(day, 8, 3, 36, true); // another pupil's misses change nothing of pupil 7's
        }
        const QList<review::Due> due = review::due(tracker, 7, kDay0 + today);
        QCOMPARE(due.size(), isDue ? 1 : 0);
        if (isDue)
            QCOMPARE(due.first().number, 36);
        QCOMPARE(review::learnedBetween(tracker, 7, kDay0, kDay0 + 1000), learnedOn ? 1 : 0);
        if (learnedOn)
            QCOMPARE(review::learnedBetween(tracker, 7, kDay0 + learnedOn, kDay0 + learnedOn), 1);
        QCOMPARE(review::perPupil(tracker, kDay0 + today, kDay0, kDay0 + 1000).value(7).due, isDue ? 1 : 0);
    }

    // At most ten a day, the longest waiting first; read from the log itself, damaged lines
    // passed over, practice lines counted like any other.
    void reviewFromTheLog()
    {
        QByteArray bytes = problemlog::header();
        for (int n = 2; n <= 13; ++n) { // twelve numbers missed on twelve days
            problemlog::Entry e{QDate(2026, 11, n), QTime(9, 0), 7, 2, n * 2, 3.0, 1, QStringLiteral("1"), false, {}};
            bytes += problemlog::line(e);
        }
        bytes += "2026/11/3x,garbage\r\n";
        problemlog::Entry right{QDate(2026, 11, 20),         QTime(9, 0), 7, 2, 4, 2.0, 0, QString(), false,
                                QStringLiteral("ふくしゅう")};
        bytes += problemlog::line(right); // number 4: right on time, back in three days
        QVERIFY(problemlog::line(right).endsWith(QStringLiteral(",ふくしゅう\r\n").toUtf8()));
        const problemlog::Read read = problemlog::parse(bytes);
        QCOMPARE(read.damaged, 1);
        const QList<review::Due> due = review::due(read.review, 7, qint32(oadate::fromDate(QDate(2026, 11, 21))));
        QCOMPARE(due.size(), review::kDailyLimit);
        QCOMPARE(due.first().number, 6); // missed on the 3rd: the longest waiting
        QCOMPARE(due.first().level, 2);
        QCOMPARE(review::dueCount(read.review, 7, qint32(oadate::fromDate(QDate(2026, 11, 21)))), 11);
        // The board reads one pupil's lines alone, and finds the same.
        QTemporaryDir dir;
        write(dir.filePath("log.csv"),
              bytes + problemlog::line(
                          {QDate(2026, 11, 2), QTime(9, 0), 8, 2, 50, 3.0, 1, QStringLiteral("1"), false, {}}));
        const auto own = problemlog::readReview(dir.filePath("log.csv"), 7);
        QVERIFY(own && own->problems.isEmpty());
        QCOMPARE(review::dueCount(own->review, 7, qint32(oadate::fromDate(QDate(2026, 11, 21)))), 11);
        QCOMPARE(review::dueCount(own->review, 8, qint32(oadate::fromDate(QDate(2026, 11, 21)))), 0);
    }

    void ranking_data()
    {
        QTest::addColumn<QList<problemlog::Problem>>("log");
        QTest::addColumn<QList<int>>("numbers"); // weakest first
        QTest::addColumn<QList<double>>("medians");
        QTest::addColumn<QList<int>>("mistakes");
        using P = QList<problemlog::Problem>;
        QTest::addRow("one appearance each") << P{problem(1, 2, 12, 3), problem(1, 2, 18, 5)} << QList<int>{18, 12}
                                             << QList<double>{5, 3} << QList<int>{0, 0};
        QTest::addRow("a median of two") << P{problem(1, 2, 12, 3), problem(1, 2, 12, 6)} << QList<int>{12}
                                         << QList<double>{4.5} << QList<int>{0};
        // Only the last five count: the slow start of 20 is forgotten.
        QTest::addRow("the last five") << P{problem(1, 2, 20, 30, true), problem(1, 2, 20, 2), problem(1, 2, 20, 2),
                                            problem(1, 2, 20, 3),        problem(1, 2, 20, 2), problem(1, 2, 20, 2),
                                            problem(1, 2, 14, 2.5)}
                                       << QList<int>{14, 20} << QList<double>{2.5, 2} << QList<int>{0, 0};
        // A mistake doubles a number's weight in the share it was made: 4 s always wrong
        // outranks 7 s never wrong.
        QTest::addRow("wrong before slow") << P{problem(1, 2, 12, 4, true), problem(1, 2, 18, 7)} << QList<int>{12, 18}
                                           << QList<double>{4, 7} << QList<int>{1, 0};
        QTest::addRow("ties: the smaller number first")
            << P{problem(1, 2, 18, 4), problem(1, 2, 12, 4)} << QList<int>{12, 18} << QList<double>{4, 4}
            << QList<int>{0, 0};
        QTest::addRow("other pupils and levels left out")
            << P{problem(2, 2, 12, 9), problem(1, 3, 12, 9), problem(1, 2, 15, 1)} << QList<int>{15} << QList<double>{1}
            << QList<int>{0};
        QTest::addRow("nothing logged") << P{} << QList<int>{} << QList<double>{} << QList<int>{};
    }
    void ranking()
    {
        QFETCH(QList<problemlog::Problem>, log);
        QFETCH(QList<int>, numbers);
        QFETCH(QList<double>, medians);
        QFETCH(QList<int>, mistakes);
        const QList<weaknumbers::Weak> weak = weaknumbers::rank(log, 1, 2);
        QList<int> gotNumbers;
        QList<double> gotMedians;
        QList<int> gotMistakes;
        for (const weaknumbers::Weak& w : weak) {
            gotNumbers << w.number;
            gotMedians << w.medianSeconds;
            gotMistakes << w.mistakes;
        }
        QCOMPARE(gotNumbers, numbers);
        QCOMPARE(gotMedians, medians);
        QCOMPARE(gotMistakes, mistakes);
    }

    // The class's ranking pools each pupil's own last appearances.
    void groupRanking()
    {
        QList<problemlog::Problem> log;
        for (int i = 0; i < 8; ++i)
            log << problem(1, 2, 12, 1); // pupil 1's many fast 12s count five times, not eight
        log << problem(2, 2, 12, 9, true) << problem(3, 2, 18, 3) << problem(4, 2, 12, 99); // 4 is not listed
        const QList<weaknumbers::Weak> weak = weaknumbers::rankGroup(log, {1, 2, 3}, 2);
        QCOMPARE(weak.size(), 2);
        QCOMPARE(weak[0].number, 18);
        QCOMPARE(weak[1].appearances, 6);
        QCOMPARE(weak[1].mistakes, 1);
        QCOMPARE(weak[1].medianSeconds, 1.0);
    }

    // Lines end as any editor may have saved them; what is not a line of the log is counted.
    void lineEndsAndDamage_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("problems");
        QTest::addColumn<int>("damaged");
        const QByteArray a = "2026/12/08,09:05:03,7,3,36,4.2,0,,0";
        const QByteArray b = "2026/12/08,09:05:09,7,3,12,2.0,1,4,0";
        QTest::addRow("CR LF") << problemlog::header() + a + "\r\n" + b + "\r\n" << 2 << 0;
        QTest::addRow("LF") << problemlog::header().replace("\r\n", "\n") + a + "\n" + b + "\n" << 2 << 0;
        QTest::addRow("CR only") << problemlog::header().replace("\r\n", "\r") + a + "\r" + b + "\r" << 2 << 0;
        QTest::addRow("no end after the last") << a + "\r\n" + b << 2 << 0;
        QTest::addRow("binary") << QByteArray("\x00\x01\xFF\xFE PK\x03\x04\x00 binary\r\x7F", 20) << 0 << 1;
        QTest::addRow("an endless line") << a + "\n" + QByteArray(3 << 20, 'x') + "\n" + b + "\n" << 2 << 1;
    }
    void lineEndsAndDamage()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, problems);
        QFETCH(int, damaged);
        QTemporaryDir dir;
        write(dir.filePath("log.csv"), bytes);
        const auto read = problemlog::read(dir.filePath("log.csv"));
        QVERIFY(read);
        QCOMPARE(read->problems.size(), problems);
        QCOMPARE(read->damaged, damaged);
        QCOMPARE(problemlog::damageNote(*read).isEmpty(), damaged == 0);
    }

    // However long the log, only each number's last appearances are kept: the rankings are
    // those of the whole log, and the problems logged at each level are all counted.
    void thinnedLogRanksAsTheWhole()
    {
        QByteArray bytes;
        QList<problemlog::Problem> whole;
        QRandomGenerator random(7);
        for (int i = 0; i < 5000; ++i) {
            const problemlog::Entry e{QDate(2026, 12, 8),
                                      QTime(9, 0),
                                      int(random.bounded(1, 4)),
                                      int(random.bounded(1, 3)),
                                      int(random.bounded(10, 30)),
                                      double(random.bounded(10, 200)) / 10,
                                      int(random.bounded(0, 3)) / 2,
                                      QString(),
                                      false,
                                      {}};
            bytes += problemlog::line(e);
            whole << problem(e.pupil, e.level, e.number, float(e.seconds), e.wrong > 0);
        }
        const problemlog::Read thinned = problemlog::parse(bytes, 100);
        QVERIFY(thinned.problems.size() <= 3 * 2 * 20 * problemlog::Read::kKeptAppearances);
        for (int pupil = 1; pupil <= 3; ++pupil) {
            for (int level = 1; level <= 2; ++level) {
                const auto a = weaknumbers::rank(whole, pupil, level);
                const auto b = weaknumbers::rank(thinned.problems, pupil, level);
                QCOMPARE(b.size(), a.size());
                for (qsizetype i = 0; i < a.size(); ++i) {
                    QCOMPARE(b[i].number, a[i].number);
                    QCOMPARE(b[i].score, a[i].score);
                }
                QCOMPARE(thinned.loggedAt(pupil, level),
                         int(std::count_if(whole.cbegin(), whole.cend(), [&](const problemlog::Problem& p) {
                             return p.pupil == pupil && p.level == level;
                         })));
            }
        }
    }

    // A practice draws only the weakest numbers, never one twice in a row; one weak number is
    // all there is to practise.
    void practiceDraw()
    {
        QList<weaknumbers::Weak> weak;
        for (int n = 1; n <= 14; ++n)
            weak << weaknumbers::Weak{n, 1, 0, 5, 15.0 - n};
        SystemRandom random;
        for (int run = 0; run < 50; ++run) {
            const QList<int> numbers = weaknumbers::drawPractice(weak, random);
            QCOMPARE(numbers.size(), weaknumbers::kPracticeProblems);
            for (qsizetype i = 0; i < numbers.size(); ++i) {
                QVERIFY(numbers[i] <= weaknumbers::kPracticePool);
                QVERIFY(i == 0 || numbers[i] != numbers[i - 1]);
            }
        }
        QCOMPARE(weaknumbers::drawPractice(weak.mid(0, 1), random), QList<int>(10, 1));
        QVERIFY(weaknumbers::drawPractice({}, random).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestProblemLog)
#include "tst_problem_log.moc"
