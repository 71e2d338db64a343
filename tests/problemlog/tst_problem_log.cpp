#include "failing_file.h"
#include "fakes.h"
#include "problemlog/problem_log.h"
#include "problemlog/weak_numbers.h"

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
        problemlog::Entry e{QDate(2026, 12, 8), QTime(9, 5, 3), 7, 3, 36, 4.2, shown ? 1 : 0, firstWrong, shown};
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
        const problemlog::Entry e{QDate(2026, 12, 8), QTime(9, 5, 3), 7, 3, 36, 4.2, 0, QString(), false};
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
        const problemlog::Entry e{QDate(2026, 12, 9), QTime(10, 0), 7, 3, 36, 4.2, 0, QString(), false};
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
                                      false};
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
