#pragma once

#include "pending_records.h"
#include "platform/record_file.h"
#include "records_error.h"

#include <functional>
#include <optional>

class Clock;
class Pause;
struct Folders;
struct Organisation;

namespace resultsfile {

QString resultsFileName();
QString sharedFileName();
QString resultsPath(const Folders& folders);
QString sharedPath(const Folders& folders);

using Opener = std::function<OpenedRecordFile(const QString&)>;

// How long an append waits for another program of the family to give the lock back, letting
// window events run meanwhile, before it gives up.
constexpr int kLockWaitMs = 10000;
constexpr int kLockRetryMs = 100;

// Appends the records in order directly after the last whole record, so a cut-off tail left
// by a crash is overwritten, in one write. The lock is held from positioning to writing; it is
// given back as soon as the records are complete in the file, and the data is then pushed to
// the disk, so that a sibling waits as little as possible. On a failed write the file is cut
// back to what it was. A lock another program holds is waited for up to lockWaitMs (0: not at
// all); then the error says busy.
//
// With skipPresent, a record already among the file's last records (as many as are appended,
// and a thousand more) is not appended again: a record that waited to be written, delivered
// by a copy of the program that was ended before it could take it off the list, is never
// written twice. The check runs under the same lock as the append.
std::optional<RecordsError> appendRecords(const QString& path, const QList<QByteArray>& records, int recordLength,
                                          Pause& pause, const Opener& open = openRecordFile,
                                          int lockWaitMs = kLockWaitMs, bool skipPresent = false);
std::optional<RecordsError> appendRecord(const QString& path, const QByteArray& record, int recordLength, Pause& pause,
                                         const Opener& open = openRecordFile, int lockWaitMs = kLockWaitMs);

// Pupils 4900..5000 are kept out of the family's shared file.
bool writesSharedRecord(int pupil);

// One attempt to be recorded: who, on which course, in how many seconds.
struct Attempt
{
    int pupil = 0;
    int course = 0;
    qint32 time = 0;
};

// The attempt's records, dated now: one for "成績累積データ.dat" and, for most pupils, one for
// the shared file. The error when the program folder's name cannot be written in the record.
struct MadeRecords
{
    QList<pendingrecords::Entry> entries;
    std::optional<RecordsError> error;
};
MadeRecords makeRecords(const Folders& folders, const Organisation& organisation, const Attempt& attempt,
                        const Clock& clock);

// The file an entry belongs in.
QString pathOf(const Folders& folders, const pendingrecords::Entry& entry);

} // namespace resultsfile
