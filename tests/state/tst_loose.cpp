#include "state/bounded_table.h"
#include "state/loose.h"

#include <QtTest>

class TestLoose : public QObject
{
    Q_OBJECT
private slots:
    void emptyBehavesAsZero()
    {
        const Loose never;
        QVERIFY(never == 0.0);
        QVERIFY(never == QString());
        QVERIFY(never == Loose(0));
        QCOMPARE(never.toInt(), 0);
        QVERIFY(!(never == Loose(1)));
    }

    void fromField_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("isNumber");
        QTest::addColumn<double>("value");
        QTest::addRow("integer") << "1" << true << 1.0;
        QTest::addRow("decimal") << "1.5" << true << 1.5;
        QTest::addRow("blank padded") << " 7 " << true << 7.0;
        QTest::addRow("text") << "abc" << false << 0.0;
        QTest::addRow("leading digits") << "2015年" << false << 2015.0;
        QTest::addRow("empty") << "" << false << 0.0;
    }
    void fromField()
    {
        QFETCH(QString, field);
        QFETCH(bool, isNumber);
        QFETCH(double, value);
        const Loose loose = Loose::fromField(field);
        QCOMPARE(loose.isNumber(), isNumber);
        QCOMPARE(loose.toDouble(), value);
    }

    void roundsHalfToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<qint64>("rounded");
        QTest::addRow("0.5") << 0.5 << qint64(0);
        QTest::addRow("1.5") << 1.5 << qint64(2);
        QTest::addRow("2.5") << 2.5 << qint64(2);
        QTest::addRow("2.6") << 2.6 << qint64(3);
        QTest::addRow("-1.5") << -1.5 << qint64(-2);
        QTest::addRow("1e300 held at the top") << 1e300 << std::numeric_limits<qint64>::max() - 1023;
        QTest::addRow("-inf held at the bottom") << -qInf() << -(std::numeric_limits<qint64>::max() - 1023);
        QTest::addRow("nan is 0") << qQNaN() << qint64(0);
    }
    void roundsHalfToEven()
    {
        QFETCH(double, value);
        QFETCH(qint64, rounded);
        QCOMPARE(roundHalfEven(value), rounded);
    }

    void toIntHoldsHostileNumbers()
    {
        QCOMPARE(Loose(1e300).toInt(), std::numeric_limits<int>::max());
        QCOMPARE(Loose(-1e300).toInt(), std::numeric_limits<int>::min());
        QCOMPARE(Loose(qQNaN()).toInt(), 0);
    }

    void shortestDecimalForms()
    {
        QCOMPARE(shortestDecimal(2.0), QStringLiteral("2"));
        QCOMPARE(shortestDecimal(double(1.5f)), QStringLiteral("1.5"));
        QCOMPARE(shortestDecimal(double(0.1f)), QStringLiteral("0.1"));
    }

    void tablesHaveTheirBounds()
    {
        CourseByPupil<qint32> table;
        table(kMaxCourse, kMaxPupil) = 7;
        table(0, 0) = 3;
        QCOMPARE(table(35, 5000), 7);
        QCOMPARE(table(0, 0), 3);
        ByRecord<qint32> records;
        records[kMaxRecord] = 9;
        QCOMPARE(records[20000], 9);
    }
};

QTEST_APPLESS_MAIN(TestLoose)
#include "tst_loose.moc"
