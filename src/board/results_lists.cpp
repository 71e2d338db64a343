#include "results_lists.h"

#include "ranking.h"
#include "records/oa_date.h"
#include "records/points.h"
#include "roster/roster_file.h"
#include "startup/course_catalogue.h"
#include "state/shared_state.h"

#include <cmath>

namespace resultslists {
namespace {

// The time right-aligned in five characters: "  42秒".
QString timeColumn(qint32 time)
{
    return (QStringLiteral("      ") + QString::number(time) + QStringLiteral("秒")).right(5);
}

QString pointsColumn(int points)
{
    return (QStringLiteral("   ") + QString::number(points)).right(3) + QStringLiteral("点");
}

} // namespace

QList<Lines> build(const QList<ResultRecord>& attempts, const RosterTables& roster, const CourseRules& rules,
                   const Request& request)
{
    QList<Lines> lines(request.courseCount + 1);
    const double today = oadate::fromDate(request.today);
    QList<bool> listed(kMaxPupil + 1, false);
    for (const qint16 p : roster.listedPupils)
        listed[p] = true;
    for (auto it = attempts.crbegin(); it != attempts.crend(); ++it) {
        const ResultRecord& a = *it;
        if (a.course < 1 || a.course > request.courseCount || a.pupil < 1 || a.pupil > kMaxPupil || a.time < 0 ||
            !std::isfinite(a.date))
            continue;
        const bool personal = request.kind == Kind::Personal;
        if (personal ? a.pupil != request.currentPupil : !listed[a.pupil])
            continue;
        const double day = std::floor(a.date);
        if (request.kind == Kind::Today && day != today)
            continue;
        if (personal && (day <= today - kPersonalDays || a.time >= kPersonalTimeBelow))
            continue;
        const int g = roster::gradeIndex(roster.schoolYear, roster.pupilBirthYears[a.pupil]);
        if (catalogue::gradeFilterMatch(g, request.gradeFilter) != 1)
            continue;
        const QDate date = oadate::toDate(day);
        const QString clock = oadate::toTime(a.clockTime).toString(QStringLiteral("hh:mm"));
        const QString name = ranking::nameColumn(roster.pupilNames[a.pupil]);
        const int earned = points::weighted(a.time, rules.targetTime[a.course], rules.pointWeight[a.course]);
        QString line;
        switch (request.kind) {
        case Kind::Today:
            line = timeColumn(a.time) + QStringLiteral(" ") + clock + QStringLiteral(" ") + name;
            break;
        case Kind::All:
            line = date.toString(QStringLiteral("MM/dd")) + timeColumn(a.time) + QStringLiteral(" ") + name;
            break;
        case Kind::Personal:
            line = date.toString(QStringLiteral("MM/dd")) + QStringLiteral(" ") + clock + timeColumn(a.time) +
                   pointsColumn(earned);
            break;
        }
        lines[a.course].text.append(line);
        lines[a.course].detail.append(
            QStringLiteral("%1 %2　%3　%4秒　%5点")
                .arg(date.toString(QStringLiteral("yyyy/MM/dd")), clock, roster.pupilNames[a.pupil].trimmed())
                .arg(a.time)
                .arg(earned));
    }
    return lines;
}

} // namespace resultslists
