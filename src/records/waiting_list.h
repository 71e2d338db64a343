#pragma once

#include "pending_records.h"
#include "records_error.h"
#include "results_file.h"

#include <QSaveFile>
#include <memory>
#include <optional>

class Pause;
struct Folders;

// The list of waiting records as one copy of the program uses it while other copies (other
// PCs on a server share) may use it too: every read, change and rewrite happens under one
// lock, a byte range of the program's results file far beyond any record, which the family's
// programs never touch and every copy of this program respects. The results file is never
// renamed, so the lock always belongs to the file every copy opens; the list itself is
// rewritten whole (QSaveFile), so a copy ended at any moment leaves the old list or the new.
class WaitingList
{
public:
    WaitingList(const Folders& folders, resultsfile::Opener open);
    ~WaitingList();
    WaitingList(const WaitingList&) = delete;
    WaitingList& operator=(const WaitingList&) = delete;

    // Takes the lock, waiting up to waitMs while another copy holds it; the error is busy then.
    std::optional<RecordsError> lock(Pause& pause, int waitMs);

    // What is waiting. A list that is a link, a folder, a pipe or a device is refused before it
    // is opened. A damaged list is moved aside whole ("記録待ち成績.1.bad", …) before anything
    // else happens, and its whole entries are taken: `damage` then says, for the teacher, what
    // was found and where the file went.
    struct Loaded
    {
        QList<pendingrecords::Entry> entries;
        QString damage;
    };
    std::optional<RecordsError> load(Loaded& loaded);

    // Makes sure the list can be rewritten before anything leaves it: a list that could not be
    // rewritten after a delivery would deliver the same records again.
    std::optional<RecordsError> prepareRewrite();
    // The list as it is now (prepareRewrite first); the file goes when nothing waits.
    std::optional<RecordsError> rewrite(const QList<pendingrecords::Entry>& entries);

    // The byte range of the results file that the list's lock takes.
    static constexpr qint64 kLockOffset = qint64(1) << 30;

private:
    RecordsError error(const QString& action, int code, const QString& text) const;

    QString m_path;
    QString m_resultsPath;
    resultsfile::Opener m_open;
    std::unique_ptr<RecordFile> m_lockFile; // the results file while the lock is held
    std::unique_ptr<QSaveFile> m_rewrite;
};
