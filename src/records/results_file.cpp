#include "results_file.h"

#include "oa_date.h"
#include "platform/pause.h"
#include "result_record.h"
#include "state/clock.h"
#include "state/shared_state.h"

#include <QFileInfo>
#include <QSet>

namespace resultsfile {

QString resultsFileName()
{
    return QStringLiteral("成績累積データ.dat");
}

QString sharedFileName()
{
    return QStringLiteral("成績累積データ家庭用.dat");
}

QString resultsPath(const Folders& folders)
{
    return folders.programFolder + resultsFileName();
}

QString sharedPath(const Folders& folders)
{
    return folders.sharedFolder + sharedFileName();
}

namespace {

QString fileNameOf(const QString& path)
{
    return QFileInfo(path).fileName();
}

RecordsError errorOf(const QString& path, const QString& action, const RecordFile& file)
{
    return {fileNameOf(path), action, file.errorCode(), file.errorText()};
}

} // namespace

std::optional<RecordsError> appendRecords(const QString& path, const QList<QByteArray>& records, int recordLength,
                                          Pause& pause, const Opener& open, int lockWaitMs, bool skipPresent)
{
    const QString writeAction = QStringLiteral("に書きこむ");
    OpenedRecordFile opened = open(path);
    if (!opened.file)
        return RecordsError{fileNameOf(path), QStringLiteral("を開く"), opened.errorCode, opened.errorText};
    RecordFile& file = *opened.file;
    for (int waited = 0; !file.tryLock(0, recordLength); waited += kLockRetryMs) {
        if (file.failure() != RecordFile::Failure::Sharing)
            return errorOf(path, QStringLiteral("をロックする"), file);
        if (waited >= lockWaitMs) {
            return RecordsError{fileNameOf(path), QStringLiteral("をロックする"), file.errorCode(),
                                QStringLiteral("ほかのプログラムが %1 秒以上使用中です").arg(lockWaitMs / 1000), true};
        }
        pause.wait(kLockRetryMs);
    }
    const auto failed = [&](const QString& action) {
        const auto error = errorOf(path, action, file);
        file.unlock(0, recordLength);
        return error;
    };
    const qint64 originalSize = file.size();
    if (originalSize < 0)
        return failed(writeAction);
    const qint64 position = (originalSize / recordLength) * recordLength;
    QByteArray block;
    if (skipPresent) {
        const qint64 count = position / recordLength;
        const qint64 first = std::max<qint64>(0, count - records.size() - 1000);
        QByteArray recent(qsizetype(count - first) * recordLength, Qt::Uninitialized);
        if (!recent.isEmpty() && !file.readAt(first * recordLength, recent.data(), recent.size()))
            return failed(QStringLiteral("を読む"));
        QSet<QByteArrayView> present;
        for (qsizetype at = 0; at + recordLength <= recent.size(); at += recordLength)
            present.insert(QByteArrayView(recent.constData() + at, recordLength));
        for (const QByteArray& r : records) {
            if (!present.contains(QByteArrayView(r)))
                block += r;
        }
    } else {
        for (const QByteArray& r : records)
            block += r;
    }
    if (block.isEmpty()) {
        file.unlock(0, recordLength);
        return std::nullopt;
    }
    // The cut-off tail is kept aside so that a failed write leaves the file byte for byte as it was.
    QByteArray tail(originalSize - position, '\0');
    if (!tail.isEmpty() && !file.readAt(position, tail.data(), tail.size()))
        return failed(writeAction);
    if (!file.writeAt(position, block)) {
        const auto error = errorOf(path, writeAction, file);
        file.truncate(position);
        file.writeAt(position, tail);
        file.unlock(0, recordLength);
        file.flush();
        return error;
    }
    file.unlock(0, recordLength);
    if (!file.flush())
        return errorOf(path, writeAction, file);
    return std::nullopt;
}

std::optional<RecordsError> appendRecord(const QString& path, const QByteArray& record, int recordLength, Pause& pause,
                                         const Opener& open, int lockWaitMs)
{
    return appendRecords(path, {record}, recordLength, pause, open, lockWaitMs);
}

bool writesSharedRecord(int pupil)
{
    return pupil > 5000 || pupil < 4900;
}

MadeRecords makeRecords(const Folders& folders, const Organisation& organisation, const Attempt& attempt,
                        const Clock& clock)
{
    MadeRecords made;
    ResultRecord record;
    record.date = oadate::fromDate(clock.today());
    record.clockTime = oadate::fromTime(clock.timeOfDay());
    record.pupil = qint16(attempt.pupil);
    record.course = qint16(attempt.course);
    record.time = attempt.time;
    record.schoolCode = recordtext::fixedField(organisation.schoolCode.toText(), 5).value_or(QByteArray(5, ' '));
    // The family's programs leave the points field at 0: the points are worked out from the
    // time whenever they are needed.
    record.points = recordtext::pointsField(0);
    made.entries.append({RecordLayout::Program, record.encode()});
    if (!writesSharedRecord(attempt.pupil))
        return made;
    const auto program = recordtext::programField(folders.programFolderName);
    if (!program) {
        made.error = RecordsError{sharedFileName(), QStringLiteral("に書きこむ"), 0,
                                  QStringLiteral("プログラムのフォルダ名に、この文字コードで書けない文字があります")};
        return made;
    }
    record.program = *program;
    record.listPosition = 0; // the position in a course list, which this program does not have
    made.entries.append({RecordLayout::Shared, record.encode(RecordLayout::Shared)});
    return made;
}

QString pathOf(const Folders& folders, const pendingrecords::Entry& entry)
{
    return entry.layout == RecordLayout::Program ? resultsPath(folders) : sharedPath(folders);
}

} // namespace resultsfile
