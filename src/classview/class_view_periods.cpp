// The class view's periods (this week, last month, a year …) and its filters and sorts.
#include "class_view.h"

#include "startup/course_catalogue.h"
#include "state/shared_state.h"
#include "text/name_fold.h"

#include <algorithm>

namespace classview {

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

} // namespace classview
