#include "certificate/certificate_dialog.h"
#include "classview/class_view_window.h"
#include "modal_helpers.h"
#include "records/oa_date.h"
#include "records/result_record.h"
#include "roster/roster_window.h"
#include "school/school_settings.h"
#include "school/school_settings_dialog.h"
#include "teacher/teacher_panel.h"
#include "teacher/teacher_password.h"
#include "test_world.h"
#include "text/cp932.h"
#include "ui/form.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintDialog>
#include <QPushButton>
#include <QtTest>

namespace {

// A school whose roster has no "先生" line: the list as the school's system gave it.
struct School : TestWorld
{
    School()
    {
        writeCp932(state->folders.sharedFolder + roster::fileName(),
                   {QStringLiteral("3,2017,0,0,\"佐藤　花子\",0,\"\",\"\""),
                    QStringLiteral("4,2017,0,0,\"鈴木　一郎\",0,\"\",\"\"")});
        writeCp932(state->folders.sharedFolder + schoolsettings::commonFileName(),
                   {QStringLiteral("4,\"学習塾\",0,0,0,0,0,0,0,0")});
        state->organisation.schoolName = schoolsettings::placeholderName();
        state->organisation.schoolCode = Loose();
        QFile file(resultsPath());
        if (!file.open(QIODevice::WriteOnly))
            return;
        for (int k = 0; k < 5; ++k) { // 佐藤 clears level 1 today
            ResultRecord r;
            r.date = oadate::fromDate(clock.date);
            r.clockTime = oadate::fromTime(QTime(10, k));
            r.pupil = 3;
            r.course = 1;
            r.time = 30;
            file.write(r.encode());
        }
    }
    Form* menu()
    {
        if (!forms.isLoaded("namesel"))
            context.navigator.showMenu();
        return forms.find("namesel");
    }
    Form* board() { return forms.find("seisekitime1"); }
    void enterByTheMenu()
    {
        auto* button = menu()->findChild<QPushButton*>("CommandTeacher");
        QVERIFY(button && button->isVisibleTo(menu()));
        button->click();
    }
    void answerPassword(const QString& typed)
    {
        whenOpen<QDialog>([typed](QDialog* asked) {
            QCOMPARE(asked->objectName(), QStringLiteral("PasswordDialog"));
            QTest::keyClicks(asked->findChild<QLineEdit*>(), typed);
            QTest::keyClick(asked->findChild<QLineEdit*>(), Qt::Key_Return);
        });
    }
};

QPushButton* buttonOf(QWidget* window, const char* name)
{
    return window ? window->findChild<QPushButton*>(QString::fromLatin1(name)) : nullptr;
}

} // namespace

class TestTeacherWayIn : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Without a "先生" line the teacher still comes in from the menu: the board with the teacher's
    // tools and the panel beside it; the board starts no drill for nobody; back on the menu, the
    // teacher is nobody again.
    void inWithoutATeacherLine()
    {
        School s;
        s.enterByTheMenu();
        QVERIFY(s.board());
        QVERIFY(s.state->current.teacher);
        QVERIFY(buttonOf(s.board(), "CommandClass")->isVisibleTo(s.board()));
        QTRY_VERIFY(openWindow<TeacherPanel>());
        buttonOf(s.board(), "Command4_1")->click();
        QVERIFY(!s.forms.isLoaded("mainfrm"));
        QVERIFY(s.messages.shown.last().text.contains(QStringLiteral("ドリルを始められません")));
        s.context.navigator.showMenu();
        QVERIFY(!s.state->current.teacher);
        QTRY_VERIFY(!openWindow<TeacherPanel>()); // it closed with the board
    }

    // The password is asked once on the way in and holds for every teacher's window until the
    // menu is shown again; a wrong one keeps the teacher on the menu.
    void passwordOncePerVisit()
    {
        School s;
        QVERIFY(!teacherpassword::set(teacherlock::placesOf(s.state->folders), QStringLiteral("hana")));
        s.answerPassword(QStringLiteral("wrong"));
        s.enterByTheMenu();
        QVERIFY(!s.board());
        QVERIFY(s.messages.shown.last().text.contains(QStringLiteral("パスワードがちがいます")));

        s.answerPassword(QStringLiteral("hana"));
        s.enterByTheMenu();
        QVERIFY(s.board());
        TeacherPanel* panel = nullptr;
        QTRY_VERIFY((panel = openWindow<TeacherPanel>()));
        buttonOf(panel, "Command27")->click(); // クラスの様子, not asked again
        QVERIFY(!QApplication::activeModalWidget());
        QTRY_VERIFY(openWindow<ClassViewWindow>());

        s.context.navigator.showMenu();
        s.answerPassword(QStringLiteral("wrong")); // asked again after the menu
        s.enterByTheMenu();
        QVERIFY(!s.board());
    }

    // 学校の設定 from the panel: the name goes into the family's file, and the certificate has it.
    void schoolNameFromThePanel()
    {
        School s;
        s.enterByTheMenu();
        TeacherPanel* panel = nullptr;
        QTRY_VERIFY((panel = openWindow<TeacherPanel>()));
        whenOpen<SchoolSettingsDialog>([](SchoolSettingsDialog* dialog) {
            dialog->findChild<QLineEdit*>("TextName")->setText(QStringLiteral("みどり小学校"));
            dialog->findChild<QLineEdit*>("TextSigner")->setText(QStringLiteral("校長　山田　太郎"));
            buttonOf(dialog, "CommandSave")->click();
        });
        buttonOf(panel, "CommandSchool")->click();
        QCOMPARE(s.state->organisation.schoolName, QStringLiteral("みどり小学校"));
        QCOMPARE(s.state->school.signer, QStringLiteral("校長　山田　太郎"));
        QFile common(s.state->folders.sharedFolder + schoolsettings::commonFileName());
        QVERIFY(common.open(QIODevice::ReadOnly));
        QCOMPARE(common.readAll(), cp932::encode(QStringLiteral("4,\"みどり小学校\",0,0,0,0,0,0,0,0\r\n")).bytes);

        whenOpen<CertificateDialog>([](CertificateDialog* dialog) {
            const QList<certificate::Certificate> chosen = dialog->chosen();
            QCOMPARE(chosen.size(), 1);
            QCOMPARE(chosen.first().issuer, QStringLiteral("みどり小学校"));
            QCOMPARE(chosen.first().signer, QStringLiteral("校長　山田　太郎"));
            dialog->reject();
        });
        buttonOf(panel, "CommandCertificate")->click();
    }

    // Any teacher's window may close while one of its dialogs is open (here: its board goes),
    // and the program goes on; built with AddressSanitizer, a window deleted twice or touched
    // after it went fails here.
    void windowClosesUnderItsDialog_data()
    {
        QTest::addColumn<QString>("window"); // the panel or the class view
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("dialog"); // the class of the dialog it opens
        for (const auto& [button, dialog] :
             std::initializer_list<std::pair<const char*, const char*>>{{"Command21", "QPrintDialog"},
                                                                        {"Command25", "QFileDialog"},
                                                                        {"CommandCertificate", "CertificateDialog"},
                                                                        {"CommandRoster", "RosterWindow"},
                                                                        {"CommandSchool", "SchoolSettingsDialog"}})
            QTest::addRow("panel, %s", button) << "panel" << button << dialog;
        for (const auto& [button, dialog] :
             std::initializer_list<std::pair<const char*, const char*>>{{"CommandPrint", "QPrintDialog"},
                                                                        {"CommandCsv", "QFileDialog"},
                                                                        {"CommandCertificate", "CertificateDialog"}})
            QTest::addRow("class view, %s", button) << "classview" << button << dialog;
    }
    void windowClosesUnderItsDialog()
    {
        QFETCH(QString, window);
        QFETCH(QString, button);
        QFETCH(QString, dialog);
#ifdef Q_OS_WIN
        // On Windows the print dialog is the system's own, which runs its own loop: what a window
        // closing under it does is the system's to decide, and only real Windows can show it.
        if (dialog == QStringLiteral("QPrintDialog"))
            QSKIP("the print dialog is the system's own on Windows");
#endif
        School s;
        s.enterByTheMenu();
        QWidget* opened = nullptr;
        QTRY_VERIFY((opened = openWindow<TeacherPanel>()));
        if (window == QStringLiteral("classview")) {
            buttonOf(opened, "Command27")->click();
            QTRY_VERIFY((opened = openWindow<ClassViewWindow>()));
        }
        const QPointer<QWidget> guard(opened);
        bool seen = false;
        whenOpen<QDialog>([&s, &seen, dialog](QDialog* open) {
            seen = QString::fromLatin1(open->metaObject()->className()) == dialog;
            s.context.navigator.showMenu(); // the board goes, and every teacher's window with it
        });
        buttonOf(opened, button.toLatin1().constData())->click();
        QVERIFY(seen);
        QTRY_VERIFY(!guard);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        // The program goes on: the teacher comes in again.
        s.enterByTheMenu();
        QTRY_VERIFY(openWindow<TeacherPanel>());
    }
};

QTEST_MAIN(TestTeacherWayIn)
#include "tst_teacher_way_in.moc"
