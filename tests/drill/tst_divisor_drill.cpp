#include "drill/attempt.h"
#include "drill/divisor_drill.h"
#include "drill/number_sets.h"
#include "drill_keys.h"
#include "fakes.h"
#include "startup/course_catalogue.h"

#include <QtTest>

namespace {

class RecordingFrontEnd final : public DrillFrontEnd
{
public:
    QStringList events;
    void playCorrectSound() override { events << "correct"; }
    void playWrongSound() override { events << "wrong"; }
    void attemptSolved() override { events << "solved"; }
};

struct Drill
{
    ScriptedRandom random;
    ProblemDrawer drawer{random};
    RecordingFrontEnd frontEnd;
    DivisorDrill drill;

    Drill(int level, QList<int> numbers) : drill(drawer, level, frontEnd)
    {
        QList<float> values;
        for (int n : numbers)
            values << pickValue(level, n);
        random.setValues(values);
        drill.newProblem();
    }
    // Types into whichever box is open, as the pupil's keyboard would.
    void type(const QString& keys)
    {
        for (QChar ch : keys)
            drill.keyPress(drill.activeBox(), ch);
    }
    void press(DivisorDrill::EditKey key) { drill.keyDown(drill.activeBox(), key); }
    QString activeText() const { return drill.box(drill.activeBox()).text; }
};

} // namespace

class TestDivisorDrill : public QObject
{
    Q_OBJECT
private slots:
    void answerLayout_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("number");
        QTest::addColumn<QStringList>("first"); // positions 1..6
        QTest::addColumn<QStringList>("last");  // positions 19..24
        QTest::addRow("2") << 1 << 2 << QStringList{"1", "*", "*", "*", "*", "*"}
                           << QStringList{"*", "*", "*", "*", "*", "2"};
        QTest::addRow("9") << 1 << 9 << QStringList{"1", "3", "*", "*", "*", "*"}
                           << QStringList{"*", "*", "*", "*", "*", "9"};
        QTest::addRow("12") << 1 << 12 << QStringList{"1", "2", "3", "*", "*", "*"}
                            << QStringList{"*", "*", "*", "4", "6", "12"};
        QTest::addRow("36") << 3 << 36 << QStringList{"1", "2", "3", "4", "6", "*"}
                            << QStringList{"*", "*", "9", "12", "18", "36"};
        QTest::addRow("60") << 5 << 60 << QStringList{"1", "2", "3", "4", "5", "6"}
                            << QStringList{"10", "12", "15", "20", "30", "60"};
    }
    void answerLayout()
    {
        QFETCH(int, level);
        QFETCH(int, number);
        QFETCH(QStringList, first);
        QFETCH(QStringList, last);
        Drill d(level, {number});
        QCOMPARE(d.drill.number(), number);
        QStringList gotFirst, gotLast;
        for (int k = 1; k <= 6; ++k)
            gotFirst << d.drill.answer(k);
        for (int k = 19; k <= 24; ++k)
            gotLast << d.drill.answer(k);
        QCOMPARE(gotFirst, first);
        QCOMPARE(gotLast, last);
        QCOMPARE(d.drill.answer(7), QStringLiteral("*")); // never more than 12 divisors
    }

    // Boxes open 1, 24, 2, 23, …; the problem is solved by the space bar alone after the last divisor.
    void solving_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("number");
        QTest::addColumn<QList<int>>("openOrder");
        QTest::addRow("2") << 1 << 2 << QList<int>{1, 24, 2};
        QTest::addRow("prime 13") << 2 << 13 << QList<int>{1, 24, 2};
        QTest::addRow("square 9") << 1 << 9 << QList<int>{1, 24, 2, 23};
        QTest::addRow("12") << 1 << 12 << QList<int>{1, 24, 2, 23, 3, 22, 4};
        QTest::addRow("81") << 5 << 81 << QList<int>{1, 24, 2, 23, 3, 22};
        QTest::addRow("60") << 5 << 60 << QList<int>{1, 24, 2, 23, 3, 22, 4, 21, 5, 20, 6, 19, 7};
        QTest::addRow("72") << 5 << 72 << QList<int>{1, 24, 2, 23, 3, 22, 4, 21, 5, 20, 6, 19, 7};
    }
    void solving()
    {
        QFETCH(int, level);
        QFETCH(int, number);
        QFETCH(QList<int>, openOrder);
        Drill d(level, {number, number == 10 ? 12 : 10});
        QList<int> opened{d.drill.activeBox()};
        const QString keys = solvingKeys(number);
        for (QChar ch : keys) {
            const int before = d.drill.activeBox();
            d.type(ch);
            if (ch == u' ' && d.frontEnd.events.isEmpty() && d.drill.activeBox() != before)
                opened << d.drill.activeBox();
        }
        QCOMPARE(opened, openOrder);
        QCOMPARE(d.frontEnd.events, QStringList{"correct"});
        QCOMPARE(d.drill.solvedCount(), 1);
        QVERIFY(d.drill.number() != number); // the next problem is another number
    }

    void entryEdgeCases()
    {
        Drill d(1, {6, 8});
        d.type("1 ");
        QCOMPARE(d.drill.activeBox(), 24);
        d.type("06");
        QCOMPARE(d.activeText(), QStringLiteral("06"));
        d.press(DivisorDrill::EditKey::Enter); // Enter empties and judges nothing
        QCOMPARE(d.activeText(), QString());
        QVERIFY(d.frontEnd.events.isEmpty());
        d.press(DivisorDrill::EditKey::Backspace); // nothing on an empty box
        d.press(DivisorDrill::EditKey::Left);
        QCOMPARE(d.activeText(), QString());
        d.type("x+a6");
        QCOMPARE(d.activeText(), QStringLiteral("6"));
        d.type("12");
        QCOMPARE(d.activeText(), QStringLiteral("612"));
        d.type("9"); // a full box: the third character is replaced
        QCOMPARE(d.activeText(), QStringLiteral("619"));
        d.press(DivisorDrill::EditKey::Left);
        d.press(DivisorDrill::EditKey::Backspace);
        QCOMPARE(d.activeText(), QStringLiteral("6"));
        d.press(DivisorDrill::EditKey::Up);
        QCOMPARE(d.activeText(), QString());
        d.type("6 ");
        QCOMPARE(d.drill.activeBox(), 2);
        QVERIFY(d.frontEnd.events.isEmpty());
    }

    void leadingZeroIsWrong()
    {
        Drill d(1, {6, 8});
        d.type("1 06 ");
        QCOMPARE(d.frontEnd.events, QStringList{"wrong"});
        QVERIFY(d.drill.answerPanelVisible());
    }

    void judgedThreeCharactersAreCutToTwo()
    {
        Drill d(1, {6, 8});
        d.type("1 612 ");
        QCOMPARE(d.frontEnd.events, QStringList{"wrong"});
        QCOMPARE(d.drill.box(24).text, QStringLiteral("61"));
    }

    // A practice course ("練") goes back to the board unrecorded; a course outside the
    // catalogue has nothing to record; a level is recorded.
    void endingOfAnAttempt_data()
    {
        QTest::addColumn<int>("course");
        QTest::addColumn<int>("ending");
        QTest::addRow("レベル１") << 1 << int(attempt::Ending::RecordAndShowResult);
        QTest::addRow("範囲４練") << 7 << int(attempt::Ending::BackToBoard);
        QTest::addRow("not in the catalogue") << 25 << int(attempt::Ending::NothingToRecord);
    }
    void endingOfAnAttempt()
    {
        QFETCH(int, course);
        QFETCH(int, ending);
        Catalogue catalogue;
        catalogue::fill(catalogue);
        QCOMPARE(int(attempt::endingFor(catalogue, course)), ending);
    }

    void spaceOnEmptyBoxBeforeTheLastDivisorIsWrong()
    {
        Drill d(1, {6, 8});
        d.type("1 6 ");
        d.type(" ");
        QCOMPARE(d.frontEnd.events, QStringList{"wrong"});
        QVERIFY(!d.drill.box(2).visible); // the empty box was put away
        for (int k = 1; k <= 24; ++k)
            QVERIFY(!d.drill.box(k).enabled);
        QCOMPARE(d.drill.plusKeyState(), qint16(1));
        QVERIFY(d.drill.acknowledgeVisible());
        QVERIFY(!d.drill.instructionsVisible());
    }

    void wrongEntryCountsDown_data()
    {
        QTest::addColumn<int>("solvedBefore");
        QTest::addColumn<int>("solvedAfter");
        QTest::addRow("at 0") << 0 << 0;
        QTest::addRow("at 5") << 5 << 4;
    }
    void wrongEntryCountsDown()
    {
        QFETCH(int, solvedBefore);
        QFETCH(int, solvedAfter);
        Drill d(1, {2, 3});
        for (int i = 0; i < solvedBefore; ++i)
            d.type(solvingKeys(d.drill.number()));
        QCOMPARE(d.drill.solvedCount(), solvedBefore);
        d.type("7 ");
        QCOMPARE(d.drill.solvedCount(), solvedAfter);
        QCOMPARE(d.drill.remaining(), 10 - solvedAfter);
    }

    // What the pupil is told after a wrong entry: where, whether "あと" rose, the answer in words.
    void wrongEntryIsMarked_data()
    {
        QTest::addColumn<int>("solvedBefore");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("rose");
        QTest::addColumn<QString>("said");
        QTest::addRow("a wrong divisor at the start")
            << 0 << "1 12 5 " << 2 << "5" << false << "まちがい。5。12のこたえは 1、12、2、6、3、4。";
        QTest::addRow("a partner, after a solved problem")
            << 1 << "1 7 " << 24 << "7" << true << "まちがい。7。12のこたえは 1、12、2、6、3、4。";
        QTest::addRow("space too early") << 0 << "1 12 2 6  " << 3 << "" << false
                                         << "まちがい。まだ約数があるのにスペース。12のこたえは 1、12、2、6、3、4。";
    }
    void wrongEntryIsMarked()
    {
        QFETCH(int, solvedBefore);
        QFETCH(QString, keys);
        QFETCH(int, box);
        QFETCH(QString, entry);
        QFETCH(bool, rose);
        QFETCH(QString, said);
        Drill d(1, solvedBefore ? QList<int>{2, 12, 8} : QList<int>{12, 8});
        for (int i = 0; i < solvedBefore; ++i)
            d.type(solvingKeys(d.drill.number()));
        QCOMPARE(d.drill.wrongBox(), 0);
        d.type(keys);
        QCOMPARE(d.drill.wrongBox(), box);
        QCOMPARE(d.drill.wrongEntry(), entry);
        QCOMPARE(d.drill.wrongCostAProblem(), rose);
        QCOMPARE(d.drill.nextStepLine().startsWith(QStringLiteral("まちがえたので「あと」が１つふえました。")), rose);
        QVERIFY(d.drill.nextStepLine().endsWith(QStringLiteral("「＋」を２回おすと、次の問題に進みます。")));
        QCOMPARE(d.drill.wrongAnnouncement(), said);
        d.drill.formKeyPress(u'+');
        d.drill.formKeyPress(u'+');
        QCOMPARE(d.drill.wrongBox(), 0);
        QVERIFY(d.drill.nextStepLine().isEmpty());
    }

    // Two "+" in a row go on to a new problem; any other key in between starts the count again.
    // A Japanese input method left on: full-width digits and space solve as the keys they are.
    void fullWidthKeys()
    {
        Drill d(1, {12, 10});
        QString keys = solvingKeys(12);
        for (QChar& ch : keys)
            ch = ch == u' ' ? QChar(0x3000) : QChar(ch.unicode() - u'0' + 0xFF10);
        d.type(keys);
        QCOMPARE(d.frontEnd.events, QStringList{"correct"});
        QCOMPARE(d.drill.solvedCount(), 1);
    }

    void acknowledgement_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("goesOn");
        QTest::addRow("+ +") << "++" << true;
        QTest::addRow("+ x +") << "+x+" << false;
        QTest::addRow("+ x + +") << "+x++" << true;
        QTest::addRow("x") << "x" << false;
        QTest::addRow("1 + +") << "1++" << true;
        QTest::addRow("full-width ＋ ＋") << "＋＋" << true;
    }
    void acknowledgement()
    {
        QFETCH(QString, keys);
        QFETCH(bool, goesOn);
        Drill d(1, {6, 8});
        d.type("5 ");
        QVERIFY(d.drill.acknowledgeVisible());
        d.type("+"); // a "+" into a disabled box goes nowhere
        for (QChar ch : keys)
            d.drill.formKeyPress(ch);
        QCOMPARE(!d.drill.acknowledgeVisible(), goesOn);
        if (goesOn) {
            QCOMPARE(d.drill.number(), 8);
            QVERIFY(!d.drill.answerPanelVisible());
            QCOMPARE(d.drill.activeBox(), 1);
            QVERIFY(d.drill.box(1).enabled);
            QCOMPARE(d.drill.plusKeyState(), qint16(0));
        }
    }

    void tenSolvedEndTheAttempt()
    {
        Drill d(1, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
        for (int i = 0; i < 10; ++i)
            d.type(solvingKeys(d.drill.number()));
        QCOMPARE(d.frontEnd.events.count("correct"), 10);
        QCOMPARE(d.frontEnd.events.last(), QStringLiteral("solved"));
        QVERIFY(d.drill.finished());
        QVERIFY(!d.drill.box(d.drill.activeBox()).enabled);
    }
};

QTEST_APPLESS_MAIN(TestDivisorDrill)
#include "tst_divisor_drill.moc"
