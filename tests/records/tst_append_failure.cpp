#include "failing_file.h"
#include "fakes.h"
#include "hostile_places.h"
#include "platform/record_file.h"
#include "platform/system_error.h"
#include "records/result_record.h"
#include "records/results_file.h"
#include "system_codes.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestAppendFailure : public QObject
{
    Q_OBJECT
private slots:
    // A write that fails half-way leaves the file exactly as it was, cut-off tail included.
    void failedWriteLeavesFileAsItWas_data()
    {
        QTest::addColumn<int>("existing");
        QTest::addRow("empty file") << 0;
        QTest::addRow("two records") << 88;
        QTest::addRow("two records and a tail") << 100;
    }
    void failedWriteLeavesFileAsItWas()
    {
        QFETCH(int, existing);
        QTemporaryDir dir;
        const QString path = dir.path() + "/成績累積データ.dat";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray before(existing, 'x');
        file.write(before);
        file.close();

        const auto failing = [](const QString& p) {
            OpenedRecordFile opened = openRecordFile(p);
            opened.file = std::make_unique<FailingFile>(std::move(opened.file), 20);
            return opened;
        };
        RecordingPause pause;
        const auto error = resultsfile::appendRecord(path, QByteArray(44, 'r'), 44, pause, failing);
        QVERIFY(error.has_value());
        QCOMPARE(error->fileName, QStringLiteral("成績累積データ.dat"));
        QVERIFY(error->message().contains("成績累積データ.dat"));
        QVERIFY2(error->message().contains("ディスクがいっぱいです"), qPrintable(error->message()));
        QCOMPARE(readAll(path), before);
    }

    // Another program holding the lock is waited for, letting events run, up to ten seconds;
    // then the append gives up with a message instead of freezing the screen.
    void heldLockIsWaitedForAWhile_data()
    {
        QTest::addColumn<int>("busyTries");
        QTest::addColumn<bool>("appended");
        QTest::addColumn<int>("waits");
        QTest::addRow("free at once") << 0 << true << 0;
        QTest::addRow("given back after 3 tries") << 3 << true << 3;
        QTest::addRow("given back at the last try") << 100 << true << 100;
        QTest::addRow("held for ever") << -1 << false << 100;
    }
    void heldLockIsWaitedForAWhile()
    {
        QFETCH(int, busyTries);
        QFETCH(bool, appended);
        QFETCH(int, waits);
        QTemporaryDir dir;
        const QString path = dir.path() + "/成績累積データ.dat";
        const auto held = [&](const QString& p) {
            OpenedRecordFile opened = openRecordFile(p);
            auto file = std::make_unique<FailingFile>(std::move(opened.file), 1000);
            file->busyTries = busyTries;
            opened.file = std::move(file);
            return opened;
        };
        RecordingPause pause;
        const auto error = resultsfile::appendRecord(path, QByteArray(44, 'r'), 44, pause, held);
        QCOMPARE(!error.has_value(), appended);
        QCOMPARE(pause.waits, QList<int>(waits, resultsfile::kLockRetryMs));
        QCOMPARE(readAll(path).size(), appended ? 44 : 0);
        if (!appended)
            QVERIFY2(error->message().contains("10 秒"), qPrintable(error->message()));
    }

    // A folder the program may not write into is no sharing error: it is reported at once. As
    // root (who may write anywhere) a read-only medium stands in for it; where neither can be
    // made (root without the right to mount), the denial is checked where it is decided: the
    // system's codes for "not allowed" and "read-only medium" are refusals, not waits.
    void readOnlyPlaceIsDenied()
    {
        QTemporaryDir dir;
        const QString folder = dir.path() + "/results";
        QVERIFY(QDir().mkpath(folder));
        OpenedRecordFile opened;
        bool medium = false;
        {
            const ReadOnlyFolder readOnly(folder);
            if (readOnly.ready()) {
                medium = readOnly.readOnlyMedium();
                opened = openRecordFile(folder + "/成績累積データ.dat");
            }
        }
        if (opened.failure == RecordFile::Failure::None && !opened.file) {
            for (const int code : {syscode::kReadOnly, syscode::kDenied})
                QCOMPARE(RecordFile::failureOf(code), RecordFile::Failure::Denied);
            QVERIFY(describeSystemError(syscode::kReadOnly).contains("読み取りだけ"));
            return;
        }
        QVERIFY(!opened.file);
        QCOMPARE(opened.failure, RecordFile::Failure::Denied);
        QVERIFY2(opened.errorText.contains(medium ? "読み取りだけ" : "ゆるされていません"),
                 qPrintable(opened.errorText));
    }

    void missingFolderIsReported()
    {
        QTemporaryDir dir;
        RecordingPause pause;
        const auto error =
            resultsfile::appendRecord(dir.path() + "/nowhere/成績累積データ家庭用.dat", QByteArray(66, 'r'), 66, pause);
        QVERIFY(error.has_value());
        QCOMPARE(error->fileName, QStringLiteral("成績累積データ家庭用.dat"));
        QVERIFY(error->message().contains("を開く"));
    }
};

QTEST_GUILESS_MAIN(TestAppendFailure)
#include "tst_append_failure.moc"
