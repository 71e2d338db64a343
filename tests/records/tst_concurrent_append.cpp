#include "fakes.h"
#include "logic_world.h"
#include "problemlog/problem_log.h"
#include "records/pending_records.h"
#include "records/result_record.h"
#include "records/results_recorder.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Starts the workers at once in an installation folder and waits until every one has ended well.
void runWorkers(const QString& folder, int workers, int each, const QString& mode = QString())
{
    QDir(folder).mkpath("prog");
    const QString worker = QCoreApplication::applicationDirPath() + "/append_worker";
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int w = 1; w <= workers; ++w) {
        QStringList arguments = {folder, QString::number(w), QString::number(each)};
        if (!mode.isEmpty())
            arguments << mode;
        processes.push_back(std::make_unique<QProcess>());
        processes.back()->start(worker, arguments);
    }
    for (const auto& p : processes) {
        QVERIFY(p->waitForFinished(60000));
        QCOMPARE(p->exitCode(), 0);
    }
}

} // namespace

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
        runWorkers(dir.path(), kWorkers, kEach);

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

    // Several programs logging problems at once: one header, every line once, each attempt's
    // ten lines together.
    void problemLogLosesNothing()
    {
        constexpr int kWorkers = 4;
        constexpr int kEach = 100;
        QTemporaryDir dir;
        runWorkers(dir.path(), kWorkers, kEach, "log");
        const auto read = problemlog::read(dir.path() + "/prog/問題記録.csv");
        QVERIFY(read);
        QCOMPARE(read->damaged, 0);
        QCOMPARE(read->problems.size(), kWorkers * kEach * 10);
        QSet<QPair<int, int>> seen;
        for (qsizetype i = 0; i < read->problems.size(); ++i) {
            const problemlog::Problem& p = read->problems[i];
            seen.insert({p.pupil, p.number});
            if (i % 10 != 0) // an attempt's lines are never split by another program's
                QCOMPARE(p.number, read->problems[i - 1].number + 1);
        }
        QCOMPARE(seen.size(), kWorkers * kEach * 10);
    }

    // The program ended at any moment of its recording (kill -9) loses no attempt and writes
    // none twice: what it left waiting is appended at the next start, so both files end up
    // holding the same attempts in the same order.
    void endedAtAnyMomentLosesNothing()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath("prog");
        const QString worker = QCoreApplication::applicationDirPath() + "/append_worker";
        LogicWorld w; // the next start, on the same installation
        w.state->folders.programFolder = dir.path() + "/prog/";
        w.state->folders.sharedFolder = dir.path() + "/";
        QRandomGenerator random(20261208);
        for (int run = 0; run < 50; ++run) {
            QProcess p;
            p.start(worker, {dir.path(), QString::number(run + 1), QStringLiteral("1000"), QStringLiteral("record")});
            QVERIFY(p.waitForStarted());
            // Ended as soon as its results file has grown to a size of the test's choosing: often
            // between the two appends of an attempt, the moment that used to lose one.
            const qint64 size = QFileInfo(dir.path() + "/prog/成績累積データ.dat").size();
            const qint64 target = size + kResultRecordLength * random.bounded(1, 4);
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(dir.path() + "/prog/成績累積データ.dat").size() >= target, 30000);
            p.kill();
            QVERIFY(p.waitForFinished(10000));
            ResultsRecorder(w.services, w.pause).deliverWaiting();
        }
        const QByteArray results = readAll(dir.path() + "/prog/成績累積データ.dat");
        const QByteArray shared = readAll(dir.path() + "/成績累積データ家庭用.dat");
        QList<QPair<int, int>> own;
        QList<QPair<int, int>> family;
        for (qsizetype at = 0; at + kResultRecordLength <= results.size(); at += kResultRecordLength) {
            const auto r = ResultRecord::decode(results.constData() + at);
            own.append({r.pupil, r.time});
        }
        for (qsizetype at = 0; at + kSharedRecordLength <= shared.size(); at += kSharedRecordLength) {
            const auto s = ResultRecord::decode(shared.constData() + at, RecordLayout::Shared);
            family.append({s.pupil, s.time});
        }
        QVERIFY(own.size() > 50);
        QCOMPARE(family, own);
        const QSet<QPair<int, int>> once(own.cbegin(), own.cend());
        QCOMPARE(once.size(), own.size());
        QVERIFY(!QFile::exists(dir.path() + "/prog/" + pendingrecords::fileName()));
    }
};

QTEST_GUILESS_MAIN(TestConcurrentAppend)
#include "tst_concurrent_append.moc"
