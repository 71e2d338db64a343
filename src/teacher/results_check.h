#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

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

// Checks "成績累積データ.dat" (44-byte records) and "成績累積データ家庭用.dat" (66-byte records).
Report check(const QString& resultsPath, const QString& sharedPath, const QDate& today);

// One file; shared selects the 66-byte layout.
Report checkFile(const QString& path, bool shared, const QDate& today);

} // namespace resultscheck
