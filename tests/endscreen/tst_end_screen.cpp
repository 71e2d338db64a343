#include "app/navigation.h"
#include "records/clearing.h"
#include "records/oa_date.h"
#include "records/result_record.h"
#include "records/results_reader.h"
#include "state/attempt_outcome.h"
#include "test_world.h"
#include "ui/form.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

// One attempt of pupil 3 today in the results file.
void writeAttempt(const TestWorld& w, int course, int time)
{
    ResultRecord r;
    r.date = oadate::fromDate(w.clock.date);
    r.pupil = 3;
    r.course = qint16(course);
    r.time = time;
    QFile file(w.resultsPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Append));
    file.write(r.encode());
}

QString text(QWidget* form, const char* name)
{
    auto* label = form->findChild<QLabel*>(name);
    return label ? label->text() : QStringLiteral("<none>");
}

// What the recorder hands over for an attempt of pupil 3 already in the results file, with
// the statistics counting it.
AttemptOutcome recorded(TestWorld& w, int course, int time)
{
    AttemptOutcome outcome;
    outcome.pupil = 3;
    outcome.course = course;
    outcome.time = time;
    if (!ResultsReader(w.services, w.pause).refreshStatistics())
        qFatal("the statistics could not be read");
    outcome.cleared = clearing::isCleared(w.state->stats, w.state->rules, course, 3);
    return outcome;
}

// The end screen as the drill leaves it: the attempt recorded, its flags set.
struct Ended : TestWorld
{
    QWidget* screen = nullptr;
    Ended(int course, int time, bool newCourseBest, bool newPersonalBest)
    {
        writeAttempt(*this, course, time);
        AttemptOutcome outcome = recorded(*this, course, time);
        outcome.newCourseBest = newCourseBest;
        outcome.newPersonalBest = newPersonalBest;
        context.navigator.showEndScreen(outcome);
        screen = forms.find("FrmSyuuryou");
    }
};

} // namespace

class TestEndScreen : public QObject
{
    Q_OBJECT
private slots:
    void showsTheAttempt()
    {
        Ended e(3, 100, true, true);
        e.state->rules.pointWeight[3] = 1.5f;
        QCOMPARE(text(e.screen, "Label18"), QStringLiteral("今の成績：100秒"));
        QCOMPARE(text(e.screen, "Label16"), QStringLiteral("レベル３"));
        QCOMPARE(text(e.screen, "Label17"), QStringLiteral("佐藤　花子"));
        QCOMPARE(text(e.screen, "Label15"), QStringLiteral("約数早押しドリル"));
        QCOMPARE(text(e.screen, "Label13"), QStringLiteral("（このレベル　1回目）"));
        QCOMPARE(text(e.screen, "Label14"), QStringLiteral("（1回目）"));
        QCOMPARE(text(e.screen, "Label20"), QStringLiteral("！！！最高新記録！！！"));
        QCOMPARE(e.audio.played, QStringList{e.dir.path() + "/最高1.wav"});
        QVERIFY(!e.forms.isLoaded("BASEFRM"));
        auto* toMenu = e.screen->findChild<QPushButton*>("Command4");
        auto* again = e.screen->findChild<QPushButton*>("Command5");
        QVERIFY(!toMenu->isVisible());
        QTRY_VERIFY(toMenu->isVisible());
        QVERIFY(again->isVisible());
    }

    void pointsWithWeight()
    {
        TestWorld w;
        w.state->rules.pointWeight[3] = 1.5f;
        w.context.navigator.showEndScreen(recorded(w, 3, 100));
        QCOMPARE(text(w.forms.find("FrmSyuuryou"), "Label19"), QStringLiteral("獲得ポイント：5点×1.5→7点"));
    }

    void firstClearingOfTheTopLevelPlaysThePassSound()
    {
        TestWorld w;
        w.state->rules.requiredPoints[5] = 5;
        w.state->rules.requiredCount[5] = 1;
        writeAttempt(w, 5, 100);
        // Shown as 400 seconds, over the second target: no record sound.
        w.context.navigator.showEndScreen(recorded(w, 5, 400));
        QWidget* screen = w.forms.find("FrmSyuuryou");
        QCOMPARE(w.audio.played, QStringList{w.dir.path() + "/合格.wav"});
        QVERIFY(screen->findChild<QLabel*>("Label2")->isVisible());
    }

    void sentOnToTheNextLevel()
    {
        TestWorld w;
        w.state->rules.requiredPoints[2] = 5;
        w.state->rules.requiredCount[2] = 1;
        w.state->rules.window2RequiredCount[2] = Loose(1);
        writeAttempt(w, 2, 50);
        w.context.navigator.showEndScreen(recorded(w, 2, 50));
        QWidget* screen = w.forms.find("FrmSyuuryou");
        auto* toMenu = screen->findChild<QPushButton*>("Command4");
        QTRY_VERIFY(toMenu->isVisible());
        QVERIFY(!screen->findChild<QPushButton*>("Command5")->isVisible());
        QCOMPARE(text(screen, "Label2"), QStringLiteral("次のレベルへ進みましょう"));
        toMenu->click();
        QVERIFY(w.forms.isLoaded("seisekitime1"));
        QVERIFY(!w.forms.isLoaded("FrmSyuuryou"));
    }

    // The pupil goes on with the keyboard alone: Enter on the focused "メニューへ".
    void enterGoesToTheBoard()
    {
        Ended e(1, 70, false, false);
        auto* toMenu = e.screen->findChild<QPushButton*>("Command4");
        QTRY_VERIFY(toMenu->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(e.screen));
        QCOMPARE(QApplication::focusWidget(), toMenu);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(e.forms.isLoaded("seisekitime1"));
    }

    void onceMoreStartsTheSameLevel()
    {
        Ended e(1, 70, false, false);
        auto* again = e.screen->findChild<QPushButton*>("Command5");
        QTRY_VERIFY(again->isVisible());
        again->click();
        QVERIFY(e.forms.isLoaded("mainfrm"));
        QVERIFY(!e.forms.isLoaded("FrmSyuuryou"));
        QCOMPARE(text(e.forms.find("mainfrm"), "Label10"), QStringLiteral("1"));
    }
};

QTEST_MAIN(TestEndScreen)
#include "tst_end_screen.moc"
