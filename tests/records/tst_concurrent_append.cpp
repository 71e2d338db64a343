#include "fakes.h"
#include "logic_world.h"
#include "problemlog/problem_log.h"
#include "records/pending_records.h"
#include "records/result_record.h"
#include "records/results_file.h"
#include "records/results_recorder.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString worker()
{
    return QCoreApplication::applicationDirPath() + "/append_worker";
}

// Starts the workers at once in an installation folder and waits until every one has ended well.
void runWorkers(const QString& folder, int workers, int each, const QString& mode = QString())
{
    QDir(folder).mkpath("prog");
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int w = 1; w <= workers; ++w) {
        QStringList arguments = {folder, QString::number(w), QString::number(each)};
        if (!mode.isEmpty())
            arguments << mode;
        processes.push_back(std::make_unique<QProcess>());
        processes.back()->start(worker(), arguments);
    }
    for (const auto& p : processes) {
        QVERIFY(p->waitForFinished(120000));
        QCOMPARE(p->exitCode(), 0);
    }
}

// Each pupil's attempt times in the order a file holds them.
using Times = QMap<int, QList<qint32>>;
Times timesByPupil(const QString& path, RecordLayout layout)
{
    const QByteArray bytes = readAll(path);
    Times times;
    for (qsizetype at = 0; at + recordLength(layout) <= bytes.size(); at += recordLength(layout)) {
        const auto r = ResultRecord::decode(bytes.constData() + at, layout);
        times[r.pupil].append(r.time);
    }
    return times;
}

// Both files of an installation hold every pupil's attempts 0, 1, 2, … once, in order, with no
// gap, the same in both, and nothing waits any more; the number of attempts per pupil.
QMap<int, int> checkInstallation(const QString& folder)
{
    const Times own = timesByPupil(folder + "/prog/成績累積データ.dat", RecordLayout::Program);
    const Times family = timesByPupil(folder + "/成績累積データ家庭用.dat", RecordLayout::Shared);
    QMap<int, int> counts;
    [&] {
        QCOMPARE(family, own);
        for (auto it = own.cbegin(); it != own.cend(); ++it) {
            for (qsizetype n = 0; n < it.value().size(); ++n)
                QCOMPARE(it.value()[n], qint32(n));
            counts[it.key()] = int(it.value().size());
        }
        QVERIFY(!QFile::exists(folder + "/prog/" + pendingrecords::fileName()));
    }();
    return counts;
}

} // namespace

class TestConcurrentAppend : public QObject
{
    Q_OBJECT
private slots:
    // Copies of the program on one program folder, as PCs on a server share, recording at once,
    // while a sibling holds the shared file for a while or not: every attempt is in both files
    // once, in each copy's order.
    void everyAttemptOnceInOrder_data()
    {
        QTest::addColumn<int>("holdMs");
        QTest::newRow("alone") << 0;
        QTest::newRow("a sibling holds the shared file") << 3000;
    }
    void everyAttemptOnceInOrder()
    {
        QFETCH(int, holdMs);
        constexpr int kWorkers = 8;
        constexpr int kEach = 100;
        QTemporaryDir dir;
        QDir(dir.path()).mkpath("prog");
        QProcess sibling;
        if (holdMs > 0) {
            sibling.start(worker(), {dir.path(), QStringLiteral("hold"), QString::number(holdMs)});
            QVERIFY(sibling.waitForReadyRead(30000));
        }
        runWorkers(dir.path(), kWorkers, kEach);
        QVERIFY(sibling.state() == QProcess::NotRunning || sibling.waitForFinished(30000));
        const QMap<int, int> counts = checkInstallation(dir.path());
        QCOMPARE(counts.size(), kWorkers);
        for (const int n : counts)
            QCOMPARE(n, kEach);
        const QByteArray shared = readAll(dir.path() + "/成績累積データ家庭用.dat");
        QCOMPARE(ResultRecord::decode(shared.constData(), RecordLayout::Shared).program.bytes(),
                 QByteArray("prog\\               "));
    }

    // Copies ended at any moment (kill -9) among the others lose no attempt they had finished
    // and write none twice: what they left waiting is appended at the next start.
    void copiesEndedAmongTheOthers()
    {
        constexpr int kWorkers = 8;
        constexpr int kEach = 60;
        QTemporaryDir dir;
        QDir(dir.path()).mkpath("prog");
        std::vector<std::unique_ptr<QProcess>> processes;
        for (int w = 1; w <= kWorkers; ++w) {
            processes.push_back(std::make_unique<QProcess>());
            processes.back()->start(worker(), {dir.path(), QString::number(w), QString::number(kEach)});
        }
        QRandomGenerator random(20261209);
        for (int w = 0; w < kWorkers; w += 3) { // three of the eight, each at a moment of its own
            const qint64 target =
                QFileInfo(dir.path() + "/prog/成績累積データ.dat").size() + kResultRecordLength * random.bounded(1, 40);
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(dir.path() + "/prog/成績累積データ.dat").size() >= target, 60000);
            processes[w]->kill();
        }
        for (const auto& p : processes)
            QVERIFY(p->state() == QProcess::NotRunning || p->waitForFinished(120000));
        LogicWorld next; // the next start, on the same installation
        next.state->folders.programFolder = dir.path() + "/prog/";
        next.state->folders.sharedFolder = dir.path() + "/";
        ResultsRecorder(next.services, next.pause).deliverWaiting();
        const QMap<int, int> counts = checkInstallation(dir.path());
        for (int w = 1; w <= kWorkers; ++w) {
            if ((w - 1) % 3 != 0)
                QCOMPARE(counts.value(w), kEach);
        }
    }

    // A program folder nothing can be created in, its results files writable: every start says
    // why it cannot deliver what waits, and delivers nothing, so nothing is appended twice
    // however often it starts.
    void unwritableProgramFolder()
    {
#ifndef Q_OS_UNIX
        QSKIP("a folder's permission bits do not stop writing on Windows");
#endif
        QTemporaryDir dir;
        LogicWorld w;
        w.state->folders.programFolder = dir.path() + "/prog/";
        w.state->folders.sharedFolder = dir.path() + "/";
        QVERIFY(QDir(dir.path()).mkpath("prog"));
        QList<pendingrecords::Entry> waiting;
        for (const int time : {41, 42})
            waiting += resultsfile::makeRecords(w.state->folders, w.state->organisation, {3, 1, time}, w.clock).entries;
        const QString results = resultsfile::resultsPath(w.state->folders);
        const QString shared = resultsfile::sharedPath(w.state->folders);
        QVERIFY(!resultsfile::appendRecord(results, waiting[0].bytes, kResultRecordLength, w.pause));
        QVERIFY(!resultsfile::appendRecord(shared, QByteArray(), kSharedRecordLength, w.pause));
        QFile list(pendingrecords::path(w.state->folders));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write(pendingrecords::encode(waiting));
        list.close();
        constexpr auto kAll = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup |
                              QFile::ReadOther | QFile::WriteOther;
        constexpr auto kTraverse = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                                   QFile::ReadOther | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(results, kAll) && QFile::setPermissions(shared, kAll));
        QVERIFY(QFile::setPermissions(dir.path(), kTraverse | QFile::WriteOwner));
        QVERIFY(QFile::setPermissions(dir.path() + "/prog", kTraverse));
        for (int start = 0; start < 3; ++start) {
            QProcess p;
            p.start(worker(), {dir.path(), QStringLiteral("start")});
            QVERIFY(p.waitForFinished(30000));
            QCOMPARE(p.exitCode(), 0);
            const QString said = QString::fromUtf8(p.readAllStandardOutput());
            QVERIFY2(said.contains(QStringLiteral("「記録待ち成績.dat」を書きかえる")) &&
                         said.contains(QStringLiteral("理由：")) && said.contains(QStringLiteral("（2回分）")),
                     qPrintable(said));
        }
        QVERIFY(QFile::setPermissions(dir.path() + "/prog", kTraverse | QFile::WriteOwner));
        QCOMPARE(QFileInfo(results).size(), kResultRecordLength);
        QCOMPARE(QFileInfo(shared).size(), 0);
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
            // Under Wine a start right after a kill can take long while the server tidies up.
            QVERIFY2(p.waitForStarted(120000), qPrintable(p.errorString()));
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
