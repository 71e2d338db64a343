#include "endscreen/end_result.h"
#include "logic_world.h"
#include "records/clearing.h"
#include "records/oa_date.h"
#include "records/result_record.h"
#include "state/attempt_outcome.h"

#include <QtTest>

namespace {

// An attempt of pupil 3, as the recorder hands it over.
AttemptOutcome attemptOf(int course, int time = 0)
{
    AttemptOutcome outcome;
    outcome.pupil = 3;
    outcome.course = course;
    outcome.time = time;
    return outcome;
}

} // namespace

class TestEndResult : public QObject
{
    Q_OBJECT
private slots:
    void lines_data()
    {
        QTest::addColumn<int>("time");
        QTest::addColumn<float>("weight");
        QTest::addColumn<QString>("pointsLine");
        QTest::addColumn<QString>("resultLine");
        QTest::addRow("at the target, weight 1.5") << 100 << 1.5f << "獲得ポイント：5点×1.5→7点"
                                                   << "今の成績：100秒";
        QTest::addRow("no time at all") << 0 << 1.0f << "獲得ポイント：55点×1→55点"
                                        << "今の成績：0秒";
        QTest::addRow("weight 2") << 21 << 2.0f << "獲得ポイント：29点×2→58点"
                                  << "今の成績：21秒";
        QTest::addRow("one over") << 101 << 1.0f << "獲得ポイント：4点×1→4点"
                                  << "今の成績：101秒";
        QTest::addRow("2T") << 200 << 1.0f << "獲得ポイント：1点×1→1点"
                            << "今の成績：200秒";
        QTest::addRow("10T") << 1000 << 1.0f << "獲得ポイント：0点×1→0点"
                             << "今の成績：1000秒";
        QTest::addRow("no record") << 99998 << 1.0f << "獲得ポイント：0点×1→0点"
                                   << "記録なし";
    }
    void lines()
    {
        QFETCH(int, time);
        QFETCH(float, weight);
        QFETCH(QString, pointsLine);
        QFETCH(QString, resultLine);
        LogicWorld w;
        w.state->rules.pointWeight[3] = weight;
        w.state->stats.todayCount(3, 3) = 2;
        w.state->stats.todayCount(1, 3) = 4;
        const auto a = endresult::assess(attemptOf(3, time), w.state->stats, w.state->rules, w.state->catalogue);
        QCOMPARE(a.pointsLine, pointsLine);
        QCOMPARE(a.resultLine, resultLine);
        QCOMPARE(a.levelTodayLine, QStringLiteral("（このレベル　2回目）"));
        QCOMPARE(a.allTodayLine, QStringLiteral("（6回目）"));
    }

    // A course best outranks a personal best, which outranks the fail sound.
    void recordMessage_data()
    {
        QTest::addColumn<int>("courseBest");
        QTest::addColumn<int>("personalBest");
        QTest::addColumn<int>("time");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("sound");
        using S = endresult::RecordSound;
        QTest::addRow("both records") << 1 << 1 << 200 << "！！！最高新記録！！！" << int(S::CourseBest);
        QTest::addRow("personal best") << 0 << 1 << 200 << "新記録おめでとう" << int(S::PersonalBest);
        QTest::addRow("under the second target") << 0 << 0 << 140 << "" << int(S::Fail);
        QTest::addRow("at the second target") << 0 << 0 << 150 << "" << int(S::Fail);
        QTest::addRow("over the second target") << 0 << 0 << 151 << "" << int(S::None);
    }
    void recordMessage()
    {
        QFETCH(int, courseBest);
        QFETCH(int, personalBest);
        QFETCH(int, time);
        QFETCH(QString, message);
        QFETCH(int, sound);
        LogicWorld w;
        AttemptOutcome outcome = attemptOf(3, time); // second target 150
        outcome.newCourseBest = courseBest == 1;
        outcome.newPersonalBest = personalBest == 1;
        const auto a = endresult::assess(outcome, w.state->stats, w.state->rules, w.state->catalogue);
        QCOMPARE(a.recordMessage, message);
        QCOMPARE(int(a.sound), sound);
    }

    void clearingTheTopLevel_data()
    {
        QTest::addColumn<int>("course");
        QTest::addColumn<int>("passedBefore");
        QTest::addColumn<int>("countOf20");
        QTest::addColumn<bool>("panel");
        QTest::addColumn<bool>("pass");
        QTest::addColumn<bool>("hidePanel");
        QTest::addRow("first time") << 5 << 0 << 0 << true << true << false;
        QTest::addRow("again") << 5 << 1 << 0 << true << false << true;
        QTest::addRow("a course with 9999") << 5 << 0 << 9999 << false << true << false;
        // Every level's first clearing has its moment, with the pass sound; not a second one.
        QTest::addRow("below the top, first time") << 4 << 0 << 0 << false << true << false;
        QTest::addRow("below the top, again") << 4 << 1 << 0 << false << false << false;
    }
    void clearingTheTopLevel()
    {
        QFETCH(int, course);
        QFETCH(int, passedBefore);
        QFETCH(int, countOf20);
        QFETCH(bool, panel);
        QFETCH(bool, pass);
        QFETCH(bool, hidePanel);
        LogicWorld w;
        AttemptOutcome outcome = attemptOf(course, 500);
        outcome.passedBefore = passedBefore == 1;
        outcome.clearedBefore = passedBefore == 1;
        w.state->rules.requiredCount[20] = qint16(countOf20);
        w.state->stats.windowPoints(course, 3) = 50;
        w.state->stats.windowCount(course, 3) = 5;
        outcome.cleared = clearing::isCleared(w.state->stats, w.state->rules, course, 3);
        const auto a = endresult::assess(outcome, w.state->stats, w.state->rules, w.state->catalogue);
        QVERIFY(a.cleared);
        QCOMPARE(a.showTargetPanel, panel);
        QCOMPARE(a.playPass, pass);
        QCOMPARE(a.hideTargetPanel, hidePanel);
    }

    // The line under the result: how far to clearing after this attempt, in the board's words,
    // or the clearing itself as a heading.
    void clearLine_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("points");
        QTest::addColumn<bool>("clearedBefore");
        QTest::addColumn<int>("requiredPoints");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("heading");
        QTest::addRow("before clearing") << 3 << 35 << false << 50 << "クリアまで あと2回・15点" << false;
        QTest::addRow("points only") << 6 << 35 << false << 50 << "クリアまで あと15点" << false;
        QTest::addRow("the clearing attempt") << 5 << 50 << false << 50 << "レベル3 クリア！" << true;
        QTest::addRow("already cleared") << 7 << 80 << true << 50 << "" << false;
        QTest::addRow("a course without rules") << 3 << 35 << false << 9999 << "" << false;
    }
    void clearLine()
    {
        QFETCH(int, count);
        QFETCH(int, points);
        QFETCH(bool, clearedBefore);
        QFETCH(int, requiredPoints);
        QFETCH(QString, line);
        QFETCH(bool, heading);
        LogicWorld w;
        w.state->catalogue.courseNames[3] = QStringLiteral("レベル3");
        w.state->rules.requiredPoints[3] = qint16(requiredPoints);
        w.state->stats.windowCount(3, 3) = count;
        w.state->stats.windowPoints(3, 3) = points;
        AttemptOutcome outcome = attemptOf(3, 90);
        outcome.clearedBefore = clearedBefore;
        outcome.cleared = clearing::isCleared(w.state->stats, w.state->rules, 3, 3);
        const auto a = endresult::assess(outcome, w.state->stats, w.state->rules, w.state->catalogue);
        QCOMPARE(a.clearLine, line);
        QCOMPARE(a.firstClear, heading);
        QCOMPARE(a.playPass, heading);
    }

    // The first clearings the records hold: the attempt after which the window, as it stood then,
    // held the required attempts and points (5 and 50 here, in a window of 30 days).
    void firstClearings_data()
    {
        QTest::addColumn<QList<int>>("daysAndTimes"); // day, time in seconds, …
        QTest::addColumn<int>("clearedOnDay");        // 0: not cleared
        QTest::addRow("five fast attempts") << QList<int>{1, 20, 2, 20, 3, 20, 4, 20, 5, 20} << 5;
        QTest::addRow("points reached late") << QList<int>{1, 59, 2, 59, 3, 59, 4, 59, 5, 59, 6, 10, 7, 10} << 6;
        QTest::addRow("the window forgets the first") << QList<int>{1, 0, 40, 50, 41, 50, 42, 50, 43, 50} << 0;
        QTest::addRow("not completed attempts count no attempt")
            << QList<int>{1, 6000, 2, 6000, 3, 20, 4, 20, 5, 20, 6, 20} << 0;
        QTest::addRow("counted once") << QList<int>{1,  20,  2,  20,  3,  20,  4,  20,  5,  20,  6,
                                                    20, 100, 20, 101, 20, 102, 20, 103, 20, 104, 20}
                                      << 5;
    }
    void firstClearings()
    {
        QFETCH(QList<int>, daysAndTimes);
        QFETCH(int, clearedOnDay);
        LogicWorld w;
        const QDate start(2026, 4, 1);
        QList<ResultRecord> records;
        for (qsizetype i = 0; i + 1 < daysAndTimes.size(); i += 2) {
            ResultRecord r;
            r.date = oadate::fromDate(start.addDays(daysAndTimes[i]));
            r.clockTime = 0.6;
            r.pupil = 3;
            r.course = 1;
            r.time = daysAndTimes[i + 1];
            records << r;
        }
        const QList<clearing::Cleared> found = clearing::firstClearings(records, w.state->rules, 5);
        QCOMPARE(found.size(), clearedOnDay ? 1 : 0);
        QCOMPARE(clearing::everCleared(records, w.state->rules, 1, 3), clearedOnDay != 0);
        if (clearedOnDay) {
            QCOMPARE(found[0].date, start.addDays(clearedOnDay));
            QCOMPARE(found[0].pupil, 3);
            QCOMPARE(found[0].course, 1);
        }
    }

    void notClearedWithoutBothRequirements()
    {
        LogicWorld w;
        w.state->stats.windowPoints(2, 3) = 50;
        w.state->stats.windowCount(2, 3) = 4;
        QVERIFY(!clearing::isCleared(w.state->stats, w.state->rules, 2, 3));
        w.state->stats.windowCount(2, 3) = 5;
        QVERIFY(clearing::isCleared(w.state->stats, w.state->rules, 2, 3));
    }

    // A pupil who has just cleared a level below the top is sent on to the next level.
    void progression_data()
    {
        QTest::addColumn<int>("course");
        QTest::addColumn<bool>("cleared");
        QTest::addColumn<int>("window2Count");
        QTest::addColumn<int>("window2Points");
        QTest::addColumn<int>("topCleared");
        QTest::addColumn<bool>("retry");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("clearLabel");
        QTest::addRow("not cleared") << 2 << false << 9 << 0 << 0 << true << "" << false;
        QTest::addRow("second window not met") << 2 << true << 2 << 0 << 0 << true << "" << false;
        QTest::addRow("sent on") << 2 << true << 3 << 0 << 0 << false << "次のレベルへ進みましょう" << false;
        QTest::addRow("top already cleared") << 2 << true << 3 << 0 << 1 << true << "" << false;
        QTest::addRow("the top level itself") << 5 << true << 3 << 0 << 0 << true << "" << true;
    }
    void progression()
    {
        QFETCH(int, course);
        QFETCH(bool, cleared);
        QFETCH(int, window2Count);
        QFETCH(int, window2Points);
        QFETCH(int, topCleared);
        QFETCH(bool, retry);
        QFETCH(QString, label);
        QFETCH(bool, clearLabel);
        LogicWorld w;
        AttemptOutcome outcome = attemptOf(course);
        outcome.cleared = cleared;
        outcome.topLevelClearedBefore = topCleared == 1;
        w.state->stats.window2Count(course, 3) = qint16(window2Count);
        w.state->stats.window2Points(course, 3) = window2Points;
        const auto s = endresult::settle(outcome, w.state->stats, w.state->rules, w.state->catalogue);
        QCOMPARE(s.showRetry, retry);
        QCOMPARE(s.label, label);
        QCOMPARE(s.clearLabel, clearLabel);
    }

    void secondWindowByPoints()
    {
        LogicWorld w;
        AttemptOutcome outcome = attemptOf(2);
        outcome.cleared = true;
        w.state->rules.window2RequiredCount[2] = Loose(0);
        w.state->rules.window2RequiredPoints[2] = Loose(30);
        w.state->stats.window2Points(2, 3) = 29;
        QVERIFY(endresult::settle(outcome, w.state->stats, w.state->rules, w.state->catalogue).showRetry);
        w.state->stats.window2Points(2, 3) = 30;
        QVERIFY(!endresult::settle(outcome, w.state->stats, w.state->rules, w.state->catalogue).showRetry);
    }
};

QTEST_MAIN(TestEndResult)
#include "tst_end_result.moc"
