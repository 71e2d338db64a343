#include "fakes.h"
#include "logic_world.h"
#include "platform/pause.h"
#include "platform/system_error.h"
#include "records/oa_date.h"
#include "records/points.h"
#include "records/result_record.h"
#include "records/results_file.h"
#include "records/results_reader.h"
#include "records/results_recorder.h"
#include "records/statistics.h"
#include "state/shared_state.h"
#include "system_codes.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

struct Rec
{
    int daysAgo;
    int pupil;
    int course;
    int time;
};

struct World
{
    QTemporaryDir dir;
    std::unique_ptr<SharedState> state = std::make_unique<SharedState>();
    FakeClock clock;
    ScriptedRandom random;
    RecordingMessageBox messages;
    RecordingProgramEnd end;
    RecordingPause pause;
    Services services{*state, clock, random, messages, end};

    World()
    {
        QDir(dir.path()).mkpath("prog");
        state->folders.programFolder = dir.path() + "/prog/";
        state->folders.sharedFolder = dir.path() + "/";
        state->folders.programFolderName = "prog";
        state->catalogue.courseCount = 5;
        clock.date = QDate(2026, 12, 8);
        clock.time = QTime(15, 0);
        CourseRules& r = state->rules;
        r.targetTime[1] = 300;
        r.pointWeight[1] = 1.0f;
        r.windowDays[1] = Loose(7);
        r.window2Days[1] = Loose(30);
        r.requiredCount[1] = 2;
        r.requiredPoints[1] = 13;
        r.targetTime[2] = 100;
        r.pointWeight[2] = 1.5f;
    }
    QString path() const { return resultsfile::resultsPath(state->folders); }

    void write(const QList<ResultRecord>& records)
    {
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Append));
        for (const auto& r : records)
            file.write(r.encode());
    }
    ResultRecord record(const Rec& r) const
    {
        ResultRecord out;
        out.date = oadate::fromDate(clock.date.addDays(-r.daysAgo));
        out.clockTime = 0.25;
        out.pupil = qint16(r.pupil);
        out.course = qint16(r.course);
        out.time = r.time;
        out.points = recordtext::pointsField(0);
        return out;
    }
    void write(const QList<Rec>& records)
    {
        QList<ResultRecord> encoded;
        for (const auto& r : records)
            encoded.append(record(r));
        write(encoded);
    }
    bool compute()
    {
        ResultsReader reader(services, pause);
        return reader.refreshStatistics();
    }
};

} // namespace

class TestStatistics : public QObject
{
    Q_OBJECT
private slots:
    void pointsTable_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<int>("time");
        QTest::addColumn<float>("weight");
        QTest::addColumn<int>("factor");
        QTest::addColumn<int>("points");
        QTest::addRow("half the target") << 300 << 150 << 1.0f << 11 << 11;
        QTest::addRow("at the target") << 300 << 300 << 1.0f << 5 << 5;
        QTest::addRow("one over") << 300 << 301 << 1.0f << 4 << 4;
        QTest::addRow("just under 2T") << 300 << 599 << 1.0f << 4 << 4;
        QTest::addRow("2T") << 300 << 600 << 1.0f << 1 << 1;
        QTest::addRow("just under 10T") << 300 << 2999 << 1.0f << 1 << 1;
        QTest::addRow("10T") << 300 << 3000 << 1.0f << 0 << 0;
        QTest::addRow("no time at all") << 300 << 0 << 1.0f << 55 << 55;
        QTest::addRow("6000 earns by the formula") << 1000 << 6000 << 1.0f << 1 << 1;
        QTest::addRow("99997 still counts") << 20000 << 99997 << 1.0f << 1 << 1;
        QTest::addRow("99998 earns nothing") << 20000 << 99998 << 1.0f << 0 << 0;
        QTest::addRow("99999 earns nothing") << 99999 << 99999 << 1.0f << 0 << 0;
        QTest::addRow("weight 1.5 rounds down") << 300 << 300 << 1.5f << 5 << 7;
        QTest::addRow("weight 2") << 1000 << 206 << 2.0f << 30 << 60;
        QTest::addRow("weight 0") << 300 << 150 << 0.0f << 11 << 0;
        // The time itself counts, not its first three digits: 1000 s is not worth more than 999 s.
        QTest::addRow("four-digit time") << 2000 << 1000 << 1.0f << 11 << 11;
        QTest::addRow("999 next to it") << 2000 << 999 << 1.0f << 11 << 11;
        QTest::addRow("no target time") << 0 << 50 << 1.0f << 0 << 0;
        QTest::addRow("no target, no time") << 0 << 0 << 1.0f << 0 << 0;
    }
    void pointsTable()
    {
        QFETCH(int, target);
        QFETCH(int, time);
        QFETCH(float, weight);
        QFETCH(int, factor);
        QFETCH(int, points);
        QCOMPARE(points::factor(time, target), factor);
        QCOMPARE(points::weighted(time, target, weight), points);
    }

    void emptyFile()
    {
        World w;
        QVERIFY(w.compute());
        QCOMPARE(w.state->stats.recordCount, qint16(0));
        QCOMPARE(w.state->stats.bestTime(1, 1), 99999);
        QCOMPARE(w.state->stats.courseBestTime[1], 99999);
        QCOMPARE(w.state->stats.totalCount(1, 1), qint16(0));
        QVERIFY(QFile::exists(w.path())); // created empty, as the family's programs expect
    }

    void countsAndWindows()
    {
        World w;
        w.write(QList<Rec>{
            {0, 1, 1, 150},   // today: 11 points
            {3, 1, 1, 300},   // first window: 5 points
            {10, 1, 1, 600},  // second window only: 1 point
            {40, 1, 1, 6000}, // outside both; not completed, 0 points
            {0, 1, 1, 99999}, // today, not completed, no points
            {0, 2, 2, 100},   // course 2 has no windows: 5 × 1.5 = 7
            {0, 0, 1, 5},     // pupil 0: not held, but sets its best time
            {0, 3, 0, 7},     // course 0 likewise
            {-1, 4, 1, 9},    // tomorrow: not today
        });
        ResultRecord negative = w.record({0, 5, 1, 11});
        negative.date = -1;
        ResultRecord outside = w.record({0, 6000, 1, 1});
        ResultRecord outsideCourse = w.record({0, 1, 40, 1});
        w.write(QList<ResultRecord>{negative, outside, outsideCourse});
        QVERIFY(w.compute());
        const Statistics& s = w.state->stats;
        QCOMPARE(s.recordCount, qint16(7));
        QCOMPARE(s.totalCount(1, 1), qint16(3));
        QCOMPARE(s.totalPoints(1, 1), 17);
        QCOMPARE(s.windowCount(1, 1), qint16(2));
        QCOMPARE(s.windowPoints(1, 1), 16);
        QCOMPARE(s.window2Count(1, 1), qint16(3));
        QCOMPARE(s.window2Points(1, 1), 17);
        QCOMPARE(s.todayCount(1, 1), 1.0f);
        QCOMPARE(s.todayPoints(1, 1), 11);
        QCOMPARE(s.todayPoints(2, 2), 7);
        QCOMPARE(s.windowCount(2, 2), qint16(0));
        QCOMPARE(s.todayCount(1, 4), 0.0f);
        QCOMPARE(s.bestTime(1, 1), 150);
        QCOMPARE(s.bestTime(1, 0), 5);
        QCOMPARE(s.bestTime(0, 3), 7);
        QCOMPARE(s.bestTime(1, 5), 11); // a negative date is not held, its best time still counts
        QCOMPARE(s.courseBestTime[1], 9);
        QCOMPARE(s.bestTime(1, 1), 150);
        QVERIFY(w.messages.shown.isEmpty());
    }

    // Today is today's calendar date, whatever the short date format would make of it.
    void todayIsTheCalendarDate()
    {
        World w;
        w.clock.date = QDate(2027, 1, 1);
        ResultRecord later;
        later.date = oadate::fromDate(QDate(2027, 1, 12));
        later.pupil = 1;
        later.course = 1;
        later.time = 100;
        ResultRecord same = later;
        same.date = oadate::fromDate(QDate(2027, 1, 1));
        same.pupil = 2;
        w.write(QList<ResultRecord>{later, same});
        QVERIFY(w.compute());
        QCOMPARE(w.state->stats.todayCount(1, 1), 0.0f);
        QCOMPARE(w.state->stats.todayCount(1, 2), 1.0f);
    }

    void windowOfZeroOrEmptyDaysHoldsNothing_data()
    {
        QTest::addColumn<QString>("days");
        QTest::addRow("empty") << "";
        QTest::addRow("zero") << "0";
    }
    void windowOfZeroOrEmptyDaysHoldsNothing()
    {
        QFETCH(QString, days);
        World w;
        w.state->rules.windowDays[1] = Loose::fromField(days);
        w.write(QList<Rec>{{0, 1, 1, 100}});
        QVERIFY(w.compute());
        QCOMPARE(w.state->stats.windowCount(1, 1), qint16(0));
        QCOMPARE(w.state->stats.todayCount(1, 1), 1.0f);
    }

    // Of a long history the newest valid records are held, so new attempts keep counting.
    void newestRecordsAreHeld()
    {
        World w;
        QList<ResultRecord> records;
        for (int n = 1; n <= 25000; ++n)
            records.append(w.record({30, 1, 1, n}));
        w.write(records);
        QVERIFY(w.compute());
        const Statistics& s = w.state->stats;
        QCOMPARE(s.recordCount, qint16(10001));
        auto read = ResultsReader(w.services, w.pause).read();
        QVERIFY(read);
        QCOMPARE(read->size(), 20000); // the last 20000 of the file
        QCOMPARE(read->at(statistics::firstHeld(*read)).time, 15000);
        QCOMPARE(read->last().time, 25000);
        QCOMPARE(s.bestTime(1, 1), 15000);
        QCOMPARE(s.todayCount(1, 1), 0.0f);

        w.write(QList<Rec>{{0, 1, 1, 200}});
        QVERIFY(w.compute());
        read = ResultsReader(w.services, w.pause).read();
        QCOMPARE(read->at(statistics::firstHeld(*read)).time, 15001);
        QCOMPARE(s.todayCount(1, 1), 1.0f);
        QCOMPARE(s.bestTime(1, 1), 200);
    }

    void invalidRecordsUseNoSlot()
    {
        World w;
        QList<Rec> records;
        for (int n = 0; n < 10001; ++n)
            records.append({1, 1, 1, 100});
        records.append({0, 0, 1, 50}); // pupil 0 at the end does not push a valid one out
        w.write(records);
        QVERIFY(w.compute());
        QCOMPARE(w.state->stats.recordCount, qint16(10001));
        QCOMPARE(w.state->stats.bestTime(1, 0), 50);
    }

    // No attempt has a negative time: such a record is invalid, gives no best time and no
    // points (one with -100000 used to overflow the points formula).
    void negativeTimeIsInvalid()
    {
        World w;
        w.write(QList<Rec>{{0, 1, 1, -100000}, {0, 1, 1, 200}, {0, 2, 1, -1}});
        QVERIFY(w.compute());
        const Statistics& s = w.state->stats;
        QCOMPARE(s.recordCount, qint16(1));
        QCOMPARE(s.bestTime(1, 1), 200);
        QCOMPARE(s.bestTime(1, 2), 99999);
        QCOMPARE(s.totalPoints(1, 1), points::weighted(200, 300, 1.0f));
        QCOMPARE(s.totalCount(1, 2), qint16(0));
    }

    void missingFolderRetriesThenEnds()
    {
        World w;
        w.state->folders.programFolder = w.dir.path() + "/gone/";
        QVERIFY(!w.compute());
        QCOMPARE(w.pause.waits, (QList<int>{5000, 5000, 5000}));
        QCOMPARE(w.messages.shown.size(), 1);
        QVERIFY(w.messages.shown[0].text.contains("ファイルがありません"));
        QCOMPARE(w.end.exitCodes, QList<int>{1});
    }

    void missingFolderThatAppearsIsRead()
    {
        World w;
        w.state->folders.programFolder = w.dir.path() + "/late/";
        w.pause.onWait = [&] { QDir(w.dir.path()).mkpath("late"); };
        QVERIFY(w.compute());
        QCOMPARE(w.pause.waits, QList<int>{5000});
        QVERIFY(w.messages.shown.isEmpty());
    }

    void sharingErrorsRetryEverySecond()
    {
        World w;
        w.write(QList<Rec>{{0, 1, 1, 100}});
        int refusals = 5;
        const auto busy = [&](const QString& path) {
            if (refusals-- > 0)
                return OpenedRecordFile{nullptr, RecordFile::Failure::Sharing, 11, "ほかのプログラムが使用中です"};
            return openRecordFile(path);
        };
        ResultsReader reader(w.services, w.pause, busy);
        QVERIFY(reader.refreshStatistics());
        QCOMPARE(w.pause.waits, QList<int>(5, 1000));
        QCOMPARE(w.state->stats.recordCount, qint16(1));
    }

    // A file held for long: after ten seconds a notice says which file is waited for, and the
    // waiting goes on until the file is free, or until the pupil presses "中止", which ends
    // the program.
    void longBusyFileShowsWhatIsWaitedFor_data()
    {
        QTest::addColumn<int>("refusals");
        QTest::addColumn<int>("cancelAfterLooks");
        QTest::addColumn<int>("notices");
        QTest::addColumn<bool>("read");
        QTest::addRow("free within ten seconds: no notice") << 10 << -1 << 0 << true;
        QTest::addRow("free after 15 s: a notice counting") << 15 << -1 << 5 << true;
        QTest::addRow("中止 at the third look") << 1000 << 2 << 3 << false;
    }
    void longBusyFileShowsWhatIsWaitedFor()
    {
        QFETCH(int, refusals);
        QFETCH(int, cancelAfterLooks);
        QFETCH(int, notices);
        QFETCH(bool, read);
        World w;
        w.write(QList<Rec>{{0, 1, 1, 100}});
        w.messages.cancelAfterLooks = cancelAfterLooks;
        const auto busy = [&](const QString& path) {
            if (refusals-- > 0)
                return OpenedRecordFile{nullptr, RecordFile::Failure::Sharing, syscode::kBusy, "使用中"};
            return openRecordFile(path);
        };
        ResultsReader reader(w.services, w.pause, busy);
        QCOMPARE(reader.refreshStatistics(), read);
        QCOMPARE(w.messages.notices.size(), notices);
        if (notices > 0) {
            QVERIFY2(w.messages.notices[0].contains(QStringLiteral("成績累積データ.dat")),
                     qPrintable(w.messages.notices[0]));
            QVERIFY(w.messages.notices[0].contains(QStringLiteral("（10 秒）")));
            QVERIFY(w.messages.notices[0].contains(QDir::toNativeSeparators(w.dir.path() + "/prog")));
        }
        QCOMPARE(w.end.exitCodes, read ? QList<int>{} : QList<int>{0});
        QVERIFY(w.messages.shown.isEmpty());
    }

    // A file or folder the program may not write is no sharing error: waiting would never end.
    void permissionErrorIsReportedAtOnce()
    {
        World w;
        const auto denied = [](const QString&) {
            return OpenedRecordFile{nullptr, RecordFile::Failure::Denied, syscode::kDenied,
                                    describeSystemError(syscode::kDenied)};
        };
        ResultsReader reader(w.services, w.pause, denied);
        QVERIFY(!reader.refreshStatistics());
        QVERIFY(w.pause.waits.isEmpty());
        QCOMPARE(w.messages.shown.size(), 1);
        const QString text = w.messages.shown[0].text;
        for (const char* part : {"成績累積データ.dat", "ゆるされていません", "先生"})
            QVERIFY2(text.contains(QString::fromUtf8(part)), qPrintable(text));
        QCOMPARE(w.end.exitCodes, QList<int>{1});
    }

    void otherErrorsGiveTheDiagnostic()
    {
        World w;
        const auto broken = [](const QString&) {
            return OpenedRecordFile{nullptr, RecordFile::Failure::Other, 5, "Input/output error"};
        };
        ResultsReader reader(w.services, w.pause, broken);
        QVERIFY(!reader.refreshStatistics());
        QCOMPARE(w.messages.shown.size(), 1);
        const QString text = w.messages.shown[0].text;
        for (const char* part : {"成績ランダムファイル表示", "Input/output error", "/date",
                                 "/i=", "/time=", "/name=", "/Bangou=", "/level=", "line"})
            QVERIFY2(text.contains(QString::fromUtf8(part)), part);
        QCOMPARE(w.end.exitCodes, QList<int>{1});
    }

    void recordingSetsTheFlags_data()
    {
        QTest::addColumn<int>("time");
        QTest::addColumn<int>("personal");
        QTest::addColumn<int>("course");
        QTest::addRow("slower than both") << 250 << 0 << 0;
        QTest::addRow("personal best") << 150 << 1 << 0;
        QTest::addRow("course best too") << 90 << 1 << 1;
    }
    void recordingSetsTheFlags()
    {
        QFETCH(int, time);
        QFETCH(int, personal);
        QFETCH(int, course);
        World w;
        w.write(QList<Rec>{{1, 1, 1, 200}, {1, 1, 1, 210}, {1, 2, 1, 100}});
        const auto outcome = ResultsRecorder(w.services, w.pause).record({1, 1, time});
        QVERIFY(outcome);
        QCOMPARE(int(outcome->newPersonalBest), personal);
        QCOMPARE(int(outcome->newCourseBest), course);
        QVERIFY(!outcome->passedBefore); // 2 attempts but 12 points of 13
        QCOMPARE(outcome->points, points::weighted(time, 300, 1.0f));
        QCOMPARE(readAll(w.path()).size(), 4 * 44);
        QCOMPARE(w.state->stats.totalCount(1, 1), qint16(3)); // the statistics count it
    }

    void passedBeforeUsesTheTotalsBeforeTheAttempt()
    {
        World w;
        w.write(QList<Rec>{{1, 1, 1, 100}, {1, 1, 1, 100}});
        QVERIFY(w.compute());
        QCOMPARE(w.state->stats.totalPoints(1, 1), 2 * 19);
        const auto outcome = ResultsRecorder(w.services, w.pause).record({1, 1, 100});
        QVERIFY(outcome);
        QVERIFY(outcome->passedBefore);
        QVERIFY(!outcome->newPersonalBest); // equal is no new best
        QVERIFY(outcome->cleared);
    }
};

QTEST_GUILESS_MAIN(TestStatistics)
#include "tst_statistics.moc"
