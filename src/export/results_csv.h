#pragma once

#include "records/result_record.h"
#include "roster/roster_file.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <optional>

class QIODevice;
struct Catalogue;
struct CourseRules;

// Every attempt of the results file as a CSV file a spreadsheet opens with the Japanese intact:
// UTF-8 with a byte-order mark, CR LF line ends, fields quoted as RFC 4180 says where they hold
// a comma, a quote or a line break. One row per record: date, clock time, pupil number, name
// (from the roster, empty when unknown), grade, course number and name, time in seconds,
// points, school code.
namespace resultscsv {

// 名前あり, or 名前なし: the pupil by number only, for a file that leaves the school.
enum class Names
{
    With,
    Without
};

// What the rows are written with.
class Rows
{
public:
    Rows(const QList<roster::Line>& rosterLines, int schoolYear, const Catalogue& catalogue, const CourseRules& rules,
         Names names = Names::With);
    static QByteArray header(Names names = Names::With); // with the byte-order mark
    QByteArray row(const ResultRecord& record) const;

private:
    Names m_names;
    QHash<int, roster::Line> m_pupils;
    int m_schoolYear;
    const Catalogue& m_catalogue;
    const CourseRules& m_rules;
};

QByteArray build(const QList<ResultRecord>& records, const QList<roster::Line>& rosterLines, int schoolYear,
                 const Catalogue& catalogue, const CourseRules& rules);

// Writes the CSV of a results file of any size, reading it block by block; the error when the
// file cannot be read or the output written.
// Only the attempts of the given pupils when there are any, else every attempt.
std::optional<QString> exportFile(const QString& resultsPath, QIODevice& out, const QList<roster::Line>& rosterLines,
                                  int schoolYear, const Catalogue& catalogue, const CourseRules& rules,
                                  const QSet<int>& pupils = {}, Names names = Names::With);

} // namespace resultscsv
