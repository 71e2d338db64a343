#include "class_view.h"

#include "drill/attempt.h"
#include "problemlog/weak_numbers.h"
#include "records/clearing.h"
#include "records/oa_date.h"
#include "records/record_blocks.h"
#include "records/records_error.h"
#include "records/results_file.h"
#include "records/results_reader.h"
#include "records/statistics.h"
#include "roster/readings.h"
#include "startup/course_catalogue.h"
#include "state/clock.h"
#include "state/shared_state.h"
#include "text/csv_cell.h"
#include "text/kana.h"
#include "text/name_fold.h"

#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <cmath>

namespace classview {

LevelState LevelCell::state() const
{
    if (cleared)
        return LevelState::Cleared;
    if (recentAttempts >= kCheckAttempts)
        return LevelState::Stuck;
    return attempts > 0 || recentAttempts > 0 ? LevelState::InProgress : LevelState::NotStarted;
}

Trend LevelCell::trend() const
{
    if (periodBest >= kNoTime || previousBest >= kNoTime)
        return Trend::None;
    return periodBest < previousBest ? Trend::Better : periodBest > previousBest ? Trend::Worse : Trend::Same;
}

QString LevelCell::symbol() const
{
    switch (state()) {
    case LevelState::Cleared:
        return QStringLiteral("◎");
    case LevelState::Stuck:
        return QStringLiteral("▲");
    case LevelState::InProgress:
        return QStringLiteral("○");
    case LevelState::NotStarted:
        break;
    }
    return QStringLiteral("－");
}

QString LevelCell::caption() const
{
    switch (state()) {
    case LevelState::Cleared:
        return QStringLiteral("クリア");
    case LevelState::Stuck:
        return QStringLiteral("要チェック");
    case LevelState::InProgress:
        return hidden ? QStringLiteral("練習中") : clearing::missingText({false, false, countNeeded, pointsNeeded});
    case LevelState::NotStarted:
        break;
    }
    return QStringLiteral("まだ");
}

QString LevelCell::bestLine() const
{
    if (bestTime >= kNoTime)
        return QString();
    static const QStringList arrows = {QString(), QStringLiteral(" ↑"), QStringLiteral(" ↓"), QStringLiteral(" →")};
    return QStringLiteral("%1秒").arg(bestTime) + arrows[int(trend())];
}

QString LevelCell::spoken() const
{
    QStringList words{caption()};
    if (state() == LevelState::Stuck && !hidden)
        words << clearing::missingText({false, false, countNeeded, pointsNeeded});
    if (bestTime < kNoTime)
        words << QStringLiteral("ベスト%1秒").arg(bestTime);
    static const QStringList trends = {QString(), QStringLiteral("前の期間より速い"),
                                       QStringLiteral("前の期間より遅い"), QStringLiteral("前の期間と同じ")};
    if (trend() != Trend::None)
        words << trends[int(trend())];
    return words.join(QStringLiteral("、"));
}

Colours coloursOf(LevelState state)
{
    switch (state) {
    case LevelState::Cleared:
        return {0x1b5e20, 0xdcedc8};
    case LevelState::Stuck:
        return {0xb71c1c, 0xffcdd2};
    case LevelState::InProgress:
        return {0x4e342e, 0xfff8e1};
    case LevelState::NotStarted:
        break;
    }
    return {0x616161, 0xffffff};
}

double contrast(quint32 a, quint32 b)
{
    const auto luminance = [](quint32 rgb) {
        const auto channel = [](quint32 c) {
            const double v = double(c & 0xff) / 255.0;
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(rgb >> 16) + 0.7152 * channel(rgb >> 8) + 0.0722 * channel(rgb);
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool Row::needsCheck() const
{
    return std::any_of(levels.cbegin(), levels.cend(),
                       [](const LevelCell& cell) { return cell.state() == LevelState::Stuck; });
}

QString Row::shownName(bool hidden) const
{
    if (!hidden)
        return name;
    const QString letters = kana::initials(reading);
    return letters.isEmpty() ? QStringLiteral("%1番").arg(pupil) : letters;
}

QString lastPracticeText(int daysSince, bool now)
{
    if (now)
        return QStringLiteral("いま");
    if (daysSince < 0)
        return QStringLiteral("なし");
    if (daysSince == 0)
        return QStringLiteral("今日");
    if (daysSince == 1)
        return QStringLiteral("昨日");
    return QStringLiteral("%1日前").arg(daysSince);
}

QString Table::text(int row, int column) const
{
    const Row& r = rows[row];
    switch (column) {
    case GradeColumn:
        return r.grade;
    case NameColumn:
        return r.shownName(namesHidden);
    case LastPracticeColumn:
        return lastPracticeText(r.daysSince, r.practisingNow);
    case TodayColumn:
        return QString::number(r.today);
    case PeriodAttemptsColumn:
        return QString::number(r.periodAttempts);
    case PeriodMinutesColumn:
        return QString::number((r.periodSeconds + 30) / 60);
    default:
        if (column == weakColumn())
            return r.weak;
        if (column == reviewColumn())
            return r.reviewDue == 0 && r.reviewLearned == 0
                       ? QString()
                       : QStringLiteral("%1こ／今週%2").arg(r.reviewDue).arg(r.reviewLearned);
        const LevelCell cell = r.levels.value(column - FirstLevelColumn);
        return (cell.symbol() + cell.caption() + u' ' + cell.bestLine()).trimmed();
    }
}

void Table::setPeriod(const Period& p)
{
    period = p;
    const Period before = p.before();
    const qint32 from = qint32(oadate::fromDate(p.from)), to = qint32(oadate::fromDate(p.to));
    const qint32 beforeFrom = qint32(oadate::fromDate(before.from));
    QHash<int, int> rowOf;
    for (int i = 0; i < rows.size(); ++i) {
        Row& row = rows[i];
        rowOf.insert(row.pupil, i);
        row.periodAttempts = 0;
        row.periodSeconds = 0;
        for (LevelCell& cell : row.levels)
            cell.periodBest = cell.previousBest = kNoTime;
    }
    QHash<int, int> levelOf;
    for (int k = 0; k < courses.size(); ++k)
        levelOf.insert(courses[k], k);
    for (const Attempt& a : attempts) {
        if (a.day < beforeFrom || a.day > to)
            continue;
        Row& row = rows[rowOf.value(a.pupil)];
        const auto level = levelOf.constFind(a.course);
        LevelCell* cell = level == levelOf.cend() ? nullptr : &row.levels[*level];
        if (a.day >= from) {
            ++row.periodAttempts;
            row.periodSeconds += a.time;
            if (cell)
                cell->periodBest = std::min(cell->periodBest, a.time);
        } else if (cell) {
            cell->previousBest = std::min(cell->previousBest, a.time);
        }
    }
}

QStringList periodChoices()
{
    return {QStringLiteral("今週"), QStringLiteral("先週"),   QStringLiteral("今月"),
            QStringLiteral("先月"), QStringLiteral("今学期"), QStringLiteral("期間を指定")};
}

Period Period::before() const
{
    if (previousFrom.isValid() && previousTo.isValid())
        return {previousFrom, previousTo};
    return {from.addDays(-days()), from.addDays(-1)};
}

namespace {

Period wholeMonths(const QDate& first, int months)
{
    Period p{first, first.addMonths(months).addDays(-1)};
    p.previousFrom = first.addMonths(-months);
    p.previousTo = first.addDays(-1);
    return p;
}

} // namespace

Period periodOf(PeriodChoice choice, const QDate& today, int startMonth, int weekStart, const Period& range)
{
    const int firstDay = weekStart >= 1 && weekStart <= 7 ? weekStart : 1;
    const QDate weekBegins = today.addDays(-((today.dayOfWeek() - firstDay + 7) % 7));
    const QDate monthBegins(today.year(), today.month(), 1);
    switch (choice) {
    case PeriodChoice::ThisWeek:
    case PeriodChoice::LastWeek: {
        const QDate from = choice == PeriodChoice::ThisWeek ? weekBegins : weekBegins.addDays(-7);
        return {from, from.addDays(6), from.addDays(-7), from.addDays(-1)};
    }
    case PeriodChoice::ThisMonth:
        return wholeMonths(monthBegins, 1);
    case PeriodChoice::LastMonth:
        return wholeMonths(monthBegins.addMonths(-1), 1);
    case PeriodChoice::ThisTerm: {
        // Three terms from the school year's first month: five months, four, three (April:
        // April to August, September to December, January to March).
        const int first = startMonth >= 1 && startMonth <= 12 ? startMonth : 4;
        const int into = (today.month() - first + 12) % 12; // months since the year began
        const int termStart = into < 5 ? 0 : into < 9 ? 5 : 9;
        const int length = into < 5 ? 5 : into < 9 ? 4 : 3;
        const int previousLength = into < 5 ? 3 : into < 9 ? 5 : 4;
        const QDate from = monthBegins.addMonths(termStart - into);
        return {from, from.addMonths(length).addDays(-1), from.addMonths(-previousLength), from.addDays(-1)};
    }
    case PeriodChoice::Range:
        break;
    }
    if (!range.from.isValid() || !range.to.isValid())
        return {today, today};
    // Typed the wrong way round, it is still the span between the two days.
    return range.from <= range.to ? Period{range.from, range.to} : Period{range.to, range.from};
}

namespace {

// One record's part in the table: the pupil's last practice, and a completed attempt's place
// in today's count, the period's figures and the check of the last kCheckDays days.
bool addRecord(Table& table, const QHash<int, int>& rowOf, const QHash<int, int>& column, const ResultRecord& r)
{
    if (!statistics::isValid(r))
        return false;
    const auto rowIt = rowOf.constFind(r.pupil);
    if (rowIt == rowOf.cend())
        return false; // not a pupil the menu lists
    Row& row = table.rows[*rowIt];
    const qint32 day = qint32(std::floor(r.date));
    if (day >= row.lastDay) {
        const double moment = day + (r.clockTime - std::floor(r.clockTime));
        row.lastMoment = day > row.lastDay ? moment : std::max(row.lastMoment, moment);
        row.lastDay = day;
    }
    if (r.time >= statistics::kCompletedBelow || day > table.today)
        return true;
    table.attempts.append({day, r.pupil, r.course, r.time});
    if (day == table.today)
        ++row.today;
    if (table.today - day < kCheckDays) {
        const auto level = column.constFind(r.course);
        if (level != column.cend())
            ++row.levels[*level].recentAttempts;
    }
    return true;
}

// The levels' states from the statistics as they now are.
void fillLevels(Row& row, const QList<int>& courses, const Sources& sources)
{
    row.levels.resize(courses.size());
    for (int k = 0; k < courses.size(); ++k) {
        const int c = courses[k];
        LevelCell& cell = row.levels[k];
        const clearing::Progress progress = clearing::progress(sources.stats, sources.rules, c, row.pupil);
        cell.cleared = progress.cleared;
        cell.hidden = progress.hidden;
        cell.countNeeded = progress.count;
        cell.pointsNeeded = progress.points;
        cell.attempts = sources.stats.totalCount(c, row.pupil);
        cell.points = sources.stats.totalPoints(c, row.pupil);
        cell.bestTime = sources.stats.bestTime(c, row.pupil);
    }
}

// Days since the last practice, and whether it was a moment ago, as the clock now says.
void dateLastPractice(Row& row, qint32 today, double now)
{
    row.daysSince = row.lastDay < 0 ? -1 : std::max(0, today - row.lastDay);
    row.lastPractice = row.lastDay < 0 ? QDate() : oadate::toDate(row.lastDay);
    // In whole seconds: a day's fraction is not exact.
    const qint64 secondsAgo = std::llround((now - row.lastMoment) * 86400.0);
    row.practisingNow = row.lastDay >= 0 && secondsAgo >= -60 && secondsAgo <= kNowMinutes * 60;
}

double nowOf(const Services& services)
{
    return oadate::fromDate(services.clock.today()) + services.clock.timeOfDay().msecsSinceStartOfDay() / 86400000.0;
}

} // namespace

Builder::Builder(const Sources& sources) : m_sources(sources)
{
    const Catalogue& catalogue = sources.catalogue;
    m_table.headers = {QStringLiteral("学年"), QStringLiteral("名前"), QStringLiteral("最後"),
                       QStringLiteral("今日"), QStringLiteral("回数"), QStringLiteral("分")};
    for (int c = 1; c <= catalogue.courseCount && c <= sources.stats.courses(); ++c) {
        if (attempt::isPractice(catalogue, c))
            continue;
        m_column.insert(c, int(m_table.courses.size()));
        m_table.courses << c;
        m_table.headers << catalogue.courseNames[c];
    }
    m_table.headers << QStringLiteral("にがてな数") << QStringLiteral("復習");
    m_table.today = qint32(oadate::fromDate(sources.today));
    for (const roster::Line& line : sources.rosterLines) {
        // The teacher's own line is not one of the class: left out of the rows, and so of every
        // figure, weak number, print and export made from them.
        if (!roster::isListed(line, sources.listStatus2) || m_rowOf.contains(line.number) ||
            roster::isTeacherName(line.name))
            continue;
        Row row;
        row.pupil = line.number;
        row.rosterIndex = int(m_table.rows.size());
        row.name = line.trimmedName();
        row.reading = sources.readings.value(line.number);
        row.gradeIndex = roster::gradeIndex(sources.schoolYear, line.birthYear);
        row.grade = roster::shortGradeLabel(row.gradeIndex);
        row.folded = namefold::fold(row.name) + u'\n' + namefold::fold(row.reading);
        fillLevels(row, m_table.courses, sources);
        m_rowOf.insert(line.number, int(m_table.rows.size()));
        m_table.rows << row;
    }
}

void Builder::add(const ResultRecord& r)
{
    addRecord(m_table, m_rowOf, m_column, r);
}

void Builder::addWeakNumbers(const QList<problemlog::Problem>& log)
{
    // Each pupil's level that matters: the first level marked 要チェック, else the level of the
    // last logged problem.
    QHash<int, int> level;
    for (const problemlog::Problem& p : log)
        level.insert(p.pupil, p.level);
    QSet<int> pupils;
    for (Row& row : m_table.rows) {
        pupils.insert(row.pupil);
        for (int k = 0; k < row.levels.size(); ++k) {
            if (row.levels[k].state() == LevelState::Stuck) {
                level.insert(row.pupil, m_table.courses[k]);
                break;
            }
        }
    }
    const weaknumbers::ClassRankings ranked = weaknumbers::rankClass(log, pupils, level);
    const Catalogue& catalogue = m_sources.catalogue;
    for (Row& row : m_table.rows) {
        const int c = level.value(row.pupil);
        const QList<weaknumbers::Weak> weak = ranked.ofPupil.value(row.pupil);
        if (c == 0 || weak.isEmpty())
            continue;
        const QString name = c <= catalogue.courseCount ? catalogue.courseNames[c] : QString::number(c);
        row.weakLevel = c;
        row.weak = name + u'：' + weaknumbers::numbers(weak, kWeakShown);
        row.weakScore = weak.first().score;
    }
    QStringList levels;
    for (const int c : m_table.courses) {
        const QString numbers = weaknumbers::numbers(ranked.ofLevel.value(c), kClassWeakShown);
        if (!numbers.isEmpty())
            levels << catalogue.courseNames[c] + u'：' + numbers;
    }
    m_classWeak =
        levels.isEmpty() ? QString() : QStringLiteral("クラスのにがてな数　") + levels.join(QStringLiteral("　"));
}

QString Builder::classWeakLine() const
{
    return m_classWeak;
}

void Builder::addReview(const review::Tracker& review, int weekStart)
{
    const QDate today = m_sources.today;
    const QDate weekBegins = periodOf(PeriodChoice::ThisWeek, today, 4, weekStart, {}).from;
    const QHash<int, review::Summary> summaries = review::perPupil(
        review, qint32(oadate::fromDate(today)), qint32(oadate::fromDate(weekBegins)), qint32(oadate::fromDate(today)));
    for (Row& row : m_table.rows) {
        const review::Summary s = summaries.value(row.pupil);
        row.reviewDue = s.due;
        row.reviewLearned = s.learned;
    }
}

void Builder::weakNumbersUnreadable()
{
    for (Row& row : m_table.rows)
        row.weak = QStringLiteral("（記録を読めません）");
}

Table Builder::take(const Period& period, double now)
{
    for (Row& row : m_table.rows)
        dateLastPractice(row, m_table.today, now);
    m_table.setPeriod(period);
    return std::move(m_table);
}

std::optional<Loaded> load(Services services, Pause& pause, const Period& period)
{
    SharedState& state = services.state;
    ResultsReader reader(services, pause);
    if (!reader.refreshStatistics())
        return std::nullopt;
    Loaded loaded;
    const roster::Read read = roster::read(state.folders.sharedFolder);
    const QList<roster::Line> lines = read.parsed ? read.parsed->lines : QList<roster::Line>();
    const QHash<int, QString> readings = readings::read(state.folders.sharedFolder).byPupil;
    loaded.rosterProblem = read.failure;
    const QDate today = services.clock.today();
    const Sources sources{state.stats,
                          state.rules,
                          state.catalogue,
                          lines,
                          readings,
                          state.organisation.commonItem3 == Loose(1),
                          roster::schoolYear(today, state.organisation.schoolYearStartMonth.toInt()),
                          today};
    Builder builder(sources);
    // The whole file, a block at a time: the last practice may lie before the recent records.
    recordblocks::Summary whole{};
    const auto error = recordblocks::read(
        resultsfile::resultsPath(state.folders), RecordLayout::Program,
        [&](qint64, const ResultRecord& r) { builder.add(r); }, &whole);
    if (error) {
        reportFatal(services.messages, services.programEnd,
                    RecordsError{resultsfile::resultsFileName(), QStringLiteral("を読む"), 0, *error}.message());
        return std::nullopt;
    }
    QString logError;
    const auto log = problemlog::read(problemlog::path(state.folders), &logError);
    if (log) {
        builder.addWeakNumbers(log->problems);
        builder.addReview(log->review, state.school.weekStart);
    } else
        builder.weakNumbersUnreadable();
    loaded.classWeak = builder.classWeakLine();
    loaded.table = builder.take(period, nowOf(services));
    loaded.table.recordsRead = whole.records;
    if (log) {
        if (log->damaged > 0)
            loaded.classWeak += QStringLiteral("（%1「%2」の %3）")
                                    .arg(loaded.classWeak.isEmpty() ? QString() : QStringLiteral("　"))
                                    .arg(problemlog::fileName(), problemlog::damageNote(*log));
    } else {
        loaded.classWeak = QStringLiteral("「%1」を読めません：%2").arg(problemlog::fileName(), logError);
    }
    return loaded;
}

std::optional<Refresh> refresh(Table& table, Services services, Pause& pause)
{
    SharedState& state = services.state;
    Refresh out;
    const QString path = resultsfile::resultsPath(state.folders);
    const qint64 records = QFileInfo(path).size() / kResultRecordLength;
    if (qint32(oadate::fromDate(services.clock.today())) != table.today || records < table.recordsRead) {
        out.reloadNeeded = true; // a new day, or a file that is not the one read
        return out;
    }
    const double now = nowOf(services);
    if (records > table.recordsRead) {
        QHash<int, int> rowOf, column;
        for (int i = 0; i < table.rows.size(); ++i)
            rowOf.insert(table.rows[i].pupil, i);
        for (int k = 0; k < table.courses.size(); ++k)
            column.insert(table.courses[k], k);
        recordblocks::Summary read{};
        const auto error = recordblocks::read(
            path, RecordLayout::Program,
            [&](qint64, const ResultRecord& r) {
                if (addRecord(table, rowOf, column, r))
                    out.pupils.insert(r.pupil);
            },
            &read, table.recordsRead);
        if (error) {
            reportFatal(services.messages, services.programEnd,
                        RecordsError{resultsfile::resultsFileName(), QStringLiteral("を読む"), 0, *error}.message());
            return std::nullopt;
        }
        table.recordsRead = read.records;
        if (!out.pupils.isEmpty()) {
            ResultsReader reader(services, pause);
            if (!reader.refreshStatistics())
                return std::nullopt;
            const QList<roster::Line> none;
            const QHash<int, QString> noReadings;
            const Sources sources{state.stats, state.rules, state.catalogue, none, noReadings, false, 0, QDate()};
            for (const int pupil : std::as_const(out.pupils))
                fillLevels(table.rows[rowOf.value(pupil)], table.courses, sources);
            table.setPeriod(table.period);
        }
    }
    // The "いま" marks go as the minutes pass, whether or not anything was added.
    for (Row& row : table.rows) {
        const bool was = row.practisingNow;
        dateLastPractice(row, table.today, now);
        if (row.practisingNow != was)
            out.pupils.insert(row.pupil);
    }
    return out;
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
    const QString search = namefold::fold(filter.search);
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

void sortByConcern(QList<int>& order, const Table& table)
{
    const auto key = [&](int i) {
        const Row& r = table.rows[i];
        const int idle = r.daysSince < 0 ? std::numeric_limits<int>::max() : r.daysSince;
        return std::tuple(r.needsCheck() ? 0 : 1, -qint64(idle), r.gradeIndex, r.rosterIndex);
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return key(a) < key(b); });
}

void sort(QList<int>& order, const Table& table, int column, bool descending)
{
    const auto key = [&](int i) -> std::pair<qint64, QString> {
        const Row& r = table.rows[i];
        switch (column) {
        case GradeColumn:
            return {r.gradeIndex, QString()};
        case NameColumn: // by reading; those without one after, in the roster's order
            return {r.reading.isEmpty() ? 1 : 0, r.reading};
        case LastPracticeColumn:
            return {r.daysSince < 0 ? std::numeric_limits<int>::max() : r.daysSince, QString()};
        case TodayColumn:
            return {r.today, QString()};
        case PeriodAttemptsColumn:
            return {r.periodAttempts, QString()};
        case PeriodMinutesColumn:
            return {r.periodSeconds, QString()};
        default: {
            if (column == table.weakColumn()) // the weakest first when descending
                return {qint64(r.weakScore * 1000), QString()};
            if (column == table.reviewColumn())
                return {r.reviewDue, QString()};
            // Cleared first, then in progress, stuck, not started; then the best times.
            const LevelCell& cell = r.levels.value(column - FirstLevelColumn);
            static const int rank[] = {3, 1, 2, 0}; // by LevelState
            return {(qint64(rank[int(cell.state())]) << 40) + cell.bestTime, QString()};
        }
        }
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const auto ka = key(a), kb = key(b);
        if (ka != kb)
            return descending ? kb < ka : ka < kb;
        return table.rows[a].rosterIndex < table.rows[b].rosterIndex;
    });
}

QByteArray csv(const Table& table, const QList<int>& order, const Catalogue& catalogue)
{
    QStringList header = {QStringLiteral("生徒番号"),     QStringLiteral("学年"),
                          QStringLiteral("名前"),         QStringLiteral("よみ"),
                          QStringLiteral("最後の練習日"), QStringLiteral("今日の回数"),
                          QStringLiteral("期間の始め"),   QStringLiteral("期間の終わり"),
                          QStringLiteral("期間の回数"),   QStringLiteral("期間の練習時間(分)")};
    for (const int c : table.courses) {
        const QString level = catalogue.courseNames[c];
        for (const char16_t* figure :
             {u" クリア(1/0)", u" 回数", u" ポイント", u" ベスト(秒)", u" クリアまであと(回)", u" クリアまであと(点)",
              u" 要チェック(1/0)", u" 期間のベスト(秒)", u" 前の期間のベスト(秒)"})
            header << level + QString::fromUtf16(figure);
    }
    header << QStringLiteral("にがてな数のレベル") << QStringLiteral("にがてな数");
    if (table.namesHidden) // 名前なし: the pupil by number only
        header.remove(2, 2);
    for (QString& h : header)
        h = csvcell::text(h);
    QByteArray out = QByteArray("\xEF\xBB\xBF") + (header.join(u',') + QStringLiteral("\r\n")).toUtf8();
    const auto time = [](qint32 t) { return t >= kNoTime ? QString() : QString::number(t); };
    const QString from = table.period.from.toString(Qt::ISODate), to = table.period.to.toString(Qt::ISODate);
    for (const int i : order) {
        const Row& r = table.rows[i];
        QStringList cells = {QString::number(r.pupil),
                             csvcell::text(r.grade),
                             csvcell::text(r.name),
                             csvcell::text(r.reading),
                             r.lastPractice.toString(Qt::ISODate),
                             QString::number(r.today),
                             from,
                             to,
                             QString::number(r.periodAttempts),
                             QString::number((r.periodSeconds + 30) / 60)};
        for (const LevelCell& cell : r.levels) {
            cells << QString::number(cell.cleared ? 1 : 0) << QString::number(cell.attempts)
                  << QString::number(cell.points) << time(cell.bestTime)
                  << (cell.hidden ? QString() : QString::number(cell.countNeeded))
                  << (cell.hidden ? QString() : QString::number(cell.pointsNeeded))
                  << QString::number(cell.state() == LevelState::Stuck ? 1 : 0) << time(cell.periodBest)
                  << time(cell.previousBest);
        }
        cells << (r.weakLevel > 0 ? QString::number(r.weakLevel) : QString())
              << csvcell::text(r.weak.section(u'：', 1));
        if (table.namesHidden)
            cells.remove(2, 2);
        out += (cells.join(u',') + QStringLiteral("\r\n")).toUtf8();
    }
    return out;
}

} // namespace classview
