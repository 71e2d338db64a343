#include "app/navigation.h"
#include "state/attempt_outcome.h"
#include "test_world.h"
#include "ui/form.h"

#include <QPushButton>
#include <QTimer>
#include <QtTest>

// The close box of every screen leaves it the way its own way back does, so the program is
// never left running without a window.
class TestCloseBox : public QObject
{
    Q_OBJECT
private slots:
    void leavesLikeTheWayBack_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("next");
        QTest::addRow("menu ends like 終了") << "namesel"
                                             << "";
        QTest::addRow("board goes back to the menu") << "seisekitime1"
                                                     << "namesel";
        QTest::addRow("end screen goes to the board") << "FrmSyuuryou"
                                                      << "seisekitime1";
        QTest::addRow("name change goes back to the menu") << "FrmName2"
                                                           << "namesel";
    }
    void leavesLikeTheWayBack()
    {
        QFETCH(QString, screen);
        QFETCH(QString, next);
        TestWorld w;
        w.context.navigator.showMenu();
        if (screen == "seisekitime1") {
            w.context.navigator.showBoard();
        } else if (screen == "FrmSyuuryou") {
            AttemptOutcome outcome;
            outcome.pupil = 3;
            outcome.course = 1;
            outcome.time = 50;
            w.context.navigator.showEndScreen(outcome);
            QTRY_VERIFY(w.forms.find(screen)->findChild<QWidget*>("Command4")->isVisible());
        } else if (screen == "FrmName2") {
            w.forms.find("namesel")->findChild<QPushButton*>("Command16")->click();
        }
        QCoreApplication::processEvents();
        Form* form = w.forms.find(screen);
        QVERIFY(form);
        form->close();
        QCoreApplication::processEvents();
        if (next.isEmpty()) {
            QCOMPARE(w.launcher.started.size(), 1);
            QCOMPARE(w.launcher.started[0].second, QStringList{"001"});
            QCOMPARE(w.end.exitCodes, QList<int>{0});
            return;
        }
        QVERIFY(!w.forms.isLoaded(screen));
        QVERIFY(w.forms.isLoaded(next));
        QVERIFY(w.end.exitCodes.isEmpty());
    }

    // The close box while the board still builds its lists (events run between courses): the
    // board goes, the menu comes back, and nothing of the board is used after it has gone.
    void closingTheBoardWhileItLoads()
    {
        TestWorld w;
        w.context.navigator.showMenu();
        QTimer::singleShot(0, [&] {
            if (Form* board = w.forms.find("seisekitime1"))
                board->close();
        });
        w.context.navigator.showBoard();
        QTRY_VERIFY(!w.forms.isLoaded("seisekitime1"));
        QVERIFY(w.forms.isLoaded("namesel"));
        QVERIFY(w.end.exitCodes.isEmpty());
    }
};

QTEST_MAIN(TestCloseBox)
#include "tst_close_box.moc"
