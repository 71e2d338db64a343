#include "export/results_csv.h"
#include "fakes.h"
#include "records/oa_date.h"
#include "records/record_blocks.h"
#include "startup/course_catalogue.h"
#include "state/shared_state.h"
#include "teacher/results_check.h"
#include "text/csv_cell.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

const QDate kToday(2026, 12, 8);

QByteArray record(int pupil, int course, int time, double date = oadate::fromDate(kToday))
{
    ResultRecord r;
    r.date = date;
    r.clockTime = oadate::fromTime(QTime(15, 30, 5));
    r.pupil = qint16(pupil);
    r.course = qint16(course);
    r.time = time;
    r.schoolCode = QByteArray("12345");
    r.points = recordtext::pointsField(0);
    return r.encode();
}

// The shared file's records of the whole records among `bytes`, written by `program`.
QByteArray sharedOf(const QByteArray& bytes, const QString& program = QStringLiteral("約数ドリル"))
{
    QByteArray shared;
    for (qsizetype at = 0; at + kResultRecordLength <= bytes.size(); at += kResultRecordLength) {
        ResultRecord r = ResultRecord::decode(bytes.constData() + at);
        r.program = *recordtext::programField(program);
        shared += r.encode(RecordLayout::Shared);
    }
    return shared;
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A CSV reader as a spreadsheet reads RFC 4180: quoted fields may hold commas, quotes, line ends.
QList<QStringList> readCsv(const QString& text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << field;
            field.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            row << field;
            rows << row;
            row.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    return rows;
}

} // namespace

class TestResultsTools : public QObject
{
    Q_OBJECT
private slots:
    // Each row: the 44-byte file's bytes (null: no file), what the report must say, the outcome.
    void check_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("finding");
        QTest::addColumn<int>("outcome");
        const QByteArray two = record(1, 1, 40) + record(2, 3, 55);
        QTest::addRow("sound") << two << true << "2 件の記録" << 0;
        QTest::addRow("tail cut at 17 bytes") << two + record(3, 1, 30).left(17) << true << "17 バイト" << 1;
        QTest::addRow("pupil 9999") << two + record(9999, 1, 30) << true
                                    << "生徒番号が 1〜5000 の外 記録が 1 件（3 件目）" << 1;
        QTest::addRow("date 0") << record(1, 1, 30, 0) + two << true << "日付が正しくない 記録が 1 件（1 件目）" << 1;
        QTest::addRow("empty file") << QByteArray() << true << "0 件の記録" << 0;
        QTest::addRow("no file yet") << QByteArray() << false << "まだ記録がありません" << 0;
    }
    void check()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, exists);
        QFETCH(QString, finding);
        QFETCH(int, outcome);
        QTemporaryDir dir;
        const QString results = dir.filePath("成績累積データ.dat");
        const QString shared = dir.filePath("成績累積データ家庭用.dat");
        if (exists)
            write(results, bytes);
        write(shared, sharedOf(bytes));
        const QByteArray before = readAll(results);
        const resultscheck::Report report = resultscheck::check(results, shared, kToday, QStringLiteral("約数ドリル"));
        QVERIFY2(report.lines.join('\n').contains(finding), qPrintable(report.lines.join('\n')));
        QCOMPARE(int(report.outcome), outcome);
        QCOMPARE(readAll(results), before); // nothing is ever written
        QCOMPARE(QFile::exists(results), exists);
    }

    // An attempt of this program folder that reached its own file and not the shared one (a
    // full disk or a share gone between the two writes) is named with its record number.
    void attemptsMissingFromShared_data()
    {
        QTest::addColumn<QByteArray>("results");
        QTest::addColumn<QByteArray>("shared");
        QTest::addColumn<qint64>("missing");
        QTest::addColumn<QList<qint64>>("positions");
        const QByteArray a = record(1, 1, 40);
        const QByteArray b = record(2, 3, 55);
        const QByteArray old = record(3, 2, 60, oadate::fromDate(kToday.addDays(-30)));
        QTest::addRow("all delivered") << a + b << sharedOf(a + b) << qint64(0) << QList<qint64>{};
        QTest::addRow("the last missing") << a + b << sharedOf(a) << qint64(1) << QList<qint64>{2};
        QTest::addRow("no shared file yet") << a + b << QByteArray() << qint64(2) << QList<qint64>{1, 2};
        QTest::addRow("only another program's")
            << a << sharedOf(a, QStringLiteral("九九ドリル")) << qint64(1) << QList<qint64>{1};
        QTest::addRow("a pupil kept out of the shared file")
            << a + record(4950, 1, 40) << sharedOf(a) << qint64(0) << QList<qint64>{};
        QTest::addRow("history before our first shared record")
            << old + a << sharedOf(a) << qint64(0) << QList<qint64>{};
        QTest::addRow("a time that differs") << a << sharedOf(record(1, 1, 41)) << qint64(1) << QList<qint64>{1};
    }
    void attemptsMissingFromShared()
    {
        QFETCH(QByteArray, results);
        QFETCH(QByteArray, shared);
        QFETCH(qint64, missing);
        QFETCH(QList<qint64>, positions);
        QTemporaryDir dir;
        write(dir.filePath("r.dat"), results);
        if (!shared.isEmpty())
            write(dir.filePath("s.dat"), shared);
        const auto found =
            resultscheck::missingFromShared(dir.filePath("r.dat"), dir.filePath("s.dat"), QStringLiteral("約数ドリル"));
        QVERIFY(found);
        QCOMPARE(found->count, missing);
        QCOMPARE(found->positions, positions);
        const auto report =
            resultscheck::check(dir.filePath("r.dat"), dir.filePath("s.dat"), kToday, QStringLiteral("約数ドリル"));
        QCOMPARE(report.lines.join('\n').contains(QStringLiteral("届いていない")), missing > 0);
        QCOMPARE(int(report.outcome), missing > 0 ? 1 : 0);
    }

    void sharedFileCountsPerProgram()
    {
        QTemporaryDir dir;
        QByteArray bytes;
        for (const char* program : {"約数ドリル", "九九ドリル", "約数ドリル"}) {
            ResultRecord s;
            s.program = *recordtext::programField(QString::fromUtf8(program));
            s.date = oadate::fromDate(kToday);
            s.pupil = 1;
            s.course = 1;
            bytes += s.encode(RecordLayout::Shared);
        }
        write(dir.filePath("s.dat"), bytes);
        const auto report = resultscheck::checkFile(dir.filePath("s.dat"), true, kToday);
        QVERIFY(report.lines.contains(QStringLiteral("s.dat：プログラム「約数ドリル\\」の記録 2 件")));
        QCOMPARE(int(report.outcome), 0);
    }

    // The CSV read back as a spreadsheet would: names with commas and quotes intact.
    void csvReadsBack()
    {
        Catalogue catalogue;
        catalogue::fill(catalogue);
        CourseRules rules;
        rules.targetTime[1] = 60;
        rules.pointWeight[1] = 1.0f;
        roster::Line tricky;
        tricky.number = 7;
        tricky.birthYear = 2018;
        tricky.name = roster::fixedField(QStringLiteral("佐藤, \"はな\""));
        const QList<ResultRecord> records = {ResultRecord::decode(record(7, 1, 30).constData()),
                                             ResultRecord::decode(record(42, 2, 80).constData())};
        const QByteArray csv = resultscsv::build(records, {tricky}, 2026, catalogue, rules);
        QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
        const QList<QStringList> rows = readCsv(QString::fromUtf8(csv.mid(3)));
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].size(), 10);
        // The pupil first, as in every CSV of the program; dates as ISO writes them.
        QCOMPARE(rows[0].mid(0, 4), (QStringList{"生徒番号", "学年", "名前", "日付"}));
        QCOMPARE(rows[1], (QStringList{"7", "小2", "佐藤, \"はな\"", "2026-12-08", "15:30:05", "1", "レベル１", "30",
                                       "11", "12345"}));
        QCOMPARE(rows[2][2], QString()); // not in the roster
        QCOMPARE(rows[2][6], QStringLiteral("レベル２"));
    }

    // Cells a spreadsheet would run as formulas stay text: names and school codes from the
    // roster and the records are written with a leading "'", quoted as RFC 4180 needs.
    void csvCellsNeverRunAsFormulas_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("cell");
        QTest::addRow("=") << "=1+1"
                           << "'=1+1";
        QTest::addRow("+") << "+SUM(A1:A9)"
                           << "'+SUM(A1:A9)";
        QTest::addRow("-") << "-2+3"
                           << "'-2+3";
        QTest::addRow("@") << "@SUM(A1)"
                           << "'@SUM(A1)";
        QTest::addRow("tab") << "\t=1"
                             << "'\t=1";
        QTest::addRow("carriage return") << "\r=1"
                                         << "\"'\r=1\"";
        QTest::addRow("a link with quotes and a comma") << "=HYPERLINK(\"http://x\",\"y\")"
                                                        << "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\"";
        QTest::addRow("full-width =") << "＝1+1"
                                      << "'＝1+1";
        QTest::addRow("full-width +") << "＋1"
                                      << "'＋1";
        QTest::addRow("full-width -") << "－1"
                                      << "'－1";
        QTest::addRow("full-width @") << "＠SUM(A1)"
                                      << "'＠SUM(A1)";
        QTest::addRow("an ordinary name") << "佐藤　花子"
                                          << "佐藤　花子";
        QTest::addRow("a minus inside") << "佐藤-花子"
                                        << "佐藤-花子";
    }
    void csvCellsNeverRunAsFormulas()
    {
        QFETCH(QString, name);
        QFETCH(QString, cell);
        QCOMPARE(csvcell::text(name), cell);
        Catalogue catalogue;
        catalogue::fill(catalogue);
        CourseRules rules;
        roster::Line line;
        line.number = 7;
        line.name = name;
        ResultRecord r = ResultRecord::decode(record(7, 1, 30).constData());
        r.schoolCode = QByteArray("=1+1 ");
        const QByteArray csv = resultscsv::build({r}, {line}, 2026, catalogue, rules);
        const QList<QStringList> rows = readCsv(QString::fromUtf8(csv.mid(3)));
        QCOMPARE(rows.size(), 2);
        // The roster's names come trimmed: the tab and the return go, the guard stays.
        const QString trimmed = name.trimmed();
        QCOMPARE(rows[1][2], QStringLiteral("=+-@＝＋－＠").contains(trimmed.front()) ? u'\'' + trimmed : trimmed);
        QCOMPARE(rows[1][9], QStringLiteral("'=1+1"));
    }

    // A file of any size is read a block at a time: records across block boundaries and a
    // cut-off tail after them come out right, in the check and in the export.
    void largeFilesAreReadInBlocks()
    {
        QTemporaryDir dir;
        const QString results = dir.filePath("成績累積データ.dat");
        QByteArray bytes;
        const int count = int(recordblocks::kRecordsPerBlock) * 2 + 5;
        for (int n = 0; n < count; ++n)
            bytes += record(1 + n % 50, 1, n % 400);
        bytes += QByteArray(17, 'x');
        write(results, bytes);
        const auto report = resultscheck::checkFile(results, false, kToday);
        QVERIFY(report.lines.contains(QStringLiteral("成績累積データ.dat：%1 件の記録（44 バイトの記録）").arg(count)));
        QVERIFY(report.lines.join('\n').contains(QStringLiteral("17 バイト")));
        Catalogue catalogue;
        catalogue::fill(catalogue);
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QVERIFY(!resultscsv::exportFile(results, out, {}, 2026, catalogue, CourseRules()));
        const QList<QStringList> rows = readCsv(QString::fromUtf8(out.data().mid(3)));
        QCOMPARE(rows.size(), count + 1);
        QCOMPARE(rows.last()[7], QString::number((count - 1) % 400));
    }

#ifdef Q_OS_UNIX
    // A pipe or a folder in place of a results file is refused, never waited on.
    void whatIsNoFileIsRefused()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath("成績累積データ.dat");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const auto report = resultscheck::checkFile(fifo, false, kToday);
        QCOMPARE(int(report.outcome), 2);
        QVERIFY2(report.lines.join('\n').contains(QStringLiteral("ふつうのファイルではありません")),
                 qPrintable(report.lines.join('\n')));
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QVERIFY(resultscsv::exportFile(fifo, out, {}, 2026, Catalogue(), CourseRules()).has_value());
        QCOMPARE(int(resultscheck::checkFile(dir.path(), false, kToday).outcome), 2);
    }

    // A link that leads nowhere is said to be one; the path is shown without "..".
    void linksThatLeadNowhere()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("prog"));
        const QString loop = dir.filePath("成績累積データ.dat");
        QVERIFY(QFile::link(loop, loop));
        QVERIFY(QFile::link(dir.filePath("gone.dat"), dir.filePath("成績累積データ家庭用.dat")));
        for (const QString& path :
             {dir.filePath("prog/../成績累積データ.dat"), dir.filePath("成績累積データ家庭用.dat")}) {
            const auto report = resultscheck::checkFile(path, false, kToday);
            QCOMPARE(int(report.outcome), 2);
            const QString said = report.lines.join('\n');
            QVERIFY2(said.contains(QStringLiteral("シンボリックリンク")) && !said.contains(QStringLiteral("..")),
                     qPrintable(said));
        }
    }
#endif
};

QTEST_GUILESS_MAIN(TestResultsTools)
#include "tst_results_tools.moc"
