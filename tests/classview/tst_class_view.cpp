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
    review::Tracker review;
    QHash<int, QString> readings;
    classview::Period period{QDate(2026, 12, 7), QDate(2026, 12, 8)};
    classview::Table table()
    {
        state->stats = statistics::compute(records, state->rules, state->catalogue.courseCount, clock.date, clock.time);
        const classview::Sources sources{state->stats, state->rules, state->catalogue, lines, readings,
                                         false,        2026,         clock.date};
        classview::Builder builder(sources);
        for (const ResultRecord& r : records)
            builder.add(r);
        builder.addWeakNumbers(log);
        builder.addReview(review, state->school.weekStart);
        return builder.take(period, oadate::fromDate(clock.date) + clock.time.msecsSinceStartOfDay() / 86400000.0);
    }
    void logged(int pupil, int level, int number, float seconds)
    {
        problemlog::Problem p;
        p.pupil = qint16(pupil);
        p.level = qint16(level);
        p.number = qint16(number);
        p.seconds = seconds;
        log << p;
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
        QCOMPARE(t.headers, (QStringList{"学年", "名前", "最後", "今日", "回数", "分", "レベル１", "レベル２",
                                         "レベル３", "レベル４", "レベル５", "にがてな数", "復習"}));
        QCOMPARE(t.rows.size(), 3);                                         // the hidden pupil is left out
        QCOMPARE(t.text(0, classview::GradeColumn), QStringLiteral("小3")); // born 2017
        QCOMPARE(t.text(0, classview::LastPracticeColumn), QStringLiteral("なし"));
        QCOMPARE(t.text(0, classview::TodayColumn), QStringLiteral("0"));
        QCOMPARE(t.text(0, classview::FirstLevelColumn), QStringLiteral("－まだ"));
    }

    // Each state is said by a symbol and a colour whose text reads at 4.5 : 1 at least.
    void statesReadWithoutColour()
    {
        for (const auto state : {classview::LevelState::NotStarted, classview::LevelState::InProgress,
                                 classview::LevelState::Stuck, classview::LevelState::Cleared}) {
            const classview::Colours colours = classview::coloursOf(state);
            QVERIFY2(classview::contrast(colours.text, colours.background) >= 4.5,
                     qPrintable(QString::number(classview::contrast(colours.text, colours.background))));
        }
        QCOMPARE(classview::contrast(0x000000, 0xffffff), 21.0);
    }

    // The last practice, counted in calendar days: a minute before midnight is yesterday; an
    // attempt of the last ten minutes is "いま", across midnight too, never one the clock has not
    // reached (a clock set back).
    void lastPractice_data()
    {
        QTest::addColumn<int>("daysAgo");
        QTest::addColumn<QTime>("at");
        QTest::addColumn<QTime>("now");
        QTest::addColumn<QString>("text");
        QTest::addRow("today at midnight") << 0 << QTime(0, 0) << QTime(0, 20) << "今日";
        QTest::addRow("yesterday a minute before midnight") << 1 << QTime(23, 59) << QTime(0, 20) << "昨日";
        QTest::addRow("two days ago") << 2 << QTime(12, 0) << QTime(0, 20) << "2日前";
        QTest::addRow("a hundred days ago") << 100 << QTime(12, 0) << QTime(0, 20) << "100日前";
        QTest::addRow("ten minutes ago") << 0 << QTime(15, 0) << QTime(15, 10) << "いま";
        QTest::addRow("eleven minutes ago") << 0 << QTime(15, 0) << QTime(15, 11) << "今日";
        QTest::addRow("across midnight") << 1 << QTime(23, 55) << QTime(0, 2) << "いま";
        QTest::addRow("later than the clock") << 0 << QTime(16, 0) << QTime(15, 0) << "今日";
    }
    void lastPractice()
    {
        QFETCH(int, daysAgo);
        QFETCH(QTime, at);
        QFETCH(QString, text);
        Class c;
        QFETCH(QTime, now);
        c.clock.time = now;
        c.attempt(1, 1, daysAgo, at);
        QCOMPARE(c.table().text(0, classview::LastPracticeColumn), text);
    }

    // The period's attempts and minutes, and each level's best time against the period of the
    // same length before it, at their edges.
    void periodAndTheOneBefore_data()
    {
        QTest::addColumn<QList<int>>("daysAgo"); // attempts of 50 s, then 40 s, ...
        QTest::addColumn<int>("attempts");
        QTest::addColumn<QString>("best");
        QTest::addColumn<QString>("minutes"); // rounded: 90 s is 2 minutes, 50 s is 1
        QTest::addRow("both in the period") << QList<int>{0, 1} << 2 << "40秒"
                                            << "2";
        QTest::addRow("the day before the period: the period before, faster now") << QList<int>{2, 0} << 1 << "40秒 ↑"
                                                                                  << "1";
        QTest::addRow("slower now") << QList<int>{0, 3} << 1 << "40秒 ↓"
                                    << "1";
        QTest::addRow("four days ago is before the period before") << QList<int>{4, 0} << 1 << "40秒"
                                                                   << "1";
    }
    void periodAndTheOneBefore()
    {
        QFETCH(QList<int>, daysAgo);
        QFETCH(int, attempts);
        QFETCH(QString, best);
        QFETCH(QString, minutes);
        Class c; // the period: 7 and 8 December; the one before: 5 and 6
        qint32 time = 50;
        for (const int d : daysAgo) {
            c.attempt(1, 1, d, QTime(15, 0), time);
            time -= 10;
        }
        const classview::Table t = c.table();
        QCOMPARE(t.rows[0].periodAttempts, attempts);
        QCOMPARE(t.text(0, classview::PeriodMinutesColumn), minutes);
        QCOMPARE(t.rows[0].levels[0].bestLine(), best);
        const classview::LevelCell cell = t.rows[0].levels[0];
        QCOMPARE(cell.spoken().contains(QStringLiteral("前の期間より速い")), best.endsWith(QStringLiteral("↑")));
        QCOMPARE(cell.spoken().contains(QStringLiteral("前の期間より遅い")), best.endsWith(QStringLiteral("↓")));
    }

    // The periods the teacher chooses, at the edges of the school year (April) and its terms.
    // Each choice gives its first and last day and the span it is compared with: month ends of
    // 28 to 31 days, leap years, year ends, the school's own first day of the week.
    void periods_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<int>("weekStart");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QDate>("previousFrom");
        QTest::addColumn<QDate>("previousTo");
        using C = classview::PeriodChoice;
        const auto row = [](const char* name, C choice, QDate today, int weekStart, QDate from, QDate to, QDate pf,
                            QDate pt) {
            QTest::addRow("%s", name) << int(choice) << today << weekStart << from << to << pf << pt;
        };
        const auto d = [](int y, int m, int day) { return QDate(y, m, day); };
        row("this week, a Wednesday", C::ThisWeek, d(2026, 12, 9), 1, d(2026, 12, 7), d(2026, 12, 13), d(2026, 11, 30),
            d(2026, 12, 6));
        row("this week, its Sunday", C::ThisWeek, d(2026, 12, 13), 1, d(2026, 12, 7), d(2026, 12, 13), d(2026, 11, 30),
            d(2026, 12, 6));
        row("a week from Sunday", C::ThisWeek, d(2026, 12, 9), 7, d(2026, 12, 6), d(2026, 12, 12), d(2026, 11, 29),
            d(2026, 12, 5));
        row("a week from Sunday, on Sunday", C::ThisWeek, d(2026, 12, 6), 7, d(2026, 12, 6), d(2026, 12, 12),
            d(2026, 11, 29), d(2026, 12, 5));
        row("last week across the year", C::LastWeek, d(2027, 1, 6), 1, d(2026, 12, 28), d(2027, 1, 3), d(2026, 12, 21),
            d(2026, 12, 27));
        row("this month, 31 days", C::ThisMonth, d(2026, 12, 9), 1, d(2026, 12, 1), d(2026, 12, 31), d(2026, 11, 1),
            d(2026, 11, 30));
        row("this month, a leap February", C::ThisMonth, d(2028, 2, 29), 1, d(2028, 2, 1), d(2028, 2, 29),
            d(2028, 1, 1), d(2028, 1, 31));
        row("last month is February", C::LastMonth, d(2027, 3, 31), 1, d(2027, 2, 1), d(2027, 2, 28), d(2027, 1, 1),
            d(2027, 1, 31));
        row("last month across the year", C::LastMonth, d(2027, 1, 15), 1, d(2026, 12, 1), d(2026, 12, 31),
            d(2026, 11, 1), d(2026, 11, 30));
        row("term: the school year's first day", C::ThisTerm, d(2026, 4, 1), 1, d(2026, 4, 1), d(2026, 8, 31),
            d(2026, 1, 1), d(2026, 3, 31));
        row("term: the second", C::ThisTerm, d(2026, 12, 9), 1, d(2026, 9, 1), d(2026, 12, 31), d(2026, 4, 1),
            d(2026, 8, 31));
        row("term: the third, across the new year", C::ThisTerm, d(2027, 3, 31), 1, d(2027, 1, 1), d(2027, 3, 31),
            d(2026, 9, 1), d(2026, 12, 31));
        row("a clock set back years", C::ThisMonth, d(2001, 2, 10), 1, d(2001, 2, 1), d(2001, 2, 28), d(2001, 1, 1),
            d(2001, 1, 31));
    }
    void periods()
    {
        QFETCH(int, choice);
        QFETCH(QDate, today);
        QFETCH(int, weekStart);
        const classview::Period p = classview::periodOf(classview::PeriodChoice(choice), today, 4, weekStart);
        QTEST(p.from, "from");
        QTEST(p.to, "to");
        QTEST(p.before().from, "previousFrom");
        QTEST(p.before().to, "previousTo");
        QVERIFY((p.from <= today && today <= p.to) || choice == int(classview::PeriodChoice::LastWeek) ||
                choice == int(classview::PeriodChoice::LastMonth));
    }

    // A range is taken as typed, the wrong way round too, and compared with as many days before it.
    void range()
    {
        using C = classview::PeriodChoice;
        const QDate today(2026, 12, 9);
        const classview::Period november{QDate(2026, 11, 1), QDate(2026, 11, 30)};
        const classview::Period p = classview::periodOf(C::Range, today, 4, 1, november);
        QCOMPARE(p.from, november.from);
        QCOMPARE(p.before().to, QDate(2026, 10, 31));
        QCOMPARE(p.before().days(), 30);
        const classview::Period reversed = classview::periodOf(C::Range, today, 4, 1, {november.to, november.from});
        QCOMPARE(reversed.from, november.from);
        QCOMPARE(reversed.to, november.to);
        QCOMPARE(classview::periodOf(C::Range, today, 4, 1, {}).days(), 1);
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
        QCOMPARE(t.rows[1].levels[0].state() == classview::LevelState::Stuck, check);
        QCOMPARE(t.text(1, classview::FirstLevelColumn).startsWith(QStringLiteral("▲要チェック")), check);
        if (time == 55)
            QCOMPARE(t.text(1, classview::FirstLevelColumn), QStringLiteral("◎クリア 55秒"));
    }

    // ふくしゅう per pupil: due today, and learned since the school's week began (Monday by
    // default; today, 8 December 2026, is a Tuesday).
    void reviewColumn()
    {
        Class c;
        const auto day = [&](int daysAgo) { return qint32(oadate::fromDate(c.clock.date.addDays(-daysAgo))); };
        c.review.add(day(3), 1, 1, 12, true); // due since two days ago
        c.review.add(day(2), 1, 1, 18, true);
        c.review.add(day(0), 1, 1, 20, true);         // due tomorrow
        for (const int daysAgo : {30, 29, 26, 19, 5}) // 24: learned 5 days ago, last week
            c.review.add(day(daysAgo), 2, 1, 24, daysAgo == 30);
        for (const int daysAgo : {40, 39, 36, 29, 1}) // 30: learned yesterday, this week
            c.review.add(day(daysAgo), 2, 1, 30, daysAgo == 40);
        const classview::Table t = c.table();
        QCOMPARE(t.text(0, t.reviewColumn()), QStringLiteral("2こ／今週0"));
        QCOMPARE(t.text(1, t.reviewColumn()), QStringLiteral("0こ／今週1"));
        QCOMPARE(t.text(2, t.reviewColumn()), QString()); // nothing to review: left empty
    }

    // The weak numbers of the level that matters: the level marked 要チェック, else the level
    // practised last; nothing for a pupil who has logged nothing; the weakest first when the
    // column is sorted descending.
    void weakNumbers()
    {
        Class c;
        for (int n : {12, 18, 20, 24})
            c.logged(1, 1, n, float(n)); // level 1 first ...
        c.logged(1, 2, 36, 3);
        c.logged(1, 2, 48, 9); // ... then level 2, practised last
        c.logged(2, 3, 16, 50);
        c.logged(2, 1, 8, 2);
        for (int k = 0; k < 10; ++k)
            c.attempt(2, 3, 0, QTime(15, 0), 500); // stuck at level 3, practised level 1 last
        const classview::Table t = c.table();
        const int column = t.weakColumn();
        QCOMPARE(t.text(0, column), QStringLiteral("レベル２：48 36"));
        QCOMPARE(t.text(1, column), QStringLiteral("レベル３：16"));
        QCOMPARE(t.text(2, column), QString());
        QList<int> order = {0, 1, 2};
        classview::sort(order, t, column, true);
        QCOMPARE(order, (QList<int>{1, 0, 2}));
    }

    // "気になる順": stuck first, then those who have not practised for longest (never: longest
    // of all), then grade and the roster's order.
    void concernOrder()
    {
        Class c;
        c.attempt(1, 1, 3);
        for (int k = 0; k < 10; ++k)
            c.attempt(3, 2, 0, QTime(15, 0), 500); // 佐藤 花子, stuck at level 2
        const classview::Table t = c.table();
        QList<int> order = {0, 1, 2};
        classview::sortByConcern(order, t);
        QCOMPARE(order, (QList<int>{2, 1, 0})); // stuck; never practised; three days ago
    }

    // 名前 sorts by reading where the school has entered one, the others after them in the
    // roster's order; never by character code.
    void nameSortsByReading()
    {
        Class c;
        c.readings = {{3, QStringLiteral("さとう　はなこ")}, {2, QStringLiteral("あおき　はな")}};
        const classview::Table t = c.table();
        QList<int> order = {0, 1, 2};
        classview::sort(order, t, classview::NameColumn, false);
        QCOMPARE(order, (QList<int>{1, 2, 0}));
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
        QTest::addRow("a reading") << "あおき" << QList<int>{2};
    }
    void search()
    {
        QFETCH(QString, search);
        QFETCH(QList<int>, pupils);
        Class c;
        c.readings = {{2, QStringLiteral("あおき　はな")}};
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
    }

    // The CSV holds one column per figure, as numbers and ISO dates, the unit in the header.
    void csvForSpreadsheets()
    {
        Class c;
        c.attempt(2, 1, 0, QTime(15, 0), 55);
        c.attempt(2, 1, 1, QTime(15, 0), 70);
        const classview::Table t = c.table();
        const QStringList lines = QString::fromUtf8(classview::csv(t, {1}, c.state->catalogue).mid(3)).split("\r\n");
        const QStringList header = lines[0].split(u',');
        const QStringList row = lines[1].split(u',');
        QCOMPARE(header.size(), row.size());
        const auto cell = [&](const char* name) { return row.value(header.indexOf(QString::fromUtf8(name))); };
        QCOMPARE(cell("生徒番号"), QStringLiteral("2"));
        QCOMPARE(cell("最後の練習日"), QStringLiteral("2026-12-08"));
        QCOMPARE(cell("期間の始め"), QStringLiteral("2026-12-07"));
        QCOMPARE(cell("期間の回数"), QStringLiteral("2"));
        QCOMPARE(cell("期間の練習時間(分)"), QStringLiteral("2"));
        QCOMPARE(cell("レベル１ クリア(1/0)"), QStringLiteral("0"));
        QCOMPARE(cell("レベル１ 回数"), QStringLiteral("2"));
        QCOMPARE(cell("レベル１ ベスト(秒)"), QStringLiteral("55"));
        QCOMPARE(cell("レベル１ クリアまであと(回)"), QStringLiteral("3"));
        QCOMPARE(cell("レベル１ 要チェック(1/0)"), QStringLiteral("0"));
        QCOMPARE(cell("レベル２ ベスト(秒)"), QString());
    }
};

QTEST_GUILESS_MAIN(TestClassView)
#include "tst_class_view.moc"
