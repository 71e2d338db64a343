#include "results_csv.h"

#include "platform/system_error.h"
#include "records/oa_date.h"
#include "records/points.h"
#include "state/shared_state.h"
#include "text/cp932.h"

#include <QFile>
#include <QHash>
#include <cmath>

namespace resultscsv {

QString quoted(const QString& field)
{
    if (!field.contains(u',') && !field.contains(u'"') && !field.contains(u'\n') && !field.contains(u'\r'))
        return field;
    QString escaped = field;
    escaped.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + escaped + u'"';
}

QByteArray build(const QList<ResultRecord>& records, const QList<roster::Line>& rosterLines, int schoolYear,
                 const Catalogue& catalogue, const CourseRules& rules)
{
    QHash<int, const roster::Line*> pupils;
    for (const roster::Line& line : rosterLines)
        pupils.insert(line.number, &line);
    QStringList rows;
    rows << QStringLiteral("日付,時刻,生徒番号,名前,学年,コース番号,コース名,タイム(秒),ポイント,塾コード");
    for (const ResultRecord& r : records) {
        const roster::Line* line = pupils.value(r.pupil, nullptr);
        const bool inTables = r.course >= 0 && r.course <= kMaxCourse;
        const int earned = inTables && r.time >= 0
                               ? points::weighted(r.time, rules.targetTime[r.course], rules.pointWeight[r.course])
                               : 0;
        const QStringList fields = {
            std::isfinite(r.date) ? oadate::toDate(r.date).toString(QStringLiteral("yyyy/MM/dd")) : QString(),
            std::isfinite(r.clockTime) ? oadate::toTime(r.clockTime).toString(QStringLiteral("HH:mm:ss")) : QString(),
            QString::number(r.pupil),
            line ? line->trimmedName() : QString(),
            line ? roster::shortGradeLabel(roster::gradeIndex(schoolYear, line->birthYear)) : QString(),
            QString::number(r.course),
            inTables ? catalogue.courseNames[r.course] : QString(),
            QString::number(r.time),
            QString::number(earned),
            cp932::decode(r.schoolCode.bytes()).trimmed()};
        QStringList cells;
        for (const QString& f : fields)
            cells << quoted(f);
        rows << cells.join(u',');
    }
    return QByteArray("\xEF\xBB\xBF") + rows.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
}

std::optional<QList<ResultRecord>> readResults(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = describeSystemError(lastSystemError());
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    QList<ResultRecord> records;
    records.reserve(bytes.size() / kResultRecordLength);
    for (qsizetype at = 0; at + kResultRecordLength <= bytes.size(); at += kResultRecordLength)
        records.append(ResultRecord::decode(bytes.constData() + at));
    return records;
}

} // namespace resultscsv
