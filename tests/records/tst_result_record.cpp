#include "fakes.h"
#include "records/oa_date.h"
#include "records/result_record.h"
#include "records/results_file.h"
#include "state/shared_state.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

// 8 December 2026 is day 46364 after 30 December 1899; 10:30:15 is 37815 / 86400 of a day.
const QByteArray kDate = QByteArray::fromHex("0000000080a3e640");
const QByteArray kTime = QByteArray::fromHex("2ed8822dd802dc3f");

struct Installation
{
    QTemporaryDir dir;
    std::unique_ptr<SharedState> state = std::make_unique<SharedState>();
    FakeClock clock;
    RecordingPause pause;

    Installation()
    {
        QDir(dir.path()).mkpath("files");
        QDir(dir.path()).mkpath("約数ドリル");
        state->folders.programFolder = dir.path() + "/約数ドリル/";
        state->folders.sharedFolder = dir.path() + "/files/";
        state->folders.programFolderName = "約数ドリル";
        state->organisation.schoolCode = Loose(QStringLiteral("12345"));
        clock.date = QDate(2026, 12, 8);
        clock.time = QTime(10, 30, 15);
    }
    QString results() const { return resultsfile::resultsPath(state->folders); }
    QString shared() const { return resultsfile::sharedPath(state->folders); }
    void attempt(int pupil, int course, int time)
    {
        const auto made = resultsfile::makeRecords(state->folders, state->organisation, {pupil, course, time}, clock);
        QVERIFY(!made.error);
        for (const pendingrecords::Entry& e : made.entries) {
            const auto error = resultsfile::appendRecord(resultsfile::pathOf(state->folders, e), e.bytes,
                                                         recordLength(e.layout), pause);
            QVERIFY2(!error, error ? qPrintable(error->message()) : "");
        }
    }
};

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

} // namespace

class TestResultRecord : public QObject
{
    Q_OBJECT
private slots:
    void datesAreDaysSince1899()
    {
        QCOMPARE(oadate::fromDate(QDate(1899, 12, 30)), 0.0);
        QCOMPARE(oadate::fromDate(QDate(2026, 12, 8)), 46364.0);
        QCOMPARE(oadate::fromTime(QTime(12, 0)), 0.5);
        QCOMPARE(oadate::toDate(46364.75), QDate(2026, 12, 8));
        QCOMPARE(oadate::toTime(0.5), QTime(12, 0));
    }

    void wholeResultRecord_data()
    {
        QTest::addColumn<QString>("schoolCode");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addRow("school code") << "12345"
                                     << kDate + kTime +
                                            hex("0700"
                                                "0300"
                                                "7b000000") +
                                            "12345" + "     " + "0    " + hex("0000000000");
        QTest::addRow("empty code") << ""
                                    << kDate + kTime +
                                           hex("0700"
                                               "0300"
                                               "7b000000") +
                                           "     " + "     " + "0    " + hex("0000000000");
    }
    void wholeResultRecord()
    {
        QFETCH(QString, schoolCode);
        QFETCH(QByteArray, bytes);
        Installation inst;
        inst.state->organisation.schoolCode = Loose::fromField(schoolCode);
        inst.attempt(7, 3, 123);
        const QByteArray file = readAll(inst.results());
        QCOMPARE(file.size(), 44);
        QCOMPARE(file.toHex(), bytes.toHex());
        const ResultRecord back = ResultRecord::decode(file.constData());
        QCOMPARE(back.pupil, qint16(7));
        QCOMPARE(back.course, qint16(3));
        QCOMPARE(back.time, 123);
        QCOMPARE(back.date, 46364.0);
        QCOMPARE(back.pointsValue(), 0);
    }

    void wholeSharedRecord()
    {
        Installation inst;
        inst.attempt(4899, 5, 99);
        const QByteArray program = hex("96f190948368838a838b") + "\\" + QByteArray(9, ' ');
        const QByteArray expected = program + hex("0000") + kDate + kTime +
                                    hex("2313"
                                        "0500"
                                        "63000000") +
                                    "12345" + QByteArray(15, '\0');
        const QByteArray file = readAll(inst.shared());
        QCOMPARE(file.size(), 66);
        QCOMPARE(file.toHex(), expected.toHex());
        const ResultRecord back = ResultRecord::decode(file.constData(), RecordLayout::Shared);
        QCOMPARE(back.pupil, qint16(4899));
        QCOMPARE(back.time, 99);
    }

    void sharedRecordOnlyOutside4900To5000_data()
    {
        QTest::addColumn<int>("pupil");
        QTest::addColumn<bool>("shared");
        QTest::addRow("1") << 1 << true;
        QTest::addRow("4899") << 4899 << true;
        QTest::addRow("4900") << 4900 << false;
        QTest::addRow("4950") << 4950 << false;
        QTest::addRow("5000") << 5000 << false;
    }
    void sharedRecordOnlyOutside4900To5000()
    {
        QFETCH(int, pupil);
        QFETCH(bool, shared);
        Installation inst;
        inst.attempt(pupil, 1, 50);
        QCOMPARE(readAll(inst.results()).size(), 44);
        QCOMPARE(readAll(inst.shared()).size(), shared ? 66 : 0);
    }

    void pointsField_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<QByteArray>("field");
        QTest::addRow("0") << 0 << QByteArray("0    ");
        QTest::addRow("7") << 7 << QByteArray("7    ");
        QTest::addRow("42") << 42 << QByteArray("42   ");
        QTest::addRow("-3") << -3 << QByteArray("-3   ");
        QTest::addRow("12345") << 12345 << QByteArray("12345");
    }
    void pointsField()
    {
        QFETCH(int, points);
        QFETCH(QByteArray, field);
        QCOMPARE(recordtext::pointsField(points), field);
    }

    // The program field is cut at a character boundary and always ends in the backslash.
    void programField_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QByteArray>("field");
        QTest::addRow("short") << "drill" << QByteArray("drill\\              ");
        QTest::addRow("exactly 19 bytes") << "abcdefghijklmnopqrs" << QByteArray("abcdefghijklmnopqrs\\");
        QTest::addRow("ascii cut") << "abcdefghijklmnopqrstuvwxyz" << QByteArray("abcdefghijklmnopqrs\\");
        QTest::addRow("kanji cut") << "一二三四五六七八九十壱" << hex("88ea93f18e4f8e6c8cdc985a8eb594aa8be3") + "\\ ";
        QTest::addRow("kanji cut after one byte") << "a一二三四五六七八九十"
                                                  << "a" + hex("88ea93f18e4f8e6c8cdc985a8eb594aa8be3") + "\\";
    }
    void programField()
    {
        QFETCH(QString, folder);
        QFETCH(QByteArray, field);
        const auto made = recordtext::programField(folder);
        QVERIFY(made.has_value());
        QCOMPARE(made->toHex(), field.toHex());
        QCOMPARE(made->size(), 20);
    }

    void emptyOrMissingFileGetsFirstRecordAtZero()
    {
        Installation inst;
        QVERIFY(!QFile::exists(inst.results()));
        inst.attempt(1, 1, 10);
        QCOMPARE(readAll(inst.results()).size(), 44);
        QFile(inst.results()).resize(0);
        inst.attempt(2, 1, 20);
        QCOMPARE(readAll(inst.results()).size(), 44);
        QCOMPARE(ResultRecord::decode(readAll(inst.results()).constData()).pupil, qint16(2));
    }

    // A record cut off by a crash is overwritten by the next one.
    void cutOffTailIsOverwritten()
    {
        Installation inst;
        inst.attempt(1, 1, 10);
        inst.attempt(2, 1, 20);
        QFile(inst.results()).resize(44 + 30);
        QFile(inst.shared()).resize(66 + 10);
        inst.attempt(3, 1, 30);
        const QByteArray file = readAll(inst.results());
        QCOMPARE(file.size(), 88);
        QCOMPARE(ResultRecord::decode(file.constData() + 44).pupil, qint16(3));
        const QByteArray shared = readAll(inst.shared());
        QCOMPARE(shared.size(), 132);
        QCOMPARE(ResultRecord::decode(shared.constData() + 66, RecordLayout::Shared).pupil, qint16(3));
    }
};

QTEST_GUILESS_MAIN(TestResultRecord)
#include "tst_result_record.moc"
