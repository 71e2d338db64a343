#pragma once

#include "records/result_record.h"

#include <QDate>
#include <QList>
#include <QStringList>

struct CourseRules;
struct RosterTables;

// The board's lists of single attempts, read from the results file, in the column of each
// attempt's course (courses 1..courseCount), newest first: today's attempts of the listed
// pupils ("本日成績表示"), all their attempts ("全成績"), or the current pupil's own attempts of
// the last ten years ("個人別ﾀｲﾑ"). The grade filter applies as to the ranking lists.
namespace resultslists {

enum class Kind
{
    Today,
    All,
    Personal
};

constexpr int kPersonalDays = 3650;
constexpr qint32 kPersonalTimeBelow = 90000;
constexpr qint64 kPersonalRecords = 20000; // the personal list reads the last records only

struct Request
{
    Kind kind = Kind::All;
    int courseCount = 5;
    QString gradeFilter = QStringLiteral("全学年");
    int currentPupil = 0;
    QDate today;
};

// The lines of one course: short enough for the board's narrow column, each with the whole
// attempt written out beside it (shown when the pointer rests on the line).
struct Lines
{
    QStringList text;
    QStringList detail;
};

// Index 0 is no course; index c holds course c's lines.
QList<Lines> build(const QList<ResultRecord>& attempts, const RosterTables& roster, const CourseRules& rules,
                   const Request& request);

} // namespace resultslists
