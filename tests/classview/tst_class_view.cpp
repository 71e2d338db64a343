#include "classview/class_view.h"
#include "logic_world.h"
#include "records/oa_date.h"
#include "records/statistics.h"

#include <QtTest>

namespace {

// Attempts of the class, days ago and at a time of day; the roster holds pupils 1 to 4 (4 is
// hidden), and records of pupil 9, who is not on it.
struct Class : LogicWorld
{
    QList<ResultRecord> records;
    QList<roster::Line> lines;

    Class()
    {
        const char* names[] = {"さとう　はな", "サトウ　ハナ", "佐藤　花子", "隠れ　さん"};
        for (int n = 1; n <= 4; ++n) {
            roster::Line line;
            line.number = qint16(n);
            line.birthYear = qint16(2018 - n);
            line.name = roster::fixedField(QString::fromUtf8(names[n - 1]));
            line.status = n == 4 ? 1 : 0;
            lines << line;
        }
    }
    void attempt(int pupil, int course, int daysAgo, QTime at = QTime(15, 0), qint32 time = 50)
    {
        ResultRecord r;
        r.date = oadate::fromDate(clock.date.addDays(-daysAgo));
        r.clockTime = oadate::fromTime(at);
        r.pupil = qint16(pupil);
        r.course = qint16(course);
        r.time = time;
        records << r;
    }
    QList<problemlog::Problem> log;
    classview::Table table()
    {
        state->stats = statistics::compute(records, state->rules, state->catalogue.courseCount, clock.date, clock.time);
        const classview::Sources sources{state->stats, state->rules, state->catalogue, lines, false, 2026, clock.date};
        classview::Builder builder(sources);
        for (const ResultRecord& r : records)
            builder.add(r);
        builder.addWeakNumbers(log);
        return builder.take();
    }
};

} // namespace

class TestClassView : public QObject
{
    Q_OBJECT
private slots:
    void columns()
    {
        Class c;
        const classview::Table t = c.table();
        QCOMPARE(t.headers, (QStringList{"学年", "名前", "番号", "最後の練習", "今日", "今週", "レベル１", "レベル２",
                                         "レベル３", "レベル４", "レベル５", "にがてな数"}));
        QCOMPARE(t.rows.size(), 3);                                         // the hidden pupil is left out
        QCOMPARE(t.text(0, classview::GradeColumn), QStringLiteral("小3")); // born 2017
        QCOMPARE(t.text(0, classview::LastPracticeColumn), QStringLiteral("なし"));
        QCOMPARE(t.text(0, classview::TodayColumn), QStringLiteral("0"));
        QCOMPARE(t.text(0, classview::FirstLevelColumn), QStringLiteral("あと5回・50点"));
    }

    // The last practice, counted in calendar days: a minute before midnight is yesterday.
    void lastPractice_data()
    {
        QTest::addColumn<int>("daysAgo");
        QTest::addColumn<QTime>("at");
        QTest::addColumn<QString>("text");
        QTest::addRow("today at midnight") << 0 << QTime(0, 0) << "今日";
        QTest::addRow("yesterday a minute before midnight") << 1 << QTime(23, 59) << "昨日";
        QTest::addRow("two days ago") << 2 << QTime(12, 0) << "2日前";
        QTest::addRow("a hundred days ago") << 100 << QTime(12, 0) << "100日前";
    }
    void lastPractice()
    {
        QFETCH(int, daysAgo);
        QFETCH(QTime, at);
        QFETCH(QString, text);
        Class c;
        c.clock.time = QTime(0, 5);
        c.attempt(1, 1, daysAgo, at);
        QCOMPARE(c.table().text(0, classview::LastPracticeColumn), text);
    }

    // Today and this week (today and the six days before), at their edges.
    void todayAndWeek_data()
    {
        QTest::addColumn<QList<int>>("daysAgo");
        QTest::addColumn<int>("today");
        QTest::addColumn<int>("week");
        QTest::addRow("today twice") << QList<int>{0, 0} << 2 << 2;
        QTest::addRow("six days ago is this week") << QList<int>{6} << 0 << 1;
        QTest::addRow("seven days ago is not") << QList<int>{7} << 0 << 0;
        QTest::addRow("no records") << QList<int>{} << 0 << 0;
    }
    void todayAndWeek()
    {
        QFETCH(QList<int>, daysAgo);
        QFETCH(int, today);
        QFETCH(int, week);
        Class c;
        for (const int d : daysAgo)
            c.attempt(1, 1, d);
        const classview::Table t = c.table();
        QCOMPARE(t.rows[0].today, today);
        QCOMPARE(t.rows[0].week, week);
    }

    // "要チェック": at least ten attempts in the last fourteen days on a level not cleared.
    void needsCheck_data()
    {
        QTest::addColumn<int>("attempts");
        QTest::addColumn<int>("daysAgo");
        QTest::addColumn<qint32>("time");
        QTest::addColumn<bool>("check");
        QTest::addRow("ten slow attempts") << 10 << 0 << 200 << true;
        QTest::addRow("nine") << 9 << 0 << 200 << false;
        QTest::addRow("ten, the oldest thirteen days ago") << 10 << 13 << 200 << true;
        QTest::addRow("ten, fourteen days ago") << 10 << 14 << 200 << false;
        QTest::addRow("cleared on the tenth") << 10 << 0 << 55 << false;
    }
    void needsCheck()
    {
        QFETCH(int, attempts);
        QFETCH(int, daysAgo);
        QFETCH(qint32, time);
        QFETCH(bool, check);
        Class c;
        // Level 1 asks for 5 attempts and 50 points in 30 days: 55 s earns 5 points an attempt
        // against 60 s, so the tenth clears it; 200 s earns 1 point and never does.
        for (int k = 0; k < attempts; ++k)
            c.attempt(2, 1, k == 0 ? daysAgo : 0, QTime(15, 0), time);
        const classview::Table t = c.table();
        QCOMPARE(t.rows[1].levels[0].needsCheck, check);
        QCOMPARE(t.text(1, classview::FirstLevelColumn).startsWith(QStringLiteral("要チェック")), check);
        if (time == 55)
            QCOMPARE(t.text(1, classview::FirstLevelColumn), QStringLiteral("クリア済み　ベスト55秒"));
    }

    // The three weakest numbers of the level each pupil practised last; nothing for a pupil
    // who has logged nothing; the weakest first when the column is sorted descending.
    void weakNumbers()
    {
        Class c;
        const auto add = [&](int pupil, int level, int number, float seconds) {
            problemlog::Problem p;
            p.pupil = qint16(pupil);
            p.level = qint16(level);
            p.number = qint16(number);
            p.seconds = seconds;
            c.log << p;
        };
        for (int n : {12, 18, 20, 24})
            add(1, 1, n, float(n)); // level 1 first ...
        add(1, 2, 36, 3);
        add(1, 2, 48, 9); // ... then level 2, the current one
        add(2, 1, 16, 50);
        const classview::Table t = c.table();
        const int column = t.weakColumn();
        QCOMPARE(t.text(0, column), QStringLiteral("レベル２：48 36"));
        QCOMPARE(t.text(1, column), QStringLiteral("レベル１：16"));
        QCOMPARE(t.text(2, column), QString());
        QList<int> order = {0, 1, 2};
        classview::sort(order, t, column, true);
        QCOMPARE(order, (QList<int>{1, 0, 2}));
    }

    void pupilsNotOnTheRosterAreLeftOut()
    {
        Class c;
        c.attempt(9, 1, 0);
        c.attempt(4, 1, 0); // hidden
        const classview::Table t = c.table();
        QCOMPARE(t.rows.size(), 3);
        for (const classview::Row& r : t.rows)
            QCOMPARE(r.today, 0);
    }

    // The search is blind to full-width and half-width and to hiragana and katakana.
    void search_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QList<int>>("pupils");
        QTest::addRow("half-width katakana finds さとう and サトウ") << "ｻﾄｳ" << QList<int>{1, 2};
        QTest::addRow("hiragana") << "さとう" << QList<int>{1, 2};
        QTest::addRow("full-width katakana") << "ハナ" << QList<int>{1, 2};
        QTest::addRow("kanji") << "花子" << QList<int>{3};
        QTest::addRow("blanks do not matter") << "佐藤花子" << QList<int>{3};
        QTest::addRow("nothing") << "鈴木" << QList<int>{};
    }
    void search()
    {
        QFETCH(QString, search);
        QFETCH(QList<int>, pupils);
        Class c;
        const classview::Table t = c.table();
        classview::Filter filter;
        filter.search = search;
        QList<int> found;
        for (const int row : classview::filtered(t, filter))
            found << t.rows[row].pupil;
        QCOMPARE(found, pupils);
    }

    void filtersAndSorting()
    {
        Class c;
        c.attempt(1, 1, 10);
        c.attempt(2, 1, 0);
        const classview::Table t = c.table();
        classview::Filter filter;
        filter.notPractisedFor = classview::notPractisedDays(2); // 7 days
        QList<int> order = classview::filtered(t, filter);
        QCOMPARE(order, (QList<int>{0, 2})); // ten days ago, and never
        filter = {};
        filter.grade = QStringLiteral("小４");
        QCOMPARE(classview::filtered(t, filter), QList<int>{1}); // born 2016
        order = {0, 1, 2};
        classview::sort(order, t, classview::LastPracticeColumn, false);
        QCOMPARE(order, (QList<int>{1, 0, 2})); // today, ten days ago, never
        classview::sort(order, t, classview::LastPracticeColumn, true);
        QCOMPARE(order, (QList<int>{2, 0, 1}));
        classview::sort(order, t, classview::NumberColumn, true);
        QCOMPARE(order, (QList<int>{2, 1, 0}));
        const QByteArray csv = classview::csv(t, {1});
        QVERIFY(csv.startsWith("\xEF\xBB\xBF学年,名前,番号"));
        QVERIFY(csv.contains(QStringLiteral("\r\n小4,サトウ　ハナ,2,今日,1,1,").toUtf8()));
    }
};

QTEST_GUILESS_MAIN(TestClassView)
#include "tst_class_view.moc"
