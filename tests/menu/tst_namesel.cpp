#include "app/navigation.h"
#include "menu/namesel_screen.h"
#include "platform/platform.h"
#include "roster/roster_file.h"
#include "test_world.h"
#include "ui/form.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

QString pad(const QString& name)
{
    return roster::fixedField(name);
}

QString line(int number, int year, const QString& name, int status = 0)
{
    return QStringLiteral("%1,%2,0,0,\"%3\",%4,\"%5\",\"%5\"")
        .arg(number)
        .arg(year)
        .arg(pad(name))
        .arg(status)
        .arg(pad(""));
}

struct Menu : TestWorld
{
    Form* screen = nullptr;
    explicit Menu(const QStringList& rosterLines)
    {
        state->organisation.schoolYearStartMonth = Loose(4);
        if (!rosterLines.isEmpty())
            writeCp932(state->folders.sharedFolder + roster::fileName(), rosterLines);
        context.navigator.showMenu();
        screen = forms.find("namesel");
    }
    QListWidget* list() const { return screen->findChild<QListWidget*>("List1"); }
    QStringList rows() const
    {
        QStringList out;
        for (int i = 0; i < list()->count(); ++i)
            out << list()->item(i)->text();
        return out;
    }
};

const QStringList kRoster = {line(1, 2019, "山田　太郎"),    line(2, 2018, "佐藤　花子"), line(3, 2018, "阿部　一"),
                             line(4, 2016, "加藤　りな", 1), line(5, 2013, "渡辺　翔"),   line(6, 2015, "吉田　蓮", 2)};

} // namespace

class TestNamesel : public QObject
{
    Q_OBJECT
private slots:
    void listsTheRoster()
    {
        Menu m(kRoster);
        QVERIFY(m.screen);
        const QStringList rows = m.rows();
        QCOMPARE(rows.size(), 5); // row 0, four listed pupils; status 1 and 2 hidden
        QCOMPARE(rows[0], QStringLiteral("－－－－－－"));
        QVERIFY(rows[1].startsWith("小1 山田　太郎"));
        QVERIFY(rows[2].startsWith("小2 佐藤　花子")); // one year: descending name order
        QVERIFY(rows[3].startsWith("小2 阿部　一"));
        QVERIFY(rows[4].startsWith("中1 渡辺　翔"));
        QCOMPARE(m.screen->findChild<QLabel*>("Label1")->text(), QStringLiteral("名前を選びなさい"));
        QVERIFY(m.messages.shown.isEmpty());
        QCOMPARE(m.list()->count(), 1 + 4);
    }

    void status2ListedWhenTheSchoolSaysSo()
    {
        TestWorld w;
        w.state->organisation.commonItem3 = Loose(1);
        writeCp932(w.state->folders.sharedFolder + roster::fileName(), kRoster);
        w.context.navigator.showMenu();
        QCOMPARE(w.forms.find("namesel")->findChild<QListWidget*>("List1")->count(), 6);
    }

    void arrowsAndEnterOpenTheBoard()
    {
        Menu m(kRoster);
        QVERIFY(QTest::qWaitForWindowActive(m.screen));
        m.list()->setFocus();
        QTest::keyClick(m.list(), Qt::Key_Down);
        QTest::keyClick(m.list(), Qt::Key_Down);
        QCOMPARE(m.screen->findChild<QLabel*>("Label1")->text(), QStringLiteral("小2 佐藤　花子"));
        QTest::keyClick(m.list(), Qt::Key_Return);
        QVERIFY(m.forms.isLoaded("seisekitime1"));
        QVERIFY(!m.forms.isLoaded("namesel"));
        QCOMPARE(m.state->current.pupilNo, qint16(2));
        QCOMPARE(m.state->current.pupilName, pad("佐藤　花子"));
        QCOMPARE(m.state->current.pupilGrade, QStringLiteral("小２"));
    }

    void doubleClickConfirmsAtOnce()
    {
        Menu m(kRoster);
        QVERIFY(QTest::qWaitForWindowExposed(m.screen));
        QListWidget* list = m.list();
        const QRect rect = list->visualItemRect(list->item(4));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center()); // a double-click starts as a click
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QVERIFY(m.forms.isLoaded("seisekitime1"));
        QCOMPARE(m.state->current.pupilNo, qint16(5));
    }

    void confirmingWithoutANameOnlySounds()
    {
        Menu m({});
        QCOMPARE(m.rows(), QStringList{"－－－－－－"});
        m.screen->findChild<QPushButton*>("Command14")->click();
        QTest::keyClick(m.list(), Qt::Key_1);
        QCOMPARE(m.audio.played, QStringList(2, m.dir.path() + "/wrong.wav"));
        QVERIFY(m.forms.isLoaded("namesel"));
    }

    void zeroEndsAndStartsTheLauncher()
    {
        Menu m(kRoster);
        QTest::keyClick(m.list(), Qt::Key_0);
        QCOMPARE(m.launcher.started.size(), 1);
        QVERIFY(m.launcher.started[0].first.endsWith(launcherPath("").mid(1)));
        QCOMPARE(m.launcher.started[0].second, QStringList{"001"});
        QCOMPARE(m.end.exitCodes, QList<int>{0});
    }

    void gradeFilterAndModes()
    {
        Menu m(kRoster);
        auto* combo = m.screen->findChild<QComboBox*>("Combo1");
        QCOMPARE(combo->count(), 12);
        combo->setCurrentText("中学生全体");
        emit combo->activated(combo->currentIndex());
        QCOMPARE(m.rows().size(), 2);
        m.state->stats.totalCount(1, 5) = 3; // not from the file: recomputed on every rebuild
        m.screen->findChild<QRadioButton*>("Option1_0")->click();
        QVERIFY(m.rows()[1].endsWith("/     　"));
    }

    void badLineIsReportedOnce()
    {
        Menu m(QStringList(kRoster) << "7000,2018,0,0,\"x\",0,\"\",\"\"");
        QCOMPARE(m.messages.shown.size(), 1);
        QVERIFY(m.messages.shown[0].text.contains("7 行目"));
        m.screen->findChild<QRadioButton*>("Option1_2")->click();
        QCOMPARE(m.messages.shown.size(), 1);
        QCOMPARE(m.rows().size(), 5);
    }

    // More listed lines than the list's table holds: the first ones are listed and the teacher
    // is told once that the rest are not.
    void rosterBeyondTheTableIsCut()
    {
        QStringList lines;
        for (int i = 0; i < 10002; ++i)
            lines << line(1 + i % 5000, 2015, QStringLiteral("生徒%1").arg(i));
        Menu m(lines);
        QCOMPARE(m.list()->count(), 1 + 10000);
        QCOMPARE(m.messages.shown.size(), 1);
        QVERIFY2(m.messages.shown[0].text.contains(QStringLiteral("10001 行目から先")),
                 qPrintable(m.messages.shown[0].text));
        QVERIFY(m.end.exitCodes.isEmpty());
    }

    // A new installation: a roster that is missing or holds nobody is said in one line with
    // its full path, and "名簿を作る" waits with the keyboard on it; no box is shown.
    void newInstallationOffersToMakeTheRoster_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::newRow("missing") << false;
        QTest::newRow("empty") << true;
    }
    void newInstallationOffersToMakeTheRoster()
    {
        QFETCH(bool, exists);
        TestWorld w;
        if (exists)
            writeCp932(w.state->folders.sharedFolder + roster::fileName(), {});
        w.context.navigator.showMenu();
        Form* menu = w.forms.find("namesel");
        QVERIFY(QTest::qWaitForWindowActive(menu));
        QVERIFY(w.messages.shown.isEmpty());
        QVERIFY(menu->findChild<QWidget*>("PictureEmpty")->isVisible());
        const QString said = menu->findChild<QLabel*>("LabelEmpty")->text();
        QVERIFY2(said.contains(QDir::toNativeSeparators(w.state->folders.sharedFolder + roster::fileName())),
                 qPrintable(said));
        QTRY_COMPARE(QApplication::focusWidget(), menu->findChild<QPushButton*>("CommandRoster"));
    }

    // A roster that cannot be read is said as such, with where it belongs, once per start.
    void unreadableRosterIsReportedOncePerStart()
    {
        TestWorld w;
        QVERIFY(QDir().mkpath(w.state->folders.sharedFolder + roster::fileName())); // a folder in its place
        w.context.navigator.showMenu();
        QCOMPARE(w.messages.shown.size(), 1);
        const QString text = w.messages.shown[0].text;
        for (const QString& part : {QStringLiteral("生徒用名簿.txt"), QStringLiteral("ふつうのファイルではありません"),
                                    QDir::toNativeSeparators(w.state->folders.sharedFolder), QStringLiteral("先生")})
            QVERIFY2(text.contains(part), qPrintable(text));
        w.forms.unload("namesel");
        w.context.navigator.showMenu();
        QCOMPARE(w.messages.shown.size(), 1);
    }

    // The claim is the operating system's: it goes with the process that held it.
    void realSingleInstance()
    {
        const QString dir = QDir::tempPath() + "/tst_namesel_" + QString::number(QCoreApplication::applicationPid());
        auto first = makeSingleInstance(dir);
        QVERIFY(first->claim());
        auto second = makeSingleInstance(dir);
        QVERIFY(!second->claim());
        first.reset();
        QVERIFY(second->claim());
    }
};

QTEST_MAIN(TestNamesel)
#include "tst_namesel.moc"
