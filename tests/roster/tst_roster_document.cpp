#include "fakes.h"
#include "hostile_places.h"
#include "roster/roster_document.h"
#include "text/cp932.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray sjis(const char* utf8)
{
    return cp932::encode(QString::fromUtf8(utf8)).bytes;
}

// Lines the family's other programs wrote, each in its own way: unpadded fields, blanks, a
// ninth field, a line that cannot be read, a blank line, a last line without its end.
const QByteArray kRoster = sjis("1,2015,7,-2,\"山田　太郎\",0,\"spare a\",\"spare b\"\r\n"
                                "2, 2016 ,0,0,  \"佐藤　花子          \" ,1,\"x\"y\",\"z\",extra\r\n"
                                "this line is no pupil\r\n"
                                "\r\n"
                                "3,2014,0,0,\"鈴木　一郎\",2,\"\",\"\"");

constexpr int kThisYear = 2026;

} // namespace

class TestRosterDocument : public QObject
{
    Q_OBJECT
private slots:
    void untouchedRosterIsKeptWhole()
    {
        const RosterDocument d = RosterDocument::fromBytes(kRoster);
        QCOMPARE(d.bytes(), kRoster);
        QVERIFY(!d.modified());
        QCOMPARE(d.shown().size(), 4); // the blank line is kept but not shown
        QVERIFY(!d.entries()[2].editable());
        QCOMPARE(d.nextFreeNumber(), 4);
    }

    // Each change touches its own line's changed fields alone; every other byte stays.
    void changesTouchOnlyWhatChanged_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("year");
        QTest::addColumn<qint64>("status");
        QTest::addColumn<QByteArray>("line"); // the changed line as written
        QTest::addRow("name") << 0 << "山田　たろう"
                              << "2015" << qint64(0)
                              << sjis("1,2015,7,-2,\"山田　たろう              \",0,\"spare a\",\"spare b\"\r\n");
        QTest::addRow("year, full-width")
            << 0 << "山田　太郎"
            << "２０１４" << qint64(0) << sjis("1,2014,7,-2,\"山田　太郎\",0,\"spare a\",\"spare b\"\r\n");
        QTest::addRow("shown again, blanks and a ninth field kept")
            << 1 << "佐藤　花子"
            << "2016" << qint64(0) << sjis("2, 2016 ,0,0,  \"佐藤　花子          \" ,0,\"x\"y\",\"z\",extra\r\n");
        QTest::addRow("hidden, the last line gets its end")
            << 4 << "鈴木　一郎"
            << "2014" << qint64(1) << sjis("3,2014,0,0,\"鈴木　一郎\",1,\"\",\"\"\r\n");
    }
    void changesTouchOnlyWhatChanged()
    {
        QFETCH(int, entry);
        QFETCH(QString, name);
        QFETCH(QString, year);
        QFETCH(qint64, status);
        QFETCH(QByteArray, line);
        RosterDocument d = RosterDocument::fromBytes(kRoster);
        QVERIFY(!d.set(entry, name, year, status, kThisYear));
        QVERIFY(!d.problem());
        QList<QByteArray> expected;
        for (qsizetype at = 0; at < kRoster.size();) {
            const qsizetype end = kRoster.indexOf('\n', at);
            const qsizetype next = end < 0 ? kRoster.size() : end + 1;
            expected.append(kRoster.mid(at, next - at));
            at = next;
        }
        expected[entry] = line;
        QCOMPARE(d.bytes(), expected.join());
    }

    void newLinesInTheFamilysFormat()
    {
        RosterDocument d = RosterDocument::fromBytes(kRoster);
        QVERIFY(!d.add(d.nextFreeNumber(), QStringLiteral("髙橋　﨑子"), QStringLiteral("2016"), 0, kThisYear));
        QVERIFY(d.bytes().startsWith(kRoster + "\r\n")); // the last line gets its end first
        QVERIFY(d.bytes().endsWith(sjis("4,2016,0,0,\"髙橋　﨑子               \",0,\"                    \","
                                        "\"                    \"\r\n")));
        d.move(5, -1); // before 鈴木, after the unreadable line
        QCOMPARE(d.entries()[4].line.number, qint16(4));
        QCOMPARE(d.entries()[3].raw, QByteArray()); // the blank line stays where it was
        d.remove(4);
        QCOMPARE(d.bytes(), kRoster);
    }

    void refusedValues_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("said");
        QTest::addRow("number taken") << 2 << "森　はな"
                                      << "2015"
                                      << "番号 2 はもう使われています";
        QTest::addRow("number 0") << 0 << "森　はな"
                                  << "2015"
                                  << "1 から 5000";
        QTest::addRow("number 5001") << 5001 << "森　はな"
                                     << "2015"
                                     << "1 から 5000";
        QTest::addRow("21 characters") << 9 << QString(21, QChar(0x3042)) << "2015"
                                       << "20 文字まで";
        QTest::addRow("a character outside code page 932") << 9 << "𠮷田　はな"
                                                           << "2015"
                                                           << "「𠮷」";
        QTest::addRow("a quote") << 9 << "森\"はな"
                                 << "2015"
                                 << "「\"」";
        QTest::addRow("no name") << 9 << "　"
                                 << "2015"
                                 << "名前を入れて";
        QTest::addRow("born 1899") << 9 << "森　はな"
                                   << "1899"
                                   << "1900 から 2026";
        QTest::addRow("born next year") << 9 << "森　はな"
                                        << "2027"
                                        << "1900 から 2026";
        QTest::addRow("an era name") << 9 << "森　はな"
                                     << "平成27"
                                     << "西暦";
    }
    void refusedValues()
    {
        QFETCH(int, number);
        QFETCH(QString, name);
        QFETCH(QString, year);
        QFETCH(QString, said);
        RosterDocument d = RosterDocument::fromBytes(kRoster);
        const auto problem = d.add(number, name, year, 0, kThisYear);
        QVERIFY(problem);
        QVERIFY2(problem->contains(said), qPrintable(*problem));
        QVERIFY(!d.modified());
    }

    // Saving: atomic, the old roster kept as 生徒用名簿.bak, refused when another program changed
    // the file since it was read; a missing roster is made.
    void saving()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(roster::fileName());
        auto missing = RosterDocument::load(path);
        QVERIFY(missing && missing->entries().isEmpty());
        QVERIFY(!missing->add(1, QStringLiteral("山田　太郎"), QStringLiteral("2015"), 0, kThisYear));
        QVERIFY(!missing->save(path));
        QVERIFY(!QFile::exists(dir.filePath(RosterDocument::backupFileName())));

        auto d = RosterDocument::load(path);
        QVERIFY(d);
        const QByteArray first = readAll(path);
        QVERIFY(!d->add(2, QStringLiteral("佐藤　花子"), QStringLiteral("2016"), 0, kThisYear));
        auto other = RosterDocument::load(path); // another program, meanwhile
        QVERIFY(!other->add(3, QStringLiteral("森　はな"), QStringLiteral("2016"), 0, kThisYear));
        QVERIFY(!other->save(path));
        bool changedElsewhere = false;
        const auto refused = d->save(path, &changedElsewhere);
        QVERIFY(refused && changedElsewhere);
        QVERIFY(readAll(path).contains(sjis("森　はな")));
        QVERIFY(!readAll(path).contains(sjis("佐藤")));
        QCOMPARE(readAll(dir.filePath(RosterDocument::backupFileName())), first);
    }

    // A full disk while saving leaves the roster and its earlier backup byte for byte as they
    // were, and says so.
    void fullDiskKeepsTheRoster()
    {
        QTemporaryDir dir;
        FullFolder full(dir.path());
        if (!full.ready())
            QSKIP("no way to fill a folder here");
        const QString path = dir.filePath(roster::fileName());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kRoster);
        file.close();
        const QByteArray earlierBackup = sjis("1,2010,0,0,\"前の名簿\",0,\"\",\"\"\r\n");
        QFile backup(dir.filePath(RosterDocument::backupFileName()));
        QVERIFY(backup.open(QIODevice::WriteOnly));
        backup.write(earlierBackup);
        backup.close();
        auto d = RosterDocument::load(path);
        QVERIFY(d);
        for (int n = 10; n < 400; ++n)
            QVERIFY(!d->add(n, QStringLiteral("生徒　%1").arg(n), QStringLiteral("2015"), 0, kThisYear));
        full.fill();
        const auto refused = d->save(path);
        QVERIFY(refused);
        QVERIFY2(refused->contains(QStringLiteral("書き込めません")) || refused->contains(QStringLiteral("控え")),
                 qPrintable(*refused));
        QCOMPARE(readAll(path), kRoster);
        QCOMPARE(readAll(dir.filePath(RosterDocument::backupFileName())), earlierBackup);
    }

    // A folder or a link where the backup goes: the roster is saved all the same, the backup is
    // said not to be made, and nothing is written through the link.
    void backupInTheWay_data()
    {
        QTest::addColumn<bool>("link");
        QTest::addRow("a folder") << false;
#ifdef Q_OS_UNIX
        QTest::addRow("a link") << true;
#endif
    }
    void backupInTheWay()
    {
        QFETCH(bool, link);
        QTemporaryDir dir;
        const QString path = dir.filePath(roster::fileName());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kRoster);
        file.close();
        const QString backup = dir.filePath(RosterDocument::backupFileName());
        const QString target = dir.filePath("elsewhere.txt");
        if (link) {
            QFile t(target);
            QVERIFY(t.open(QIODevice::WriteOnly));
            t.write("kept");
            t.close();
            QVERIFY(QFile::link(target, backup));
        } else {
            QVERIFY(QDir().mkpath(backup));
        }
        auto d = RosterDocument::load(path);
        QVERIFY(!d->add(20, QStringLiteral("森　はな"), QStringLiteral("2016"), 0, kThisYear));
        QString problem;
        QCOMPARE(d->save(path, nullptr, &problem), std::nullopt);
        QVERIFY2(problem.contains(QStringLiteral("控え")), qPrintable(problem));
        QVERIFY(readAll(path).contains(sjis("森　はな")));
        if (link)
            QCOMPARE(readAll(target), QByteArray("kept"));
    }
};

QTEST_GUILESS_MAIN(TestRosterDocument)
#include "tst_roster_document.moc"
