#include "app/navigation.h"
#include "board/course_board.h"
#include "test_world.h"
#include "ui/form.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

class TestCourseBoard : public QObject
{
    Q_OBJECT
private slots:
    void ruleCaptions_data()
    {
        QTest::addColumn<int>("course");
        QTest::addColumn<int>("requiredPoints");
        QTest::addColumn<float>("weight");
        QTest::addColumn<QString>("caption");
        QTest::addRow("defined") << 1 << 50 << 1.5f << "目標=60秒 5回/50点(×1.5)";
        QTest::addRow("9999 hides the targets") << 2 << 9999 << 1.0f << "目標=80秒 --------";
        QTest::addRow("not defined") << 25 << 50 << 1.0f << "◎=0点以上";
    }
    void ruleCaptions()
    {
        QFETCH(int, course);
        QFETCH(int, requiredPoints);
        QFETCH(float, weight);
        QFETCH(QString, caption);
        TestWorld w;
        w.state->rules.requiredPoints[course] = requiredPoints;
        w.state->rules.pointWeight[course] = weight;
        QCOMPARE(courseboard::ruleCaption(w.state->rules, w.state->catalogue, course), caption);
    }

    void figures()
    {
        TestWorld w;
        QCOMPARE(courseboard::todayFigures(w.state->stats, 1, 3), QStringLiteral("-----"));
        QCOMPARE(courseboard::totalFigures(w.state->stats, 1, 3), QStringLiteral("------"));
        w.state->stats.todayCount(1, 3) = 2;
        w.state->stats.todayPoints(1, 3) = 30;
        w.state->stats.totalCount(1, 3) = 12;
        w.state->stats.totalPoints(1, 3) = 250;
        QCOMPARE(courseboard::todayFigures(w.state->stats, 1, 3), QStringLiteral("2回/30点"));
        QCOMPARE(courseboard::totalFigures(w.state->stats, 1, 3), QStringLiteral("12回/250点"));
        QCOMPARE(courseboard::todayTotal(w.state->stats, 3), QStringLiteral("本日総回数＝2回"));
        QCOMPARE(courseboard::startCaption(4), QStringLiteral("ｽﾀｰﾄ(&4)"));
        QCOMPARE(courseboard::minutesSinceStart(36000, 36000 + 179), QStringLiteral("起動後2分"));
    }

    void topLevelCleared()
    {
        TestWorld w;
        QCOMPARE(courseboard::topLevelCleared(w.state->stats, w.state->rules, w.state->catalogue, 3), qint16(0));
        w.state->stats.windowPoints(5, 3) = 50;
        w.state->stats.windowCount(5, 3) = 5;
        QCOMPARE(courseboard::topLevelCleared(w.state->stats, w.state->rules, w.state->catalogue, 3), qint16(1));
    }

    // Alt with the course number starts that course, as the button's caption promises.
    void altNumberStartsTheCourse()
    {
        TestWorld w;
        w.context.navigator.openResultsViewer();
        Form* board = w.forms.find("seisekitime1");
        QVERIFY(QTest::qWaitForWindowActive(board));
        QCOMPARE(board->findChild<QPushButton*>("Command4_3")->text(), QStringLiteral("ｽﾀｰﾄ(&3)"));
        QVERIFY(!board->findChild<QPushButton*>("Command24_1")->isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_3, Qt::AltModifier);
        QTRY_VERIFY(w.forms.isLoaded("mainfrm")); // a mnemonic clicks the button a moment later
        QCOMPARE(w.state->current.course, qint16(3));
        QVERIFY(!w.forms.isLoaded("seisekitime1"));
    }

    void teacherSeesThePrintButton()
    {
        TestWorld w;
        w.state->current.pupilName = QStringLiteral("森先生");
        w.context.navigator.openResultsViewer();
        QVERIFY(w.forms.find("seisekitime1")
                    ->findChild<QPushButton*>("Command24_1")
                    ->isVisibleTo(w.forms.find("seisekitime1")));
    }
};

QTEST_MAIN(TestCourseBoard)
#include "tst_course_board.moc"
