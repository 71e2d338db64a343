#include "clearing.h"

#include "oa_date.h"
#include "points.h"
#include "result_record.h"
#include "state/shared_state.h"
#include "statistics.h"

#include <QHash>
#include <deque>

#include <QStringList>
#include <algorithm>

namespace clearing {

bool isCleared(const Statistics& stats, const CourseRules& rules, int c, int p)
{
    return stats.windowPoints(c, p) >= rules.requiredPoints[c] && stats.windowCount(c, p) >= rules.requiredCount[c];
}

bool topLevelCleared(const Statistics& stats, const CourseRules& rules, const Catalogue& catalogue, int p)
{
    const int top = catalogue.topLevelCourse.toInt();
    return top >= 1 && top <= stats.courses() && isCleared(stats, rules, top, p);
}

Progress progress(const Statistics& stats, const CourseRules& rules, int c, int p)
{
    Progress progress;
    progress.hidden = rules.requiredPoints[c] == 9999;
    progress.cleared = isCleared(stats, rules, c, p);
    if (!progress.cleared) {
        progress.count = std::max<qint64>(0, qint64(rules.requiredCount[c]) - stats.windowCount(c, p));
        progress.points = std::max<qint64>(0, qint64(rules.requiredPoints[c]) - stats.windowPoints(c, p));
    }
    return progress;
}

QString missingText(const Progress& progress)
{
    QStringList missing;
    if (progress.count > 0)
        missing << QStringLiteral("%1回").arg(progress.count);
    if (progress.points > 0)
        missing << QStringLiteral("%1点").arg(progress.points);
    return QStringLiteral("あと") + missing.join(QStringLiteral("・"));
}

QString progressText(const Statistics& stats, const CourseRules& rules, int c, int p)
{
    const Progress now = progress(stats, rules, c, p);
    if (now.hidden)
        return QString();
    if (now.cleared)
        return QStringLiteral("クリアずみ");
    return QStringLiteral("クリアまで ") + missingText(now);
}

namespace {

// One pupil's attempts at one course within the window that ends at the latest of them.
struct Window
{
    struct Entry
    {
        double date = 0;
        int completed = 0;
        qint64 earned = 0;
    };
    std::deque<Entry> entries;
    qint64 count = 0;
    qint64 points = 0;
    bool cleared = false;
};

} // namespace

QList<Cleared> firstClearings(const QList<ResultRecord>& records, const CourseRules& rules, int courses)
{
    QList<Cleared> found;
    QHash<qint64, Window> windows; // course × 65536 + pupil
    for (const ResultRecord& r : records) {
        const int c = r.course;
        if (!statistics::isValid(r) || c > courses || rules.requiredPoints[c] == 9999 || rules.requiredCount[c] == 9999)
            continue;
        Window& w = windows[qint64(c) * 65536 + r.pupil];
        if (w.cleared)
            continue;
        // As the statistics count at the moment of the attempt: the records of the days after
        // its time less the window's days.
        const double now = r.date + r.clockTime;
        const double start = now - rules.windowDays[c].toDouble();
        const Window::Entry e{r.date, r.time < statistics::kCompletedBelow ? 1 : 0,
                              points::weighted(r.time, rules.targetTime[c], rules.pointWeight[c])};
        w.entries.push_back(e);
        w.count += e.completed;
        w.points += e.earned;
        while (!w.entries.empty() && !(w.entries.front().date > start)) {
            w.count -= w.entries.front().completed;
            w.points -= w.entries.front().earned;
            w.entries.pop_front();
        }
        if (w.points >= rules.requiredPoints[c] && w.count >= rules.requiredCount[c]) {
            w.cleared = true;
            w.entries.clear();
            found.append({r.pupil, c, oadate::toDate(r.date)});
        }
    }
    return found;
}

bool everCleared(const QList<ResultRecord>& records, const CourseRules& rules, int course, int pupil)
{
    QList<ResultRecord> own;
    for (const ResultRecord& r : records) {
        if (r.pupil == pupil && r.course == course)
            own.append(r);
    }
    return !firstClearings(own, rules, course).isEmpty();
}

} // namespace clearing
