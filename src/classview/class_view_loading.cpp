// The class view's table built from the results files, the problem log and the statistics, and
// brought up to date during a lesson.
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
#include "state/clock.h"
#include "state/shared_state.h"
#include "text/name_fold.h"

#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <cmath>

namespace classview {

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

} // namespace classview
