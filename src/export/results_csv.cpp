#include "results_csv.h"

#include "records/oa_date.h"
#include "records/points.h"
#include "records/record_blocks.h"
#include "state/shared_state.h"
#include "text/cp932.h"
#include "text/csv_cell.h"

#include <QIODevice>

namespace resultscsv {

Rows::Rows(const QList<roster::Line>& rosterLines, int schoolYear, const Catalogue& catalogue, const CourseRules& rules,
           Names names)
    : m_names(names), m_schoolYear(schoolYear), m_catalogue(catalogue), m_rules(rules)
{
    for (const roster::Line& line : rosterLines)
        m_pupils.insert(line.number, line);
}

QByteArray Rows::header(Names names)
{
    return QByteArray("\xEF\xBB\xBF") +
           (names == Names::With ? QStringLiteral("生徒番号,学年,名前,") : QStringLiteral("生徒番号,学年,")).toUtf8() +
           QStringLiteral("日付,時刻,レベル番号,レベル,タイム(秒),ポイント,学校コード\r\n").toUtf8();
}

QByteArray Rows::row(const ResultRecord& r) const
{
    const auto line = m_pupils.constFind(r.pupil);
    const bool known = line != m_pupils.cend();
    const bool inTables = r.course >= 0 && r.course <= kMaxCourse;
    const int earned = inTables && r.time >= 0
                           ? points::weighted(r.time, m_rules.targetTime[r.course], m_rules.pointWeight[r.course])
                           : 0;
    // Dates and clock times outside any calendar (a damaged record) are left empty.
    const QDate date = oadate::toDate(r.date);
    const QTime clock = oadate::toTime(r.clockTime);
    // The pupil first, as in every CSV the program writes: 生徒番号, 学年, 名前.
    QStringList cells = {
        QString::number(r.pupil),
        csvcell::text(known ? roster::shortGradeLabel(roster::gradeIndex(m_schoolYear, line->birthYear)) : QString()),
        csvcell::text(known ? line->trimmedName() : QString()),
        date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString(),
        clock.isValid() ? clock.toString(QStringLiteral("HH:mm:ss")) : QString(),
        QString::number(r.course),
        csvcell::text(inTables ? m_catalogue.courseNames[r.course] : QString()),
        QString::number(r.time),
        QString::number(earned),
        csvcell::text(cp932::decode(r.schoolCode.bytes()).trimmed())};
    if (m_names == Names::Without)
        cells.removeAt(2);
    return (cells.join(u',') + QStringLiteral("\r\n")).toUtf8();
}

QByteArray build(const QList<ResultRecord>& records, const QList<roster::Line>& rosterLines, int schoolYear,
                 const Catalogue& catalogue, const CourseRules& rules)
{
    const Rows rows(rosterLines, schoolYear, catalogue, rules);
    QByteArray csv = Rows::header();
    for (const ResultRecord& r : records)
        csv += rows.row(r);
    return csv;
}

std::optional<QString> exportFile(const QString& resultsPath, QIODevice& out, const QList<roster::Line>& rosterLines,
                                  int schoolYear, const Catalogue& catalogue, const CourseRules& rules,
                                  const QSet<int>& pupils, Names names)
{
    const Rows rows(rosterLines, schoolYear, catalogue, rules, names);
    bool written = out.write(Rows::header(names)) >= 0;
    QByteArray pending;
    const auto flush = [&] {
        written = written && out.write(pending) == pending.size();
        pending.clear();
    };
    const auto error = recordblocks::read(resultsPath, RecordLayout::Program, [&](qint64, const ResultRecord& r) {
        if (!pupils.isEmpty() && !pupils.contains(r.pupil))
            return;
        pending += rows.row(r);
        if (pending.size() > 256 * 1024)
            flush();
    });
    flush();
    if (error)
        return *error;
    if (!written)
        return out.errorString();
    return std::nullopt;
}

} // namespace resultscsv
