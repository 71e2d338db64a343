#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

// The administrator's check of an installation's results files, reading only: for each file
// the record count, a cut-off tail, records outside the valid ranges, the date range and, for the
// family's shared file, the records of each program. One Japanese line per finding.
namespace resultscheck {

enum class Outcome
{
    Sound = 0,     // nothing found
    Findings = 1,  // something is wrong in a file
    Unreadable = 2 // a file could not be read
};

struct Report
{
    Outcome outcome = Outcome::Sound;
    QStringList lines;
};

// Checks "成績累積データ.dat" (44-byte records) and "成績累積データ家庭用.dat" (66-byte records),
// and that every attempt of this program folder (`programFolderName`) that belongs in the
// shared file reached it: a write that failed there (a full disk, a share gone) leaves the
// program's own file ahead, which is named, never passed over.
Report check(const QString& resultsPath, const QString& sharedPath, const QDate& today,
             const QString& programFolderName);

// The attempts of "成績累積データ.dat" that belong in the shared file and are not there with this
// program's name, from the day of this program's first record in the shared file on (all of
// them when it has none): how many, and the first few record numbers (from 1). Nothing when a
// file cannot be read.
struct Missing
{
    qint64 count = 0;
    QList<qint64> positions;
};
std::optional<Missing> missingFromShared(const QString& resultsPath, const QString& sharedPath,
                                         const QString& programFolderName);

// One file; shared selects the 66-byte layout.
Report checkFile(const QString& path, bool shared, const QDate& today);

} // namespace resultscheck
