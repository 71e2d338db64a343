#include "board/course_board.h"
#include "board/ranking.h"
#include "board/results_lists.h"
#include "logic_world.h"
#include "records/clearing.h"
#include "records/oa_date.h"
#include "records/result_record.h"
#include "records/results_reader.h"
#include "roster/roster_file.h"
#include "text/display_cells.h"

#include <QtTest>

namespace {

// Pupils 1..n of one school year: pupil k is in grade grades[k - 1] in school year 2026.
struct Group
{
    RosterTables roster;
    QList<qint16> pupils;
    Group(const QStringList& names, const QList<int>& grades)
    {
        roster.schoolYear = 2026;
        for (int k = 1; k <= names.size(); ++k) {
            roster.pupilNames[k] = roster::fixedField(names[k - 1]);
            roster.pupilBirthYears[k] = qint16(2026 - 6 - grades[k - 1]);
            pupils.append(qint16(k));
        }
        roster.listedPupils = pupils;
    }
};

} // namespace

class TestRanking : public QObject
{
    Q_OBJECT
private slots:
    // Each row: best times (99999 none, 99998 failed) or all-time and today's points of pupils
    // 1..4, and the lines the list shows.
    void lines_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("order");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QList<int>>("first");  // best times, or all-time points
        QTest::addColumn<QList<int>>("second"); // today's points
        QTest::addColumn<QStringList>("lines");
        const QList<int> none = {0, 0, 0, 0};
        // Every field keeps its column: the rank takes two cells like "--", a field after the
        // name always starts with a blank, and a value too long for its field widens it.
        QTest::addRow("equal times share a rank: 1, 1, 3")
            << 1 << 1 << "全学年" << QList<int>{50, 40, 40, 99999} << none
            << QStringList{" 1●佐藤花子　    40 ●", " 1①井上　　　    40 　", " 3①山田太郎　    50 　",
                           "--Ⅰ渡辺翔太郎 ------ 　"};
        QTest::addRow("a failed attempt") << 1 << 1 << "全学年" << QList<int>{99998, 99999, 99999, 99999} << none
                                          << QStringList{" 1①山田太郎　 *失敗* 　", "--●佐藤花子　 ------ ●",
                                                         "--①井上　　　 ------ 　", "--Ⅰ渡辺翔太郎 ------ 　"};
        QTest::addRow("a one-digit time and a long one")
            << 1 << 1 << "全学年" << QList<int>{5, 1234567, 99999, 99999} << none
            << QStringList{" 1①山田太郎　     5 　", "--①井上　　　 ------ 　", "--Ⅰ渡辺翔太郎 ------ 　",
                           " 4●佐藤花子　 1234567 ●"};
        QTest::addRow("equal totals: more points today first")
            << 2 << 1 << "全学年" << QList<int>{30, 30, 10, 0} << QList<int>{5, 12, 0, 0}
            << QStringList{" 1●佐藤花子　 12/   30", " 1①山田太郎　  5/   30", " 3①井上　　　  0/   10",
                           " 4Ⅰ渡辺翔太郎  0/    0"};
        QTest::addRow("three-digit points today keep a blank before them")
            << 2 << 1 << "全学年" << QList<int>{136, 30, 10, 123456} << QList<int>{136, 12, 0, 0}
            << QStringList{" 1Ⅰ渡辺翔太郎  0/123456", " 2①山田太郎　 136/  136", " 3●佐藤花子　 12/   30",
                           " 4①井上　　　  0/   10"};
        QTest::addRow("today's order leaves out no points today")
            << 2 << 2 << "全学年" << QList<int>{30, 30, 10, 0} << QList<int>{5, 12, 0, 0}
            << QStringList{" 1●佐藤花子　 12/   30", " 2①山田太郎　  5/   30"};
        QTest::addRow("小３: ranks within the whole group")
            << 1 << 1 << "小３" << QList<int>{50, 40, 30, 60} << none << QStringList{" 2●佐藤花子　    40 ●"};
        QTest::addRow("中学生全体") << 1 << 1 << "中学生全体" << QList<int>{50, 40, 30, 60} << none
                                    << QStringList{" 4Ⅰ渡辺翔太郎    60 　"};
    }
    void lines()
    {
        QFETCH(int, mode);
        QFETCH(int, order);
        QFETCH(QString, filter);
        QFETCH(QList<int>, first);
        QFETCH(QList<int>, second);
        QFETCH(QStringList, lines);
        // Pupil 2 is the one working; names cut to 5 characters or filled with full-width spaces.
        const Group g({"山田太郎", "佐藤花子", "井上", "渡辺翔太郎くん"}, {1, 3, 1, 7});
        auto stats = std::make_unique<Statistics>(5);
        for (int k = 1; k <= 4; ++k) {
            if (mode == 1) {
                stats->bestTime(1, k) = first[k - 1];
            } else {
                stats->totalPoints(1, k) = first[k - 1];
                stats->todayPoints(1, k) = second[k - 1];
            }
        }
        ranking::Request request;
        request.mode = ranking::DisplayMode(mode);
        request.order = ranking::PointsOrder(order);
        request.gradeFilter = filter;
        request.currentPupil = 2;
        QCOMPARE(ranking::build(1, true, g.pupils, *stats, g.roster, request), lines);
    }

    // A course outside the catalogue ranks larger values first and no record last; a group
    // larger than 2000 pupils is ranked whole, and a rank shows its last two digits.
    void undefinedCourseAndLargeGroups()
    {
        const Group g({"あ", "い", "う"}, {1, 1, 1});
        auto stats = std::make_unique<Statistics>(30);
        stats->bestTime(30, 1) = 20;
        stats->bestTime(30, 2) = 99999;
        stats->bestTime(30, 3) = 70;
        ranking::Request request;
        request.mode = ranking::DisplayMode::Time;
        const QStringList lines = ranking::build(30, false, g.pupils, *stats, g.roster, request);
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith(" 1①う"));
        QVERIFY(lines[2].startsWith("--①い"));

        RosterTables roster;
        QList<qint16> pupils;
        for (int k = 1; k <= 2500; ++k) {
            roster.pupilNames[k] = QStringLiteral("生徒");
            pupils.append(qint16(k));
            stats->bestTime(1, k) = k;
        }
        request.gradeFilter = QStringLiteral("家族");
        const QStringList all = ranking::build(1, true, pupils, *stats, roster, request);
        QCOMPARE(all.size(), 2500);
        QVERIFY(all[9].startsWith("10　生徒")); // as wide as rank 9
        QVERIFY(all[8].startsWith(" 9　生徒"));
        QVERIFY(all[2499].startsWith("2500　生徒")); // a rank too long for its field widens it
    }

    // The name column takes ten cells whatever the name holds: half-width characters are
    // filled with a half-width space, so the figures after it stay in their column.
    void nameColumnTakesTenCells_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("column");
        QTest::addRow("full-width") << "山田太郎"
                                    << "山田太郎　";
        QTest::addRow("a half-width space") << "山田 太郎"
                                            << "山田 太郎 ";
        QTest::addRow("half-width katakana") << "ﾔﾏﾀﾞ"
                                             << "ﾔﾏﾀﾞ　　　";
        QTest::addRow("cut to five characters") << "渡辺翔太郎次郎"
                                                << "渡辺翔太郎";
        QTest::addRow("trailing blanks") << "井上      "
                                         << "井上　　　";
    }
    void nameColumnTakesTenCells()
    {
        QFETCH(QString, name);
        QFETCH(QString, column);
        QCOMPARE(ranking::nameColumn(name), column);
        QCOMPARE(displaycells::of(ranking::nameColumn(name)), 10);
    }

    // How far to clearing, from the same rule that decides clearing.
    void progressToClearing_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("points");
        QTest::addColumn<QString>("text");
        QTest::addRow("exactly enough") << 5 << 50 << "クリアずみ";
        QTest::addRow("one attempt short") << 4 << 60 << "クリアまで あと1回";
        QTest::addRow("points short") << 5 << 35 << "クリアまで あと15点";
        QTest::addRow("both short") << 3 << 35 << "クリアまで あと2回・15点";
    }
    void progressToClearing()
    {
        QFETCH(int, count);
        QFETCH(int, points);
        QFETCH(QString, text);
        LogicWorld w;
        w.state->stats.windowCount(1, 3) = qint16(count);
        w.state->stats.windowPoints(1, 3) = points;
        QCOMPARE(clearing::progressText(w.state->stats, w.state->rules, 1, 3), text);
        QCOMPARE(text == "クリアずみ", clearing::isCleared(w.state->stats, w.state->rules, 1, 3));
    }

    // An attempt older than the window no longer counts towards clearing.
    void oldAttemptLeavesTheWindow()
    {
        LogicWorld w; // level 1: 5 attempts and 50 points within 30 days
        QFile file(w.resultsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        for (int daysAgo : {31, 29, 3, 2, 1, 0}) {
            ResultRecord r;
            r.date = oadate::fromDate(w.clock.date.addDays(-daysAgo));
            r.pupil = 3;
            r.course = 1;
            r.time = 30; // 11 points each against 60 seconds
            file.write(r.encode());
        }
        file.close();
        ResultsReader reader(w.services, w.pause);
        QVERIFY(reader.refreshStatistics());
        QCOMPARE(clearing::progressText(w.state->stats, w.state->rules, 1, 3), QStringLiteral("クリアずみ"));
        w.clock.date = w.clock.date.addDays(2); // the one from 29 days ago leaves the window
        QVERIFY(reader.refreshStatistics());
        QCOMPARE(clearing::progressText(w.state->stats, w.state->rules, 1, 3),
                 QStringLiteral("クリアまで あと1回・6点"));
    }

    void columnLayout_data()
    {
        QTest::addColumn<int>("courses");
        QTest::addColumn<double>("width");
        QTest::addColumn<bool>("scrollBar");
        QTest::addColumn<int>("scrollMax");
        QTest::addRow("3 courses share the width") << 3 << 4864.0 << false << 0;
        QTest::addRow("5 courses fit") << 5 << 3456.0 << false << 0;
        QTest::addRow("6 courses scroll by one") << 6 << 3456.0 << true << 2;
        QTest::addRow("8 courses") << 8 << 3456.0 << true << 4;
    }
    void columnLayout()
    {
        QFETCH(int, courses);
        QFETCH(double, width);
        QFETCH(bool, scrollBar);
        QFETCH(int, scrollMax);
        QCOMPARE(CourseBoard::columnWidthTwips(courses), width);
        QCOMPARE(CourseBoard::hasScrollBar(courses), scrollBar);
        if (scrollBar)
            QCOMPARE(CourseBoard::scrollMaximum(courses), scrollMax);
        QCOMPARE(CourseBoard::firstVisibleCourse(courses + 1, courses), 1);
        QCOMPARE(CourseBoard::firstVisibleCourse(2, courses), 2);
    }

    // Single attempts: newest first, in their course's column; today's only; the pupil's own
    // attempts of the last ten years below 90000 seconds.
    void singleAttempts()
    {
        const Group g({"山田太郎", "佐藤花子"}, {1, 2});
        CourseRules rules;
        rules.targetTime[1] = 60;
        rules.pointWeight[1] = 1.0f;
        const QDate today(2026, 12, 8);
        const auto at = [&](int daysAgo, int hour, int pupil, int course, int time) {
            ResultRecord r;
            r.date = oadate::fromDate(today.addDays(-daysAgo));
            r.clockTime = oadate::fromTime(QTime(hour, 5));
            r.pupil = qint16(pupil);
            r.course = qint16(course);
            r.time = time;
            return r;
        };
        const QList<ResultRecord> attempts = {at(4000, 9, 2, 1, 70), at(2, 9, 1, 1, 45),  at(0, 9, 2, 1, 90000),
                                              at(0, 10, 2, 2, 80),   at(0, 11, 1, 1, 61), at(0, 12, 3, 1, 50)};
        resultslists::Request request;
        request.today = today;
        request.currentPupil = 2;
        request.kind = resultslists::Kind::Today;
        auto lines = resultslists::build(attempts, g.roster, rules, request);
        QCOMPARE(lines[1].text, (QStringList{"  61秒 11:05 山田太郎　", "0000秒 09:05 佐藤花子　"}));
        QCOMPARE(lines[2].text, QStringList{"  80秒 10:05 佐藤花子　"});
        QCOMPARE(lines[1].detail[0], QStringLiteral("2026/12/08 11:05　山田太郎　61秒　4点"));
        request.kind = resultslists::Kind::All;
        lines = resultslists::build(attempts, g.roster, rules, request);
        QCOMPARE(lines[1].text.size(), 4); // pupil 3 is not listed
        QCOMPARE(lines[1].text.last(), QStringLiteral("12/26  70秒 佐藤花子　"));
        request.kind = resultslists::Kind::Personal;
        lines = resultslists::build(attempts, g.roster, rules, request);
        QCOMPARE(lines[1].text, QStringList{});
        QCOMPARE(lines[2].text, QStringList{"12/08 10:05  80秒  0点"});
    }

    // Other pupils' names as the school chose: the name, the number alone or the initials of the
    // reading; the pupil working keeps their own.
    void shownNames_data()
    {
        QTest::addColumn<int>("how");
        QTest::addColumn<QString>("reading");
        QTest::addColumn<QString>("shown");
        QTest::addRow("names") << int(RankingNames::Names) << QStringLiteral("やまだ　たろう")
                               << QStringLiteral("山田　太郎");
        QTest::addRow("numbers") << int(RankingNames::SeatNumbers) << QStringLiteral("やまだ　たろう")
                                 << QStringLiteral("12番");
        QTest::addRow("initials") << int(RankingNames::Initials) << QStringLiteral("やまだ　たろう")
                                  << QStringLiteral("Y.T.");
        QTest::addRow("initials, しち") << int(RankingNames::Initials) << QStringLiteral("しみず ちか")
                                        << QStringLiteral("S.C.");
        QTest::addRow("initials, voiced")
            << int(RankingNames::Initials) << QStringLiteral("ごとう ぱんだ") << QStringLiteral("G.P.");
        QTest::addRow("initials, katakana")
            << int(RankingNames::Initials) << QStringLiteral("フジ　ジュン") << QStringLiteral("F.J.");
        QTest::addRow("initials without a reading")
            << int(RankingNames::Initials) << QString() << QStringLiteral("12番");
    }
    void shownNames()
    {
        QFETCH(int, how);
        QFETCH(QString, reading);
        QTEST(ranking::shownName(RankingNames(how), 12, QStringLiteral("山田　太郎"), reading), "shown");
        RosterTables roster;
        roster.listedPupils = {12, 13};
        roster.pupilNames[12] = QStringLiteral("山田　太郎");
        roster.pupilNames[13] = QStringLiteral("佐藤　花子");
        const RosterTables shown = ranking::withShownNames(roster, RankingNames(how), 13, {{12, reading}});
        QTEST(shown.pupilNames[12], "shown");
        QCOMPARE(shown.pupilNames[13], QStringLiteral("佐藤　花子"));
    }
};

QTEST_GUILESS_MAIN(TestRanking)
#include "tst_ranking.moc"
