#include "failing_file.h"
#include "fakes.h"
#include "logic_world.h"
#include "records/pending_records.h"
#include "records/result_record.h"
#include "records/results_file.h"
#include "records/results_recorder.h"
#include "system_codes.h"

#include <QtTest>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// A results file whose lock another program of the family holds while `held` says so.
class HeldFile final : public RecordFile
{
public:
    HeldFile(std::unique_ptr<RecordFile> real, const bool& held) : m_real(std::move(real)), m_held(held) {}
    qint64 size() override { return m_real->size(); }
    bool readAt(qint64 offset, char* into, qint64 length) override { return m_real->readAt(offset, into, length); }
    bool writeAt(qint64 offset, const QByteArray& bytes) override { return m_real->writeAt(offset, bytes); }
    bool flush() override { return m_real->flush(); }
    bool truncate(qint64 length) override { return m_real->truncate(length); }
    bool tryLock(qint64 offset, qint64 length) override
    {
        if (m_held) {
            setError(Failure::Sharing, syscode::kBusy, QStringLiteral("ほかのプログラムが使用中です"));
            return false;
        }
        return m_real->tryLock(offset, length);
    }
    bool unlock(qint64 offset, qint64 length) override { return m_real->unlock(offset, length); }

private:
    std::unique_ptr<RecordFile> m_real;
    const bool& m_held;
};

// An installation whose shared results file a sibling holds while sharedHeld says so, and
// whose disk takes only fileRoom more bytes of each results file while it is set.
struct Recording : LogicWorld
{
    bool sharedHeld = false;
    std::optional<qint64> programRoom;
    std::optional<qint64> sharedRoom;
    resultsfile::Opener open = [this](const QString& path) {
        OpenedRecordFile opened = openRecordFile(path);
        const bool shared = path.endsWith(resultsfile::sharedFileName());
        if (opened.file && shared)
            opened.file = std::make_unique<HeldFile>(std::move(opened.file), sharedHeld);
        const std::optional<qint64>& room = shared ? sharedRoom : programRoom;
        if (opened.file && room)
            opened.file = std::make_unique<FailingFile>(std::move(opened.file), *room);
        return opened;
    };
    std::optional<AttemptOutcome> record(int time)
    {
        return ResultsRecorder(services, pause, open).record({3, 1, time});
    }
    QList<qint32> times(RecordLayout layout) const
    {
        const QByteArray bytes =
            readAll(layout == RecordLayout::Program ? resultsPath() : resultsfile::sharedPath(state->folders));
        QList<qint32> out;
        for (qsizetype at = 0; at + recordLength(layout) <= bytes.size(); at += recordLength(layout))
            out << ResultRecord::decode(bytes.constData() + at, layout).time;
        return out;
    }
    QString waitingPath() const { return pendingrecords::path(state->folders); }
    QList<pendingrecords::Entry> waiting() const { return pendingrecords::parse(readAll(waitingPath())).entries; }
    void setWaiting(const QByteArray& bytes) const
    {
        QFile file(waitingPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QList<pendingrecords::Entry> made(int time) const
    {
        return resultsfile::makeRecords(state->folders, state->organisation, {3, 1, time}, clock).entries;
    }
};

} // namespace

class TestRecorder : public QObject
{
    Q_OBJECT
private slots:
    void recordedAttemptLeavesNothingWaiting()
    {
        Recording r;
        QVERIFY(r.record(50));
        QCOMPARE(r.times(RecordLayout::Program), QList<qint32>{50});
        QCOMPARE(r.times(RecordLayout::Shared), QList<qint32>{50});
        QVERIFY(!QFile::exists(r.waitingPath()));
        QVERIFY(r.messages.shown.isEmpty());
    }

    // A sibling holding the shared file's lock beyond the wait: the pupil may try again, or
    // leave the record waiting; it is appended, in order, on the next recording.
    void heldLockKeepsTheAttemptForLater()
    {
        Recording r;
        r.sharedHeld = true;
        r.messages.choices = {0, 1}; // "再試行", then "あとで記録する"
        const auto first = r.record(50);
        QVERIFY(first); // the attempt goes on to the end screen
        QVERIFY(r.end.exitCodes.isEmpty());
        QCOMPARE(r.messages.shown.size(), 3); // asked twice, then told
        QVERIFY(r.messages.shown[0].text.contains(resultsfile::sharedFileName()));
        QVERIFY(r.messages.shown[2].text.contains(pendingrecords::fileName()));
        QVERIFY(r.messages.shown[2].text.contains(QStringLiteral("先生に知らせてください")));
        QCOMPARE(r.times(RecordLayout::Program), QList<qint32>{50});
        QCOMPARE(r.times(RecordLayout::Shared), QList<qint32>{});
        QCOMPARE(r.waiting().size(), 1);

        r.sharedHeld = false;
        r.messages.shown.clear();
        QVERIFY(r.record(40));
        QCOMPARE(r.times(RecordLayout::Program), (QList<qint32>{50, 40}));
        QCOMPARE(r.times(RecordLayout::Shared), (QList<qint32>{50, 40}));
        QVERIFY(!QFile::exists(r.waitingPath()));
        QVERIFY(r.messages.shown.isEmpty());
    }

    void retryAfterTheSiblingLetGo()
    {
        Recording r;
        r.sharedHeld = true;
        r.pause.onWait = [&] {
            if (r.pause.waits.size() > 150) // during the second wait, after the pupil chose "再試行"
                r.sharedHeld = false;
        };
        r.messages.choices = {0};
        QVERIFY(r.record(50));
        QCOMPARE(r.times(RecordLayout::Shared), QList<qint32>{50});
        QCOMPARE(r.messages.shown.size(), 1);
        QVERIFY(!QFile::exists(r.waitingPath()));
    }

    // The program ended between the two appends: the next start appends what is missing, and
    // each file gets each record once.
    void startAppendsWhatAnEndedRunLeft()
    {
        Recording r;
        const auto made = r.made(77);
        QCOMPARE(made.size(), 2);
        r.setWaiting(pendingrecords::encode(made));
        // The first append had happened; the list had not been updated yet.
        QVERIFY(!resultsfile::appendRecord(r.resultsPath(), made[0].bytes, kResultRecordLength, r.pause));
        ResultsRecorder(r.services, r.pause, r.open).deliverWaiting();
        QCOMPARE(r.times(RecordLayout::Program), QList<qint32>{77});
        QCOMPARE(r.times(RecordLayout::Shared), QList<qint32>{77});
        QVERIFY(!QFile::exists(r.waitingPath()));
        QCOMPARE(r.messages.shown.size(), 1);
        QVERIFY(r.messages.shown[0].text.contains(QStringLiteral("1回分")));
    }

    void startTellsWhatStillWaits()
    {
        Recording r;
        const auto made = r.made(77);
        r.setWaiting(pendingrecords::encode(made));
        r.sharedHeld = true;
        ResultsRecorder(r.services, r.pause, r.open).deliverWaiting();
        QCOMPARE(r.times(RecordLayout::Program), QList<qint32>{77});
        QCOMPARE(r.waiting(), made.mid(1));
        QCOMPARE(r.messages.shown.size(), 1);
        QVERIFY(r.messages.shown[0].text.contains(QStringLiteral("1回分あります")));
        QCOMPARE(r.pause.waits.size(), ResultsRecorder::kStartLockWaitMs / resultsfile::kLockRetryMs);
    }

    // A full disk where neither the waiting list nor the shared file can be written: the record
    // that reached only the program's file is kept in memory, said, and delivered with the next
    // attempt or when the program ends, in order; a program file that takes nothing ends the
    // program as before, as nothing could be recorded.
    void fullDiskHoldsTheSecondRecord_data()
    {
        QTest::addColumn<bool>("programFull");
        QTest::addColumn<bool>("roomAtNextAttempt");
        QTest::addColumn<QList<qint32>>("sharedAfter");
        QTest::addColumn<int>("heldAfter");
        QTest::addRow("room again at the next attempt") << false << true << QList<qint32>{50, 40} << 0;
        QTest::addRow("still full at the next attempt") << false << false << QList<qint32>{} << 2;
        QTest::addRow("not even the program's file") << true << false << QList<qint32>{} << 0;
    }
    void fullDiskHoldsTheSecondRecord()
    {
        QFETCH(bool, programFull);
        QFETCH(bool, roomAtNextAttempt);
        QFETCH(QList<qint32>, sharedAfter);
        QFETCH(int, heldAfter);
        Recording r;
        QVERIFY(QDir().mkpath(r.waitingPath())); // the list cannot be written
        r.sharedRoom = 0;
        if (programFull)
            r.programRoom = 0;
        const auto first = r.record(50);
        if (programFull) {
            QVERIFY(!first);
            QCOMPARE(r.end.exitCodes.size(), 1);
            QVERIFY(r.state->heldRecords.isEmpty());
            QCOMPARE(r.times(RecordLayout::Program), QList<qint32>{});
            return;
        }
        QVERIFY(first);
        QVERIFY(r.end.exitCodes.isEmpty());
        QCOMPARE(r.times(RecordLayout::Program), QList<qint32>{50});
        QCOMPARE(r.times(RecordLayout::Shared), QList<qint32>{});
        QCOMPARE(pendingrecords::parse(r.state->heldRecords).entries, r.made(50).mid(1));
        QCOMPARE(r.messages.shown.size(), 1);
        QVERIFY(r.messages.shown[0].text.contains(QStringLiteral("ディスク")));
        QVERIFY(r.messages.shown[0].text.contains(QStringLiteral("1回分")));

        if (roomAtNextAttempt)
            r.sharedRoom.reset();
        r.messages.shown.clear();
        QVERIFY(r.record(40));
        QCOMPARE(r.times(RecordLayout::Program), (QList<qint32>{50, 40}));
        QCOMPARE(r.times(RecordLayout::Shared), sharedAfter);
        QCOMPARE(pendingrecords::attemptCount(pendingrecords::parse(r.state->heldRecords).entries), heldAfter);
        QCOMPARE(r.messages.shown.isEmpty(), roomAtNextAttempt);

        // The program ends: one more try, and what still cannot be written is named.
        r.messages.shown.clear();
        ResultsRecorder(r.services, r.pause, r.open).deliverHeld();
        QCOMPARE(r.messages.shown.size(), heldAfter > 0 ? 1 : 0);
        if (heldAfter > 0) {
            QVERIFY(r.messages.shown[0].text.contains(QStringLiteral("2回分")));
            r.sharedRoom.reset(); // space again: the last try delivers both, in order
            ResultsRecorder(r.services, r.pause, r.open).deliverHeld();
            QCOMPARE(r.times(RecordLayout::Shared), (QList<qint32>{50, 40}));
            QVERIFY(r.state->heldRecords.isEmpty());
        }
    }

    // A list that is no regular file is never opened (a pipe held the start for ever) and never
    // written through (a link had its target overwritten): the start names it, and attempts
    // are recorded without it.
    void listThatIsNoFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder") << QStringLiteral("folder");
#ifdef Q_OS_UNIX
        for (const char* kind : {"pipe", "link to a file", "dangling link"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
#endif
    }
    void listThatIsNoFile()
    {
        QFETCH(QString, kind);
        Recording r;
        const QString list = r.waitingPath();
        const QString target = r.dir.filePath("target.dat");
        if (kind == "folder")
            QVERIFY(QDir().mkpath(list));
#ifdef Q_OS_UNIX
        else if (kind == "pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(list).constData(), 0644), 0);
#endif
        else if (kind == "dangling link")
            QVERIFY(QFile::link(target, list));
        else {
            QFile file(target);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("keep");
            file.close();
            QVERIFY(QFile::link(target, list));
        }
        ResultsRecorder(r.services, r.pause, r.open).deliverWaiting();
        QCOMPARE(r.messages.shown.size(), 1);
        QVERIFY(r.messages.shown[0].text.contains(pendingrecords::fileName()));
        QVERIFY(r.record(50));
        QVERIFY(r.end.exitCodes.isEmpty());
        QCOMPARE(r.times(RecordLayout::Program), QList<qint32>{50});
        QCOMPARE(r.times(RecordLayout::Shared), QList<qint32>{50});
        QCOMPARE(QFileInfo(list).isSymLink(), kind.contains("link"));
        if (kind == "link to a file")
            QCOMPARE(readAll(target), QByteArray("keep"));
        QVERIFY(!QFileInfo::exists(target) || kind == "link to a file");
    }

    // A damaged list is never overwritten: it is moved aside whole for the teacher, and the
    // whole entries it holds are appended.
    void damagedListIsMovedAside_data()
    {
        QTest::addColumn<QByteArray>("front");
        QTest::addColumn<QByteArray>("between");
        QTest::addColumn<QByteArray>("back");
        QTest::newRow("garbage in front") << QByteArray("\x01PS garbage", 11) << QByteArray() << QByteArray();
        QTest::newRow("a cut entry at the end")
            << QByteArray() << QByteArray() << QByteArray("P") + QByteArray(20, 'x');
        QTest::newRow("garbage between") << QByteArray() << QByteArray("SPSP") << QByteArray();
    }
    void damagedListIsMovedAside()
    {
        QFETCH(QByteArray, front);
        QFETCH(QByteArray, between);
        QFETCH(QByteArray, back);
        Recording r;
        const QByteArray bytes =
            front + pendingrecords::encode(r.made(71)) + between + pendingrecords::encode(r.made(72)) + back;
        r.setWaiting(bytes);
        ResultsRecorder(r.services, r.pause, r.open).deliverWaiting();
        QCOMPARE(r.times(RecordLayout::Program), (QList<qint32>{71, 72}));
        QCOMPARE(r.times(RecordLayout::Shared), (QList<qint32>{71, 72}));
        QVERIFY(!QFile::exists(r.waitingPath()));
        QCOMPARE(readAll(r.dir.filePath(QStringLiteral("prog/記録待ち成績.1.bad"))), bytes);
        QCOMPARE(r.messages.shown.size(), 1);
        const QString text = r.messages.shown[0].text;
        QVERIFY2(
            text.contains(QStringLiteral("記録待ち成績.1.bad")) &&
                text.contains(
                    QStringLiteral("読めない部分（%1 バイト）").arg(front.size() + between.size() + back.size())) &&
                text.contains(QStringLiteral("（2回分）")),
            qPrintable(text));
    }

    // A thousand waiting attempts go in one pass, counted as attempts, not records.
    void longListInOnePass()
    {
        Recording r;
        QList<pendingrecords::Entry> entries;
        for (int t = 0; t < 1000; ++t)
            entries += r.made(t);
        r.setWaiting(pendingrecords::encode(entries));
        ResultsRecorder(r.services, r.pause, r.open).deliverWaiting();
        QCOMPARE(r.times(RecordLayout::Program).size(), 1000);
        QCOMPARE(r.times(RecordLayout::Shared), r.times(RecordLayout::Program));
        QCOMPARE(r.messages.shown.size(), 1);
        QVERIFY2(r.messages.shown[0].text.contains(QStringLiteral("（1000回分）")),
                 qPrintable(r.messages.shown[0].text));
        QVERIFY(!QFile::exists(r.waitingPath()));
    }
};

QTEST_GUILESS_MAIN(TestRecorder)
#include "tst_recorder.moc"
