#include "app/navigation.h"
#include "board/board_screen.h"
#include "board/course_board.h"
#include "records/clearing.h"
#include "test_world.h"
#include "ui/form.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

namespace {

// 佐藤 (3, the pupil working) and 鈴木 (4), as the menu listed them.
void listTwoPupils(TestWorld& w)
{
    w.state->roster.schoolYear = 2026;
    for (int p : {3, 4}) {
        w.state->roster.listedPupils.append(qint16(p));
        w.state->roster.pupilNames[p] = p == 3 ? QStringLiteral("佐藤　花子") : QStringLiteral("鈴木　一郎");
        w.state->roster.pupilBirthYears[p] = 2018;
    }
}

} // namespace

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
        QVERIFY(!clearing::topLevelCleared(w.state->stats, w.state->rules, w.state->catalogue, 3));
        w.state->stats.windowPoints(5, 3) = 50;
        w.state->stats.windowCount(5, 3) = 5;
        QVERIFY(clearing::topLevelCleared(w.state->stats, w.state->rules, w.state->catalogue, 3));
    }

    // Alt with the course number starts that course, as the button's caption promises.
    void altNumberStartsTheCourse()
    {
        TestWorld w;
        w.context.navigator.showBoard();
        Form* board = w.forms.find("seisekitime1");
        QVERIFY(QTest::qWaitForWindowActive(board));
        QCOMPARE(board->findChild<QPushButton*>("Command4_3")->text(), QStringLiteral("ｽﾀｰﾄ(&3)"));
        QVERIFY(!board->findChild<QPushButton*>("Command24_1")->isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_3, Qt::AltModifier);
        QTRY_VERIFY(w.forms.isLoaded("mainfrm")); // a mnemonic clicks the button a moment later
        QCOMPARE(w.forms.find("mainfrm")->findChild<QLabel*>("Label10")->text(), QStringLiteral("3"));
        QVERIFY(!w.forms.isLoaded("seisekitime1"));
    }

    // "0" goes back to the menu whatever has the focus: the grade choice, a list, an option.
    void zeroGoesBackFromAnyControl_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addRow("grade choice") << "Combo1";
        QTest::addRow("a list") << "List5_2";
        QTest::addRow("an option") << "Option2_1";
        QTest::addRow("a start button") << "Command4_1";
    }
    void zeroGoesBackFromAnyControl()
    {
        QFETCH(QString, control);
        TestWorld w;
        w.context.navigator.showBoard();
        Form* board = w.forms.find("seisekitime1");
        QVERIFY(QTest::qWaitForWindowActive(board));
        auto* widget = board->findChild<QWidget*>(control);
        widget->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), widget);
        QTest::keyClick(widget, Qt::Key_0);
        QTRY_VERIFY(w.forms.isLoaded("namesel"));
        QVERIFY(!w.forms.isLoaded("seisekitime1"));
    }

    // The lists are list widgets with one item per line, so a screen reader reads each line;
    // the display options choose them.
    // Back from a practice the board shows the view the pupil left (個人ﾀｲﾑ, where the weak numbers
    // are); after that, and after an attempt, it opens in ﾎﾟｲﾝﾄ表示 again.
    void backFromPracticeInTheViewLeft()
    {
        TestWorld w;
        w.context.navigator.showBoard();
        auto view = [&w] {
            const auto* board = qobject_cast<BoardScreen*>(w.forms.find("seisekitime1"));
            return board ? int(board->board().view()) : -1;
        };
        w.forms.find("seisekitime1")->findChild<QRadioButton*>("Option2_2")->click();
        QCOMPARE(view(), int(CourseBoard::View::PersonalTimes));
        w.random.setValues({0.0f});
        DrillRequest request;
        request.kind = DrillRequest::Kind::WeakNumbers;
        request.course = 1;
        request.numbers = {12, 18};
        w.context.navigator.startPractice(request);
        QVERIFY(w.forms.isLoaded("mainfrm"));
        w.context.navigator.showBoard(); // what the practice's end screen does
        QCOMPARE(view(), int(CourseBoard::View::PersonalTimes));
        QVERIFY(w.forms.find("seisekitime1")->findChild<QRadioButton*>("Option2_2")->isChecked());
        QVERIFY(
            !w.forms.find("seisekitime1")->findChild<QComboBox*>("Combo2")->isVisibleTo(w.forms.find("seisekitime1")));
        w.context.navigator.showBoard();
        QCOMPARE(view(), int(CourseBoard::View::Points));
    }

    void listsAndDisplayOptions()
    {
        TestWorld w;
        listTwoPupils(w);
        w.context.navigator.showBoard();
        Form* board = w.forms.find("seisekitime1");
        const auto list = [&](int i) { return board->findChild<QListWidget*>(QStringLiteral("List5_%1").arg(i)); };
        const auto heading = [&] { return board->findChild<QLabel*>("Label5")->text(); };
        QCOMPARE(heading(), QStringLiteral("獲得ポイント（今まで順位）"));
        for (int i = 1; i <= 5; ++i) {
            QCOMPARE(list(i)->count(), 2);
            QVERIFY(list(i)->isVisible());
        }
        QCOMPARE(list(1)->item(0)->text(), QStringLiteral(" 1●佐藤　花子  0/    0"));
        QVERIFY(!board->findChild<QScrollBar*>("HScroll1")->isVisible()); // five levels fit
        QCOMPARE(board->findChild<QRadioButton*>("Option1_1")->text(), QStringLiteral("累計順"));
        QVERIFY(board->findChild<QRadioButton*>("Option2_1")->isChecked());

        board->findChild<QRadioButton*>("Option2_0")->click();
        QCOMPARE(heading(), QStringLiteral("ベスト成績"));
        QCOMPARE(board->findChild<QRadioButton*>("Option1_1")->text(), QStringLiteral("BEST表示"));
        QVERIFY(list(2)->item(0)->text().contains(QStringLiteral("------")));
        board->findChild<QRadioButton*>("Option2_2")->click();
        QCOMPARE(heading(), QStringLiteral("個人別ﾀｲﾑ"));
        QVERIFY(board->findChild<QPushButton*>("Command17")->isVisible());
        QVERIFY(!board->findChild<QComboBox*>("Combo2")->isVisible());
        QCOMPARE(list(1)->count(), 0); // no attempt recorded
        QVERIFY(w.messages.shown.isEmpty());
    }

    // Where the school hides names, a pupil sees the others by number and their own name; the
    // teacher sees every name.
    void namesHiddenFromPupils()
    {
        TestWorld w;
        listTwoPupils(w);
        w.state->school.rankingNames = RankingNames::SeatNumbers;
        w.context.navigator.showBoard();
        const auto lines = [&w] {
            QStringList out;
            const auto* list = w.forms.find("seisekitime1")->findChild<QListWidget*>("List5_1");
            for (int row = 0; row < list->count(); ++row)
                out << list->item(row)->text();
            return out.join(u'|');
        };
        QVERIFY2(lines().contains(QStringLiteral("佐藤　花子")) && lines().contains(QStringLiteral("4番")) &&
                     !lines().contains(QStringLiteral("鈴木")),
                 qPrintable(lines()));
        w.state->current.pupilName = QStringLiteral("森先生");
        w.context.navigator.showBoard();
        QVERIFY2(lines().contains(QStringLiteral("鈴木　一郎")), qPrintable(lines()));
    }

    // The layout follows CourseCount: eight columns scroll, the leftmost one leaving the form.
    void eightCoursesScroll()
    {
        TestWorld w;
        w.state->catalogue.courseCount = 8;
        w.context.navigator.showBoard();
        Form* board = w.forms.find("seisekitime1");
        auto* scroll = board->findChild<QScrollBar*>("HScroll1");
        QVERIFY(scroll->isVisible());
        QCOMPARE(scroll->maximum(), 4); // columns 4 to 8 are the last view
        const auto column = [&](int i) { return board->findChild<QWidget*>(QStringLiteral("Column_%1").arg(i)); };
        QVERIFY(board->findChild<QPushButton*>("Command4_8"));
        const int firstX = column(1)->x();
        scroll->setValue(3);
        QCOMPARE(column(3)->x(), firstX);
        QVERIFY(!column(2)->isVisible());
        QVERIFY(column(4)->x() > firstX);
    }

    void teacherSeesThePrintButton()
    {
        TestWorld w;
        w.state->current.pupilName = QStringLiteral("森先生");
        w.context.navigator.showBoard();
        QVERIFY(w.forms.find("seisekitime1")
                    ->findChild<QPushButton*>("Command24_1")
                    ->isVisibleTo(w.forms.find("seisekitime1")));
    }
};

QTEST_MAIN(TestCourseBoard)
#include "tst_course_board.moc"
