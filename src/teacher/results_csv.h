#pragma once

#include "records/result_record.h"
#include "roster/roster_file.h"

#include <QByteArray>
#include <QList>
#include <optional>

struct Catalogue;
struct CourseRules;

// Every attempt of the results file as a CSV file a spreadsheet opens with the Japanese intact:
// UTF-8 with a byte-order mark, CR LF line ends, fields quoted as RFC 4180 says where they hold
// a comma, a quote or a line break. One row per record: date, clock time, pupil number, name
// (from the roster, empty when unknown), grade, course number and name, time in seconds,
// points, school code.
namespace resultscsv {

QString quoted(const QString& field);

QByteArray build(const QList<ResultRecord>& records, const QList<roster::Line>& rosterLines, int schoolYear,
                 const Catalogue& catalogue, const CourseRules& rules);

// The records of a results file, read only; nothing when it cannot be read (error says why).
std::optional<QList<ResultRecord>> readResults(const QString& path, QString* error);

} // namespace resultscsv
