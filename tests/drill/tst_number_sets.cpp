#include "drill/number_sets.h"
#include "drill/practice_sets.h"
#include "fakes.h"

#include <QtTest>

class TestNumberSets : public QObject
{
    Q_OBJECT
private slots:
    void sets_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("someMembers");
        QTest::addColumn<QList<int>>("nonMembers");
        QTest::addRow("1") << 1 << 15 << QList<int>{2, 12, 14, 20} << QList<int>{1, 13, 15};
        QTest::addRow("2") << 2 << 20 << QList<int>{13, 16, 35} << QList<int>{17, 19};
        QTest::addRow("3") << 3 << 24 << QList<int>{4, 36, 40} << QList<int>{2, 5, 7};
        QTest::addRow("4") << 4 << 30 << QList<int>{10, 45, 54} << QList<int>{55, 60};
        QTest::addRow("5") << 5 << 37 << QList<int>{55, 60, 64, 72, 81} << QList<int>{57, 2};
    }
    void sets()
    {
        QFETCH(int, level);
        QFETCH(int, count);
        QFETCH(QList<int>, someMembers);
        QFETCH(QList<int>, nonMembers);
        const QList<int> set = numbersets::numbers(level);
        QCOMPARE(set.size(), count);
        QCOMPARE(QSet<int>(set.begin(), set.end()).size(), count); // no number twice
        for (int n : someMembers)
            QVERIFY2(set.contains(n), qPrintable(QString::number(n)));
        for (int n : nonMembers)
            QVERIFY2(!set.contains(n), qPrintable(QString::number(n)));
    }

    void divisors_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QList<int>>("divisors");
        QTest::addRow("prime 13") << 13 << QList<int>{1, 13};
        QTest::addRow("2") << 2 << QList<int>{1, 2};
        QTest::addRow("12") << 12 << QList<int>{1, 2, 3, 4, 6, 12};
        QTest::addRow("square 36") << 36 << QList<int>{1, 2, 3, 4, 6, 9, 12, 18, 36};
        QTest::addRow("60") << 60 << QList<int>{1, 2, 3, 4, 5, 6, 10, 12, 15, 20, 30, 60};
        QTest::addRow("72") << 72 << QList<int>{1, 2, 3, 4, 6, 8, 9, 12, 18, 24, 36, 72};
        QTest::addRow("81") << 81 << QList<int>{1, 3, 9, 27, 81};
    }
    void divisors()
    {
        QFETCH(int, number);
        QFETCH(QList<int>, divisors);
        const QList<int> listed = numbersets::divisors(number);
        QCOMPARE(listed, divisors);
        for (qsizetype k = 0; k < listed.size(); ++k) // partners multiply to the number
            QCOMPARE(listed[k] * listed[listed.size() - 1 - k], number);
    }

    void noSetMemberHasMoreThanTwelveDivisors()
    {
        for (int level = 1; level <= 5; ++level) {
            for (int n : numbersets::numbers(level))
                QVERIFY(numbersets::divisors(n).size() <= 12);
        }
    }

    // Each random value picks the entry Int(r × n + 1); the same number twice draws again.
    void drawsWithoutRepeating()
    {
        ScriptedRandom random({0.0f, 0.0f, 0.0f, 0.99f, 0.5f});
        ProblemDrawer drawer(random);
        QCOMPARE(drawer.drawNext(1), std::optional<int>(2));
        QCOMPARE(drawer.drawNext(1), std::optional<int>(20)); // two draws of 2 passed over
        QCOMPARE(drawer.drawNext(1), std::optional<int>(9));  // 0.5 × 15 + 1 = 8.5: entry 8
        QCOMPARE(drawer.previousNumber(), 9);
    }

    void neverTheSameNumberTwiceInARow()
    {
        SystemRandom random;
        for (int level = 1; level <= 5; ++level) {
            ProblemDrawer drawer(random);
            const QList<int> set = numbersets::numbers(level);
            int previous = 0;
            for (int i = 0; i < 2000; ++i) {
                const int n = *drawer.drawNext(level);
                QVERIFY(n != previous);
                QVERIFY(set.contains(n));
                previous = n;
            }
        }
    }

    // A practice shows its numbers in order and starts again when more are needed, without
    // showing its last number twice in a row.
    void practiceNumbersInOrder()
    {
        ScriptedRandom random;
        ProblemDrawer drawer(random);
        drawer.showInOrder({12, 8, 12});
        QList<int> shown;
        for (int i = 0; i < 6; ++i)
            shown << *drawer.drawNext(1);
        QCOMPARE(shown, (QList<int>{12, 8, 12, 8, 12, 8}));
    }

    // Every practice set: numbers the ring can take (two digits, at most twelve divisors), each
    // with what the set's name says of it, and a line for the pupil.
    void practiceSets_data()
    {
        QTest::addColumn<QString>("name");
        for (const practicesets::Set& set : practicesets::all())
            QTest::addRow("%s", qPrintable(set.name)) << set.name;
        QCOMPARE(practicesets::all().size(), 4 + numbersets::kLastLevel);
    }
    void practiceSets()
    {
        QFETCH(QString, name);
        const auto sets = practicesets::all();
        const auto set = *std::find_if(sets.begin(), sets.end(), [&](const auto& s) { return s.name == name; });
        QVERIFY(!set.about.isEmpty());
        QVERIFY(numbersets::hasNumberSet(set.level));
        QVERIFY(set.numbers.size() >= 2);
        for (const int n : set.numbers) {
            QVERIFY2(n >= 2 && n <= 99 && numbersets::divisors(n).size() <= 12, qPrintable(QString::number(n)));
            if (name == QStringLiteral("そ数"))
                QCOMPARE(numbersets::divisors(n).size(), 2);
            else if (name == QStringLiteral("平方数"))
                QCOMPARE(numbersets::divisors(n).size() % 2, 1);
            else if (name == QStringLiteral("約数が多い数"))
                QVERIFY(numbersets::divisors(n).size() >= 8);
            else if (name.startsWith(QStringLiteral("2・5")))
                QCOMPARE(n % 10, 0);
        }
        ScriptedRandom random;
        random.setValues({0.0f, 0.99f, 0.5f});
        const QList<int> drawn = practicesets::draw(set, random);
        QCOMPARE(drawn.size(), 10);
        for (qsizetype i = 1; i < drawn.size(); ++i)
            QVERIFY(drawn[i] != drawn[i - 1]);
    }

    void levelWithoutSetIsRefused_data()
    {
        QTest::addColumn<int>("level");
        QTest::addRow("0") << 0;
        QTest::addRow("6") << 6;
        QTest::addRow("-1") << -1;
        QTest::addRow("35") << 35;
    }
    void levelWithoutSetIsRefused()
    {
        QFETCH(int, level);
        ScriptedRandom random;
        ProblemDrawer drawer(random);
        QVERIFY(!numbersets::hasNumberSet(level));
        QVERIFY(!drawer.drawNext(level).has_value());
    }
};

QTEST_APPLESS_MAIN(TestNumberSets)
#include "tst_number_sets.moc"
