#include "modal_helpers.h"
#include "roster/roster_window.h"
#include "roster/roster_window_dialogs.h"
#include "roster/untimed.h"
#include "teacher/teacher_password.h"
#include "test_world.h"
#include "text/cp932.h"
#include "ui/form.h"
#include "ui/ui_helpers.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

namespace {

// Types into a field as a pupil's keyboard does: digits as keys, Japanese as the input method
// commits it.
void typeInto(QWidget* dialog, const char* field, const QString& text)
{
    auto* edit = dialog->findChild<QLineEdit*>(QString::fromLatin1(field));
    edit->setFocus();
    edit->selectAll();
    bool ascii = true;
    for (const QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii) {
        QTest::keyClicks(edit, text);
        return;
    }
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(edit, &commit);
}

} // namespace

class TestRosterWindow : public QObject
{
    Q_OBJECT
private slots:
    // A school's first day, by keys: the menu of an empty installation offers "名簿を作る"; Enter
    // opens the roster window, Insert adds a pupil (the next free number proposed), Alt+S saves,
    // Esc closes; the menu then lists the pupil, and the roster holds the line in the family's
    // format.
    void firstDayByKeys()
    {
        TestWorld w;
        w.context.navigator.showMenu();
        Form* menu = w.forms.find("namesel");
        QVERIFY(QTest::qWaitForWindowActive(menu));
        bool added = false;
        whenOpen<RosterWindow>([&](RosterWindow* window) {
            whenOpen<PupilDialog>([&](PupilDialog* dialog) {
                QCOMPARE(dialog->findChild<QLineEdit*>("TextNumber")->text(), QStringLiteral("1"));
                typeInto(dialog, "TextName", QStringLiteral("山田　太郎"));
                typeInto(dialog, "TextYear", QStringLiteral("2015"));
                QCOMPARE(dialog->findChild<QLabel*>("LabelGrade")->text(), QStringLiteral("（今年度 小5）"));
                typeInto(dialog, "TextReading", QStringLiteral("ヤマダ　タロウ"));
                QTest::keyClick(dialog->findChild<QLineEdit*>("TextReading"), Qt::Key_Return);
            });
            QTest::keyClick(window, Qt::Key_Insert);
            auto* table = window->findChild<QTableWidget*>("TableRoster");
            added = table->rowCount() == 1 && table->item(0, 3)->text() == QStringLiteral("山田　太郎") &&
                    table->item(0, 4)->text() == QStringLiteral("やまだ　たろう");
            // "保存(&S)" by the keyboard: Alt+S in a real session (QTest does not reach shortcuts
            // here), the focused button and the space bar.
            auto* save = window->findChild<QPushButton*>("CommandSave");
            save->setFocus();
            QTest::keyClick(save, Qt::Key_Space);
            QTest::keyClick(window, Qt::Key_Escape);
        });
        QTest::keyClick(menu->findChild<QPushButton*>("CommandRoster"), Qt::Key_Return);
        QVERIFY(added);
        QTRY_VERIFY(w.forms.find("namesel") && w.forms.find("namesel") != menu); // listed anew
        auto* list = w.forms.find("namesel")->findChild<QListWidget*>("List1");
        QCOMPARE(list->count(), 2);
        QVERIFY(list->item(1)->text().contains(QStringLiteral("山田　太郎")));
        QCOMPARE(readAll(w.state->folders.sharedFolder + roster::fileName()),
                 cp932::encode(QStringLiteral("1,2015,0,0,\"山田　太郎               \",0,\"                    \","
                                              "\"                    \"\r\n"))
                     .bytes);
    }

    // A pupil with records is hidden instead of removed; one without is removed after asking.
    void removingKeepsRecords()
    {
        TestWorld w;
        writeCp932(w.state->folders.sharedFolder + roster::fileName(),
                   {QStringLiteral("1,2015,0,0,\"山田　太郎\",0,\"\",\"\""),
                    QStringLiteral("2,2015,0,0,\"佐藤　花子\",0,\"\",\"\"")});
        QFile results(w.resultsPath());
        QVERIFY(results.open(QIODevice::WriteOnly));
        results.write(QByteArray::fromHex("0000000080a3e640") + QByteArray(8, 0) + QByteArray::fromHex("01000100") +
                      QByteArray(24, ' '));
        results.close();
        RosterWindow window(w.context, {}, nullptr);
        QVERIFY(window.load());
        auto* table = window.findChild<QTableWidget*>("TableRoster");
        table->setCurrentCell(0, 0);
        QTest::keyClick(table, Qt::Key_Delete);
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(0, 5)->text(), QStringLiteral("表示しない"));
        QVERIFY(window.findChild<QLabel*>("LabelStatus")->text().contains(QStringLiteral("成績の記録があるため")));
        w.messages.answers = {true};
        table->setCurrentCell(1, 0);
        QTest::keyClick(table, Qt::Key_Delete);
        QCOMPARE(table->rowCount(), 1);
        w.messages.choices = {1}; // close without saving
        window.reject();
        QCOMPARE(readAll(w.state->folders.sharedFolder + roster::fileName()).count('\n'), 2);
    }

    // 時計なし for a pupil who freezes under a clock: toggled, shown in its column,
    // written beside the roster on saving (the roster itself keeps its bytes), and back again.
    void untimedPupil()
    {
        TestWorld w;
        const QString rosterPath = w.state->folders.sharedFolder + roster::fileName();
        writeCp932(rosterPath, {QStringLiteral("1,2015,0,0,\"山田　太郎\",0,\"\",\"\""),
                                QStringLiteral("2,2015,0,0,\"佐藤　花子\",0,\"\",\"\"")});
        const QByteArray roster = readAll(rosterPath);
        RosterWindow window(w.context, {}, nullptr);
        QVERIFY(window.load());
        auto* table = window.findChild<QTableWidget*>("TableRoster");
        QCOMPARE(table->item(1, 6)->text(), QStringLiteral("あり"));
        table->setCurrentCell(1, 0);
        window.findChild<QPushButton*>("CommandUntimed")->click();
        QCOMPARE(table->item(1, 6)->text(), QStringLiteral("なし"));
        window.findChild<QPushButton*>("CommandSave")->click();
        QCOMPARE(untimed::read(w.state->folders.sharedFolder), QSet<int>{2});
        QCOMPARE(readAll(rosterPath), roster);
        table->setCurrentCell(1, 0);
        window.findChild<QPushButton*>("CommandUntimed")->click();
        window.findChild<QPushButton*>("CommandSave")->click();
        QVERIFY(!QFile::exists(w.state->folders.sharedFolder + untimed::fileName()));
    }

    // A class list taken in through the preview and saved, then undone: the roster is back byte for
    // byte. A list saved again while its preview was open is read again before anything is taken.
    void importThenUndo()
    {
        TestWorld w;
        writeCp932(w.state->folders.sharedFolder + roster::fileName(),
                   {QStringLiteral("1,2015,0,0,\"山田　太郎\",0,\"\",\"\"")});
        const QByteArray before = readAll(w.state->folders.sharedFolder + roster::fileName());
        const QString csv = w.dir.filePath("class.csv");
        const auto writeList = [&csv](const QString& text) {
            QFile file(csv);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(text.toUtf8());
        };
        writeList(QStringLiteral("氏名,学年\r\n佐藤　花子,小4\r\n"));
        RosterWindow window(w.context, {}, nullptr);
        QVERIFY(window.load());
        bool readAgain = false;
        const uih::ScopedFileChooser chooser([&csv](const QString&, const QString&, QFileDialog::AcceptMode mode) {
            return mode == QFileDialog::AcceptOpen ? csv : QString();
        });
        whenOpen<ImportDialog>([&](ImportDialog* preview) {
            writeList(QStringLiteral("氏名,学年\r\n佐藤　花子,小4\r\n林　一郎,小4\r\n"));
            auto* take = preview->findChild<QPushButton*>("ButtonOk");
            take->click();
            readAgain = preview->isVisible() && preview->plan().count(rosterimport::Action::New) == 2;
            take->click();
        });
        window.importCsv();
        QVERIFY(readAgain);
        QCOMPARE(window.findChild<QTableWidget*>("TableRoster")->rowCount(), 3);
        QVERIFY(window.save());
        QVERIFY(readAll(w.state->folders.sharedFolder + roster::fileName()) != before);
        w.messages.answers = {true};
        window.findChild<QPushButton*>("CommandUndoImport")->click();
        QCOMPARE(readAll(w.state->folders.sharedFolder + roster::fileName()), before);
        QCOMPARE(window.findChild<QTableWidget*>("TableRoster")->rowCount(), 1);
        window.findChild<QPushButton*>("CommandUndoImport")->click(); // nothing left: said, not done
        QVERIFY(w.messages.shown.last().text.contains(QStringLiteral("元に戻せる取り込みはありません")));
    }

    // Once the teacher has set a password, the roster window asks for it; a wrong one keeps it
    // shut.
    void passwordKeepsTheWindowShut()
    {
        TestWorld w;
        QVERIFY(!teacherpassword::set(teacherlock::placesOf(w.state->folders), QStringLiteral("hana")));
        whenOpen<QDialog>([](QDialog* asked) {
            QCOMPARE(asked->objectName(), QStringLiteral("PasswordDialog"));
            QTest::keyClicks(asked->findChild<QLineEdit*>(), QStringLiteral("wrong"));
            QTest::keyClick(asked->findChild<QLineEdit*>(), Qt::Key_Return);
        });
        w.context.navigator.showRosterWindow(nullptr);
        QCOMPARE(w.messages.shown.size(), 1);
        QVERIFY(w.messages.shown[0].text.contains(QStringLiteral("パスワードがちがいます")));
    }
};

QTEST_MAIN(TestRosterWindow)
#include "tst_roster_window.moc"
