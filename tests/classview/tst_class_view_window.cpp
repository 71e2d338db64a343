#include "classview/class_view_window.h"
#include "records/oa_date.h"
#include "records/result_record.h"
#include "records/results_file.h"
#include "test_world.h"
#include "ui/form.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

namespace {

// The teacher on the board, with three pupils: one who practised today, one ten days ago and
// one who never did.
struct Teacher : TestWorld
{
    Teacher()
    {
        writeCp932(state->folders.sharedFolder + roster::fileName(),
                   {QStringLiteral("3,2018,0,0,\"佐藤　花子\",0,\"\",\"\""),
                    QStringLiteral("4,2017,0,0,\"鈴木　一郎\",0,\"\",\"\""),
                    QStringLiteral("5,2016,0,0,\"sato jiro\",0,\"\",\"\""),
                    QStringLiteral("13,1980,0,0,\"森先生\",0,\"\",\"\"")});
        QFile file(resultsPath());
        if (!file.open(QIODevice::WriteOnly))
            return;
        for (const auto& [pupil, daysAgo] : {std::pair{3, 0}, {4, 10}}) {
            ResultRecord r;
            r.date = oadate::fromDate(clock.date.addDays(-daysAgo));
            r.pupil = qint16(pupil);
            r.course = 1;
            r.time = 55;
            file.write(r.encode());
        }
        file.close();
        state->current.pupilNo = 13;
        state->current.pupilName = QStringLiteral("森先生");
    }
    ClassViewWindow* open()
    {
        context.navigator.showBoard();
        Form* board = forms.find("seisekitime1");
        auto* button = board->findChild<QPushButton*>("CommandClass");
        if (!button || !button->isVisibleTo(board))
            return nullptr;
        button->click();
        return board->findChild<ClassViewWindow*>("frmClass");
    }
};

} // namespace

class TestClassViewWindow : public QObject
{
    Q_OBJECT
private slots:
    // The teacher works the window by keys: a name typed in the search box, Tab to the table,
    // Enter shows the pupil on the board, Esc closes the window.
    void drivenByKeys()
    {
        Teacher t;
        ClassViewWindow* view = t.open();
        QVERIFY(view);
        QVERIFY(QTest::qWaitForWindowActive(view));
        auto* table = view->findChild<QTableView*>("TableClass");
        QCOMPARE(table->model()->rowCount(), 4);
        QCOMPARE(table->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("最後の練習"));
        QCOMPARE(table->model()->index(0, 3).data().toString(), QStringLiteral("今日"));
        QCOMPARE(table->model()->index(1, 3).data().toString(), QStringLiteral("10日前"));
        QCOMPARE(table->model()->index(2, 3).data().toString(), QStringLiteral("なし"));

        // Every control is reached by Tab, starting from the table.
        QTRY_COMPARE(QApplication::focusWidget(), table);
        QStringList reached;
        for (int k = 0; k < 8; ++k) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            reached << QApplication::focusWidget()->objectName();
        }
        for (const char* name : {"ComboGrade", "ComboDays", "TextSearch", "TableClass", "CommandShow", "CommandPrint",
                                 "CommandCsv", "CommandClose"})
            QVERIFY2(reached.contains(QString::fromLatin1(name)), name);

        auto* search = view->findChild<QLineEdit*>("TextSearch");
        search->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(search, QStringLiteral("ＳＡＴＯ").normalized(QString::NormalizationForm_KC).toLower());
        QCOMPARE(table->model()->rowCount(), 1);
        QCOMPARE(view->findChild<QLabel*>("LabelCount")->text(), QStringLiteral("1 人"));
        search->clear();

        // The header sorts; a second click reverses.
        QTest::mouseClick(table->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          QPoint(table->horizontalHeader()->sectionViewportPosition(2) + 5, 5));
        const QString first = table->model()->index(0, 2).data().toString();
        QTest::mouseClick(table->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          QPoint(table->horizontalHeader()->sectionViewportPosition(2) + 5, 5));
        QVERIFY(table->model()->index(0, 2).data().toString() != first);
        QCOMPARE(table->model()->index(0, 2).data().toString(), QStringLiteral("13"));

        table->setFocus(Qt::TabFocusReason);
        table->selectRow(1);
        table->setCurrentIndex(table->model()->index(1, 0));
        QTest::keyClick(table, Qt::Key_Return); // pupil 5, second in the reversed order
        Form* board = t.forms.find("seisekitime1");
        QTRY_COMPARE(board->findChild<QLabel*>("Label13")->text().section(u':', 1), QStringLiteral("5"));
        QTest::keyClick(table, Qt::Key_Escape);
        QTRY_VERIFY(!board->findChild<ClassViewWindow*>("frmClass"));
    }

    void notForPupils()
    {
        Teacher t;
        t.state->current.pupilName = QStringLiteral("佐藤　花子");
        QVERIFY(!t.open());
    }
};

QTEST_MAIN(TestClassViewWindow)
#include "tst_class_view_window.moc"
