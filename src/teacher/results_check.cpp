#include "results_check.h"

#include "records/oa_date.h"
#include "records/result_record.h"
#include "state/bounded_table.h"
#include "text/cp932.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <cmath>

namespace resultscheck {
namespace {

constexpr int kShownPositions = 5;

struct Problem
{
    QString what;
    QList<qint64> positions; // record numbers from 1
    qint64 count = 0;
    void add(qint64 position)
    {
        ++count;
        if (positions.size() < kShownPositions)
            positions.append(position);
    }
};

QString positionsText(const Problem& p)
{
    QStringList numbers;
    for (qint64 n : p.positions)
        numbers << QString::number(n);
    return numbers.join(QStringLiteral("、")) + (p.count > p.positions.size() ? QStringLiteral("…") : QString());
}

void worse(Report& report, Outcome outcome)
{
    if (int(outcome) > int(report.outcome))
        report.outcome = outcome;
}

} // namespace

Report checkFile(const QString& path, bool shared, const QDate& today)
{
    Report report;
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.exists()) {
        report.lines << QStringLiteral("%1：ファイルがありません（%2）").arg(name, path);
        report.outcome = Outcome::Unreadable;
        return report;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        report.lines << QStringLiteral("%1：読めません（%2）").arg(name, file.errorString());
        report.outcome = Outcome::Unreadable;
        return report;
    }
    const QByteArray bytes = file.readAll();
    const int length = shared ? kSharedRecordLength : kResultRecordLength;
    const qint64 count = bytes.size() / length;
    const qint64 tail = bytes.size() % length;
    report.lines << QStringLiteral("%1：%2 件の記録（%3 バイトの記録）").arg(name).arg(count).arg(length);
    if (tail != 0) {
        report.lines << QStringLiteral("%1：最後に途中で切れた記録があります（%2 バイト、%3 件目のあと）")
                            .arg(name)
                            .arg(tail)
                            .arg(count);
        worse(report, Outcome::Findings);
    }
    Problem pupils{QStringLiteral("生徒番号が 1〜%1 の外").arg(kMaxPupil)};
    Problem courses{QStringLiteral("コース番号が 1〜%1 の外").arg(kMaxCourse)};
    Problem dates{QStringLiteral("日付が正しくない")};
    Problem times{QStringLiteral("タイムが 0〜99999 秒の外")};
    double first = 0;
    double last = 0;
    QMap<QString, qint64> programs;
    const double latest = oadate::fromDate(today) + 1;
    for (qint64 n = 0; n < count; ++n) {
        const char* p = bytes.constData() + n * length;
        const ResultRecord r = ResultRecord::decode(p, shared ? RecordLayout::Shared : RecordLayout::Program);
        if (shared)
            programs[cp932::decode(r.program.bytes()).trimmed()] += 1;
        const qint16 pupil = r.pupil;
        const qint16 course = r.course;
        const qint32 time = r.time;
        const double date = r.date;
        if (pupil < 1 || pupil > kMaxPupil)
            pupils.add(n + 1);
        if (course < 1 || course > kMaxCourse)
            courses.add(n + 1);
        if (time < 0 || time > 99999)
            times.add(n + 1);
        if (!std::isfinite(date) || date < 1 || date > latest) {
            dates.add(n + 1);
            continue;
        }
        first = first == 0 ? date : std::min(first, date);
        last = std::max(last, date);
    }
    for (const Problem* problem : {&pupils, &courses, &dates, &times}) {
        if (problem->count == 0)
            continue;
        report.lines << QStringLiteral("%1：%2 記録が %3 件（%4 件目）")
                            .arg(name, problem->what)
                            .arg(problem->count)
                            .arg(positionsText(*problem));
        worse(report, Outcome::Findings);
    }
    if (first > 0) {
        report.lines << QStringLiteral("%1：%2 から %3 までの記録")
                            .arg(name, oadate::toDate(first).toString(QStringLiteral("yyyy/MM/dd")),
                                 oadate::toDate(last).toString(QStringLiteral("yyyy/MM/dd")));
    }
    for (auto it = programs.cbegin(); it != programs.cend(); ++it)
        report.lines << QStringLiteral("%1：プログラム「%2」の記録 %3 件").arg(name, it.key()).arg(it.value());
    return report;
}

Report check(const QString& resultsPath, const QString& sharedPath, const QDate& today)
{
    Report report = checkFile(resultsPath, false, today);
    const Report shared = checkFile(sharedPath, true, today);
    report.lines += shared.lines;
    worse(report, shared.outcome);
    report.lines << (report.outcome == Outcome::Sound ? QStringLiteral("結果：問題はありません")
                                                      : QStringLiteral("結果：問題が見つかりました"));
    return report;
}

} // namespace resultscheck
