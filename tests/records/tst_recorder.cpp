#include "fakes.h"
#include "logic_world.h"
#include "records/pending_records.h"
#include "records/result_record.h"
#include "records/results_file.h"
#include "records/results_recorder.h"
#include "system_codes.h"

#include <QtTest>

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

// An installation whose shared results file a sibling holds while sharedHeld says so.
struct Recording : LogicWorld
{
    bool sharedHeld = false;
    resultsfile::Opener open = [this](const QString& path) {
        OpenedRecordFile opened = openRecordFile(path);
        if (opened.file && path.endsWith(resultsfile::sharedFileName()))
            opened.file = std::make_unique<HeldFile>(std::move(opened.file), sharedHeld);
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
        QCOMPARE(pendingrecords::read(r.waitingPath()).size(), 1);

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
        const auto made = resultsfile::makeRecords(r.state->folders, r.state->organisation, {3, 1, 77}, r.clock);
        QCOMPARE(made.entries.size(), 2);
        QVERIFY(!pendingrecords::write(r.waitingPath(), made.entries));
        // The first append had happened; the list had not been updated yet.
        QVERIFY(!resultsfile::appendRecord(r.resultsPath(), made.entries[0].bytes, kResultRecordLength, r.pause));
        ResultsRecorder(r.services, r.pause, r.open).deliverWaiting();
        QCOMPARE(r.times(RecordLayout::Program), QList<qint32>{77});
        QCOMPARE(r.times(RecordLayout::Shared), QList<qint32>{77});
        QVERIFY(!QFile::exists(r.waitingPath()));
        QCOMPARE(r.messages.shown.size(), 1);
        QVERIFY(r.messages.shown[0].text.contains(QStringLiteral("1 件")));
    }

    void startTellsWhatStillWaits()
    {
        Recording r;
        const auto made = resultsfile::makeRecords(r.state->folders, r.state->organisation, {3, 1, 77}, r.clock);
        QVERIFY(!pendingrecords::write(r.waitingPath(), made.entries));
        r.sharedHeld = true;
        ResultsRecorder(r.services, r.pause, r.open).deliverWaiting();
        QCOMPARE(r.times(RecordLayout::Program), QList<qint32>{77});
        QCOMPARE(pendingrecords::read(r.waitingPath()), made.entries.mid(1));
        QCOMPARE(r.messages.shown.size(), 1);
        QVERIFY(r.messages.shown[0].text.contains(QStringLiteral("1 件あります")));
        QCOMPARE(r.pause.waits.size(), ResultsRecorder::kStartLockWaitMs / resultsfile::kLockRetryMs);
    }

    // The list of waiting records: a cut-off last entry, as a crash while writing it leaves,
    // is passed over.
    void waitingListReading()
    {
        Recording r;
        const auto made = resultsfile::makeRecords(r.state->folders, r.state->organisation, {3, 1, 77}, r.clock);
        QVERIFY(!pendingrecords::write(r.waitingPath(), made.entries));
        QFile file(r.waitingPath());
        QVERIFY(file.open(QIODevice::Append));
        file.write(QByteArray("P") + QByteArray(20, 'x'));
        file.close();
        QCOMPARE(pendingrecords::read(r.waitingPath()), made.entries);
    }
};

QTEST_GUILESS_MAIN(TestRecorder)
#include "tst_recorder.moc"
