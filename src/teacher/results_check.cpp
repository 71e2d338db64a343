#include "results_check.h"

#include "records/oa_date.h"
#include "records/record_blocks.h"
#include "records/result_record.h"
#include "records/results_file.h"
#include "state/bounded_table.h"
#include "text/cp932.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QSet>
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
    const QFileInfo info(path);
    const QString name = info.fileName();
    const QString shown = QDir::toNativeSeparators(QDir::cleanPath(path));
    // A fresh installation: nothing has been recorded yet, which is sound.
    if (!info.exists() && !info.isSymLink()) {
        report.lines << QStringLiteral("%1：まだ記録がありません（ファイルはまだありません）：%2").arg(name, shown);
        return report;
    }
    if (!info.exists()) {
        report.lines << QStringLiteral("%1：読めません（シンボリックリンクの先がありません。リンクがループしているか、"
                                       "リンク先が消えています）：%2")
                            .arg(name, shown);
        report.outcome = Outcome::Unreadable;
        return report;
    }
    const RecordLayout layout = shared ? RecordLayout::Shared : RecordLayout::Program;
    Problem pupils{QStringLiteral("生徒番号が 1〜%1 の外").arg(kMaxPupil), {}, 0};
    Problem courses{QStringLiteral("コース番号が 1〜%1 の外").arg(kMaxCourse), {}, 0};
    Problem dates{QStringLiteral("日付が正しくない"), {}, 0};
    Problem times{QStringLiteral("タイムが 0〜99999 秒の外"), {}, 0};
    double first = 0;
    double last = 0;
    QMap<QString, qint64> programs;
    const double latest = oadate::fromDate(today) + 1;
    recordblocks::Summary summary;
    const auto error = recordblocks::read(
        path, layout,
        [&](qint64 n, const ResultRecord& r) {
            if (shared)
                programs[cp932::decode(r.program.bytes()).trimmed()] += 1;
            if (r.pupil < 1 || r.pupil > kMaxPupil)
                pupils.add(n + 1);
            if (r.course < 1 || r.course > kMaxCourse)
                courses.add(n + 1);
            if (r.time < 0 || r.time > 99999)
                times.add(n + 1);
            if (!std::isfinite(r.date) || r.date < 1 || r.date > latest) {
                dates.add(n + 1);
                return;
            }
            first = first == 0 ? r.date : std::min(first, r.date);
            last = std::max(last, r.date);
        },
        &summary);
    if (error) {
        report.lines << QStringLiteral("%1：読めません（%2）：%3").arg(name, *error, shown);
        report.outcome = Outcome::Unreadable;
        return report;
    }
    report.lines << QStringLiteral("%1：%2 件の記録（%3 バイトの記録）")
                        .arg(name)
                        .arg(summary.records)
                        .arg(recordLength(layout));
    if (summary.tail != 0) {
        report.lines << QStringLiteral("%1：最後に途中で切れた記録があります（%2 バイト、%3 件目のあと）")
                            .arg(name)
                            .arg(summary.tail)
                            .arg(summary.records);
        worse(report, Outcome::Findings);
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

namespace {

// What identifies an attempt in both files: date, clock time, pupil, level, time and school
// code, as the 44-byte record lays them out.
QByteArray attemptKey(const ResultRecord& r)
{
    return r.encode(RecordLayout::Program).left(resultlayout::kNote);
}

} // namespace

std::optional<Missing> missingFromShared(const QString& resultsPath, const QString& sharedPath,
                                         const QString& programFolderName)
{
    const auto ours = recordtext::programField(programFolderName);
    if (!ours)
        return std::nullopt;
    QSet<QByteArray> delivered;
    double first = 0;
    if (QFileInfo::exists(sharedPath)) {
        const auto error = recordblocks::read(sharedPath, RecordLayout::Shared, [&](qint64, const ResultRecord& r) {
            if (r.program.bytes() != *ours)
                return;
            delivered.insert(attemptKey(r));
            if (std::isfinite(r.date) && (first == 0 || r.date < first))
                first = r.date;
        });
        if (error)
            return std::nullopt;
    }
    Problem missing;
    const auto error = recordblocks::read(resultsPath, RecordLayout::Program, [&](qint64 n, const ResultRecord& r) {
        if (!resultsfile::writesSharedRecord(r.pupil) || (first != 0 && !(r.date >= first)))
            return;
        if (!delivered.contains(attemptKey(r)))
            missing.add(n + 1);
    });
    if (error)
        return std::nullopt;
    return Missing{missing.count, missing.positions};
}

Report check(const QString& resultsPath, const QString& sharedPath, const QDate& today,
             const QString& programFolderName)
{
    Report report = checkFile(resultsPath, false, today);
    const Report shared = checkFile(sharedPath, true, today);
    report.lines += shared.lines;
    worse(report, shared.outcome);
    const auto missing = QFileInfo::exists(resultsPath) && report.outcome != Outcome::Unreadable
                             ? missingFromShared(resultsPath, sharedPath, programFolderName)
                             : std::nullopt;
    if (missing && missing->count > 0) {
        Problem p;
        p.count = missing->count;
        p.positions = missing->positions;
        report.lines << QStringLiteral(
                            "成績累積データ.dat：「成績累積データ家庭用.dat」に届いていない、このプログラムの"
                            "成績が %1 件（%2 件目）。家庭用のファイルに書き込めなかったときのものです")
                            .arg(p.count)
                            .arg(positionsText(p));
        worse(report, Outcome::Findings);
    }
    report.lines << (report.outcome == Outcome::Sound ? QStringLiteral("結果：問題はありません")
                                                      : QStringLiteral("結果：問題が見つかりました"));
    return report;
}

} // namespace resultscheck
