#include "fakes.h"
#include "roster/roster_file.h"

#include <QTemporaryDir>
#include <QtTest>

class TestRosterFile : public QObject
{
    Q_OBJECT
private slots:
    // The family's other programs read the roster as Shift_JIS: one saved in UTF-8 is refused
    // with the reason, not read into garbled names.
    void utf8RosterIsRefused()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(roster::fileName()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\xEF\xBB\xBF" + QStringLiteral("1,2015,\"山田\",0,0,0,0,0\r\n").toUtf8());
        file.close();
        const roster::Read read = roster::read(dir.path() + "/");
        QVERIFY(!read.parsed);
        QVERIFY2(read.failure.contains(QStringLiteral("UTF-8 で保存されています")), qPrintable(read.failure));
    }

    void parsesLines()
    {
        const QString text =
            QStringLiteral("1,2018,0,0,\"佐藤　花子          \",0,\"                    \",\"                    \"\r\n"
                           " 2 , 2017 ,5,-6,\"一二三四五六七八九十一二三四五六七八九十一二三四五\",2,\"a,b\",\"x\"\r\n"
                           "3,2016,0,0,短い,1,,\r\n");
        const roster::Parsed p = roster::parse(text);
        QVERIFY(p.problems.isEmpty());
        QCOMPARE(p.lines.size(), 3);
        QCOMPARE(p.lines[0].number, qint16(1));
        QCOMPARE(p.lines[0].trimmedName(), QStringLiteral("佐藤　花子"));
        QCOMPARE(p.lines[1].number, qint16(2));
        QCOMPARE(p.lines[1].birthYear, qint16(2017));
        QCOMPARE(p.lines[1].spareB, qint16(-6));
        QCOMPARE(p.lines[1].name, QStringLiteral("一二三四五六七八九十一二三四五六七八九十")); // 25 cut to 20
        QCOMPARE(p.lines[1].spareStringA, roster::fixedField("a,b"));
        QCOMPARE(p.lines[1].status, qint64(2));
        QCOMPARE(p.lines[2].name, QStringLiteral("短い") + QString(18, u' '));
        QCOMPARE(p.lines[2].status, qint64(1));
        QCOMPARE(p.lineNumbers, (QList<int>{1, 2, 3}));
    }

    void formatsAsTheFamilyWritesIt()
    {
        roster::Line line;
        line.number = 12;
        line.birthYear = 2015;
        line.spareA = 3;
        line.name = roster::fixedField("吉田　蓮");
        line.status = 2;
        QCOMPARE(line.format(),
                 QStringLiteral(
                     "12,2015,3,0,\"吉田　蓮                \",2,\"                    \",\"                    \""));
    }

    // A line the program cannot use is passed over and named for the teacher; the rest is read.
    void badLinesAreNamed_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("reason");
        QTest::addRow("number too large") << "6000,2018,0,0,\"a\",0,\"\",\"\""
                                          << "0 から 5000";
        QTest::addRow("negative number") << "-1,2018,0,0,\"a\",0,\"\",\"\""
                                         << "0 から 5000";
        QTest::addRow("number not a number") << "x,2018,0,0,\"a\",0,\"\",\"\""
                                             << "0 から 5000";
        QTest::addRow("too few fields") << "4,2018,0"
                                        << "項目が足りません";
        QTest::addRow("year beyond 16 bits") << "4,99999,0,0,\"a\",0,\"\",\"\""
                                             << "数値でない";
    }
    void badLinesAreNamed()
    {
        QFETCH(QString, line);
        QFETCH(QString, reason);
        const roster::Parsed p =
            roster::parse("1,2018,0,0,\"a\",0,\"\",\"\"\r\n" + line + "\r\n5,2018,0,0,\"b\",0,\"\",\"\"\r\n");
        QCOMPARE(p.lines.size(), 2);
        QCOMPARE(p.problems.size(), 1);
        QVERIFY2(p.problems[0].startsWith("2 行目"), qPrintable(p.problems[0]));
        QVERIFY2(p.problems[0].contains(reason), qPrintable(p.problems[0]));
    }

    void listing_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("withStatus2");
        QTest::addColumn<bool>("listed");
        QTest::addRow("0") << 0 << false << true;
        QTest::addRow("1") << 1 << true << false;
        QTest::addRow("2 hidden") << 2 << false << false;
        QTest::addRow("2 listed") << 2 << true << true;
        QTest::addRow("3") << 3 << true << false;
    }
    void listing()
    {
        QFETCH(int, status);
        QFETCH(bool, withStatus2);
        QFETCH(bool, listed);
        roster::Line line;
        line.status = status;
        QCOMPARE(roster::isListed(line, withStatus2), listed);
    }

    void schoolYear_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<int>("startMonth");
        QTest::addColumn<int>("year");
        QTest::addRow("first day of the start month") << QDate(2026, 4, 1) << 4 << 2026;
        QTest::addRow("last day before it") << QDate(2026, 3, 31) << 4 << 2025;
        QTest::addRow("December") << QDate(2026, 12, 8) << 4 << 2026;
        QTest::addRow("start in January") << QDate(2026, 1, 1) << 1 << 2026;
    }
    void schoolYear()
    {
        QFETCH(QDate, today);
        QFETCH(int, startMonth);
        QFETCH(int, year);
        QCOMPARE(roster::schoolYear(today, startMonth), year);
    }

    void grades_data()
    {
        QTest::addColumn<int>("grade");
        QTest::addColumn<QString>("shortLabel");
        QTest::addColumn<int>("withinSchool");
        QTest::addColumn<QString>("fullLabel"); // "-" for none
        QTest::addRow("-4") << -4 << "幼-" << -10 << "-";
        QTest::addRow("-3") << -3 << "幼-" << -9 << "-";
        QTest::addRow("-2") << -2 << "幼1" << -8 << "-";
        QTest::addRow("-1") << -1 << "幼2" << -7 << "-";
        QTest::addRow("0") << 0 << "幼3" << -6 << "幼３";
        QTest::addRow("1") << 1 << "小1" << 1 << "小１";
        QTest::addRow("6") << 6 << "小6" << 6 << "小６";
        QTest::addRow("7") << 7 << "中1" << 1 << "中１";
        QTest::addRow("9") << 9 << "中3" << 3 << "中３";
        QTest::addRow("10") << 10 << "高1" << 1 << "高１";
        QTest::addRow("11") << 11 << "高2" << 2 << "-";
        QTest::addRow("12") << 12 << "高3" << 3 << "-";
        QTest::addRow("13") << 13 << "大+" << 4 << "-";
        QTest::addRow("birth year 0") << roster::gradeIndex(2026, 0) << "大+" << 2011 << "-";
    }
    void grades()
    {
        QFETCH(int, grade);
        QFETCH(QString, shortLabel);
        QFETCH(int, withinSchool);
        QFETCH(QString, fullLabel);
        QCOMPARE(roster::shortGradeLabel(grade), shortLabel);
        QCOMPARE(roster::yearWithinSchool(grade), withinSchool);
        QCOMPARE(roster::fullGradeLabel(grade).value_or("-"), fullLabel);
    }

    void repairRestoresFromTheTempFile()
    {
        QTemporaryDir dir;
        const QString shared = dir.path() + "/";
        writeCp932(shared + roster::tempFileName(), {"1,2018,0,0,\"a\",0,\"\",\"\""});
        roster::repair(shared);
        QVERIFY(QFile::exists(shared + roster::fileName()));
        QVERIFY(!QFile::exists(shared + roster::tempFileName()));
        // With the roster present the temp file is left alone.
        writeCp932(shared + roster::tempFileName(), {"9,2018,0,0,\"z\",0,\"\",\"\""});
        roster::repair(shared);
        QVERIFY(readAll(shared + roster::fileName()).startsWith("1,"));
        // Neither file: nothing happens, nothing is reported.
        QTemporaryDir empty;
        roster::repair(empty.path() + "/");
    }
};

QTEST_GUILESS_MAIN(TestRosterFile)
#include "tst_roster_file.moc"
