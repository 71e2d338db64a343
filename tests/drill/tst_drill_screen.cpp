#include "app/navigation.h"
#include "drill/drill_screen.h"
#include "drill_keys.h"
#include "problemlog/problem_log.h"
#include "problemlog/review.h"
#include "records/oa_date.h"
#include "records/result_record.h"
#include "roster/untimed.h"
#include "test_world.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

// Types as the pupil does: each key goes to whatever has the focus at that moment.
void typeKeys(const QString& keys)
{
    for (QChar ch : keys) {
        QWidget* target = QApplication::focusWidget();
        QVERIFY2(target, "nothing has the focus");
        QTest::keyClick(target, ch.toLatin1());
    }
}

QString text(QWidget* form, const char* name)
{
    auto* label = form->findChild<QLabel*>(name);
    return label ? label->text() : QStringLiteral("<none>");
}

struct Attempt : TestWorld
{
    DrillScreen* screen = nullptr;

    enum class Run
    {
        Attempt,
        Practice
    };
    // An attempt draws the given numbers; a practice of weak numbers is given them.
    Attempt(int level, const QList<int>& numbers, Run run = Run::Attempt)
    {
        if (run == Run::Practice) {
            random.setValues({0.0f});
            DrillRequest request;
            request.kind = DrillRequest::Kind::WeakNumbers;
            request.course = level;
            request.name = QStringLiteral("にがてな数");
            request.numbers = numbers;
            context.navigator.startPractice(request);
        } else {
            // The sounds draw from the same random source: one value after each problem.
            QList<float> values;
            for (int n : numbers)
                values << pickValue(level, n) << 0.0f;
            random.setValues(values);
            context.navigator.startDrill(level);
        }
        screen = qobject_cast<DrillScreen*>(forms.find("mainfrm"));
    }
    QLineEdit* box(int k) const { return screen->findChild<QLineEdit*>(QStringLiteral("Text3_%1").arg(k)); }
    QString logPath() const { return problemlog::path(state->folders); }
    // Solves the problems in turn, each taking a tenth of a second longer than the one before
    // from 2.3 s; the one at `wrongAt` gets "3" for its third divisor and is given up with "+" "+".
    void solve(const QList<int>& numbers, int wrongAt = -1)
    {
        for (int i = 0; i < numbers.size(); ++i) {
            clock.advanceMs(2300 + i * 100);
            typeKeys(i == wrongAt ? QStringLiteral("1 %1 3 ++").arg(numbers[i]) : solvingKeys(numbers[i]));
        }
    }
};

} // namespace

class TestDrillScreen : public QObject
{
    Q_OBJECT
private slots:
    void wholeAttempt_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QList<int>>("numbers");
        QTest::addRow("level 1: primes, squares, 12") << 1 << QList<int>{7, 9, 12, 2, 16, 11, 20, 4, 18, 5};
        QTest::addRow("level 5: 60, 72, 81") << 5 << QList<int>{60, 72, 81, 64, 55, 10, 36, 49, 51, 58};
    }
    void wholeAttempt()
    {
        QFETCH(int, level);
        QFETCH(QList<int>, numbers);
        Attempt a(level, numbers);
        QVERIFY(a.screen);
        QVERIFY(QTest::qWaitForWindowActive(a.screen));
        QCOMPARE(text(a.screen, "Label10"), QString::number(level));
        QCOMPARE(text(a.screen, "Label11"), QStringLiteral("10"));
        QCOMPARE(text(a.screen, "Label14"), QStringLiteral("佐藤　花子"));
        QVERIFY(!a.screen->findChild<QPushButton*>("Command6")->isVisible());
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(text(a.screen, "Label8"), QString::number(numbers[i]));
            QCOMPARE(QApplication::focusWidget(), a.box(1));
            if (i == 9) {
                a.clock.advanceMs(42400);
                a.screen->tick();
                QCOMPARE(text(a.screen, "Label12"), QStringLiteral("42"));
                a.clock.advanceMs(500); // solved between two ticks: the time shown counts
            }
            typeKeys(solvingKeys(numbers[i]));
            if (i < 9)
                QCOMPARE(text(a.screen, "Label11"), QString::number(9 - i));
        }
        QCOMPARE(a.audio.played.count(a.dir.path() + "/correct.wav"), 10);
        QVERIFY(!a.forms.isLoaded("mainfrm"));
        QVERIFY(a.forms.isLoaded("FrmSyuuryou"));
        QCOMPARE(a.pause.waits, QList<int>{1000});
        const QByteArray file = readAll(a.resultsPath());
        QCOMPARE(file.size(), 44);
        const ResultRecord r = ResultRecord::decode(file.constData());
        QCOMPARE(r.pupil, qint16(3));
        QCOMPARE(r.course, qint16(level));
        QCOMPARE(r.time, 42);
    }

    void wrongAnswerShowsTheAnswerUntilPlusPlus()
    {
        Attempt a(1, {12, 8});
        QVERIFY(QTest::qWaitForWindowActive(a.screen));
        typeKeys("1 12 2 5 ");
        QCOMPARE(a.audio.played, QStringList{a.dir.path() + "/wrong.wav"});
        auto* panel = a.screen->findChild<QWidget*>("Picture2");
        QVERIFY(panel->isVisible());
        QVERIFY(a.screen->findChild<QLabel*>("Label15")->isVisible());
        QVERIFY(!a.screen->findChild<QLabel*>("Label1")->isVisible());
        QCOMPARE(text(a.screen, "Label9_3"), QStringLiteral("3"));
        QVERIFY(a.screen->findChild<QLabel*>("Label9_22")->isVisible());
        QVERIFY(!a.screen->findChild<QLabel*>("Label9_4")->isVisible()); // "*" stays hidden
        for (int k = 1; k <= 24; ++k)
            QVERIFY(!a.box(k)->isEnabled());
        // The wrong box is marked by a frame, red text and a cross beside it; the panel is headed.
        auto* mark = a.screen->findChild<QLabel*>("LabelWrong");
        QVERIFY(mark->isVisible());
        QVERIFY(a.box(23)->geometry().intersects(mark->geometry())); // 5 where 6 belongs
        QVERIFY(a.box(23)->styleSheet().contains(QStringLiteral("border")));
        QVERIFY(!a.box(2)->styleSheet().contains(QStringLiteral("border")));
        QVERIFY(a.screen->findChild<QLabel*>("Label9_23")->styleSheet().contains(QStringLiteral("border")));
        QVERIFY(a.screen->findChild<QLabel*>("LabelAnswer")->isVisible());
        QCOMPARE(text(a.screen, "LabelAnswer"), QStringLiteral("こたえ"));
        QCOMPARE(text(a.screen, "LabelNext"), QStringLiteral("「＋」を２回おすと、次の問題に進みます。"));
        QCOMPARE(a.screen->findChild<QLabel*>("LabelNext")->accessibleName(),
                 QStringLiteral("まちがい。5。12のこたえは 1、12、2、6、3、4。"));
        typeKeys("+x+");
        QVERIFY(panel->isVisible());
        typeKeys("+");
        QVERIFY(!panel->isVisible());
        QCOMPARE(text(a.screen, "Label8"), QStringLiteral("8"));
        QCOMPARE(QApplication::focusWidget(), a.box(1));
        QVERIFY(a.box(1)->isEnabled());
        QVERIFY(!mark->isVisible());
        QVERIFY(!a.screen->findChild<QLabel*>("LabelNext")->isVisible());
        QVERIFY(!a.box(23)->styleSheet().contains(QStringLiteral("border")));
    }

    // Keys typed while the correct sound plays are handled afterwards, by the next problem.
    void keysDuringTheCorrectSoundLandInTheNextProblem()
    {
        Attempt a(1, {2, 3});
        QVERIFY(QTest::qWaitForWindowActive(a.screen));
        a.audio.whilePlaying = [] { QTimer::singleShot(0, [] { typeKeys("1 "); }); };
        typeKeys(solvingKeys(2));
        a.audio.whilePlaying = nullptr;
        QTRY_COMPARE(a.screen->drill().activeBox(), 24);
        QCOMPARE(text(a.screen, "Label8"), QStringLiteral("3"));
        QCOMPARE(a.box(1)->text(), QStringLiteral("1"));
        QCOMPARE(QApplication::focusWidget(), a.box(24));
    }

    // Esc and the close box ask first; "いいえ" goes on with the clock running, "はい" goes back
    // to the board and records nothing.
    void leavingAnAttempt_data()
    {
        QTest::addColumn<bool>("byCloseBox");
        QTest::addColumn<bool>("answer");
        QTest::addRow("Esc, no") << false << false;
        QTest::addRow("Esc, yes") << false << true;
        QTest::addRow("close box, no") << true << false;
        QTest::addRow("close box, yes") << true << true;
    }
    void leavingAnAttempt()
    {
        QFETCH(bool, byCloseBox);
        QFETCH(bool, answer);
        Attempt a(1, {12, 8, 6});
        QVERIFY(QTest::qWaitForWindowActive(a.screen));
        typeKeys("1 12 ");
        a.messages.answers = {answer};
        if (byCloseBox)
            a.screen->close();
        else
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QCOMPARE(a.messages.shown.size(), 1);
        QCOMPARE(a.messages.shown[0].text, QStringLiteral("練習をやめますか？"));
        if (!answer) {
            QVERIFY(a.forms.isLoaded("mainfrm"));
            QCOMPARE(QApplication::focusWidget(), a.box(2));
            a.clock.advanceMs(7000);
            a.screen->tick();
            QCOMPARE(text(a.screen, "Label12"), QStringLiteral("7"));
            return;
        }
        QVERIFY(!a.forms.isLoaded("mainfrm"));
        QVERIFY(a.forms.isLoaded("seisekitime1"));
        QVERIFY(!QFile::exists(a.resultsPath()) || readAll(a.resultsPath()).isEmpty());
        QVERIFY(!QFile::exists(a.logPath())); // its solved problem is not logged either
    }

    // Each problem of a recorded attempt in the problem log, with when it ended, its seconds,
    // and for the one gone wrong what was typed and that the answer was shown. The wrong one
    // takes a solved problem back, so twelve problems make the attempt.
    void problemLogOfAnAttempt()
    {
        const QList<int> numbers = {12, 8, 7, 9, 12, 2, 16, 11, 20, 4, 18, 5};
        Attempt a(1, numbers);
        QVERIFY(QTest::qWaitForWindowActive(a.screen));
        a.solve(numbers, 1);
        QVERIFY(a.forms.isLoaded("FrmSyuuryou"));
        const QByteArray expected = problemlog::header() + "2026/12/08,10:00:02,3,1,12,2.3,0,,0\r\n"
                                                           "2026/12/08,10:00:04,3,1,8,2.4,1,3,1\r\n"
                                                           "2026/12/08,10:00:07,3,1,7,2.5,0,,0\r\n"
                                                           "2026/12/08,10:00:09,3,1,9,2.6,0,,0\r\n"
                                                           "2026/12/08,10:00:12,3,1,12,2.7,0,,0\r\n"
                                                           "2026/12/08,10:00:15,3,1,2,2.8,0,,0\r\n"
                                                           "2026/12/08,10:00:18,3,1,16,2.9,0,,0\r\n"
                                                           "2026/12/08,10:00:21,3,1,11,3.0,0,,0\r\n"
                                                           "2026/12/08,10:00:24,3,1,20,3.1,0,,0\r\n"
                                                           "2026/12/08,10:00:27,3,1,4,3.2,0,,0\r\n"
                                                           "2026/12/08,10:00:30,3,1,18,3.3,0,,0\r\n"
                                                           "2026/12/08,10:00:34,3,1,5,3.4,0,,0\r\n";
        QCOMPARE(readAll(a.logPath()), expected);
        QCOMPARE(readAll(a.resultsPath()).size(), kResultRecordLength);
    }

    // A log that cannot be written never stops the pupil: both attempts are recorded, and the
    // teacher is told once.
    void unwritableLogSaysSoOnce()
    {
        const QList<int> numbers = {7, 9, 12, 2, 16, 11, 20, 4, 18, 5};
        Attempt a(1, numbers);
        QVERIFY(QDir().mkpath(a.logPath())); // a folder where the log should be
        QVERIFY(QTest::qWaitForWindowActive(a.screen));
        a.solve(numbers);
        QVERIFY(a.forms.isLoaded("FrmSyuuryou"));
        QCOMPARE(a.messages.shown.size(), 1);
        QVERIFY(a.messages.shown[0].text.contains(QStringLiteral("問題ごとの記録")));
        QList<float> values;
        for (int n : numbers)
            values << pickValue(1, n) << 0.0f;
        a.random.setValues(values);
        a.context.navigator.startDrill(1);
        a.screen = qobject_cast<DrillScreen*>(a.forms.find("mainfrm"));
        QVERIFY(QTest::qWaitForWindowActive(a.screen));
        a.solve(numbers);
        QVERIFY(a.forms.isLoaded("FrmSyuuryou"));
        QCOMPARE(a.messages.shown.size(), 1);
        QCOMPARE(readAll(a.resultsPath()).size(), 2 * kResultRecordLength);
    }

    // A practice of weak numbers shows the numbers it is given, records nothing in either
    // results file, logs its problems and ends on its own screen, each number against before.
    void practiceOfWeakNumbers()
    {
        const QList<int> numbers = {12, 18, 12, 20, 18, 12, 20, 18, 20, 18};
        Attempt a(1, numbers, Attempt::Run::Practice);
        // Before: 12 slow and wrong, 18 quick.
        QList<problemlog::Entry> before;
        for (int i = 0; i < 3; ++i) {
            before.append({QDate(2026, 12, 1), QTime(9, 0), 3, 1, 12, 9.0, 1, "5", true, {}});
            before.append({QDate(2026, 12, 1), QTime(9, 0), 3, 1, 18, 1.0, 0, QString(), false, {}});
        }
        QVERIFY(!problemlog::append(a.logPath(), before, a.pause));
        QVERIFY(QTest::qWaitForWindowActive(a.screen));
        QVERIFY(a.screen->findChild<QLabel*>("lblPractice")->isVisible());
        a.solve(numbers);
        QVERIFY(!QFile::exists(a.resultsPath()));
        QVERIFY(!QFile::exists(a.state->folders.sharedFolder + "成績累積データ家庭用.dat"));
        const auto log = problemlog::read(a.logPath());
        QCOMPARE(log->loggedAt(3, 1), 16);
        QWidget* end = a.forms.find("FrmRenshuu");
        QVERIFY(end);
        QCOMPARE(text(end, "Label15"), QStringLiteral("練習"));
        QCOMPARE(text(end, "lblRow0_0"), QStringLiteral("12"));
        QCOMPARE(text(end, "lblRow0_1"), QStringLiteral("9.0秒　3回中3回まちがい"));
        QCOMPARE(text(end, "lblRow0_2"), QStringLiteral("2.5秒　まちがいなし")); // 2.3, 2.5, 2.8
        QCOMPARE(text(end, "lblRow0_3"), QStringLiteral("よくなった！"));
        QCOMPARE(text(end, "lblRow1_3"), QStringLiteral("もう少し")); // 18: 1.0 s before
        QCOMPARE(text(end, "lblRow2_1"), QStringLiteral("はじめて")); // 20
        QVERIFY(QTest::qWaitForWindowActive(end));
        QTRY_COMPARE(QApplication::focusWidget(), end->findChild<QWidget*>("Command4"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(a.forms.isLoaded("seisekitime1"));
    }

    // ふくしゅう from the board: the numbers missed on earlier days are offered with their count,
    // shown in the drill once each, logged as a review at the level each was missed at, and
    // (answered on their day) not due again today. A practice set logs under its own name.
    void practicesFromTheBoard_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addRow("ふくしゅう") << "review";
        QTest::addRow("a practice set") << "set";
        QTest::addRow("a level, for a pupil without a clock") << "untimed";
    }
    void practicesFromTheBoard()
    {
        QFETCH(QString, kind);
        const bool review = kind == "review";
        TestWorld w;
        if (kind == "untimed")
            QVERIFY(!untimed::write(w.state->folders.sharedFolder, {3}));
        QList<problemlog::Entry> before{
            {QDate(2026, 12, 1), QTime(9, 0), 3, 2, 12, 9.0, 1, "5", false, {}},
            {QDate(2026, 12, 6), QTime(9, 0), 3, 1, 18, 3.0, 0, QString(), true, {}},
            {QDate(2026, 12, 8), QTime(9, 0), 3, 1, 20, 3.0, 1, "3", false, {}}, // today: tomorrow's
            {QDate(2026, 12, 1), QTime(9, 0), 4, 1, 30, 3.0, 1, "3", false, {}}, // another pupil's
        };
        const QString logPath = problemlog::path(w.state->folders);
        QVERIFY(!problemlog::append(logPath, before, w.pause));
        w.random.setValues({0.0f});
        w.context.navigator.showBoard();
        QWidget* board = w.forms.find("seisekitime1");
        QVERIFY(board);
        QVERIFY(QTest::qWaitForWindowActive(board));
        auto* reviewButton = board->findChild<QPushButton*>("CommandReview");
        QVERIFY(reviewButton->isVisible());
        QCOMPARE(reviewButton->text(), QStringLiteral("ふくしゅう（2）(&F)"));
        const QByteArray results = readAll(w.resultsPath());
        QList<int> numbers{12, 18};
        QString name = QStringLiteral("ふくしゅう");
        if (review) {
            reviewButton->click();
        } else if (kind == "set") {
            numbers = {2, 3, 2, 3, 2, 3, 2, 3, 2, 3}; // そ数 (primes), drawn with 0.0: never twice in a row
            name = QStringLiteral("そ数");
            QCOMPARE(board->findChild<QComboBox*>("ComboSet")->currentText(), name);
            board->findChild<QPushButton*>("CommandSet")->click();
        } else {
            numbers = {2, 3, 2, 3, 2, 3, 2, 3, 2, 3}; // level 1's, drawn the same way
            name = QStringLiteral("レベル1の数");
            board->findChild<QPushButton*>("Command4_1")->click();
        }
        auto* screen = qobject_cast<DrillScreen*>(w.forms.find("mainfrm"));
        QVERIFY(screen);
        QVERIFY(QTest::qWaitForWindowActive(screen));
        QCOMPARE(text(screen, "Label11"), QString::number(numbers.size()));
        QCOMPARE(text(screen, "lblPractice"), name + QStringLiteral("の練習"));
        QCOMPARE(screen->findChild<QLabel*>("Label12")->isVisible(), kind != "untimed"); // the time
        for (const int n : numbers) {
            QCOMPARE(screen->drill().number(), n);
            w.clock.advanceMs(2000);
            typeKeys(solvingKeys(n));
        }
        QVERIFY(w.forms.find("FrmRenshuu"));
        QCOMPARE(readAll(w.resultsPath()), results); // nothing recorded as an attempt
        const QByteArray log = readAll(logPath);
        if (review) {
            QVERIFY(log.contains(",3,2,12,2.0,0,,0,ふくしゅう\r\n"));
            QVERIFY(log.contains(",3,1,18,2.0,0,,0,ふくしゅう\r\n"));
            const auto read = problemlog::read(logPath);
            QCOMPARE(review::dueCount(read->review, 3, qint32(oadate::fromDate(w.clock.today()))), 0);
        } else {
            QCOMPARE(log.count(QStringLiteral(",セット（%1）\r\n").arg(name).toUtf8()), 10);
        }
        QCOMPARE(w.forms.find("FrmRenshuu")->findChild<QLabel*>("Label18")->isVisible(), kind != "untimed");
    }

    void entryBoxesTakeNoInputMethod()
    {
        Attempt a(1, {4, 6});
        for (int k = 1; k <= 24; ++k)
            QVERIFY(!a.box(k)->testAttribute(Qt::WA_InputMethodEnabled));
        // One that composes all the same: what it commits, full-width too, is typed.
        QVERIFY(QTest::qWaitForWindowActive(a.screen));
        for (const QString& committed : {QStringLiteral("１　"), QStringLiteral("４　"), QStringLiteral("２　　")}) {
            QInputMethodEvent event;
            event.setCommitString(committed);
            QApplication::sendEvent(QApplication::focusWidget(), &event);
        }
        QCOMPARE(a.screen->drill().solvedCount(), 1);
        QCOMPARE(a.screen->drill().number(), 6);
    }

    void todayNumberCountsCourses1To15()
    {
        TestWorld w;
        w.state->stats = Statistics(16); // a catalogue of sixteen courses
        w.state->stats.todayCount(2, 3) = 2;
        w.state->stats.todayCount(15, 3) = 1;
        w.state->stats.todayCount(16, 3) = 5;
        w.context.navigator.startDrill(1);
        QCOMPARE(text(w.forms.find("mainfrm"), "Label17"), QStringLiteral("4"));
    }

    void courseWithoutNumbersIsRefused()
    {
        TestWorld w;
        w.context.navigator.startDrill(6);
        QVERIFY(!w.forms.isLoaded("mainfrm"));
        QCOMPARE(w.messages.shown.size(), 1);
        QVERIFY(w.forms.isLoaded("seisekitime1"));
    }
};

QTEST_MAIN(TestDrillScreen)
#include "tst_drill_screen.moc"
