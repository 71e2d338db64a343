#include "course_board.h"

#include "drill/attempt.h"
#include "drill/number_sets.h"
#include "platform/pause.h"
#include "problemlog/review.h"
#include "problemlog/weak_numbers.h"
#include "ranking.h"
#include "records/clearing.h"
#include "records/oa_date.h"
#include "records/results_reader.h"
#include "results_lists.h"
#include "roster/readings.h"
#include "roster/roster_file.h"
#include "roster/untimed.h"
#include "state/clock.h"
#include "state/shared_state.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace courseboard {

QString ruleCaption(const CourseRules& r, const Catalogue& catalogue, int i)
{
    const QString target = QString::number(r.targetTime[i]);
    if (catalogue.courseDefined[i] != 1)
        return QStringLiteral("◎=") + target + QStringLiteral("点以上");
    if (r.requiredPoints[i] == 9999)
        return QStringLiteral("目標=") + target + QStringLiteral("秒 --------");
    return QStringLiteral("目標=%1秒 %2回/%3点(×%4)")
        .arg(target)
        .arg(r.requiredCount[i])
        .arg(r.requiredPoints[i])
        .arg(shortestDecimal(double(r.pointWeight[i])));
}

QString startCaption(int course)
{
    return QStringLiteral("ｽﾀｰﾄ(&%1)").arg(course);
}

QString todayFigures(const Statistics& stats, int c, int p)
{
    const float count = stats.todayCount(c, p);
    if (count == 0)
        return QStringLiteral("-----");
    return QStringLiteral("%1回/%2点").arg(shortestDecimal(double(count))).arg(stats.todayPoints(c, p));
}

QString totalFigures(const Statistics& stats, int c, int p)
{
    const qint16 count = stats.totalCount(c, p);
    if (count == 0)
        return QStringLiteral("------");
    return QStringLiteral("%1回/%2点").arg(count).arg(stats.totalPoints(c, p));
}

QString minutesSinceStart(qint32 pupilStartTime, int secondsSinceMidnight)
{
    int seconds = secondsSinceMidnight - pupilStartTime;
    if (seconds < -60)
        seconds += 24 * 60 * 60;    // the pupil started before midnight
    seconds = std::max(seconds, 0); // the start was rounded up to the next second
    return QStringLiteral("起動後%1分").arg(seconds / 60);
}

QString todayTotal(const Statistics& stats, int p)
{
    return QStringLiteral("本日総回数＝%1回").arg(roundHalfEven(stats.todayCount.sumOverCourses(p)));
}

void applyPracticeRules(CourseRules& rules, const Catalogue& catalogue)
{
    for (int i = 1; i <= catalogue.courseCount; ++i) {
        if (attempt::isPractice(catalogue, i)) {
            rules.targetTime[i] = 600;
            rules.secondTargetTime[i] = 600;
        }
    }
}

} // namespace courseboard

QList<CourseBoard::Column> CourseBoard::layout() const
{
    const SharedState& state = m_services.state;
    QList<Column> columns(state.catalogue.courseCount + 1);
    for (int i = 1; i < columns.size(); ++i) {
        columns[i].name = state.catalogue.courseNames[i];
        columns[i].rule = courseboard::ruleCaption(state.rules, state.catalogue, i);
        columns[i].practice = attempt::isPractice(state.catalogue, i);
    }
    return columns;
}

bool CourseBoard::refresh()
{
    SharedState& state = m_services.state;
    ResultsReader reader(m_services, m_pause);
    if (!reader.refreshStatistics())
        return false;
    courseboard::applyPracticeRules(state.rules, state.catalogue);
    const int p = viewedPupil();
    m_columns = layout();
    for (int i = 1; i < m_columns.size(); ++i) {
        m_columns[i].today = courseboard::todayFigures(state.stats, i, p);
        m_columns[i].total = courseboard::totalFigures(state.stats, i, p);
        // The teacher come in by 先生用 is nobody's figures: nothing to clear until a pupil is shown.
        if (!(state.current.teacher && p == state.current.pupilNo))
            m_columns[i].toClear = clearing::progressText(state.stats, state.rules, i, p);
    }
    return true;
}

QString CourseBoard::minutesSinceStart() const
{
    const int secondsNow = m_services.clock.timeOfDay().msecsSinceStartOfDay() / 1000;
    return courseboard::minutesSinceStart(m_services.state.current.pupilStartTime, secondsNow);
}

QString CourseBoard::todayTotal() const
{
    return courseboard::todayTotal(m_services.state.stats, m_services.state.current.pupilNo);
}

bool CourseBoard::showsTeacherTools() const
{
    const CurrentPupil& current = m_services.state.current;
    return current.teacher || roster::isTeacherName(current.pupilName);
}

QString CourseBoard::pupilHeading() const
{
    const SharedState& state = m_services.state;
    const int p = viewedPupil();
    if (p == state.current.pupilNo)
        return (state.current.pupilGrade + QStringLiteral(" ") + state.current.pupilName.trimmed()).trimmed();
    return (state.roster.pupilGradeLabels[p] + QStringLiteral(" ") + state.roster.pupilNames[p].trimmed()).trimmed();
}

QString CourseBoard::schoolLine() const
{
    return m_services.state.organisation.schoolName + QStringLiteral(":") + QString::number(viewedPupil());
}

double CourseBoard::columnWidthTwips(int courseCount)
{
    return courseCount < 5 ? 14592.0 / std::max(courseCount, 1) : 3456.0;
}

int CourseBoard::firstVisibleCourse(int scrollValue, int courseCount)
{
    return scrollValue > courseCount || scrollValue < 1 ? 1 : scrollValue;
}

QStringList CourseBoard::orderCaptions() const
{
    if (m_view == View::Times)
        return {QStringLiteral("BEST表示"), QStringLiteral("本日のみ"), QStringLiteral("すべて")};
    return {QStringLiteral("合計累計"), QStringLiteral("合計本日"), QStringLiteral("すべて")};
}

QStringList CourseBoard::openingOrderCaptions()
{
    return {QStringLiteral("累計順"), QStringLiteral("本日順"), QStringLiteral("すべて")};
}

QString CourseBoard::heading() const
{
    if (m_view == View::PersonalTimes)
        return QStringLiteral("個人別ﾀｲﾑ");
    if (m_orderOption == kAllAttempts)
        return QStringLiteral("全成績");
    if (m_view == View::Times)
        return m_orderOption == 1 ? QStringLiteral("ベスト成績") : QStringLiteral("本日の成績");
    return m_orderOption == 1 ? QStringLiteral("獲得ポイント（今まで順位）")
                              : QStringLiteral("獲得ポイント（今日の順位）");
}

std::optional<QList<resultslists::Lines>> CourseBoard::buildLists(const std::function<void(int)>& afterCourse)
{
    const SharedState& state = m_services.state;
    const int count = state.catalogue.courseCount;
    QList<resultslists::Lines> lists(count + 1);
    // Other pupils' names as the school chose to show them to a pupil; the teacher sees them all.
    const bool teacher = state.current.teacher || roster::isTeacherName(state.current.pupilName);
    const RankingNames how = teacher ? RankingNames::Names : state.school.rankingNames;
    const RosterTables shown = how == RankingNames::Names
                                   ? state.roster
                                   : ranking::withShownNames(state.roster, how, state.current.pupilNo,
                                                             readings::read(state.folders.sharedFolder).byPupil);
    // The ranking lists: best times ("過去最高表示") or points, all-time or today.
    const bool ranked = m_view != View::PersonalTimes && m_orderOption != kAllAttempts &&
                        !(m_view == View::Times && m_orderOption == 2);
    if (ranked) {
        ranking::Request request;
        request.mode = m_view == View::Times ? ranking::DisplayMode::Time : ranking::DisplayMode::Points;
        request.order = m_orderOption == 2 ? ranking::PointsOrder::Today : ranking::PointsOrder::AllTime;
        request.gradeFilter = m_gradeFilter;
        request.currentPupil = viewedPupil();
        for (int c = 1; c <= count; ++c) {
            if (!attempt::isPractice(state.catalogue, c))
                lists[c].text = ranking::build(c, state.catalogue.courseDefined[c] == 1, state.roster.listedPupils,
                                               state.stats, shown, request);
            if (afterCourse)
                afterCourse(c);
        }
        return lists;
    }
    // The lists of single attempts read from the results file.
    resultslists::Request request;
    request.kind = m_view == View::PersonalTimes   ? resultslists::Kind::Personal
                   : m_orderOption == kAllAttempts ? resultslists::Kind::All
                                                   : resultslists::Kind::Today;
    request.courseCount = count;
    request.gradeFilter = m_gradeFilter;
    request.currentPupil = viewedPupil();
    request.today = m_services.clock.today();
    ResultsReader reader(m_services, m_pause);
    const auto attempts =
        reader.read(request.kind == resultslists::Kind::Personal ? resultslists::kPersonalRecords
                                                                 : std::numeric_limits<qint64>::max());
    if (!attempts)
        return std::nullopt;
    const QList<resultslists::Lines> built = resultslists::build(*attempts, shown, state.rules, request);
    for (int c = 1; c <= count; ++c) {
        if (!attempt::isPractice(state.catalogue, c))
            lists[c] = built[c];
        if (afterCourse)
            afterCourse(c);
    }
    return lists;
}

int CourseBoard::viewedPupil() const
{
    return m_viewedPupil > 0 ? m_viewedPupil : m_services.state.current.pupilNo;
}

QList<CourseBoard::WeakColumn> CourseBoard::weakColumns()
{
    const SharedState& state = m_services.state;
    const int count = state.catalogue.courseCount;
    QList<WeakColumn> columns(count + 1);
    QString error;
    const std::optional<problemlog::Read> read = problemlog::read(problemlog::path(state.folders), &error);
    const int p = viewedPupil();
    // Only this pupil's problems are kept while the board is open, not a school year's log.
    m_log.clear();
    if (read) {
        std::copy_if(read->problems.cbegin(), read->problems.cend(), std::back_inserter(m_log),
                     [p](const problemlog::Problem& problem) { return problem.pupil == p; });
    }
    const bool own = p == state.current.pupilNo;
    for (int c = 1; c <= count; ++c) {
        WeakColumn& column = columns[c];
        if (!read) {
            column.lines = {QStringLiteral("記録を読めません"), error};
            continue;
        }
        const QList<weaknumbers::Weak> weak = weaknumbers::rank(m_log, p, c);
        for (const weaknumbers::Weak& w : weak.mid(0, weaknumbers::kShown))
            column.lines.append(weaknumbers::line(w));
        if (column.lines.isEmpty())
            column.lines.append(QStringLiteral("まだ記録がありません"));
        if (read->damaged > 0)
            column.lines.append(QStringLiteral("（") + problemlog::damageNote(*read) + QStringLiteral("）"));
        column.practiceAvailable = own && numbersets::hasNumberSet(c) && !attempt::isPractice(state.catalogue, c) &&
                                   read->loggedAt(p, c) >= weaknumbers::kPracticeNeeds;
    }
    return columns;
}

QString CourseBoard::readReview()
{
    const SharedState& state = m_services.state;
    m_reviewDue.clear();
    m_untimed = false;
    if (state.current.teacher)
        return QString();
    m_untimed = untimed::read(state.folders.sharedFolder).contains(state.current.pupilNo);
    QString error;
    const std::optional<problemlog::Read> read =
        problemlog::readReview(problemlog::path(state.folders), state.current.pupilNo, &error);
    if (!read)
        return error;
    const auto today = qint32(oadate::fromDate(m_services.clock.today()));
    m_reviewDue = review::due(read->review, state.current.pupilNo, today);
    // Only numbers a level's drill can show: a level the catalogue no longer has takes the first.
    for (review::Due& d : m_reviewDue) {
        if (!numbersets::hasNumberSet(d.level))
            d.level = numbersets::kFirstLevel;
    }
    return QString();
}

DrillRequest CourseBoard::reviewRequest() const
{
    DrillRequest request;
    request.kind = DrillRequest::Kind::Review;
    request.name = QStringLiteral("ふくしゅう");
    request.about = QStringLiteral("前にまちがえた数です。");
    for (const review::Due& d : m_reviewDue) {
        request.numbers.append(d.number);
        request.levels.append(d.level);
    }
    request.course = request.levels.isEmpty() ? numbersets::kFirstLevel : request.levels.first();
    request.problems = int(request.numbers.size());
    request.timed = !m_untimed;
    return request;
}

DrillRequest CourseBoard::untimedLevelRequest(int course) const
{
    const QList<practicesets::Set> sets = practicesets::all();
    for (const practicesets::Set& set : sets) {
        if (set.level == course && set.numbers == numbersets::numbers(course))
            return setRequest(set);
    }
    DrillRequest request;
    request.course = course;
    return request;
}

DrillRequest CourseBoard::setRequest(const practicesets::Set& set) const
{
    DrillRequest request;
    request.kind = DrillRequest::Kind::Set;
    request.course = set.level;
    request.name = set.name;
    request.about = set.about;
    request.numbers = practicesets::draw(set, m_services.random);
    request.problems = int(request.numbers.size());
    request.timed = !m_untimed;
    return request;
}

QList<int> CourseBoard::practiceNumbers(int course) const
{
    const int p = m_services.state.current.pupilNo;
    return weaknumbers::drawPractice(weaknumbers::rank(m_log, p, course), m_services.random);
}
