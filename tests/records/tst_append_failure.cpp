#include "fakes.h"
#include "records/record_file.h"
#include "records/result_record.h"
#include "records/results_file.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// A record file that passes everything to a real one but fails its writes after a number of
// bytes, as a full disk would.
class FailingFile final : public RecordFile
{
public:
    FailingFile(std::unique_ptr<RecordFile> real, qint64 bytesBeforeFailure)
        : m_real(std::move(real)), m_budget(bytesBeforeFailure)
    {}
    qint64 size() override { return m_real->size(); }
    bool readAt(qint64 offset, char* into, qint64 length) override { return m_real->readAt(offset, into, length); }
    bool writeAt(qint64 offset, const QByteArray& bytes) override
    {
        if (bytes.size() <= m_budget) {
            m_budget -= bytes.size();
            return m_real->writeAt(offset, bytes);
        }
        m_real->writeAt(offset, bytes.left(m_budget)); // part of the record reaches the disk
        setError(Failure::Other, 28, QStringLiteral("No space left on device"));
        return false;
    }
    bool flush() override { return m_real->flush(); }
    bool truncate(qint64 length) override { return m_real->truncate(length); }
    bool lock(qint64 offset, qint64 length) override { return m_real->lock(offset, length); }
    bool unlock(qint64 offset, qint64 length) override { return m_real->unlock(offset, length); }

private:
    std::unique_ptr<RecordFile> m_real;
    qint64 m_budget;
};

} // namespace

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
        const auto error = resultsfile::appendRecord(path, QByteArray(44, 'r'), 44, failing);
        QVERIFY(error.has_value());
        QCOMPARE(error->fileName, QStringLiteral("成績累積データ.dat"));
        QVERIFY(error->message().contains("成績累積データ.dat"));
        QVERIFY(error->message().contains("No space left on device"));
        QCOMPARE(readAll(path), before);
    }

    void missingFolderIsReported()
    {
        QTemporaryDir dir;
        const auto error =
            resultsfile::appendRecord(dir.path() + "/nowhere/成績累積データ家庭用.dat", QByteArray(66, 'r'), 66);
        QVERIFY(error.has_value());
        QCOMPARE(error->fileName, QStringLiteral("成績累積データ家庭用.dat"));
        QVERIFY(error->message().contains("を開く"));
    }
};

QTEST_GUILESS_MAIN(TestAppendFailure)
#include "tst_append_failure.moc"
