#pragma once

#include "result_record.h"
#include "state/shared_state.h"

#include <QDate>
#include <QList>
#include <QTime>

// The statistics of every pupil and course as a plain function of the records of
// "成績累積データ.dat", the course rules and the moment they are computed for: counts and
// points all-time, today and within each course's two day windows, and the best times.
// Nothing here reads a file or knows the date by itself.
namespace statistics {

constexpr int kHeldRecords = 10001; // valid records counted at most: the newest
constexpr qint32 kCompletedBelow = 6000;
constexpr qint32 kNoTime = 99999;

// A record the tables have a place for. A record outside them is passed over: the file is
// append-only, so a stray record must not make it unreadable for ever. So is a record with a
// negative time, which no attempt can have.
bool inTables(const ResultRecord& record);
// A record of a real pupil and course on a real date: one that is counted.
bool isValid(const ResultRecord& record);
// The index of the first record counted: of the newest kHeldRecords valid records, the oldest.
qsizetype firstHeld(const QList<ResultRecord>& records);

// The figures of courses 1..courses; records of other courses are passed over.
Statistics compute(const QList<ResultRecord>& records, const CourseRules& rules, int courses, const QDate& today,
                   const QTime& now);

} // namespace statistics
