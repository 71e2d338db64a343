#include "logic_world.h"
#include "menu/name_list.h"
#include "roster/roster_file.h"

#include <QtTest>

using namelist::Figure;

class TestNameList : public QObject
{
    Q_OBJECT
private slots:
    void figures_data()
    {
        QTest::addColumn<int>("figure");
        QTest::addColumn<double>("sum");
        QTest::addColumn<QString>("text");
        QTest::addRow("today attempts 0") << int(Figure::TodayAttempts) << 0.0 << "     ";
        QTest::addRow("today attempts 3") << int(Figure::TodayAttempts) << 3.0 << "  3回";
        QTest::addRow("today attempts 1234 cut") << int(Figure::TodayAttempts) << 1234.0 << "234回";
        QTest::addRow("today points 0") << int(Figure::TodayPoints) << 0.0 << "  　";
        QTest::addRow("today points 42") << int(Figure::TodayPoints) << 42.0 << "  42";
        QTest::addRow("all attempts 0") << int(Figure::AllAttempts) << 0.0 << "     　";
        QTest::addRow("all attempts 1234") << int(Figure::AllAttempts) << 1234.0 << " 1234回";
        QTest::addRow("all points 0") << int(Figure::AllPoints) << 0.0 << "       ";
        QTest::addRow("all points 50") << int(Figure::AllPoints) << 50.0 << "     50";
    }
    void figures()
    {
        QFETCH(int, figure);
        QFETCH(double, sum);
        QFETCH(QString, text);
        QCOMPARE(namelist::figureText(Figure(figure), sum), text);
    }

    void figuresSumCourses1To35()
    {
        LogicWorld w;
        w.state->stats = Statistics(kMaxCourse); // a catalogue of every course the files allow
        w.state->stats.totalCount(1, 3) = 1000;
        w.state->stats.totalCount(35, 3) = 234;
        w.state->stats.totalCount(0, 3) = 7; // course 0 is not a course
        QCOMPARE(namelist::figureText(w.state->stats, Figure::AllAttempts, 3), QStringLiteral(" 1234回"));
    }

    // Mode 1, no points today and 50 so far: two blanks and an ideographic space, "/", 50 right-aligned.
    void rows_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("withinSchool");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        const QString s = QStringLiteral("　");
        QTest::addRow("mode 1") << 1 << 2 << "小2"
                                << "佐藤　花子"
                                << "小2 佐藤　花子" + s + "  　/     50";
        QTest::addRow("preschool mode 1") << 1 << -6 << "幼3"
                                          << "佐藤　花子"
                                          << "幼3 佐藤　花子" + s + "  　/     50";
        QTest::addRow("preschool mode 0") << 0 << -6 << "幼3"
                                          << "佐藤　花子"
                                          << "幼3 佐藤　花子" + s + s + s + "     /     　";
        QTest::addRow("long name has no filler") << 1 << 2 << "小2"
                                                 << "寿限無寿限無五劫"
                                                 << "小2 寿限無寿限無五劫  　/     50";
    }
    void rows()
    {
        QFETCH(int, mode);
        QFETCH(int, withinSchool);
        QFETCH(QString, label);
        QFETCH(QString, name);
        QFETCH(QString, text);
        const QString first = namelist::figureText(namelist::mode(mode).first, 0);
        const QString second = namelist::figureText(namelist::mode(mode).second, mode == 1 ? 50 : 0);
        const auto row = namelist::makeRow(label, withinSchool, name, first, second, mode, 2019, 8);
        QCOMPARE(row.text, text);
        QVERIFY(namelist::sortKey(row).endsWith("*8"));
    }

    // The birth year always takes four characters, so the row keeps its label and name whole.
    void keyYearIsFourDigits_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("prefix");
        QTest::addRow("2019") << 2019 << "2019";
        QTest::addRow("0") << 0 << "0000";
        QTest::addRow("999") << 999 << "0999";
    }
    void keyYearIsFourDigits()
    {
        QFETCH(int, year);
        QFETCH(QString, prefix);
        const auto row = namelist::makeRow("大+", 5, "森", "  　", "       ", 1, year, 13);
        QVERIFY(namelist::sortKey(row).startsWith(prefix + "大+ 森"));
        QVERIFY(row.text.startsWith("大+ 森"));
    }

    // A name holding "*" or "/" keeps its pupil and shows whole.
    void markCharactersInNames()
    {
        const auto row = namelist::makeRow("小1", 1, "A*B/C", "     ", "     　", 0, 2019, 42);
        QCOMPARE(row.pupil, 42);
        QCOMPARE(namelist::nameText(row), QStringLiteral("小1 A*B/C"));
    }

    void order()
    {
        QList<namelist::Row> rows;
        rows << namelist::makeRow("小2", 2, "あべ", "", "", 1, 2018, 1)
             << namelist::makeRow("小1", 1, "いとう", "", "", 1, 2019, 2)
             << namelist::makeRow("小2", 2, "うえだ", "", "", 1, 2018, 3)
             << namelist::makeRow("中1", 1, "えがわ", "", "", 1, 2013, 4);
        QList<int> pupils;
        for (const auto& r : namelist::ordered(rows, 2026, "全学年"))
            pupils << r.pupil;
        QCOMPARE(pupils, (QList<int>{2, 3, 1, 4})); // later births first; one year: descending names
        pupils.clear();
        for (const auto& r : namelist::ordered(rows, 2026, "中学生全体"))
            pupils << r.pupil;
        QCOMPARE(pupils, QList<int>{4});
        QVERIFY(namelist::ordered(rows.mid(0, 3), 2026, "中学生全体").isEmpty());
        QCOMPARE(namelist::ordered(rows, 2026, "小２").size(), 2);
    }

    void clickedName()
    {
        QCOMPARE(namelist::clickedName(" 小2 佐藤　花子　　  　/     50"), QStringLiteral("小2 佐藤　花子"));
    }
};

QTEST_MAIN(TestNameList)
#include "tst_name_list.moc"
