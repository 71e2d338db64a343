#include "class_view.h"
#include "text/csv_cell.h"

#include "drill/attempt.h"
#include "problemlog/weak_numbers.h"
#include "records/clearing.h"
#include "records/oa_date.h"
#include "records/record_blocks.h"
#include "records/records_error.h"
#include "records/results_file.h"
#include "records/results_reader.h"
#include "records/statistics.h"
#include "startup/course_catalogue.h"
#include "state/clock.h"
#include "state/shared_state.h"

#include <algorithm>
#include <cmath>

namespace classview {

QString LevelCell::text() const
{
    QStringList parts;
    if (needsCheck)
        parts << QStringLiteral("要チェック");
    if (cleared)
        parts << QStringLiteral("クリア済み");
    else if (!toClear.isEmpty())
        parts << toClear;
    if (bestTime < kNoTime)
        parts << QStringLiteral("ベスト%1秒").arg(bestTime);
    return parts.join(QStringLiteral("　"));
}

QString lastPracticeText(int daysSince)
{
    if (daysSince < 0)
        return QStringLiteral("なし");
    if (daysSince == 0)
        return QStringLiteral("今日");
    if (daysSince == 1)
        return QStringLiteral("昨日");
    return QStringLiteral("%1日前").arg(daysSince);
}

QString fold(const QString& text)
{
    const QString unified = text.normalized(QString::NormalizationForm_KC);
    QString out;
    out.reserve(unified.size());
    for (const QChar ch : unified) {
        const char16_t u = ch.unicode();
        if (ch.isSpace())
            continue;
        // Katakana ァ..ヶ to hiragana ぁ..ゖ, so that "サトウ" and "さとう" are one name.
        out += u >= 0x30A1 && u <= 0x30F6 ? QChar(char16_t(u - 0x60)) : ch;
    }
    return out;
}

QString Table::text(int row, int column) const
{
    const Row& r = rows[row];
    switch (column) {
    case GradeColumn:
        return r.grade;
    case NameColumn:
        return r.name;
    case NumberColumn:
        return QString::number(r.pupil);
    case LastPracticeColumn:
        return lastPracticeText(r.daysSince);
    case TodayColumn:
        return QString::number(r.today);
    case WeekColumn:
        return QString::number(r.week);
    default:
        return column == weakColumn() ? r.weak : r.levels.value(column - FirstLevelColumn).text();
    }
}

Builder::Builder(const Sources& sources) : m_sources(sources)
{
    const Catalogue& catalogue = sources.catalogue;
    m_table.headers = {QStringLiteral("学年"),       QStringLiteral("名前"), QStringLiteral("番号"),
                       QStringLiteral("最後の練習"), QStringLiteral("今日"), QStringLiteral("今週")};
    for (int c = 1; c <= catalogue.courseCount && c <= sources.stats.courses(); ++c) {
        if (attempt::isPractice(catalogue, c))
            continue;
        m_column.insert(c, int(m_table.courses.size()));
        m_table.courses << c;
        m_table.headers << catalogue.courseNames[c];
    }
    m_table.headers << QStringLiteral("にがてな数");
    m_today = oadate::fromDate(sources.today);
    const QString clearPrefix = QStringLiteral("クリアまで ");
    for (const roster::Line& line : sources.rosterLines) {
        if (!roster::isListed(line, sources.listStatus2) || m_rowOf.contains(line.number))
            continue;
        Row row;
        row.pupil = line.number;
        row.name = line.trimmedName();
        row.gradeIndex = roster::gradeIndex(sources.schoolYear, line.birthYear);
        row.grade = roster::shortGradeLabel(row.gradeIndex);
        row.folded = fold(row.name);
        for (const int c : m_table.courses) {
            LevelCell cell;
            cell.cleared = clearing::isCleared(sources.stats, sources.rules, c, line.number);
            QString progress = clearing::progressText(sources.stats, sources.rules, c, line.number);
            if (progress.startsWith(clearPrefix))
                progress.remove(0, clearPrefix.size());
            cell.toClear = cell.cleared ? QString() : progress;
            cell.bestTime = sources.stats.bestTime(c, line.number);
            row.levels << cell;
        }
        m_rowOf.insert(line.number, int(m_table.rows.size()));
        m_table.rows << row;
        m_lastDay << -1;
    }
}

void Builder::add(const ResultRecord& r)
{
    if (!statistics::isValid(r))
        return;
    const auto rowIt = m_rowOf.constFind(r.pupil);
    if (rowIt == m_rowOf.cend())
        return; // not a pupil the menu lists
    const int index = *rowIt;
    Row& row = m_table.rows[index];
    const double day = std::floor(r.date);
    m_lastDay[index] = std::max(m_lastDay[index], day);
    if (r.time >= statistics::kCompletedBelow || day > m_today)
        return;
    const double ago = m_today - day;
    if (ago == 0)
        ++row.today;
    if (ago < kWeekDays)
        ++row.week;
    if (ago < kCheckDays) {
        const auto level = m_column.constFind(r.course);
        if (level != m_column.cend())
            ++row.levels[*level].recentAttempts;
    }
}

void Builder::addWeakNumbers(const QList<problemlog::Problem>& log)
{
    // One pass for everyone's current level, one for the problems at it, then each pupil's
    // ranking of their own problems.
    QHash<int, int> current;
    for (const problemlog::Problem& p : log)
        current.insert(p.pupil, p.level);
    QHash<int, QList<problemlog::Problem>> atCurrent;
    for (const problemlog::Problem& p : log) {
        if (m_rowOf.contains(p.pupil) && current.value(p.pupil) == p.level)
            atCurrent[p.pupil].append(p);
    }
    for (Row& row : m_table.rows) {
        const int level = current.value(row.pupil);
        if (level == 0)
            continue;
        const QList<weaknumbers::Weak> weak = weaknumbers::rank(atCurrent.value(row.pupil), row.pupil, level);
        const QString name =
            level <= m_sources.catalogue.courseCount ? m_sources.catalogue.courseNames[level] : QString::number(level);
        row.weak = name + u'：' + weaknumbers::numbers(weak, kWeakShown);
        row.weakScore = weak.isEmpty() ? 0 : weak.first().score;
    }
}

void Builder::weakNumbersUnreadable()
{
    for (Row& row : m_table.rows)
        row.weak = QStringLiteral("（記録を読めません）");
}

Table Builder::take()
{
    for (int i = 0; i < m_table.rows.size(); ++i) {
        Row& row = m_table.rows[i];
        row.daysSince = m_lastDay[i] < 0 ? -1 : int(std::max(0.0, m_today - m_lastDay[i]));
        for (LevelCell& cell : row.levels)
            cell.needsCheck = !cell.cleared && cell.recentAttempts >= kCheckAttempts;
    }
    return std::move(m_table);
}

std::optional<Loaded> load(Services services, Pause& pause)
{
    SharedState& state = services.state;
    ResultsReader reader(services, pause);
    if (!reader.refreshStatistics())
        return std::nullopt;
    Loaded loaded;
    const roster::Read read = roster::read(state.folders.sharedFolder);
    const QList<roster::Line> lines = read.parsed ? read.parsed->lines : QList<roster::Line>();
    loaded.rosterProblem = read.failure;
    const QDate today = services.clock.today();
    const Sources sources{state.stats,
                          state.rules,
                          state.catalogue,
                          lines,
                          state.organisation.commonItem3 == Loose(1),
                          roster::schoolYear(today, state.organisation.schoolYearStartMonth.toInt()),
                          today};
    Builder builder(sources);
    // The whole file, a block at a time: the last practice may lie before the recent records.
    const auto error = recordblocks::read(resultsfile::resultsPath(state.folders), RecordLayout::Program,
                                          [&](qint64, const ResultRecord& r) { builder.add(r); });
    if (error) {
        reportFatal(services.messages, services.programEnd,
                    RecordsError{resultsfile::resultsFileName(), QStringLiteral("を読む"), 0, *error}.message());
        return std::nullopt;
    }
    QString logError;
    const auto log = problemlog::read(problemlog::path(state.folders), &logError);
    if (log)
        builder.addWeakNumbers(log->problems);
    else
        builder.weakNumbersUnreadable();
    loaded.table = builder.take();
    if (log) {
        loaded.classWeak = classWeakLine(loaded.table, log->problems, state.catalogue);
        if (log->damaged > 0)
            loaded.classWeak += QStringLiteral("（%1「%2」の %3）")
                                    .arg(loaded.classWeak.isEmpty() ? QString() : QStringLiteral("　"))
                                    .arg(problemlog::fileName(), problemlog::damageNote(*log));
    } else {
        loaded.classWeak = QStringLiteral("「%1」を読めません：%2").arg(problemlog::fileName(), logError);
    }
    return loaded;
}

QString classWeakLine(const Table& table, const QList<problemlog::Problem>& log, const Catalogue& catalogue)
{
    QSet<int> pupils;
    for (const Row& row : table.rows)
        pupils.insert(row.pupil);
    QStringList levels;
    for (const int c : table.courses) {
        const QString numbers = weaknumbers::numbers(weaknumbers::rankGroup(log, pupils, c), kClassWeakShown);
        if (!numbers.isEmpty())
            levels << catalogue.courseNames[c] + u'：' + numbers;
    }
    return levels.isEmpty() ? QString() : QStringLiteral("クラスのにがてな数　") + levels.join(QStringLiteral("　"));
}

QStringList notPractisedChoices()
{
    return {QStringLiteral("すべて"), QStringLiteral("3日以上練習していない"), QStringLiteral("7日以上練習していない"),
            QStringLiteral("14日以上練習していない"), QStringLiteral("30日以上練習していない")};
}

int notPractisedDays(int choice)
{
    static const int days[] = {0, 3, 7, 14, 30};
    return choice >= 1 && choice <= 4 ? days[choice] : 0;
}

QList<int> filtered(const Table& table, const Filter& filter)
{
    const QString search = fold(filter.search);
    QList<int> kept;
    kept.reserve(table.rows.size());
    for (int i = 0; i < table.rows.size(); ++i) {
        const Row& r = table.rows[i];
        if (catalogue::gradeFilterMatch(r.gradeIndex, filter.grade) != 1)
            continue;
        if (filter.notPractisedFor > 0 && r.daysSince >= 0 && r.daysSince < filter.notPractisedFor)
            continue;
        if (!search.isEmpty() && !r.folded.contains(search))
            continue;
        kept << i;
    }
    return kept;
}

void sort(QList<int>& order, const Table& table, int column, bool descending)
{
    const auto key = [&](int i) -> std::pair<qint64, QString> {
        const Row& r = table.rows[i];
        switch (column) {
        case GradeColumn:
            return {r.gradeIndex, QString()};
        case NameColumn:
            return {0, r.folded};
        case NumberColumn:
            return {r.pupil, QString()};
        case LastPracticeColumn:
            return {r.daysSince < 0 ? std::numeric_limits<int>::max() : r.daysSince, QString()};
        case TodayColumn:
            return {r.today, QString()};
        case WeekColumn:
            return {r.week, QString()};
        default: {
            if (column == table.weakColumn()) // the weakest first when descending
                return {qint64(r.weakScore * 1000), QString()};
            // Cleared first, then the best times.
            const LevelCell& cell = r.levels.value(column - FirstLevelColumn);
            return {(cell.cleared ? 0 : qint64(1) << 40) + cell.bestTime, QString()};
        }
        }
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return descending ? key(b) < key(a) : key(a) < key(b); });
}

QByteArray csv(const Table& table, const QList<int>& order)
{
    QStringList header;
    for (const QString& h : table.headers)
        header << csvcell::text(h);
    QByteArray out = QByteArray("\xEF\xBB\xBF") + (header.join(u',') + QStringLiteral("\r\n")).toUtf8();
    for (const int row : order) {
        QStringList cells;
        for (int c = 0; c < table.columnCount(); ++c)
            cells << csvcell::text(table.text(row, c));
        out += (cells.join(u',') + QStringLiteral("\r\n")).toUtf8();
    }
    return out;
}

} // namespace classview
