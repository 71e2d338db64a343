#include "fakes.h"
#include "records/result_record.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestConcurrentAppend : public QObject
{
    Q_OBJECT
private slots:
    // Several programs appending at once leave every record exactly once, none overlapped.
    void everyRecordExactlyOnce()
    {
        constexpr int kWorkers = 4;
        constexpr int kEach = 200;
        QTemporaryDir dir;
        QDir(dir.path()).mkpath("prog");
        const QString worker = QCoreApplication::applicationDirPath() + "/append_worker";
        QList<QProcess*> processes;
        for (int w = 1; w <= kWorkers; ++w) {
            auto* p = new QProcess(this);
            p->start(worker, {dir.path(), QString::number(w), QString::number(kEach)});
            processes.append(p);
        }
        for (QProcess* p : processes) {
            QVERIFY(p->waitForFinished(60000));
            QCOMPARE(p->exitCode(), 0);
        }

        const QByteArray results = readAll(dir.path() + "/prog/成績累積データ.dat");
        const QByteArray shared = readAll(dir.path() + "/成績累積データ家庭用.dat");
        QCOMPARE(results.size(), kWorkers * kEach * kResultRecordLength);
        QCOMPARE(shared.size(), kWorkers * kEach * kSharedRecordLength);
        QSet<QPair<int, int>> seen;
        QSet<QPair<int, int>> seenShared;
        for (int i = 0; i < kWorkers * kEach; ++i) {
            const auto r = ResultRecord::decode(results.constData() + i * kResultRecordLength);
            seen.insert({r.pupil, r.time});
            const auto s = ResultRecord::decode(shared.constData() + i * kSharedRecordLength, RecordLayout::Shared);
            QCOMPARE(s.program.bytes(), QByteArray("prog\\               "));
            seenShared.insert({s.pupil, s.time});
        }
        QCOMPARE(seen.size(), kWorkers * kEach);
        QCOMPARE(seenShared.size(), kWorkers * kEach);
    }
};

QTEST_GUILESS_MAIN(TestConcurrentAppend)
#include "tst_concurrent_append.moc"
