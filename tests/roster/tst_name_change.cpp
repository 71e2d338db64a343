#include "hostile_places.h"
#include "roster/name_change_screen.h"
#include "roster/roster_editor.h"
#include "test_world.h"
#include "text/cp932.h"
#include "ui/form.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

const QByteArray kLine1 =
    "1,2018,7,-2,\"山田　太郎               \",0,\"spare a             \",\"spare b             \"\r\n";
const QByteArray kLine2 =
    "2,2017,0,0,\"佐藤　花子               \",1,\"                    \",\"                    \"\r\n";
const QByteArray kLine3 =
    "3,2016,0,0,\"鈴木　一郎               \",2,\"                    \",\"                    \"\r\n";
const QByteArray kLine4 = "4,2015,9,9,\"four\",0,\"x\",\"y\"\r\n"; // not padded: must stay as it is

QByteArray inCp932(const QByteArray& utf8)
{
    return cp932::encode(QString::fromUtf8(utf8)).bytes;
}

struct Editing : TestWorld
{
    QString path;
    Form* screen = nullptr;
    explicit Editing(const QByteArray& content, std::function<void(TestWorld&)> prepare = {})
    {
        if (prepare)
            prepare(*this);
        path = state->folders.sharedFolder + roster::fileName();
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
        file.close();
        forms.show(new NameChangeScreen(context));
        screen = forms.find("FrmName2");
    }
    QLineEdit* name(int i) const { return screen->findChild<QLineEdit*>(QStringLiteral("Text1_%1").arg(i)); }
    QLineEdit* year(int i) const { return screen->findChild<QLineEdit*>(QStringLiteral("Text2_%1").arg(i)); }
    void change() const { screen->findChild<QPushButton*>("Command1")->click(); }
};

} // namespace

class TestNameChange : public QObject
{
    Q_OBJECT
private slots:
    void showsTheFirstThreeLines()
    {
        Editing e(inCp932(kLine1 + kLine2 + kLine3 + kLine4));
        QCOMPARE(e.name(1)->text(), roster::fixedField("山田　太郎"));
        QCOMPARE(e.year(2)->text(), QStringLiteral("2017"));
        QCOMPARE(e.name(3)->text().trimmed(), QStringLiteral("鈴木　一郎"));
        QVERIFY(!e.year(1)->testAttribute(Qt::WA_InputMethodEnabled));
        QVERIFY(e.name(1)->testAttribute(Qt::WA_InputMethodEnabled));
    }

    // Only names and years change; numbers, spare fields, statuses and further lines stay.
    void rewriteKeepsEverythingElse()
    {
        Editing e(inCp932(kLine1 + kLine2 + kLine3 + kLine4));
        e.name(2)->setText("  佐藤　はなこ  ");
        e.year(3)->setText("2015年");
        e.change();
        QCOMPARE(e.messages.shown.size(), 1);
        QCOMPARE(e.messages.shown[0].text, QStringLiteral("保存しました。"));
        const QByteArray expected = inCp932(
            kLine1 +
            "2,2017,0,0,\"佐藤　はなこ              \",1,\"                    \",\"                    \"\r\n" +
            "3,2015,0,0,\"鈴木　一郎               \",2,\"                    \",\"                    \"\r\n" +
            kLine4);
        QCOMPARE(readAll(e.path), expected);
        QVERIFY(e.forms.isLoaded("FrmName2")); // the form stays open
    }

    // "変更" reads the roster again: what another program changed meanwhile is kept.
    void changesByOthersAreKept()
    {
        Editing e(inCp932(kLine1 + kLine2 + kLine3));
        const QByteArray line2Hidden =
            "2,2017,0,0,\"佐藤　花子               \",5,\"                    \",\"                    \"\r\n";
        QFile file(e.path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(inCp932(kLine1 + line2Hidden + kLine3 + kLine4));
        file.close();
        e.name(1)->setText("山田　たろう");
        e.change();
        QCOMPARE(e.messages.shown.size(), 1);
        const QByteArray expected = inCp932(
            "1,2018,7,-2,\"山田　たろう              \",0,\"spare a             \",\"spare b             \"\r\n" +
            line2Hidden + kLine3 + kLine4);
        QCOMPARE(readAll(e.path), expected);
    }

    // When the first lines now hold other pupils, nothing typed for one is written over another.
    void otherPupilsInTheRowsAreNotOverwritten()
    {
        Editing e(inCp932(kLine1 + kLine2 + kLine3));
        const QByteArray now = inCp932(kLine4 + kLine1 + kLine2 + kLine3);
        QFile file(e.path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(now);
        file.close();
        e.name(1)->setText("山田　たろう");
        e.change();
        QCOMPARE(e.messages.shown.size(), 1);
        QCOMPARE(readAll(e.path), now);
        QCOMPARE(e.name(1)->text().trimmed(), QStringLiteral("four")); // the form shows the roster as it is now
    }

    // A line with bytes that are not code page 932 (a character cut after its first byte) is
    // written back as it was; its year can be changed, its name bytes staying as they are.
    void unreadableLineIsKept()
    {
        const QByteArray cut = "2,2017,0,0,\"\x8D\xB2\x93\",0,\"\",\"\"\r\n";
        const QByteArray before = inCp932(kLine1) + cut + inCp932(kLine3);
        Editing e(before);
        e.name(1)->setText("山田　たろう");
        e.change();
        QCOMPARE(e.messages.shown.size(), 1); // saved
        e.messages.shown.clear();
        const QByteArray after = readAll(e.path);
        QVERIFY(after.contains(cut));
        QVERIFY(after.startsWith(inCp932("1,2018,7,-2,\"山田　たろう")));

        e.year(2)->setText("2016");
        e.change();
        QCOMPARE(e.messages.shown.size(), 1);
        QCOMPARE(e.messages.shown[0].text, QStringLiteral("保存しました。"));
        QVERIFY(readAll(e.path).contains(QByteArray(cut).replace("2017", "2016")));
    }

    void shortRosterInventsNoLine()
    {
        Editing e(inCp932(kLine1));
        QVERIFY(e.name(1)->isEnabled());
        QVERIFY(!e.name(2)->isEnabled());
        QVERIFY(!e.year(3)->isEnabled());
        QCOMPARE(e.name(2)->text(), QString());
        e.change();
        QCOMPARE(readAll(e.path), inCp932(kLine1));
        QCOMPARE(e.messages.shown.last().text, QStringLiteral("変更はありません。名簿はそのままです。"));
    }

    // A new installation's empty roster, or none at all: the form says so and where the roster
    // is, and "変更" cannot be pressed; nothing is written.
    void emptyRosterSaysWhatToDo_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::newRow("empty") << true;
        QTest::newRow("missing") << false;
    }
    void emptyRosterSaysWhatToDo()
    {
        QFETCH(bool, exists);
        Editing e(QByteArray(), [&](TestWorld&) {});
        if (!exists) {
            QFile::remove(e.path);
            e.forms.unload("FrmName2");
            e.forms.show(new NameChangeScreen(e.context));
            e.screen = e.forms.find("FrmName2");
        }
        auto* change = e.screen->findChild<QPushButton*>("Command1");
        QVERIFY(!change->isEnabled());
        const QString said = e.screen->findChild<QLabel*>("LabelEmpty")->text();
        QVERIFY2(said.contains(QStringLiteral("名簿に生徒がいません")) && said.contains(QStringLiteral("名簿を作る")),
                 qPrintable(said));
        QVERIFY(e.messages.shown.isEmpty());
        QCOMPARE(QFile::exists(e.path), exists);
    }

    // A full disk leaves the roster byte for byte as it was and says so.
    void fullDiskKeepsTheRoster()
    {
        const QByteArray before = inCp932(kLine1 + kLine2 + kLine3 + kLine4);
        std::unique_ptr<FullFolder> full;
        Editing e(before, [&](TestWorld& w) {
            const QString shared = w.dir.path() + "/shared";
            QDir().mkpath(shared);
            full = std::make_unique<FullFolder>(shared);
            w.state->folders.sharedFolder = shared + "/";
        });
        if (!full->ready())
            QSKIP("no way to fill a disk here (a tmpfs or a file size limit needs Linux)");
        full->fill();
        e.name(1)->setText("山田　たろう");
        e.name(2)->setText("佐藤　はなこ");
        e.change();
        QCOMPARE(readAll(e.path), before);
        QCOMPARE(e.messages.shown.size(), 1);
        QVERIFY2(e.messages.shown[0].text.contains(QStringLiteral("書き込めません")),
                 qPrintable(e.messages.shown[0].text));
        QVERIFY(!QDir(e.dir.path() + "/shared").entryList(QDir::Files).join(' ').contains("生徒用名簿.txt."));
        full.reset();
    }

    void refusedInput_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("messagePart");
        QTest::addRow("year beyond 16 bits") << "山田"
                                             << "40000"
                                             << "40000";
        QTest::addRow("negative beyond 16 bits") << "山田"
                                                 << "-40000"
                                                 << "-40000";
        QTest::addRow("double quote") << "山\"田"
                                      << "2018"
                                      << "\"";
        QTest::addRow("line break") << "山\n田"
                                    << "2018"
                                    << "改行";
        QTest::addRow("outside the code page") << "Zoë"
                                               << "2018"
                                               << "ë";
        QTest::addRow("name over 20 characters") << "あいうえおかきくけこさしすせそたちつてとな"
                                                 << "2018"
                                                 << "20 文字";
        QTest::addRow("year as text") << "山田"
                                      << "にせんじゅうご"
                                      << "1 行目";
        QTest::addRow("blank year") << "山田"
                                    << ""
                                    << "1900 から 2026 まで";
        QTest::addRow("year 30000") << "山田"
                                    << "30000"
                                    << "1900 から 2026 まで";
        QTest::addRow("before 1900") << "山田"
                                     << "1899"
                                     << "「1899」";
        QTest::addRow("next year") << "山田"
                                   << "2027"
                                   << "「2027」";
    }

    // The years a pupil can be born in: 1900 up to this year (the test's clock: 2026).
    void yearsAtTheirEdges_data()
    {
        QTest::addColumn<QString>("year");
        QTest::addRow("1900") << "1900";
        QTest::addRow("this year") << "2026";
    }
    void yearsAtTheirEdges()
    {
        QFETCH(QString, year);
        Editing e(inCp932(kLine1));
        e.year(1)->setText(year);
        e.change();
        QCOMPARE(e.messages.shown.size(), 1);
        QCOMPARE(e.messages.shown[0].text, QStringLiteral("保存しました。"));
        QVERIFY(readAll(e.path).startsWith(("1," + year + ",7,-2,").toLatin1()));
    }

    // Another program's fields are never changed: a spare text holding a quote, written by a
    // sibling, comes back byte for byte when the teacher changes that pupil's name or year.
    void siblingFieldsStayByteForByte_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("changed"); // the file has that line alone
        QTest::addRow("a quote inside a spare text")
            << QByteArray("5,2016,3,4,\"森　花\",0,\"x\"y\",\"z\"\r\n")
            << QByteArray("5,2015,3,4,\"森　はな                \",0,\"x\"y\",\"z\"\r\n");
        QTest::addRow("blanks and a ninth field")
            << QByteArray("5, 2016 ,3,4,  \"森　花\" ,0,\"a\",\"b\",extra\r\n")
            << QByteArray("5,2015,3,4,\"森　はな                \",0,\"a\",\"b\",extra\r\n");
        QTest::addRow("no line end") << QByteArray("5,2016,3,4,\"森　花\",0,\"a\",\"b\"")
                                     << QByteArray("5,2015,3,4,\"森　はな                \",0,\"a\",\"b\"\r\n");
    }
    void siblingFieldsStayByteForByte()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, changed);
        Editing e(inCp932(line));
        e.name(1)->setText("森　はな");
        e.year(1)->setText("2015");
        e.change();
        QCOMPARE(e.messages.shown.size(), 1);
        QCOMPARE(e.messages.shown[0].text, QStringLiteral("保存しました。"));
        QCOMPARE(readAll(e.path), inCp932(changed));
    }
    void refusedInput()
    {
        QFETCH(QString, name);
        QFETCH(QString, year);
        QFETCH(QString, messagePart);
        const QByteArray before = inCp932(kLine1 + kLine2 + kLine3 + kLine4);
        Editing e(before);
        e.name(1)->setText(name);
        e.year(1)->setText(year);
        e.change();
        QCOMPARE(e.messages.shown.size(), 1);
        QVERIFY2(e.messages.shown[0].text.contains(messagePart), qPrintable(e.messages.shown[0].text));
        QCOMPARE(readAll(e.path), before);
    }

    void backWithoutChangeLeavesTheFile()
    {
        const QByteArray before = inCp932(kLine1 + kLine2);
        Editing e(before);
        e.name(1)->setText("別の名前");
        e.screen->findChild<QPushButton*>("Command2")->click();
        QCOMPARE(readAll(e.path), before);
        QVERIFY(e.forms.isLoaded("namesel"));
        QVERIFY(!e.forms.isLoaded("FrmName2"));
    }

    void yearReading_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("year");
        QTest::addRow("digits") << "2015" << 2015;
        QTest::addRow("with 年") << "2015年" << 2015;
        QTest::addRow("full-width digits") << "２０１５" << 2015;
        QTest::addRow("blanks around") << " 2015 " << 2015;
        QTest::addRow("half") << "2014.5" << 2014;
        QTest::addRow("32767") << "32767" << 32767;
        QTest::addRow("blank") << "" << -1;
        QTest::addRow("text") << "abc" << -1;
        QTest::addRow("era name first") << "平成27" << -1;
        QTest::addRow("beyond 16 bits") << "32768" << -1;
    }
    void yearReading()
    {
        QFETCH(QString, text);
        QFETCH(int, year); // -1: refused
        QCOMPARE(RosterDocument::parseYear(text), year < 0 ? std::nullopt : std::optional<qint16>(qint16(year)));
    }
};

QTEST_MAIN(TestNameChange)
#include "tst_name_change.moc"
